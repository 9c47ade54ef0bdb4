#include "cli/PjlinkServer.h"

#include <QCryptographicHash>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>

#include <sys/stat.h>

#include "cli/Fiber.h"

namespace {

// Answers a client has not read yet: more than this, and it is not reading them.
constexpr qint64 kMostUnread = 64 * 1024;

// One command's outcome from the line the run printed for it with --json.
pjlink::ProjectorAnswer FromReport(const QByteArray& line) {
  using Kind = pjlink::ProjectorAnswer::Kind;
  const QJsonObject report = QJsonDocument::fromJson(line).object();
  const QString answer = report.value(QLatin1String("answer")).toString();
  pjlink::ProjectorAnswer outcome;
  if (answer == QLatin1String("ack")) outcome.kind = Kind::Ack;
  if (answer == QLatin1String("err")) outcome.kind = Kind::Err;
  if (answer != QLatin1String("data")) return outcome;
  const QJsonValue value = report.value(QLatin1String("value"));
  outcome.kind = Kind::Value;
  if (value.isDouble()) outcome.integer = static_cast<long long>(value.toDouble());
  if (value.isObject()) outcome.code = value.toObject().value(QLatin1String("code")).toString().toStdString();
  return outcome;
}

std::string HandName(const QTcpSocket& socket) {
  const QHostAddress peer = socket.peerAddress();
  const QString host = peer.protocol() == QAbstractSocket::IPv6Protocol && !peer.toIPv4Address()
                           ? QLatin1Char('[') + peer.toString() + QLatin1Char(']')
                           : QHostAddress(peer.toIPv4Address()).toString();
  return "pjlink " + host.toStdString() + ":" + std::to_string(socket.peerPort());
}

}  // namespace

struct PjlinkServer::Client {
  QTcpSocket* socket = nullptr;
  pjlink::LineReader reader;
  std::vector<std::string> lines;  // read, not yet taken
  std::optional<std::string> digest;  // what the password makes of this connection's random
  bool proven = false;
  bool busy = false;  // its request is waiting for the line or on it
  bool gone = false;
  QTimer idle;
};

PjlinkServer::PjlinkServer(HandServer::Serve serve, std::function<QString()> device, int com, pjlink::Texts texts,
                           std::optional<std::string> password)
    : serve_(std::move(serve)),
      device_(std::move(device)),
      com_(com),
      texts_(std::move(texts)),
      password_(std::move(password)) {
  QObject::connect(&server_, &QTcpServer::newConnection, [this] { Accept(); });
}

PjlinkServer::~PjlinkServer() {
  server_.close();
  for (const auto& client : clients_) {
    client->gone = true;
    client->socket->disconnect();
    client->socket->abort();
    client->socket->deleteLater();
  }
}

std::optional<std::string> PjlinkServer::Listen(const PjlinkListen& where) {
  QHostAddress address(QString::fromStdString(where.address));
  if (where.address == "localhost") address = QHostAddress::LocalHost;
  if (server_.listen(address, static_cast<quint16>(where.port))) return std::nullopt;
  return "the PJLink face cannot listen on " + where.address + " port " + std::to_string(where.port) + ": " +
         server_.errorString().toStdString();
}

void PjlinkServer::Accept() {
  while (QTcpSocket* socket = server_.nextPendingConnection()) {
    if (clients_.size() >= static_cast<std::size_t>(kMostClients)) {
      socket->abort();
      socket->deleteLater();
      continue;
    }
    auto client = std::make_shared<Client>();
    client->socket = socket;
    // A client that sends while its request waits fills this, and then the kernel's buffers.
    socket->setReadBufferSize(4096);
    client->idle.setSingleShot(true);
    client->idle.setInterval(kIdleMs);
    const std::weak_ptr<Client> weak = client;
    QObject::connect(&client->idle, &QTimer::timeout, [this, weak] {
      if (const auto c = weak.lock(); c && !c->busy) Close(c);
    });
    QObject::connect(socket, &QTcpSocket::readyRead, [this, weak] {
      if (const auto c = weak.lock()) Read(c);
    });
    QObject::connect(socket, &QTcpSocket::disconnected, [this, weak] {
      if (const auto c = weak.lock()) Close(c);
    });
    clients_.push_back(client);
    std::optional<std::string> random;
    if (password_) {
      random = QByteArray::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, '0').toStdString();
      client->digest = QCryptographicHash::hash(QByteArray::fromStdString(*random + *password_), QCryptographicHash::Md5)
                           .toHex()
                           .toStdString();
    }
    Say(*client, pjlink::Greeting(random));
    client->idle.start();
    Read(client);
  }
}

