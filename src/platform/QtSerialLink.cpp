#include "platform/QtSerialLink.h"

#include <QFile>
#include <algorithm>

#include "platform/DeviceKind.h"
#include "platform/LinkTexts.h"
#include "platform/PortHolder.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace {

LinkError Failure(const QString& text) { return LinkError(text.toStdString()); }
LinkLost Loss(const QString& text) { return LinkLost(text.toStdString()); }

// A frame as the operator sent it: the final CR is the panel's, not theirs.
QString FrameText(const std::string& frame) {
  std::string_view text(frame);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtSerialLink::QtSerialLink(PortMap map, QObject* parent)
    : QObject(parent), map_(std::move(map)) {
  port_.setPortName(map_.PathFor(portNumber_));
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialLink::OnReadyRead);
  connect(&port_, &QSerialPort::bytesWritten, this, &QtSerialLink::OnBytesWritten);
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
      throw Loss(LinkTexts::SpeedLost(Name()));
    }
    throw Failure(LinkTexts::SettingsRefused(Name(), reason));
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
  ClosePort();
  // The path as given: a symbolic link is followed afresh at every open.
  port_.setPortName(DevicePath());
  if (!port_.open(QIODevice::ReadWrite)) {
    OpenFailure failure{port_.error(), port_.errorString(), false};
    port_.clearError();
    return failure;
  }
  Opened();
  if (!Apply(settings_)) {
    OpenFailure failure{port_.error(), port_.errorString(), true};
    // The port reported the failure as it happened, as a loss if the device went away: it belongs
    // to this attempt, which says what failed itself. Left pending, it would close whatever port
    // is open next.
    ClosePort();
    return failure;
  }
  // Whatever the device sent before this open answers nothing the panel asked.
  DiscardInput();
  device_ = Identify(DevicePath());
  return std::nullopt;
}

void QtSerialLink::FailOpen(const OpenFailure& failure) const {
  const QString name = Name();
  if (DevicePath().isEmpty()) throw Failure(QStringLiteral("No device is set for COM%1.").arg(portNumber_));
  const bool given = portNumber_ == 2 ? map_.com2Given : map_.com1Given;
  if (const auto wrongKind = WrongKindOfDevice(name, DevicePath(), portNumber_, given)) throw Failure(*wrongKind);
  if (failure.settingsRefused) {
    if (DeviceWentAway(failure.error)) throw Failure(LinkTexts::VanishedWhileOpening(name, failure.reason));
    throw Failure(LinkTexts::SettingsRefused(name, failure.reason));
  }
  switch (failure.error) {
    case QSerialPort::DeviceNotFoundError:
      throw Failure(LinkTexts::Missing(name, portNumber_, given));
    case QSerialPort::PermissionError:
      throw Failure(PermissionFailure(failure.reason));
    case QSerialPort::OpenError:
      throw Failure(LinkTexts::Busy(name, QString()));
    default:
      throw Failure(LinkTexts::OpenFailed(name, failure.reason));
  }
}

QString QtSerialLink::PermissionFailure(const QString& reason) const {
  // QSerialPort says "permission" for a port another program holds (its lock file, or the
  // device's exclusive mode) as well as for a device this user may not open.
  if (const auto holder = PortHolder(DevicePath())) return LinkTexts::Busy(Name(), *holder);
#ifdef Q_OS_UNIX
  if (::access(QFile::encodeName(DevicePath()).constData(), R_OK | W_OK) != 0) {
    return LinkTexts::Forbidden(Name(), reason);
  }
  // The device is this user's to open, so someone else has it.
  return LinkTexts::Busy(Name(), QString());
#else
  return LinkTexts::Forbidden(Name(), reason);
#endif
}

void QtSerialLink::Close() {
  ClosePort();
  lost_ = false;
}

void QtSerialLink::Write(const std::string& bytes) {
  SettleLoss();
  if (lost_) Reopen();
  if (!port_.isOpen()) throw Failure(LinkTexts::NotOpen(Name()));
  Send(bytes);
}

