#pragma once

#include <QFile>
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "controller/SerialLink.h"
#include "controller/TrafficObserver.h"

// The traffic written down as it happens, one line per event, so that what a click did can be
// looked up afterwards:
//
//   2026-12-07T14:03:21.417Z COM1 (/dev/ttyUSB0) TXD  C 0 0 CR
//
// the time in UTC with milliseconds, the port as the link names it, the event, and after one
// blank its text as the monitor shows it (so the bytes keep their leading blank). The events:
// TXD, RXD, STATUS, "late" (bytes after their frame's reply window), "no reply within N ms",
// "lost" and "reopened". Each line reaches the file as it is written: a log read after a crash
// has everything up to it.
class TrafficLog : public TrafficObserver {
 public:
  // `port` names the port the traffic is on at the moment of each event.
  explicit TrafficLog(std::function<std::string()> port) : port_(std::move(port)) {}
  ~TrafficLog() override;
  TrafficLog(const TrafficLog&) = delete;
  TrafficLog& operator=(const TrafficLog&) = delete;

  // Appends to `path`, creating it; what to tell the operator when it cannot be opened (a clause,
  // without capital or full stop), and then the log stays closed and every event is dropped. A
  // named pipe is written only while a program reads it: one nobody reads is not waited for.
  std::optional<std::string> Open(const QString& path);
  // Whose traffic follows, after the port on each line ("script 12345"); empty: the panel's own.
  void SetHand(std::string hand) { hand_ = std::move(hand); }
  // Where the one line about a write that failed goes (a sentence, without the program's name);
  // standard error as it stands if not set.
  void SetOnWriteFailure(std::function<void(const std::string&)> tell) { onWriteFailure_ = std::move(tell); }
  // Writes down what becomes of the link's port too, for as long as this log lives.
  void Watch(SerialLink& link);

  void Sent(std::string_view rendered) override { Write("TXD", rendered); }
  void Received(std::string_view rendered) override { Write("RXD", rendered); }
  void Decoded(std::string_view status) override { Write("STATUS", status); }
  void NoReply(int waitMs) override;
  void Late(std::string_view rendered) override { Write("late", rendered); }
  void Lost() override { Write("lost"); }
  void Reopened() override { Write("reopened"); }

 private:
  void Write(std::string_view event, std::optional<std::string_view> text = std::nullopt);

  std::function<std::string()> port_;
  std::function<void(const std::string&)> onWriteFailure_;
  QString path_;  // as given: a file opened by its descriptor has no name
  std::string hand_;
  QFile file_;
  SerialLink* watched_ = nullptr;
};
