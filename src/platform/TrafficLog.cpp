#include "platform/TrafficLog.h"

#include <QDateTime>
#include <QDir>
#include <iostream>

std::optional<std::string> TrafficLog::Open(const QString& path) {
  file_.setFileName(path);
  if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) return std::nullopt;
  return "the traffic log " + QDir::toNativeSeparators(path).toStdString() + " could not be opened (" +
         file_.errorString().toStdString() +
         "), so nothing is logged in this run; give --log a file in a folder you may write to";
}

TrafficLog::~TrafficLog() {
  if (watched_ != nullptr) watched_->SetOnPortChange(nullptr);
}

void TrafficLog::Watch(SerialLink& link) {
  watched_ = &link;
  link.SetOnPortChange([this](SerialLink::PortChange change) {
    change == SerialLink::PortChange::Lost ? Lost() : Reopened();
  });
}

void TrafficLog::NoReply(int waitMs) { Write("no reply within " + std::to_string(waitMs) + " ms"); }

void TrafficLog::Write(std::string_view event, std::optional<std::string_view> text) {
  if (!file_.isOpen()) return;
  std::string line = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toStdString();
  line.append(1, ' ').append(port_()).append(1, ' ').append(event);
  if (text) line.append(1, ' ').append(*text);
  line += '\n';
  if (file_.write(line.data(), static_cast<qint64>(line.size())) == static_cast<qint64>(line.size())) return;
  // A full disk or a vanished medium: said once, and the panel goes on without the log rather
  // than failing at every event.
  std::cerr << "projector-panel: the traffic log " << QDir::toNativeSeparators(file_.fileName()).toStdString()
            << " could not be written (" << file_.errorString().toStdString() << "); nothing more is written to it.\n";
  file_.close();
}
