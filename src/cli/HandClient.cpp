#include "cli/HandClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include "cli/ErrorLines.h"
#include "cli/HandServer.h"
#include "cli/RunSend.h"
#include "network/HandOver.h"
#include "network/NetworkAddress.h"
#include "platform/PortHolder.h"

namespace {

// How long the holder may take to accept: its event loop is never held for long (a run waits
// beside it, not in it), but a window may be busy drawing.
constexpr int kConnectMs = 2000;

}  // namespace

std::optional<hand_over::Reply> AskHolder(const QString& path, const hand_over::Request& request, bool* reached) {
  QLocalSocket socket;
  socket.connectToServer(path);
  const bool connected = socket.waitForConnected(kConnectMs);
  if (reached != nullptr) *reached = connected;
  if (!connected) return std::nullopt;
  socket.write(QByteArray::fromStdString(hand_over::Encode(request)));
  std::string bytes;
  // The run takes as long as it takes; the holder ends the connection with its answer, or when
  // it ends itself.
  while (socket.state() == QLocalSocket::ConnectedState || socket.bytesAvailable() > 0) {
    if (socket.bytesAvailable() == 0) socket.waitForReadyRead(1000);
    bytes += socket.readAll().toStdString();
    const auto decoded = hand_over::DecodeReply(bytes);
    if (const auto* reply = std::get_if<hand_over::Reply>(&decoded)) return *reply;
    if (std::holds_alternative<hand_over::Malformed>(decoded)) break;
  }
  return std::nullopt;
}

std::optional<QString> HolderDoor(const QString& device) {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  if (runtime.isEmpty() || device.isEmpty()) return std::nullopt;
  if (IsNetworkAddress(device.toStdString())) {
    // No lock file says who has a network port open: each holder of this user is asked.
    hand_over::Request probe;
    probe.device = device.toStdString();
    probe.probe = true;
    const QString own = QStringLiteral("holder-%1").arg(QCoreApplication::applicationPid());
    const QDir doors(runtime + QStringLiteral("/projector-panel"));
    for (const QString& name : doors.entryList({QStringLiteral("holder-*")}, QDir::System)) {
      if (name == own) continue;
      const auto reply = AskHolder(doors.filePath(name), probe);
      if (reply && reply->exit == 0) return doors.filePath(name);
    }
    return std::nullopt;
  }
  const std::optional<qint64> holder = PortHolderProcess(device);
  if (!holder || *holder == QCoreApplication::applicationPid()) return std::nullopt;
  const QString path = HandServer::PathFor(runtime, *holder);
  if (!QFileInfo::exists(path)) return std::nullopt;
  return path;
}

std::optional<int> HandOverIfHeld(const SendRequest& request, const PortMap& ports, std::ostream& out,
                                  std::ostream& err) {
  const QString device = ports.PathFor(request.port);
  const std::optional<QString> door = HolderDoor(device);
  if (!door) return std::nullopt;
  hand_over::Request handed;
  handed.device = device.toStdString();
  handed.port = request.port;
  handed.speed = request.speed;
  handed.speedGiven = request.speedGiven;
  handed.address = std::string(request.address->caption);
  handed.json = request.json;
  handed.timeoutMs = request.timeoutMs;
  // The holder runs elsewhere: a log named from here must mean the same file there.
  if (request.log) handed.log = QFileInfo(QFile::decodeName(request.log->c_str())).absoluteFilePath().toStdString();
  handed.commands = request.commands;
  bool reached = false;
  if (const auto reply = AskHolder(*door, handed, &reached)) {
    out << reply->out << std::flush;
    err << reply->err << std::flush;
    return reply->exit;
  }
  // A door left by a holder that died: nobody is there, and the run goes on as a direct one.
  if (!reached) return std::nullopt;
  ErrorLines(err, request.json)
      .Error("COM" + std::to_string(request.port) + " (" + device.toStdString() + ") is held by " +
                 PortHolder(device).value_or(QStringLiteral("another program")).toStdString() +
                 ", which ended the run it was handed without an answer; run the commands again",
             nullptr, SendExit::kLinkFailed);
  return SendExit::kLinkFailed;
}

bool BorrowLine(const QString& device) {
  const std::optional<QString> door = HolderDoor(device);
  if (!door) return false;
  hand_over::Request lend;
  lend.device = device.toStdString();
  lend.lend = true;
  const auto reply = AskHolder(*door, lend);
  return reply && reply->exit == 0;
}
