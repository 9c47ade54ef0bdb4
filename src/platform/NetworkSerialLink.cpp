#include "platform/NetworkSerialLink.h"

#include <QHostInfo>
#include <QScopedValueRollback>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/LinkTexts.h"
#include "platform/NetworkLinkTexts.h"

#ifdef Q_OS_LINUX
#include <linux/sockios.h>
#include <sys/ioctl.h>
#endif

namespace texts = network_texts;

namespace {

LinkError Failure(const QString& text) { return LinkError(text.toStdString()); }

int Seconds(int ms) { return (ms + 999) / 1000; }

// The system's name lookup cannot be given a time limit, so it runs on a thread of its own and is
// abandoned when the time is up; the thread finishes on its own and its answer goes nowhere.
std::optional<QHostInfo> LookUp(const QString& host, const QDeadlineTimer& deadline) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<QHostInfo> info;
  };
  auto shared = std::make_shared<Shared>();
  std::thread([shared, host] {
    QHostInfo info = QHostInfo::fromName(host);
    const std::lock_guard lock(shared->mutex);
    shared->info = std::move(info);
    shared->done.notify_one();
  }).detach();
  std::unique_lock lock(shared->mutex);
  shared->done.wait_for(lock, std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0)),
                        [&shared] { return shared->info.has_value(); });
  return shared->info;
}

// The four settings the panel asks of an rfc2217:// server, as the server states them.
QString ParityName(std::uint8_t code) {
  static const char* const names[] = {"?", "none", "odd", "even", "mark", "space"};
  return code < 6 ? QLatin1String(names[code]) : QStringLiteral("code %1").arg(code);
}

QString StopName(std::uint8_t code) {
  static const char* const names[] = {"?", "1", "2", "1.5"};
  return code < 4 ? QLatin1String(names[code]) : QStringLiteral("code %1").arg(code);
}

}  // namespace

NetworkSerialLink::NetworkSerialLink(PortMap map, QObject* parent, int budgetMs)
    : QObject(parent), map_(std::move(map)), budgetMs_(budgetMs) {
  connect(&socket_, &QTcpSocket::readyRead, this, &NetworkSerialLink::OnReadyRead);
  connect(&socket_, &QTcpSocket::disconnected, this, &NetworkSerialLink::OnDropped);
  connect(&socket_, &QTcpSocket::errorOccurred, this, &NetworkSerialLink::OnDropped);
  drainWatch_.setInterval(kDrainWatchMs);
  connect(&drainWatch_, &QTimer::timeout, this, &NetworkSerialLink::LookAtQueue);
}

NetworkSerialLink::~NetworkSerialLink() {
  open_ = false;
  socket_.disconnect(this);
  socket_.abort();
}

QString NetworkSerialLink::Name() const { return QStringLiteral("COM%1 (%2)").arg(portNumber_).arg(Device()); }

QString NetworkSerialLink::Server() const {
  const DeviceName device = ReadDeviceName(Device().toStdString());
  const auto* address = std::get_if<NetworkAddress>(&device);
  return address != nullptr ? QString::fromStdString(HostAndPort(*address)) : Device();
}

NetworkAddress NetworkSerialLink::Address() const {
  const DeviceName device = ReadDeviceName(Device().toStdString());
  if (const auto* address = std::get_if<NetworkAddress>(&device)) return *address;
  const auto* malformed = std::get_if<MalformedDevice>(&device);
  throw Failure(texts::MalformedAddress(
      Name(), malformed != nullptr ? QString::fromStdString(malformed->reason) : QStringLiteral("it is not a network address")));
}

void NetworkSerialLink::SetPortNumber(std::int16_t port) {
  if (port != 1 && port != 2) throw Failure(QStringLiteral("There is no port COM%1.").arg(port));
  portNumber_ = port;
}

