#include "cli/HandServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>
#include <algorithm>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/Fiber.h"

namespace {

// A request comes whole in one write of a script; one that takes longer is no script's.
constexpr int kRequestMs = 5000;
// Connections waiting at once: scripts of one user, not a flood.
constexpr std::size_t kMostWaiting = 64;

// Who is at the other end of `socket`, as the kernel knows it.
std::optional<ucred> Peer(const QLocalSocket& socket) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) {
    return std::nullopt;
  }
  return credentials;
}

}  // namespace

struct HandServer::Pending {
  QPointer<QLocalSocket> socket;
  std::string bytes;
  std::optional<hand_over::Request> request;
  qint64 peer = 0;
  QTimer deadline;
};

HandServer::HandServer(Serve serve) : serve_(std::move(serve)) {
  QObject::connect(&server_, &QLocalServer::newConnection, [this] { Accept(); });
}

HandServer::~HandServer() {
  server_.close();
  for (auto& pending : pending_) {
    if (pending->socket) pending->socket->abort();
  }
}

QString HandServer::PathFor(const QString& runtimeDir, qint64 pid) {
  return QStringLiteral("%1/projector-panel/holder-%2").arg(runtimeDir).arg(pid);
}

std::optional<std::string> HandServer::Listen() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (runtime.isEmpty()) return "XDG_RUNTIME_DIR is not set";
  const QString dir = runtime + QStringLiteral("/projector-panel");
  const QByteArray encoded = QFile::encodeName(dir);
  ::mkdir(encoded.constData(), 0700);
  // Only a folder of this user's own, which nobody else may enter, holds the door.
  struct stat info {};
  if (::lstat(encoded.constData(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid() ||
      ::chmod(encoded.constData(), 0700) != 0) {
    return dir.toStdString() + " is not a folder of this user's own";
  }
  const QString path = PathFor(runtime, QCoreApplication::applicationPid());
  QLocalServer::removeServer(path);
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_.listen(path)) return server_.errorString().toStdString();
  ::chmod(QFile::encodeName(path).constData(), 0600);
  return std::nullopt;
}

void HandServer::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    const auto peer = Peer(*socket);
    if (!peer || peer->uid != ::getuid() || pending_.size() >= kMostWaiting) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto pending = std::make_unique<Pending>();
    Pending* raw = pending.get();
    raw->socket = socket;
    raw->peer = peer->pid;
    raw->deadline.setSingleShot(true);
    QObject::connect(&raw->deadline, &QTimer::timeout, [this, socket] { Drop(socket); });
    QObject::connect(socket, &QLocalSocket::readyRead, [this, raw] { Read(*raw); });
    QObject::connect(socket, &QLocalSocket::disconnected, [this, socket] { Drop(socket); });
    raw->deadline.start(kRequestMs);
    pending_.push_back(std::move(pending));
    Read(*raw);
  }
}

void HandServer::Read(Pending& pending) {
  if (!pending.socket || pending.request) return;
  pending.bytes += pending.socket->readAll().toStdString();
  const auto decoded = hand_over::DecodeRequest(pending.bytes);
  if (std::holds_alternative<hand_over::NeedMore>(decoded)) return;
  if (std::holds_alternative<hand_over::Malformed>(decoded)) {
    Drop(pending.socket);
    return;
  }
  pending.request = std::get<hand_over::Request>(decoded);
  pending.bytes.clear();
  pending.deadline.stop();
  Take(pending);
}

void HandServer::Take(Pending& pending) {
  const auto found = std::find_if(pending_.begin(), pending_.end(), [&pending](const auto& p) { return p.get() == &pending; });
  // Taken out before it is served: the wait runs the event loop, where others come and go.
  std::shared_ptr<Pending> served(std::move(*found));
  pending_.erase(found);
  served->socket->disconnect();
  Fiber::Start([this, served] {
    // A holder passing on another's run names that hand; a name that would break a log line is not taken.
    const std::string& named = served->request->hand;
    const bool plain = !named.empty() && named.size() <= 64 &&
                       std::all_of(named.begin(), named.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    const Hand hand{served->peer, plain ? named : "script " + std::to_string(served->peer)};
    const hand_over::Reply reply = serve_(*served->request, hand);
    // A hand that left has lost its answer, not the exchange: the holder's log has it.
    if (served->socket && served->socket->state() == QLocalSocket::ConnectedState) {
      QLocalSocket* socket = served->socket;
      socket->write(QByteArray::fromStdString(hand_over::Encode(reply)));
      QObject::connect(socket, &QLocalSocket::bytesWritten, socket, [socket] {
        if (socket->bytesToWrite() == 0) socket->disconnectFromServer();
      });
      QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    } else if (served->socket) {
      served->socket->deleteLater();
    }
  });
}

void HandServer::Drop(QLocalSocket* socket) {
  const auto found = std::find_if(pending_.begin(), pending_.end(), [socket](const auto& p) { return p->socket == socket; });
  if (found != pending_.end()) {
    // Its timer may be the one calling: it goes once the call is over.
    std::shared_ptr<Pending> gone(std::move(*found));
    pending_.erase(found);
    QTimer::singleShot(0, &server_, [gone] {});
  }
  if (socket != nullptr) {
    socket->disconnect();
    socket->abort();
    socket->deleteLater();
  }
}
