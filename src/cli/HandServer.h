#pragma once

#include <QLocalServer>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "network/HandOver.h"

class QLocalSocket;

// Who asks for a run: the process, and the hand as the holder's log names it ("script 12345").
struct Hand {
  qint64 pid = 0;  // 0: no process of this machine (a network client)
  std::string name;
};

// The holder's door for the scripts of its user: a local socket in
// $XDG_RUNTIME_DIR/projector-panel/ (the folder 0700, the socket 0600), named after the holder's
// process, which the port's lock file names. A peer of another user is turned away (the
// kernel's peer credentials say who it is). Each connection brings one request, served as a
// fiber of its own (see Fiber) as soon as it is whole, and gets its reply on its own connection;
// the runs take turns on the line exchange by exchange (`LineTurns`). A request that does not
// come whole within a few seconds, is malformed or too long is dropped with its connection; the
// holder goes on.
class HandServer {
 public:
  // `hand`: the process that asked, as the kernel names it.
  using Serve = std::function<hand_over::Reply(const hand_over::Request&, const Hand& hand)>;

  explicit HandServer(Serve serve);
  ~HandServer();
  HandServer(const HandServer&) = delete;
  HandServer& operator=(const HandServer&) = delete;

  // Listens; why not, when it cannot (no XDG_RUNTIME_DIR: nothing is made, and nothing said).
  std::optional<std::string> Listen();
  QString Path() const { return server_.fullServerName(); }

  // Where the holder `pid` of this user listens, under `runtimeDir` (XDG_RUNTIME_DIR).
  static QString PathFor(const QString& runtimeDir, qint64 pid);

 private:
  struct Pending;
  void Accept();
  void Read(Pending& pending);
  void Take(Pending& pending);
  void Drop(QLocalSocket* socket);

  Serve serve_;
  QLocalServer server_;
  std::deque<std::unique_ptr<Pending>> pending_;  // connected, request not yet whole
};