void NetworkSerialLink::SetLineSettings(const std::string& settings) {
  const QStringList parts = QString::fromStdString(settings).split(QLatin1Char(','));
  bool ok = false;
  const int baud = parts.value(0).toInt(&ok);
  if (parts.size() != 4 || !ok || baud <= 0 || parts[1].toUpper() != QLatin1String("N") ||
      parts[2] != QLatin1String("8") || parts[3] != QLatin1String("1")) {
    throw Failure(texts::BadSettings(QString::fromStdString(settings)));
  }
  const auto wanted = static_cast<std::uint32_t>(baud);
  if (wanted == baud_ || !open_ || lost_) {
    baud_ = wanted;  // a closed or lost port is given it when it connects
    return;
  }
  if (Address().kind == NetworkAddress::Kind::RawSocket) {
    baud_ = wanted;
    if (!std::exchange(speedNoticeGiven_, true)) RaiseNotice(texts::SpeedIsTheServers(Name(), baud).toStdString());
    return;
  }
  const QDeadlineTimer deadline(budgetMs_);
  {
    const QScopedValueRollback busy(waiting_, true);
    telnet_->ForgetAnswers();
    telnet_->RequestBaud(wanted);
    socket_.write(QByteArray::fromStdString(telnet_->TakeOutgoing()));
    socket_.flush();
    const bool answered = AwaitServer([this] { return telnet_->answers().baud.has_value(); }, deadline);
    if (!answered && socket_.state() != QAbstractSocket::ConnectedState) {
      baud_ = wanted;  // what the operator chose is what the port comes back with
      Drop();
      throw LinkLost(texts::SpeedLost(Name(), Server()).toStdString());
    }
    if (!answered) {
      throw Failure(texts::SpeedNotChanged(Name(), texts::SettingUnconfirmed(Server(), QStringLiteral("speed"),
                                                                              Seconds(budgetMs_))));
    }
    const std::uint32_t answer = *telnet_->answers().baud;
    if (answer != wanted) {
      throw Failure(texts::SpeedNotChanged(
          Name(), texts::SettingRefused(Server(), QStringLiteral("speed"), QStringLiteral("%1 baud").arg(wanted),
                                        QStringLiteral("%1 baud").arg(answer))));
    }
  }
  baud_ = wanted;
  // The device's bytes that came in while the server was answering wait for the event loop.
  if (!received_.empty()) {
    QMetaObject::invokeMethod(this, [this] { OnReadyRead(); }, Qt::QueuedConnection);
  }
}

bool NetworkSerialLink::IsOpen() const { return open_ && !lost_; }

bool NetworkSerialLink::IsLost() const { return lost_; }

void NetworkSerialLink::Open() {
  if (open_) throw Failure(QStringLiteral("%1 is already open.").arg(Name()));
  if (const auto reason = Connect()) throw Failure(texts::CouldNotOpen(Name(), *reason));
  open_ = true;
  lost_ = false;
}

std::optional<QString> NetworkSerialLink::Connect() {
  const NetworkAddress address = Address();
  const QScopedValueRollback busy(waiting_, true);
  const QDeadlineTimer deadline(budgetMs_);
  socket_.abort();
  telnet_.reset();
  std::optional<QString> failure = Reach(address, deadline);
  if (!failure && address.kind == NetworkAddress::Kind::Rfc2217) failure = SetLine(deadline);
  if (failure) {
    socket_.abort();
    return failure;
  }
  // Frames are a few bytes each: they leave at once rather than wait to be gathered.
  socket_.setSocketOption(QAbstractSocket::LowDelayOption, 1);
  // Whatever the device sent before this open answers nothing the panel asked.
  received_.clear();
  return std::nullopt;
}

