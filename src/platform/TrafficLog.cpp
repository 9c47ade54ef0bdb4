#include "platform/TrafficLog.h"

#include <QDateTime>
#include <QDir>
#include <iostream>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::optional<std::string> TrafficLog::Open(const QString& path) {
  path_ = path;
  file_.setFileName(path);
#ifdef Q_OS_UNIX
  const QByteArray encoded = QFile::encodeName(path);
  struct stat info {};
  const bool exists = ::stat(encoded.constData(), &info) == 0;
  if (exists && S_ISFIFO(info.st_mode)) {
    // A plain open would wait for a reader, for ever if none comes; without one there is nobody to
    // log for. Writes stay non-blocking: a reader that falls behind fails the log, not the panel.
    const int fd = ::open(encoded.constData(), O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && file_.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
      return std::nullopt;
    }
    if (fd >= 0) ::close(fd);
    return "the traffic log " + QDir::toNativeSeparators(path).toStdString() +
           " is a named pipe that no program reads now, so nothing is logged in this run; start the program that "
           "reads it first, or give --log a file";
  }
  // A device (/dev/full, a terminal) has no end to append at; Qt would warn that it cannot seek.
  const bool file = !exists || S_ISREG(info.st_mode);
#else
  const bool file = true;
#endif
  const QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
  if (file_.open(file ? mode | QIODevice::Append : mode)) return std::nullopt;
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
  line.append(1, ' ').append(port_()).append(1, ' ');
  if (!hand_.empty()) line.append(hand_).append(1, ' ');
  line.append(event);
  if (text) line.append(1, ' ').append(*text);
  line += '\n';
  if (file_.write(line.data(), static_cast<qint64>(line.size())) == static_cast<qint64>(line.size())) return;
  // A full disk or a vanished medium: said once, and the panel goes on without the log rather
  // than failing at every event.
  const std::string failure = "the traffic log " + QDir::toNativeSeparators(path_).toStdString() +
                              " could not be written (" + file_.errorString().toStdString() +
                              "); nothing more is written to it.";
  file_.close();
  if (onWriteFailure_) {
    onWriteFailure_(failure);
  } else {
    std::cerr << "projector-panel: " << failure << "\n";
  }
}
