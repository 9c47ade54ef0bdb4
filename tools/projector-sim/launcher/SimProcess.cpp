#include "launcher/SimProcess.h"

#include <QDeadlineTimer>
#include <stdexcept>

SimProcess::SimProcess(const QStringList& args) {
  process_.start(QStringLiteral(PROJECTOR_SIM), args);
  if (!process_.waitForStarted(10000)) throw std::runtime_error("projector-sim did not start");
  const QDeadlineTimer deadline(10000);
  while (!process_.canReadLine()) {
    if (deadline.hasExpired() || !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      throw std::runtime_error("projector-sim printed no path: " +
                               process_.readAllStandardError().toStdString());
    }
  }
  path_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
}

SimProcess::~SimProcess() {
  if (process_.state() != QProcess::NotRunning) {
    process_.kill();
    process_.waitForFinished(5000);
  }
}

QString SimProcess::Log() {
  log_ += QString::fromLocal8Bit(process_.readAllStandardError());
  return log_;
}
