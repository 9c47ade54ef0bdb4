#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

// A plain fixture file of the tests: one row a line, fields split at "|" and trimmed of blanks;
// blank lines and lines starting with "#" are skipped. Files live in tests/fixtures.
inline std::vector<std::vector<std::string>> ReadFixture(const std::string& name) {
  const std::string path = std::string(PANEL_FIXTURE_DIR) + "/" + name;
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the fixture " + path);
  const auto trim = [](std::string s) {
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
  };
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) {
    if (trim(line).empty() || trim(line)[0] == '#') continue;
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '|');) fields.push_back(trim(field));
    rows.push_back(fields);
  }
  return rows;
}

// Blank-separated words of one field.
inline std::vector<std::string> Words(const std::string& field) {
  std::vector<std::string> words;
  std::stringstream stream(field);
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}
