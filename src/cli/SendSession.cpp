#include "cli/SendSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>

#include <utility>

#include "cli/Fiber.h"
#include "commands/CommandCatalogue.h"
#include "exchange/Frame.h"
#include "exchange/ReplyDecoders.h"
#include "hold/HoldNames.h"

namespace {

// How often a wait looks at what no core event reports: a broadcast frame leaving the line, a
// device going away, the end of a grace period.
constexpr int kPollMs = 10;

// The line settles after the open until it has been quiet this long, at most kSettleMs: what
// comes meanwhile was sent before anything was asked (the end of a reply to an earlier run, noise
// of the plugging) and answers no command. At 9600 baud a byte in progress takes about 1 ms, so a
// stream still coming shows within the quiet time.
constexpr int kQuietMs = 20;
constexpr int kSettleMs = 100;

// The longest reply window any sender sets: a reply owed when a run ends may take that long.
constexpr int kLongestReplyWindowMs = [] {
  int longest = 0;
  for (const PanelCommand& entry : kCommandCatalogue) longest = std::max(longest, entry.displayClear);
  return longest;
}();

}  // namespace

SendSession::SendSession(SerialLink& port, std::function<void(const LateBytes&)> onLate)
    : port_(port),
      gate_(port, Exchange::kRxBufferLimit),
      window_([this] { Watch(); }),
      form_(gate_, Timers{timer1_, timer2_, timer3_, timer4_}, window_) {
  gate_.SetOnLate(std::move(onLate));
}

SendSession::~SendSession() {
  // "END" without its end of the program: the port is closed, the caller carries on.
  form_.Dispatch.Run(OnFailure::Warn, [this] { form_.Command16_Click(); });
}

std::optional<std::string> SendSession::Start(const SendRequest& request) {
  // The window's start-up opens COM1 before it selects anything; here the chosen port is the
  // only one touched, so a missing or busy COM1 cannot stop a run on COM2. The same option
  // handlers as the panel's do the choosing: on a closed port the speed is kept for the open
  // and the port selection only picks the device.
  const auto step = [this](const std::function<void()>& handler) {
    form_.Dispatch.Run(OnFailure::EndProgram, handler);
    return !window_.Failed();
  };
  LinkSettings& settings = form_.linkSettings;
  const bool opened =
      step([&] { request.speed == 9600 ? settings.Option10_Click() : settings.Option9_Click(); }) &&
      step([&] { request.port == 2 ? settings.Option2_Click() : settings.Option1_Click(); }) &&
      step([this] { gate_.Open(); });
  if (!opened) return window_.Shown();
  form_.AddressOption_Click(*request.address);
  broadcast_ = form_.State.AddressPrefix == kBroadcastPrefix;
  timeoutMs_ = request.timeoutMs;
  // The open dropped what the device had sent before it; what comes while the line settles is
  // taken before the first frame and reported, never read as its reply.
  QElapsedTimer settling, quiet;
  settling.start();
  quiet.start();
  // Looks again the moment the quiet time is up, not at the next poll.
  QTimer quietUp;
  quietUp.setSingleShot(true);
  QObject::connect(&quietUp, &QTimer::timeout, [this] { Poll(); });
  quietUp.start(kQuietMs);
  std::size_t taken = gate_.Taken();
  WaitUntil([&] {
    gate_.TakeWaiting();
    if (gate_.Taken() != taken) taken = gate_.Taken(), quiet.restart(), quietUp.start(kQuietMs);
    return quiet.elapsed() >= kQuietMs || settling.elapsed() >= kSettleMs || interrupted_ || port_.IsLost();
  });
  return std::nullopt;
}

void SendSession::Transmit(const std::string& command) {
  // Text that is a one-shot button's command goes out as that button's click, with the reply
  // window that button would give it; a hold button's as one step of that button (its press,
  // with the press's reply window, and its release once the wait is over: no hand holds it, so
  // nothing repeats); anything else as typed text and "SEND".
  if (const HoldButton* button = HoldButtonOfCommand(command)) {
    form_.hold.Press(*button);
    timer1_.SetEnabled(false);
    held_ = button;
    // A mode an earlier step armed (D.Zoom's 5 ms cursor pad) shapes the repetition of a held
    // arrow, not a wait that one step makes for its reply.
    const TimingSet plain = PlainTiming(*button);
    if (timer2_.Interval() < plain.replyTimeout) timer2_.SetInterval(plain.replyTimeout);
    if (timer4_.Interval() < plain.displayClear) timer4_.SetInterval(plain.displayClear);
    return;
  }
  for (const PanelCommand& entry : kCommandCatalogue) {
    if (entry.command == command) {
      form_.commands.Click(entry);
      return;
    }
  }
  form_.Panel.Text1 = command;
  form_.freeText.Command95_Click();
}