void PjlinkServer::Read(const std::shared_ptr<Client>& client) {
  while (!client->gone && !client->busy) {
    if (client->lines.empty()) {
      const QByteArray bytes = client->socket->read(4096);
      if (bytes.isEmpty()) return;
      client->idle.start();
      client->lines = client->reader.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
      std::reverse(client->lines.begin(), client->lines.end());
      continue;
    }
    const std::string line = std::move(client->lines.back());
    client->lines.pop_back();
    Take(client, line);
  }
}

void PjlinkServer::Take(const std::shared_ptr<Client>& client, const std::string& line) {
  const pjlink::Digested digested = pjlink::SplitDigest(line);
  if (client->digest) {
    // The first request proves the password; a later one that brings a digest must bring the right one.
    const std::string given = QByteArray::fromStdString(std::string(digested.digest)).toLower().toStdString();
    if (given != *client->digest && (!client->proven || !given.empty())) {
      Say(*client, std::string(pjlink::kAuthorisationError));
      Close(client);
      return;
    }
    client->proven = true;
  }
  const auto request = pjlink::ReadRequest(digested.rest);
  if (!request) return;
  const pjlink::Step step = pjlink::Plan(*request, texts_);
  if (const auto* answer = std::get_if<std::string>(&step)) {
    Say(*client, pjlink::Answered(*request, *answer));
    return;
  }
  const pjlink::Translation* row = std::get<pjlink::Ask>(step).row;
  client->busy = true;
  Fiber::Start([this, client, row, request = *request] {
    if (client->gone) return;
    hand_over::Request run;
    run.device = device_().toStdString();
    run.port = com_;
    run.json = true;
    for (const std::string_view sent : row->sent) {
      if (!sent.empty()) run.commands.emplace_back(sent);
    }
    const hand_over::Reply reply = serve_(run, Hand{0, HandName(*client->socket)});
    std::vector<pjlink::ProjectorAnswer> answers;
    for (const QByteArray& report : QByteArray::fromStdString(reply.out).split('\n')) {
      if (!report.isEmpty()) answers.push_back(FromReport(report));
    }
    client->busy = false;
    if (client->gone) return;
    Say(*client, pjlink::Answered(request, pjlink::Answer(*row, answers)));
    client->idle.start();
    // Lines that came meanwhile, once this turn is over.
    QTimer::singleShot(0, client->socket, [this, client] { Read(client); });
  });
}

void PjlinkServer::Say(Client& client, const std::string& text) {
  client.socket->write(text.data(), static_cast<qint64>(text.size()));
  if (client.socket->bytesToWrite() > kMostUnread) client.socket->abort();
}

void PjlinkServer::Close(const std::shared_ptr<Client>& client) {
  if (client->gone) return;
  client->gone = true;
  client->idle.stop();
  clients_.erase(std::remove(clients_.begin(), clients_.end(), client), clients_.end());
  QTcpSocket* socket = client->socket;
  socket->disconnect();
  if (socket->state() == QAbstractSocket::UnconnectedState) {
    socket->deleteLater();
    return;
  }
  // What was said last (the refusal of a password) still goes out before the close, if the
  // client takes it soon.
  QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
  QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
  socket->disconnectFromHost();
}

std::variant<std::string, PasswordProblem> ReadPjlinkPassword(const std::string& path) {
  QFile file(QFile::decodeName(path.c_str()));
  struct stat info {};
  if (!file.open(QIODevice::ReadOnly) || ::fstat(file.handle(), &info) != 0) {
    return PasswordProblem{"the PJLink password file " + path + " cannot be read: " + file.errorString().toStdString()};
  }
  if ((info.st_mode & (S_IRGRP | S_IROTH)) != 0) {
    return PasswordProblem{"the PJLink password file " + path +
                           " may be read by others; make it its owner's alone (chmod 600 " + path + ")"};
  }
  std::string password = file.readLine(4096).toStdString();
  while (!password.empty() && (password.back() == '\n' || password.back() == '\r')) password.pop_back();
  if (password.empty()) return PasswordProblem{"the PJLink password file " + path + " has no password on its first line"};
  if (const auto problem = pjlink::TextProblem("a PJLink password", password, pjlink::kLongestPassword)) {
    return PasswordProblem{*problem + " (in " + path + ")"};
  }
  return password;
}
