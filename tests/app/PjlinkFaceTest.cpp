// The PJLink face, driven by a controller written from the PJLink Class 1 standard: the greeting,
// the digest of the random and the password in front of the first request, "%1" requests ending
// in CR and "=" answers.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <memory>

#include "ProgramRun.h"
#include "launcher/SimProcess.h"

namespace {

class PjlinkClient {
 public:
  PjlinkClient(quint16 port, const std::string& password) {
    socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
    socket_.waitForConnected(5000);
    greeting = Line();
    const std::string random = greeting.rfind("PJLINK 1 ", 0) == 0 ? greeting.substr(9) : "";
    if (!random.empty()) {
      digest_ = QCryptographicHash::hash(QByteArray::fromStdString(random + password), QCryptographicHash::Md5)
                    .toHex()
                    .toStdString();
    }
  }
  // One line without its CR; "closed" when the projector closed the connection first.
  std::string Line(int ms = 10000) {
    std::string line;
    while (true) {
      char c = 0;
      while (socket_.getChar(&c)) {
        if (c == '\r') return line;
        line += c;
      }
      if (socket_.state() != QAbstractSocket::ConnectedState || !socket_.waitForReadyRead(ms)) {
        return socket_.state() == QAbstractSocket::ConnectedState ? "timed out" : "closed";
      }
    }
  }
  void Send(const std::string& bytes) {
    socket_.write(QByteArray::fromStdString(bytes));
    socket_.waitForBytesWritten(5000);
  }
  // The standard has the digest go with the first request of the connection only.
  std::string Ask(const std::string& command) {
    Send(std::exchange(digest_, "") + "%1" + command + "\r");
    return Line();
  }
  std::string greeting;

 private:
  QTcpSocket socket_;
  std::string digest_;
};

quint16 FreePort() {
  QTcpServer probe;
  probe.listen(QHostAddress::LocalHost);
  return probe.serverPort();
}

// Until the face takes connections.
void WaitForFace(quint16 port) {
  for (int i = 0; i < 1500; ++i) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (socket.waitForConnected(200)) return;
    QThread::msleep(20);
  }
}

// Until `command` answers `answer` (the projector warming up or cooling down), at most 10 s.
std::string AnswerOnceSettled(PjlinkClient& client, const std::string& command, const std::string& answer) {
  std::string got;
  for (int i = 0; i < 100 && (got = client.Ask(command)) != answer; ++i) QThread::msleep(100);
  return got;
}

TEST(PjlinkFace, AControllerDrivesTheProjectorThroughServeAndThroughTheWindow) {
  const Session session;
  SimProcess sim({"--warmup-ms", "300", "--cooldown-ms", "300"});
  const QString passwordFile = session.runtime.filePath(QStringLiteral("pjlink-password"));
  QFile file(passwordFile);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("s3cret\n");
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
  const QString log = session.runtime.filePath(QStringLiteral("traffic.log"));

  const struct {
    QStringList holder;
    QProcessEnvironment environment;
    std::string password;
  } holders[] = {
      {{"--serve", "--pjlink-password-file", passwordFile}, session.environment, "s3cret"},
      {{}, [&session] {
         QProcessEnvironment offscreen = session.environment;
         offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
         return offscreen;
       }(), ""},
  };
  for (const auto& holding : holders) {
    SCOPED_TRACE(holding.holder.join(QLatin1Char(' ')).toStdString());
    const quint16 port = FreePort();
    QProcess holder;
    StartHolder(holder, session,
                holding.holder + QStringList{"--com1", sim.Path(), "--log", log, "--pjlink", QString::number(port),
                                             "--pjlink-name", "Hall A"},
                holding.environment);
    WaitForFace(port);
    if (!holding.password.empty()) {
      PjlinkClient stranger(port, "guess");
      EXPECT_EQ(stranger.Ask("POWR 1"), "PJLINK ERRA");
      EXPECT_EQ(stranger.Line(), "closed");
    }
    PjlinkClient client(port, holding.password);
    EXPECT_EQ(client.greeting.substr(0, 8), holding.password.empty() ? "PJLINK 0" : "PJLINK 1");
    const struct {
      std::string command;
      std::string answer;
    } steps[] = {
        {"INPT 13", "%1INPT=OK"},   {"INPT ?", "%1INPT=13"},
        {"AVMT 11", "%1AVMT=OK"},         {"AVMT ?", "%1AVMT=11"},    {"AVMT 10", "%1AVMT=OK"},
        {"AVMT ?", "%1AVMT=30"},          {"ERST ?", "%1ERST=000000"}, {"LAMP ?", "%1LAMP=1234 1"},
        {"CLSS ?", "%1CLSS=1"},           {"INST ?", "%1INST=11 12 13 14"}, {"NAME ?", "%1NAME=Hall A"},
        {"INF1 ?", "%1INF1="},            {"AVMT 21", "%1AVMT=ERR2"}, {"LIST ?", "%1LIST=ERR1"},
    };
    EXPECT_EQ(client.Ask("POWR 1"), "%1POWR=OK");
    EXPECT_EQ(AnswerOnceSettled(client, "POWR ?", "%1POWR=1"), "%1POWR=1");
    for (const auto& step : steps) EXPECT_EQ(client.Ask(step.command), step.answer) << step.command;
    EXPECT_EQ(client.Ask("POWR 0"), "%1POWR=OK");
    EXPECT_EQ(AnswerOnceSettled(client, "POWR ?", "%1POWR=0"), "%1POWR=0");

    // The log names the hand, as the face saw it.
    QFile logged(log);
    ASSERT_TRUE(logged.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(logged.readAll());
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral(" pjlink 127\\.0\\.0\\.1:[0-9]+ TXD  C 0 7 CR \n"))))
        << text.toStdString();
    holder.terminate();
    ASSERT_TRUE(holder.waitForFinished(30000));
    EXPECT_EQ(holder.exitCode(), 0) << holder.readAllStandardError().toStdString();
    QFile::remove(log);
  }
}