void QtSerialLink::Reopen() {
  if (!ReopenAllowed()) throw Loss(LinkTexts::Lost(Name(), QString()));
  // The operator may have plugged the device back in and clicked; whatever else now answers to
  // the path is not what they clicked for, and nothing goes to it unasked.
  const DeviceIdentity now = Identify(DevicePath());
  if (!now.Present()) throw Loss(LinkTexts::Lost(Name(), QStringLiteral("there is no device at %1").arg(DevicePath())));
  if (now != device_) throw Loss(LinkTexts::DifferentDevice(Name(), DevicePath(), portNumber_));
  if (const auto failure = TryOpen()) throw Loss(LinkTexts::Lost(Name(), failure->reason));
  lost_ = false;
  RaisePortChange(PortChange::Reopened);
}

void QtSerialLink::Send(const std::string& frame) {
  const auto size = static_cast<qint64>(frame.size());
  qint64 handed = 0;
#ifdef Q_OS_UNIX
  // Straight to the driver while nothing waits before it in the port's own buffer, which would
  // take any frame and fail only later: a device that is gone says so to the click that sent to it.
  if (port_.bytesToWrite() == 0) {
    ssize_t written = 0;
    do {
      written = ::write(port_.handle(), frame.data(), frame.size());
    } while (written < 0 && errno == EINTR);
    if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
      const QString reason = qt_error_string(errno);
      Lose();
      throw Loss(LinkTexts::WriteFailed(Name(), {FrameText(frame)}, reason));
    }
    handed = std::max<qint64>(written, 0);
  }
#endif
  if (handed == size) return;
  // What the driver cannot take yet waits in the port's buffer, which hands it over as the line
  // drains; a failure there comes back through the port's error, and is reported then.
  pending_.push_back({FrameText(frame), size - handed});
  port_.write(frame.data() + handed, size - handed);
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
  // What counts is what the driver has not yet put on the line.
  int queued = 0;
  if (::ioctl(port_.handle(), TIOCOUTQ, &queued) == 0) return queued > 0;
#endif
  return false;
}

void QtSerialLink::OnReadyRead() {
  eventCode_ = kDataReceived;
  RaiseOnComm();
}

void QtSerialLink::OnBytesWritten(qint64 bytes) {
  while (bytes > 0 && !pending_.empty()) {
    PendingFrame& oldest = pending_.front();
    const qint64 taken = std::min(bytes, oldest.left);
    oldest.left -= taken;
    bytes -= taken;
    if (oldest.left == 0) pending_.pop_front();
  }
}

void QtSerialLink::ClosePort() {
  pending_.clear();
  if (port_.isOpen()) port_.close();
  port_.clearError();
  // Whatever loss the port reported until now, the closing itself included, was about the port
  // as it was: a close still queued for it has nothing left to do.
  closePending_ = false;
}

void QtSerialLink::Lose() {
  const bool told = closePending_;  // the port has been lost since the device's error
  QStringList undelivered;
  for (const PendingFrame& pending : pending_) undelivered.append(pending.frame);
  ClosePort();
  lost_ = true;
  if (!told) RaisePortChange(PortChange::Lost);
  // Told only now, with the port settled: the box's own event loop must not find it half closed.
  // Without a reason: QSerialPort's text for a hung-up line comes from whatever errno was left
  // ("Resource temporarily unavailable").
  if (!undelivered.isEmpty()) RaiseNotice(LinkTexts::WriteFailed(Name(), undelivered, QString()).toStdString());
}

void QtSerialLink::SettleLoss() {
  if (closePending_) Lose();
}

void QtSerialLink::OnError(QSerialPort::SerialPortError error) {
  if (!DeviceWentAway(error) || closePending_ || !port_.isOpen()) return;
  closePending_ = true;
  RaisePortChange(PortChange::Lost);
  // Closed from the event loop rather than here: this runs inside the port's own notifier.
  QMetaObject::invokeMethod(
      this,
      [this] {
        if (closePending_) Lose();  // unless closed or lost meanwhile
      },
      Qt::QueuedConnection);
}
