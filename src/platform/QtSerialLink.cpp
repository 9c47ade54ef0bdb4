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

QString QtSerialLink::Name() const { return QStringLiteral("COM%1 (%2)").arg(portNumber_).arg(DevicePath()); }

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

bool QtSerialLink::Apply(const LineSettings& s) {
  return port_.setBaudRate(s.baud) && port_.setParity(s.parity) && port_.setDataBits(s.dataBits) &&
         port_.setStopBits(s.stopBits) && port_.setFlowControl(QSerialPort::NoFlowControl);
}

namespace {

// Errors that mean the device is gone rather than that it refused what was asked of it.
bool DeviceWentAway(QSerialPort::SerialPortError error) {
  return error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError ||
         error == QSerialPort::ReadError || error == QSerialPort::WriteError;
}

const char* const kComeBack =
    "Reconnect the device, then click again (or choose the port again with COM).";

}  // namespace

void QtSerialLink::SetLineSettings(const std::string& settings) {
  const LineSettings parsed = Parse(settings);
  SettleLoss();
  // Takes effect at once on an open port; a closed or lost one gets the settings when it opens.
  if (port_.isOpen() && !Apply(parsed)) {
    const QSerialPort::SerialPortError error = port_.error();
    const QString reason = port_.errorString();
    port_.clearError();
    if (closePending_ || DeviceWentAway(error)) {
      settings_ = parsed;  // what the operator chose is what the port comes back with
      Lose();
      throw LinkLost(QStringLiteral("The speed of %1 could not be changed: the device hung up or was unplugged. "
                                    "The new speed is kept for when the port opens again. %2")
                         .arg(Name(), QLatin1String(kComeBack))
                         .toStdString());
    }
    throw Failure(QStringLiteral("The line settings of %1 could not be changed: %2.").arg(Name(), reason));
  }
  settings_ = parsed;
}

bool QtSerialLink::IsOpen() const { return port_.isOpen() && !closePending_; }

bool QtSerialLink::IsLost() const { return lost_ || closePending_; }

void QtSerialLink::Open() {
  SettleLoss();
  if (port_.isOpen()) throw Failure(QStringLiteral("%1 is already open.").arg(Name()));
  if (const auto failure = TryOpen()) FailOpen(*failure);
  lost_ = false;
}

std::optional<QtSerialLink::OpenFailure> QtSerialLink::TryOpen() {
  if (DevicePath().isEmpty()) {
    return OpenFailure{QSerialPort::DeviceNotFoundError, QStringLiteral("no device is set"), false};
  }
  closePending_ = false;
  port_.clearError();
  // The path as given: a symbolic link is followed afresh at every open.
  port_.setPortName(DevicePath());
  if (!port_.open(QIODevice::ReadWrite)) {
    OpenFailure failure{port_.error(), port_.errorString(), false};
    port_.clearError();
    return failure;
  }
  if (Apply(settings_)) {
    // Whatever the device sent before this open answers nothing the panel asked.
    DiscardInput();
    return std::nullopt;
  }
  OpenFailure failure{port_.error(), port_.errorString(), true};
  port_.close();
  port_.clearError();
  return failure;
}

void QtSerialLink::FailOpen(const OpenFailure& failure) const {
  const QString name = Name();
  if (DevicePath().isEmpty()) throw Failure(QStringLiteral("No device is set for COM%1.").arg(portNumber_));
  if (const auto wrongKind = WrongKindOfDevice(name, DevicePath(), portNumber_)) throw Failure(*wrongKind);
  if (failure.settingsRefused) {
    throw Failure(QStringLiteral("The line settings of %1 could not be changed: %2.").arg(name, failure.reason));
  }
  switch (failure.error) {
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
                        .arg(name, failure.reason));
    case QSerialPort::OpenError:
      throw Failure(QStringLiteral("%1 could not be opened: it is already in use.").arg(name));
    default:
      throw Failure(QStringLiteral("%1 could not be opened: %2. Check the cable and the device.")
                        .arg(name, failure.reason));
  }
}

void QtSerialLink::Close() {
  closePending_ = false;
  lost_ = false;
  port_.close();
}

void QtSerialLink::Write(const std::string& bytes) {
  SettleLoss();
  if (lost_) {
    const QString lost = QStringLiteral("Nothing was sent: %1 was lost: the device hung up or was unplugged").arg(Name());
    if (!ReopenAllowed()) throw LinkLost(QStringLiteral("%1. %2").arg(lost, QLatin1String(kComeBack)).toStdString());
    // The operator may have plugged the device back in and clicked: try the same path once.
    if (const auto failure = TryOpen()) {
      throw LinkLost(QStringLiteral("%1, and opening it again failed (%2). %3")
                         .arg(lost, failure->reason, QLatin1String(kComeBack))
                         .toStdString());
    }
    lost_ = false;
  }
  if (!port_.isOpen()) {
    // Only a failed port selection leaves the port closed, and choosing a port then does not open
    // it: advice to choose one would not be true.
    throw Failure(QStringLiteral("Nothing was sent: %1 is not open. The panel opens a closed port only when it "
                                 "starts: end it with END and start it again.")
                      .arg(Name()));
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

void QtSerialLink::DiscardInput() {
  if (port_.isOpen()) port_.clear(QSerialPort::Input);
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

void QtSerialLink::Lose() {
  closePending_ = false;
  port_.close();
  port_.clearError();
  lost_ = true;
}

void QtSerialLink::SettleLoss() {
  if (closePending_) Lose();
}

void QtSerialLink::OnError(QSerialPort::SerialPortError error) {
  if (!DeviceWentAway(error) || closePending_ || !port_.isOpen()) return;
  closePending_ = true;
  // Closed from the event loop rather than here: this runs inside the port's own notifier.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (closePending_) Lose();  // unless closed, lost or reopened meanwhile
      },
      Qt::QueuedConnection);
}