// Garbage, floods, a line with no end and a ninth client leave the face answering; a bare port
// is on loopback only; a projector gone is ERR4 within the reply window, never an old value.
TEST(PjlinkFace, HostileClientsAndALostProjectorNeverGetAFalseAnswer) {
  const Session session;
  auto sim = std::make_unique<SimProcess>(QStringList{});
  const quint16 port = FreePort();
  QProcess holder;
  Serve(holder, session, {"--com1", sim->Path(), "--pjlink", QString::number(port)});
  WaitForFace(port);

  QProcess ss;
  ss.start(QStringLiteral("ss"), {"-ltnH", QStringLiteral("sport = :%1").arg(port)});
  ASSERT_TRUE(ss.waitForFinished(10000));
  const QString listening = QString::fromLatin1(ss.readAllStandardOutput()).simplified();
  EXPECT_TRUE(listening.contains(QStringLiteral(" 127.0.0.1:%1 ").arg(port))) << listening.toStdString();
  EXPECT_EQ(listening.count(QStringLiteral("LISTEN")), 1) << listening.toStdString();

  PjlinkClient flood(port, "");
  std::string garbage;
  for (int i = 0; i < 2000; ++i) garbage += "%1\x01\xff\r\n" + std::to_string(i) + "\r";
  flood.Send(garbage + std::string(200 * 1024, 'x') + "\r%1CLSS ?\r");
  EXPECT_EQ(flood.Line(), "%1CLSS=1");
  {
    PjlinkClient leaving(port, "");
    leaving.Send("%1LAMP ?\r");  // gone before its answer: the line goes on
  }
  EXPECT_EQ(flood.Ask("LAMP ?"), "%1LAMP=1234 0");
  std::vector<std::unique_ptr<PjlinkClient>> crowd;
  for (int i = 0; i < 7; ++i) crowd.push_back(std::make_unique<PjlinkClient>(port, ""));
  EXPECT_EQ(crowd.back()->greeting, "PJLINK 0");
  PjlinkClient ninth(port, "");
  EXPECT_EQ(ninth.greeting, "closed");
  EXPECT_EQ(crowd.front()->Ask("POWR ?"), "%1POWR=0");

  sim.reset();
  QElapsedTimer answered;
  answered.start();
  EXPECT_EQ(flood.Ask("POWR ?"), "%1POWR=ERR4");
  EXPECT_LT(answered.elapsed(), 3000);
  holder.terminate();
  ASSERT_TRUE(holder.waitForFinished(30000));
}

}  // namespace
