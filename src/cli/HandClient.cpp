#include "cli/HandClient.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>

#include "cli/ErrorLines.h"
#include "cli/HandServer.h"
#include "cli/RunSend.h"
#include "network/HandOver.h"
#include "platform/PortHolder.h"

namespace {

// How long the holder may take to accept: it serves one whole run at a time, and a run is
// bounded by its replies' windows and the last wait for owed replies.
constexpr int kConnectMs = 2000;

}  // namespace

std::optional<int> HandOverIfHeld(const SendRequest& request, const PortMap& ports, std::ostream& out,
                                  std::ostream& err) {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString device = ports.PathFor(request.port);
  if (runtime.isEmpty() || device.isEmpty()) return std::nullopt;
  const std::optional<qint64> holder = PortHolderProcess(device);
  if (!holder) return std::nullopt;
  const QString path = HandServer::PathFor(runtime, *holder);
  if (!QFileInfo::exists(path)) return std::nullopt;
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kConnectMs)) return std::nullopt;

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
  socket.write(QByteArray::fromStdString(hand_over::Encode(handed)));
  std::string bytes;
  // The run takes as long as it takes; the holder ends the connection with its answer, or when
  // it ends itself.
  while (socket.state() == QLocalSocket::ConnectedState || socket.bytesAvailable() > 0) {
    if (socket.bytesAvailable() == 0) socket.waitForReadyRead(1000);
    bytes += socket.readAll().toStdString();
    const auto decoded = hand_over::DecodeReply(bytes);
    if (const auto* reply = std::get_if<hand_over::Reply>(&decoded)) {
      out << reply->out << std::flush;
      err << reply->err << std::flush;
      return reply->exit;
    }
    if (std::holds_alternative<hand_over::Malformed>(decoded)) break;
  }
  ErrorLines(err, request.json)
      .Error("COM" + std::to_string(request.port) + " (" + device.toStdString() + ") is held by projector-panel (process " +
                 std::to_string(*holder) + "), which ended the run it was handed without an answer; run the commands again",
             nullptr, SendExit::kLinkFailed);
  return SendExit::kLinkFailed;
}
