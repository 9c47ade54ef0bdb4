#include "Ser2net.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <stdexcept>

namespace {

quint16 FreePort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost, 0)) throw std::runtime_error("no free port on 127.0.0.1");
  return probe.serverPort();
}

}  // namespace

bool Listening(quint16 port) {
  QFile table(QStringLiteral("/proc/net/tcp"));
  if (!table.open(QIODevice::ReadOnly)) return false;
  // "sl local_address rem_address st ...": 0100007F:PORT, state 0A is LISTEN.
  const QByteArray local = QStringLiteral("0100007F:%1").arg(port, 4, 16, QLatin1Char('0')).toUpper().toLatin1();
  for (const QByteArray& line : table.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() > 3 && fields[1] == local && fields[3] == "0A") return true;
  }
  return false;
}

Ser2net::Ser2net(const QString& device, Kind kind) : kind_(kind) {
  port_ = FreePort();
  QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
  if (!config.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write ser2net.yaml");
  const QString accepter = kind == Kind::Rfc2217 ? QStringLiteral("telnet(rfc2217),tcp") : QStringLiteral("tcp");
  config.write(QStringLiteral("connection: &projector\n"
                              "  accepter: %1,127.0.0.1,%2\n"
                              "  connector: serialdev,%3,19200n81,local\n")
                   .arg(accepter)
                   .arg(port_)
                   .arg(device)
                   .toUtf8());
  config.close();
  Start();
}

Ser2net::~Ser2net() { Kill(); }

QString Ser2net::Url() const {
  return QStringLiteral("%1://127.0.0.1:%2")
      .arg(kind_ == Kind::Rfc2217 ? QStringLiteral("rfc2217") : QStringLiteral("socket"))
      .arg(port_);
}

void Ser2net::Start() {
  // -n: in the foreground, a child of the test; -u: no lock files under /var/lock.
  process_.setProcessChannelMode(QProcess::MergedChannels);
  process_.setStandardOutputFile(QProcess::nullDevice());  // its one complaint: no mDNS here
  // Debian puts it in /usr/sbin, which a user's PATH may leave out.
  QString program = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
  if (program.isEmpty()) program = QStringLiteral("/usr/sbin/ser2net");
  process_.start(program,
                 {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                  dir_.filePath(QStringLiteral("ser2net.yaml")), QStringLiteral("-P"),
                  dir_.filePath(QStringLiteral("ser2net.pid"))});
  if (!process_.waitForStarted(5000)) throw std::runtime_error("ser2net did not start (is it installed?)");
  QElapsedTimer waited;
  waited.start();
  while (!Listening(port_)) {
    if (waited.elapsed() > 5000 || process_.state() != QProcess::Running) {
      throw std::runtime_error("ser2net does not listen on its port");
    }
    QThread::msleep(10);
  }
}

void Ser2net::Kill() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.kill();
  process_.waitForFinished(5000);
}

void Ser2net::Restart() {
  Kill();
  Start();
}
