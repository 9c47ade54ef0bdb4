// The network link against small servers of the test's own on 127.0.0.1 that misbehave in one
// way each: what the operator is told, and how long the window waits for it.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

#include "QtRig.h"
#include "network/TelnetCodec.h"
#include "platform/NetworkSerialLink.h"

namespace {

using C = TelnetCodec;

std::string B(std::initializer_list<int> codes) {
  std::string bytes;
  for (const int code : codes) bytes.push_back(static_cast<char>(code));
  return bytes;
}

std::string Answer(int command, const std::string& value) {
  return B({C::kIac, C::kSb, C::kComPort, C::kServerOffset + command}) + value + B({C::kIac, C::kSe});
}
std::string Baud(int baud) { return B({baud >> 24 & 0xFF, baud >> 16 & 0xFF, baud >> 8 & 0xFF, baud & 0xFF}); }
// The request for a speed, as the client sends it (no 0xFF among these speeds).
std::string AskedFor(int baud) { return B({C::kIac, C::kSb, C::kComPort, C::kSetBaud}) + Baud(baud); }
std::string Agree() { return B({C::kIac, C::kDo, C::kComPort}); }
std::string Confirm(int baud, int parity = C::kParityNone) {
  return Answer(C::kSetBaud, Baud(baud)) + Answer(C::kSetDataSize, "\x08") + Answer(C::kSetParity, B({parity})) +
         Answer(C::kSetStopSize, "\x01");
}

// A server that answers what the client has sent so far; it reads nothing when `respond` is empty.
struct FakeServer {
  using Respond = std::function<std::string(const std::string& heard)>;

  explicit FakeServer(Respond reply) : respond(std::move(reply)) {
    server.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server, &QTcpServer::newConnection, [this] {
      client = server.nextPendingConnection();
      if (!respond) {
        client->setReadBufferSize(1);  // what the client sends stays with the system
        return;
      }
      client->write(QByteArray::fromStdString(respond({})));
      QObject::connect(client, &QTcpSocket::readyRead, [this] {
        heard += client->readAll().toStdString();
        client->write(QByteArray::fromStdString(respond(heard)));
      });
    });
  }

  Respond respond;
  QTcpServer server;
  QTcpSocket* client = nullptr;
  std::string heard;
};

bool Has(const std::string& heard, const std::string& part) { return heard.find(part) != std::string::npos; }