std::optional<QString> NetworkSerialLink::Reach(const NetworkAddress& address, const QDeadlineTimer& deadline) {
  const QString host = QString::fromStdString(address.host);
  const QString server = QString::fromStdString(HostAndPort(address));
  QList<QHostAddress> candidates;
  if (QHostAddress literal; literal.setAddress(host)) {
    candidates.append(literal);
  } else {
    const auto info = LookUp(host, deadline);
    if (!info) return texts::NoAnswer(server, Seconds(budgetMs_));
    if (info->error() != QHostInfo::NoError || info->addresses().isEmpty()) return texts::HostUnknown(host, address.port);
    candidates = info->addresses();
  }
  std::optional<QString> failure;
  for (const QHostAddress& candidate : candidates) {
    if (deadline.hasExpired()) break;
    socket_.abort();
    socket_.connectToHost(candidate, address.port);
    if (socket_.waitForConnected(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)))) return std::nullopt;
    switch (socket_.error()) {
      case QAbstractSocket::ConnectionRefusedError: failure = texts::Refused(server); break;
      case QAbstractSocket::SocketTimeoutError: failure = texts::NoAnswer(server, Seconds(budgetMs_)); break;
      default: failure = texts::Unreachable(server, socket_.errorString()); break;
    }
  }
  return failure ? failure : texts::NoAnswer(server, Seconds(budgetMs_));
}

std::optional<QString> NetworkSerialLink::SetLine(const QDeadlineTimer& deadline) {
  const QString server = Server();
  const QString socketForm = QString::fromStdString(ToString(NetworkAddress{NetworkAddress::Kind::RawSocket,
                                                                            Address().host, Address().port}));
  telnet_ = std::make_unique<TelnetCodec>();
  socket_.write(QByteArray::fromStdString(telnet_->TakeOutgoing()));
  socket_.flush();
  const bool decided = AwaitServer([this] { return telnet_->comPort() != TelnetCodec::ComPort::Asked; }, deadline);
  if (socket_.state() != QAbstractSocket::ConnectedState) return texts::DroppedWhileOpening(server);
  if (!decided) return texts::ComPortUnanswered(server, Seconds(budgetMs_), socketForm);
  if (telnet_->comPort() == TelnetCodec::ComPort::Refused) return texts::ComPortRefused(server, socketForm);

  telnet_->ForgetAnswers();
  telnet_->RequestLineSettings(baud_);
  socket_.write(QByteArray::fromStdString(telnet_->TakeOutgoing()));
  socket_.flush();
  const TelnetCodec::Answers& answers = telnet_->answers();
  AwaitServer([&answers] { return answers.baud && answers.dataSize && answers.parity && answers.stopSize; }, deadline);
  if (socket_.state() != QAbstractSocket::ConnectedState) return texts::DroppedWhileOpening(server);
  const struct {
    const char* setting;
    bool given;
    bool right;
    QString asked, answered;
  } checks[] = {
      {"speed", answers.baud.has_value(), answers.baud == baud_, QStringLiteral("%1 baud").arg(baud_),
       QStringLiteral("%1 baud").arg(answers.baud.value_or(0))},
      {"data size", answers.dataSize.has_value(), answers.dataSize == 8, QStringLiteral("8 bits"),
       QStringLiteral("%1 bits").arg(answers.dataSize.value_or(0))},
      {"parity", answers.parity.has_value(), answers.parity == TelnetCodec::kParityNone, QStringLiteral("none"),
       ParityName(answers.parity.value_or(0))},
      {"stop bits", answers.stopSize.has_value(), answers.stopSize == TelnetCodec::kStopOne, QStringLiteral("1"),
       StopName(answers.stopSize.value_or(0))},
  };
  for (const auto& check : checks) {
    if (!check.given) return texts::SettingUnconfirmed(server, QLatin1String(check.setting), Seconds(budgetMs_));
    if (!check.right) return texts::SettingRefused(server, QLatin1String(check.setting), check.asked, check.answered);
  }
  return std::nullopt;
}

bool NetworkSerialLink::AwaitServer(const std::function<bool()>& done, const QDeadlineTimer& deadline) {
  for (;;) {
    Pump();
    if (done()) return true;
    if (socket_.state() != QAbstractSocket::ConnectedState || deadline.hasExpired()) return false;
    socket_.waitForReadyRead(static_cast<int>(std::max<qint64>(deadline.remainingTime(), 1)));
  }
}

bool NetworkSerialLink::Pump() {
  const QByteArray bytes = socket_.readAll();
  if (bytes.isEmpty()) return false;
  const std::size_t before = received_.size();
  if (telnet_) {
    telnet_->Receive(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), received_);
    const std::string answer = telnet_->TakeOutgoing();
    if (!answer.empty()) {
      socket_.write(answer.data(), static_cast<qint64>(answer.size()));
      socket_.flush();
    }
  } else {
    received_.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  return received_.size() > before;
}

