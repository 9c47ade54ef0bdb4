#include "platform/QtSerialLink.h"

#include <QStringList>

#include "platform/DeviceKind.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace {

LinkError Failure(const QString& text) { return LinkError(text.toStdString()); }

}  // namespace

QtSerialLink::QtSerialLink(PortMap map, QObject* parent)
    : QObject(parent), map_(std::move(map)) {
  port_.setPortName(map_.PathFor(portNumber_));
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialLink::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialLink::OnError);
}

QString QtSerialLink::Name() const {
  return QStringLiteral("COM%1 (%2)").arg(portNumber_).arg(port_.portName());
}

void QtSerialLink::SetPortNumber(std::int16_t port) {
  if (port != 1 && port != 2) throw Failure(QStringLiteral("There is no port COM%1.").arg(port));
  portNumber_ = port;
  port_.setPortName(map_.PathFor(port));
}

QtSerialLink::LineSettings QtSerialLink::Parse(const std::string& settings) {
  const QStringList parts = QString::fromStdString(settings).split(QLatin1Char(','));
  const auto invalid = [&settings] {
    return Failure(QStringLiteral("The line settings \"%1\" are not valid (expected e.g. 19200,N,8,1).")
                       .arg(QString::fromStdString(settings)));
  };
  if (parts.size() != 4) throw invalid();

  LineSettings s{};
  bool ok = false;
  s.baud = parts[0].toInt(&ok);
  if (!ok || s.baud <= 0) throw invalid();

  const QString parity = parts[1].toUpper();
  if (parity == QLatin1String("N")) s.parity = QSerialPort::NoParity;
  else if (parity == QLatin1String("E")) s.parity = QSerialPort::EvenParity;
  else if (parity == QLatin1String("O")) s.parity = QSerialPort::OddParity;
  else if (parity == QLatin1String("M")) s.parity = QSerialPort::MarkParity;
  else if (parity == QLatin1String("S")) s.parity = QSerialPort::SpaceParity;
  else throw invalid();

  const int bits = parts[2].toInt(&ok);
  if (!ok || bits < 5 || bits > 8) throw invalid();
  s.dataBits = static_cast<QSerialPort::DataBits>(bits);

  if (parts[3] == QLatin1String("1")) s.stopBits = QSerialPort::OneStop;
  else if (parts[3] == QLatin1String("1.5")) s.stopBits = QSerialPort::OneAndHalfStop;
  else if (parts[3] == QLatin1String("2")) s.stopBits = QSerialPort::TwoStop;
  else throw invalid();
  return s;
}

void QtSerialLink::Apply(const LineSettings& s) {
  const bool ok = port_.setBaudRate(s.baud) && port_.setParity(s.parity) &&
                  port_.setDataBits(s.dataBits) && port_.setStopBits(s.stopBits) &&
                  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!ok) {
    const QString reason = port_.errorString();
    port_.clearError();
    throw Failure(QStringLiteral("The line settings of %1 could not be changed: %2.").arg(Name(), reason));
  }
}

void QtSerialLink::SetLineSettings(const std::string& settings) {
  const LineSettings parsed = Parse(settings);
  // Takes effect at once on an open port; a closed one gets the settings when it opens.
  if (port_.isOpen()) Apply(parsed);
  settings_ = parsed;
}

bool QtSerialLink::IsOpen() const { return port_.isOpen(); }

void QtSerialLink::Open() {
  if (port_.isOpen()) throw Failure(QStringLiteral("%1 is already open.").arg(Name()));
  if (port_.portName().isEmpty()) {
    throw Failure(QStringLiteral("No device is set for COM%1.").arg(portNumber_));
  }
  closePending_ = false;
  lostReason_.clear();
  port_.clearError();
  if (!port_.open(QIODevice::ReadWrite)) FailOpen();
  try {
    Apply(settings_);
  } catch (const LinkError&) {
    port_.close();
    throw;
  }
}

void QtSerialLink::FailOpen() {
  if (const auto wrongKind = WrongKindOfDevice(Name(), port_.portName(), portNumber_)) {
    port_.clearError();
    throw Failure(*wrongKind);
  }
  const QSerialPort::SerialPortError error = port_.error();
  const QString reason = port_.errorString();
  port_.clearError();
  const QString name = Name();
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      throw Failure(QStringLiteral(
          "%1 could not be opened: the device does not exist. Connect the projector's serial "
          "cable or USB adapter, or start the panel with --com%2 PATH to name the device.")
                        .arg(name).arg(portNumber_));
    case QSerialPort::PermissionError:
      throw Failure(QStringLiteral(
          "%1 could not be opened: %2. Another program may be using the port; otherwise your "
          "user needs access to the serial device (on Debian: membership of the dialout group, "
          "sudo adduser $USER dialout, then log in again).")
                        .arg(name, reason));
    case QSerialPort::OpenError:
      throw Failure(QStringLiteral("%1 could not be opened: it is already in use.").arg(name));
    default:
      throw Failure(QStringLiteral("%1 could not be opened: %2. Check the cable and the device.")
                        .arg(name, reason));
  }
}

void QtSerialLink::Close() {
  closePending_ = false;
  lostReason_.clear();
  port_.close();
}

void QtSerialLink::Write(const std::string& bytes) {
  if (!port_.isOpen()) {
    if (!lostReason_.isEmpty()) {
      throw Failure(QStringLiteral(
          "Nothing was sent: %1 was lost (%2). Check the cable and the projector, then choose "
          "the port again with COM.")
                        .arg(Name(), lostReason_));
    }
    throw Failure(QStringLiteral("Nothing was sent: %1 is not open. Choose a port with COM.").arg(Name()));
  }
  const qint64 written = port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (written != static_cast<qint64>(bytes.size())) {
    const QString reason = port_.errorString();
    throw Failure(QStringLiteral("Sending on %1 failed: %2.").arg(Name(), reason));
  }
}

std::string QtSerialLink::ReadAvailable() {
  if (!port_.isOpen()) return {};
  const QByteArray data = port_.readAll();
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

std::int16_t QtSerialLink::EventCode() const { return eventCode_; }

bool QtSerialLink::OutputPending() const {
  if (!port_.isOpen()) return false;
  if (port_.bytesToWrite() > 0) return true;
#ifdef Q_OS_UNIX
  // QSerialPort hands its buffer to the driver at once; what counts is what the driver has not
  // yet put on the line.
  int queued = 0;
  if (::ioctl(port_.handle(), TIOCOUTQ, &queued) == 0) return queued > 0;
#endif
  return false;
}

void QtSerialLink::OnReadyRead() {
  eventCode_ = kDataReceived;
  RaiseOnComm();
}

void QtSerialLink::OnError(QSerialPort::SerialPortError error) {
  if (error != QSerialPort::ReadError && error != QSerialPort::WriteError &&
      error != QSerialPort::ResourceError) {
    return;
  }
  if (closePending_ || !port_.isOpen()) return;
  lostReason_ = port_.errorString();
  closePending_ = true;
  // Closed from the event loop rather than here: this runs inside the port's own notifier.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (!closePending_) return;  // closed or reopened meanwhile
        closePending_ = false;
        port_.close();
        port_.clearError();
      },
      Qt::QueuedConnection);
}