// The link does not run the event loop while it waits, so the server answers from a thread of its own.
struct ServerThread {
  explicit ServerThread(FakeServer::Respond respond) {
    thread.start();
    QMetaObject::invokeMethod(&anchor, [&] { server = std::make_unique<FakeServer>(respond); }, Qt::BlockingQueuedConnection);
  }
  ~ServerThread() {
    QMetaObject::invokeMethod(&anchor, [&] { server.reset(); }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
  }
  quint16 Port() const { return server->server.serverPort(); }

  QThread thread;
  QObject anchor;
  std::unique_ptr<FakeServer> server;
  bool moved = (anchor.moveToThread(&thread), true);
};

TEST(NetworkLink, OpeningFailsWithATrueMessageInBoundedTime) {
  const struct {
    const char* name;
    const char* scheme;
    FakeServer::Respond respond;  // none: nothing listens on the port
    const char* expected;         // %1 is the port
    int atLeastMs, atMostMs;
    bool changeSpeed = false;     // the failure comes at a speed change on the open port
  } cases[] = {
      {"nothing listens", "rfc2217", nullptr,
       "COM1 (rfc2217://127.0.0.1:%1) could not be opened: nothing accepts connections at 127.0.0.1 port %1. Check "
       "that the serial server is running and reachable from here, the port number, and that no firewall blocks it.",
       0, 1000},
      {"nothing listens, raw", "socket", nullptr,
       "COM1 (socket://127.0.0.1:%1) could not be opened: nothing accepts connections at 127.0.0.1 port %1.", 0, 1000},
      {"the server refuses the com port option", "rfc2217",
       [](const std::string&) { return B({C::kIac, C::kDont, C::kComPort}); },
       "COM1 (rfc2217://127.0.0.1:%1) could not be opened: the server at 127.0.0.1 port %1 refused the serial port "
       "control of RFC 2217, so it cannot set the line. Configure its port as telnet(rfc2217), or use "
       "socket://127.0.0.1:%1 for a raw TCP port.",
       0, 1000},
      {"the server never answers", "rfc2217", [](const std::string&) { return std::string(); },
       "the server at 127.0.0.1 port %1 did not agree to the serial port control of RFC 2217 within 3 seconds. If its "
       "port is raw TCP, use socket://127.0.0.1:%1; otherwise configure it as telnet(rfc2217).",
       2900, 3600},
      {"the server sets another speed", "rfc2217",
       [](const std::string& heard) { return heard.empty() ? Agree() : Has(heard, AskedFor(19200)) ? Confirm(9600) : ""; },
       "the server at 127.0.0.1 port %1 refused the speed 19200 baud: it answered 9600 baud.", 0, 1000},
      {"the server sets another parity", "rfc2217",
       [](const std::string& heard) { return heard.empty() ? Agree() : Has(heard, AskedFor(19200)) ? Confirm(19200, 3) : ""; },
       "the server at 127.0.0.1 port %1 refused the parity none: it answered even.", 0, 1000},
      {"a speed change the server refuses", "rfc2217",
       [](const std::string& heard) {
         if (heard.empty()) return Agree();
         if (Has(heard, AskedFor(9600))) return Answer(C::kSetBaud, Baud(19200));
         return Has(heard, AskedFor(19200)) ? Confirm(19200) : "";
       },
       "The speed of COM1 (rfc2217://127.0.0.1:%1) could not be changed: the server at 127.0.0.1 port %1 refused the "
       "speed 9600 baud: it answered 19200 baud.",
       0, 1000, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ServerThread> server;
    quint16 port = 0;
    if (c.respond) {
      server = std::make_unique<ServerThread>(c.respond);
      port = server->Port();
    } else {
      QTcpServer probe;  // a port nobody listens on once the probe is gone
      probe.listen(QHostAddress::LocalHost, 0);
      port = probe.serverPort();
    }
    NetworkSerialLink link(PortMap{QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(c.scheme)).arg(port), {}});
    QElapsedTimer elapsed;
    elapsed.start();
    std::string message;
    try {
      link.Open();
      if (c.changeSpeed) link.SetLineSettings("9600,N,8,1");
    } catch (const LinkError& error) {
      message = error.what();
    }
    EXPECT_NE(message.find(QString::fromLatin1(c.expected).arg(port).toStdString()), std::string::npos) << message;
    EXPECT_GE(elapsed.elapsed(), c.atLeastMs);
    EXPECT_LE(elapsed.elapsed(), c.atMostMs);
  }
}

// Bytes the connection still held when the server reset it are reported once the operation has
// returned: in the socket's own buffer, or already with the system (which a reset empties).
TEST(NetworkLink, AWriteTheDroppedConnectionCouldNotDeliverIsReported) {
  for (const int before : {64 << 20, 1 << 20}) {
    SCOPED_TRACE(before);
    ServerThread server(nullptr);  // reads nothing, so the bytes pile up on our side
    NetworkSerialLink link(PortMap{QStringLiteral("socket://127.0.0.1:%1").arg(server.Port()), {}});
    std::vector<std::string> notices;
    link.SetOnNotice([&notices](const std::string& text) { notices.push_back(text); });
    link.Open();
    link.Write(std::string(before, 'x'));
    link.Write("C00\r");
    WaitUntil([] { return false; }, 300);  // a megabyte has left the socket's buffer by then
    ASSERT_TRUE(link.OutputPending());
    QMetaObject::invokeMethod(&server.anchor, [&] {
      const linger reset{1, 0};
      ::setsockopt(static_cast<int>(server.server->client->socketDescriptor()), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      server.server->client->abort();
    }, Qt::BlockingQueuedConnection);
    ASSERT_TRUE(WaitUntil([&] { return !notices.empty(); }, 5000));
    EXPECT_TRUE(link.IsLost());
    EXPECT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("The command \"C00\" may not have reached COM1 (socket://127.0.0.1:"), std::string::npos)
        << notices[0];
  }
}

}  // namespace
