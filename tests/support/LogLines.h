#pragma once

#include <QFile>
#include <regex>
#include <string>
#include <vector>

// The events of a traffic log, each line without its time and port once both are checked: the
// time as UTC with milliseconds, the port as `port`. A line that does not fit the layout comes
// back whole, marked.
inline std::vector<std::string> LogEvents(const QString& path, const std::string& port) {
  static const std::regex layout(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z (COM[12] \(.+\)) (\S.*)$)");
  std::vector<std::string> events;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {"no log at " + path.toStdString()};
  for (const QByteArray& bytes : file.readAll().split('\n')) {
    const std::string line = bytes.toStdString();
    std::smatch match;
    if (line.empty()) continue;
    events.push_back(std::regex_match(line, match, layout) && match[1] == port ? match[2].str() : "malformed: " + line);
  }
  return events;
}