SendSession::Outcome SendSession::Ask(const std::string& given, const std::string& command) {
  Outcome outcome;
  // Whatever came since the last wait answers nothing this frame asks: it is taken and reported
  // as late for the command before. Nothing is dropped unread: what comes from here on is taken
  // by the next event, for an owed reply or as this frame's.
  QCoreApplication::processEvents();
  gate_.TakeWaiting();
  gate_.FlushLate(false);
  if (interrupted_) {
    outcome.end = Outcome::End::Interrupted;
    return outcome;
  }
  if (port_.IsLost()) {
    outcome.end = Outcome::End::NotSent;
    outcome.lost = true;
    return outcome;
  }
  form_.Dispatch.Run(OnFailure::Warn, [&] {
    try {
      Transmit(command);
    } catch (const LinkLost& lost) {
      outcome.why = lost.what();
      outcome.lost = true;
    } catch (const LinkError& error) {
      outcome.why = error.what();
    }
  });
  if (!outcome.why.empty()) {
    outcome.end = Outcome::End::NotSent;
    return outcome;
  }
  gate_.Expect(given, !broadcast_, ShapeOfCommand(command));
  outcome.written = true;
  SentCommand& sent = outcome.sent;
  sent.command = given;
  sent.frame = form_.State.TxFrame;
  sent.query = SelectQuery(form_.State);
  sent.broadcast = broadcast_;
  if (timeoutMs_) {
    // Set after the frame went out, so the window runs from there; the lines must outlast it.
    timer2_.SetInterval(*timeoutMs_);
    timer4_.SetInterval(*timeoutMs_ + 500);
  }
  sent.waitMs = timer2_.Interval();

  reply_.clear();
  // The wait ends with its reply (a broadcast once its frame has left: no projector answers one)
  // or with the first thing that stops it. Once the reply is in, a loss is the next command's;
  // until then a loss or a failure comes before the window's end, and a broadcast still waiting
  // to go out when its window ends never reached the line.
  const auto end = [this] {
    if (!broadcast_ && (gate_.Complete() || gate_.Truncated())) return std::optional(Outcome::End::Over);
    if (port_.IsLost()) return std::optional(Outcome::End::Lost);
    if (broadcast_ && !timer2_.Enabled() && port_.OutputPending()) return std::optional(Outcome::End::Unsent);
    if (window_.Failed()) return std::optional(Outcome::End::Failed);
    if (broadcast_ ? !port_.OutputPending() : !timer2_.Enabled()) return std::optional(Outcome::End::Over);
    if (interrupted_) return std::optional(Outcome::End::Interrupted);
    return std::optional<Outcome::End>();
  };
  WaitUntil([&end] { return end().has_value(); });
  outcome.end = end().value_or(Outcome::End::Interrupted);
  if (outcome.end == Outcome::End::Lost) {
    // What the link tells of a loss (a frame it could not deliver) comes from the event loop just
    // after the port reported it, and says better than the loss alone what did not get through.
    QTimer settle;
    settle.setSingleShot(true);
    settle.start(kPollMs);
    WaitUntil([&] { return window_.Failed() || !settle.isActive() || interrupted_; });
    if (window_.Failed()) outcome.end = Outcome::End::Failed;
  }

  // Captured now: ending the window and the display clearing empty them.
  sent.reply = reply_;
  sent.txd = form_.Panel.Label11;
  sent.rxd = form_.Panel.Label12;
  sent.status = form_.Panel.Label22;
  sent.truncated = gate_.Truncated();
  sent.answer = broadcast_ ? Answer::None : AnswerOf(reply_, gate_.Complete());
  // A whole reply that cannot answer what was sent is another's, most often a late one: it is not
  // read as this command's answer. Typed text the panel does not know may be answered anyhow.
  if ((sent.answer == Answer::Ack || sent.answer == Answer::Data) && !ShapeOfCommand(command).Fits(reply_)) {
    sent.answer = Answer::Unexpected;
  }
  gate_.EndWait();

  // A transmit neither empties the receive buffer nor restarts a running reply window, so the
  // next command must start where a finished exchange leaves the panel: the window is ended
  // through its own end (buffer emptied, no reply awaited) and the lines are cleared, so that no
  // text of this exchange stands on the lines of the next.
  if (timer2_.Enabled()) form_.Dispatch.Run(OnFailure::Warn, [this] { form_.exchange.Timer2_Timer(); });
  if (const HoldButton* held = std::exchange(held_, nullptr)) {
    form_.Dispatch.Run(OnFailure::Warn, [this, held] { form_.hold.Release(*held); });
  }
  form_.Dispatch.Run(OnFailure::Warn, [this] { form_.exchange.Timer4_Timer(); });
  if (outcome.end == Outcome::End::Failed) outcome.why = window_.Shown();
  return outcome;
}

void SendSession::Finish(int ms) {
  if (gate_.Owing() && !interrupted_) {
    // The run has failed already; waiting costs time only then, and keeps the reply from the next
    // run, which would open the port a moment later.
    QTimer grace;
    grace.setSingleShot(true);
    grace.start(std::max(ms, kLongestReplyWindowMs));
    WaitUntil([&] { return !gate_.Owing() || !grace.isActive() || interrupted_ || port_.IsLost(); });
  }
  QCoreApplication::processEvents();
  gate_.TakeWaiting();
  gate_.FlushLate(true);
}

void SendSession::Interrupt() {
  interrupted_ = true;
  if (loop_ != nullptr) loop_->quit();
  if (fiber_ != nullptr) fiber_->Wake();
}

void SendSession::WaitUntil(const std::function<bool()>& done) {
  if (done()) return;
  waiting_ = true;
  done_ = done;
  // A run served beside others steps aside while it waits: see Fiber.
  if ((fiber_ = Fiber::Current()) != nullptr) {
    Fiber::WaitUntil(done, kPollMs);
    fiber_ = nullptr;
    waiting_ = false;
    done_ = nullptr;
    return;
  }
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [this] { Poll(); });
  poll.start(kPollMs);
  loop_ = &loop;
  done_ = done;
  loop.exec();
  loop_ = nullptr;
  waiting_ = false;
  done_ = nullptr;
}

void SendSession::Poll() {
  if (!waiting_ || !done_ || !done_()) return;
  if (loop_ != nullptr) loop_->quit();
  if (fiber_ != nullptr) fiber_->Wake();
}

void SendSession::Watch() {
  if (!waiting_) return;
  // The window's end empties the buffer; what came is kept as the last event left it.
  if (timer2_.Enabled()) reply_ = form_.State.RxBuffer;
  Poll();
}