void NetworkSerialLink::Close() {
  systemHolds_ = false;
  drainWatch_.stop();
  open_ = false;
  lost_ = false;
  socket_.abort();
  telnet_.reset();
  received_.clear();
}

void NetworkSerialLink::Write(const std::string& bytes) {
  if (open_ && !lost_ && socket_.state() != QAbstractSocket::ConnectedState) Drop();
  if (lost_) {
    if (!ReopenAllowed()) throw LinkLost(texts::LostNothingSent(Name(), Server()).toStdString());
    // The operator may have brought the server back and clicked: connect to the same address once.
    if (const auto reason = Connect()) {
      throw LinkLost(texts::LostReconnectFailed(Name(), Server(), *reason).toStdString());
    }
    lost_ = false;
    open_ = true;
    RaisePortChange(PortChange::Reopened);
  }
  if (!open_) throw Failure(LinkTexts::NotOpen(Name()));
  QByteArray out;
  if (telnet_) {
    telnet_->SendData(bytes);
    out = QByteArray::fromStdString(telnet_->TakeOutgoing());
  } else {
    out = QByteArray::fromStdString(bytes);
  }
  if (socket_.write(out) != out.size()) throw Failure(texts::SendFailed(Name(), socket_.errorString()));
  lastFrame_ = QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())).chopped(bytes.ends_with('\r') ? 1 : 0);
  socket_.flush();
  systemHolds_ = true;
  drainWatch_.start();
}

std::string NetworkSerialLink::ReadAvailable() { return std::exchange(received_, {}); }

void NetworkSerialLink::DiscardInput() {
  if (!IsOpen()) return;
  Pump();  // the server's protocol bytes among them are still answered
  received_.clear();
}

std::int16_t NetworkSerialLink::EventCode() const { return eventCode_; }

bool NetworkSerialLink::OutputPending() const {
  if (!IsOpen()) return false;
  // Counting what the system has not yet handed to the server: a repeat tick waits rather than queue.
  return socket_.bytesToWrite() > 0 || SystemQueue() > 0;
}

int NetworkSerialLink::SystemQueue() const {
  int queued = 0;
#ifdef Q_OS_LINUX
  if (::ioctl(static_cast<int>(socket_.socketDescriptor()), SIOCOUTQ, &queued) != 0) queued = 0;
#endif
  return queued;
}

void NetworkSerialLink::LookAtQueue() {
  if (OutputPending()) return;
  systemHolds_ = false;
  drainWatch_.stop();
}

void NetworkSerialLink::OnReadyRead() {
  if (waiting_ || !IsOpen()) return;
  // The server's answer comes after what was sent had reached it: looked at now, the queue is
  // known to be empty before a drop can follow.
  LookAtQueue();
  Pump();
  if (received_.empty()) return;  // only the protocol spoke
  eventCode_ = kDataReceived;
  RaiseOnComm();
}

void NetworkSerialLink::OnDropped() {
  if (waiting_ || !open_ || lost_) return;
  Drop();
}

void NetworkSerialLink::Drop() {
  // A reset empties the system's queue before this runs: what it held is known from the last look.
  const bool undelivered = socket_.bytesToWrite() > 0 || SystemQueue() > 0 || systemHolds_;
  systemHolds_ = false;
  drainWatch_.stop();
  const QString frame = lastFrame_;
  open_ = false;
  lost_ = true;
  RaisePortChange(PortChange::Lost);
  // Not inside the socket's own signal: the socket is finished with from the event loop, and the
  // operator is told there, where a box may open.
  QMetaObject::invokeMethod(
      this,
      [this, undelivered, frame] {
        if (!lost_) return;  // connected again meanwhile
        socket_.abort();
        if (undelivered) RaiseNotice(texts::LateWriteLost(Name(), Server(), frame).toStdString());
      },
      Qt::QueuedConnection);
}
