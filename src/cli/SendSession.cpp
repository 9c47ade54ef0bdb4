#include "cli/SendSession.h"

#include <QEventLoop>

#include "commands/CommandCatalogue.h"

SendSession::SendSession(const PortMap& ports, std::ostream& err)
    : link_(ports),
      window_(err, [this] { Watch(); }),
      form_(link_, Timers{timer1_, timer2_, timer3_, timer4_}, window_) {}

SendSession::~SendSession() {
  // "END" without its end of the program: the port is closed, the caller carries on.
  form_.Dispatch.Run(OnFailure::Warn, [this] { form_.Command16_Click(); });
}

bool SendSession::Start(const SendRequest& request) {
  // The window's start-up opens COM1 before it selects anything; here the chosen port is the
  // only one touched, so a missing or busy COM1 cannot stop a run on COM2. The same option
  // handlers as the panel's do the choosing: on a closed port the speed is kept for the open
  // and the port selection only picks the device. A failure is reported as the start-up's is.
  const auto step = [this](const std::function<void()>& handler) {
    form_.Dispatch.Run(OnFailure::EndProgram, handler);
    return !window_.Failed();
  };
  LinkSettings& settings = form_.linkSettings;
  const bool opened =
      step([&] { request.speed == 9600 ? settings.Option10_Click() : settings.Option9_Click(); }) &&
      step([&] { request.port == 2 ? settings.Option2_Click() : settings.Option1_Click(); }) &&
      step([this] { link_.Open(); });
  if (opened) form_.AddressOption_Click(*request.address);
  return opened;
}

void SendSession::Transmit(const std::string& command) {
  // Text that is a one-shot button's command goes out as that button's click, with the reply
  // window that button would give it; anything else as typed text and "SEND".
  for (const PanelCommand& entry : kCommandCatalogue) {
    if (entry.command == command) {
      form_.commands.Click(entry);
      return;
    }
  }
  form_.Panel.Text1 = command;
  form_.freeText.Command95_Click();
}

std::optional<SentCommand> SendSession::Ask(const std::string& command) {
  sentAt_ = form_.State.RxBuffer.size();
  form_.Dispatch.Run(OnFailure::Warn, [&] { Transmit(command); });
  if (window_.Failed()) return std::nullopt;

  SentCommand sent;
  sent.command = command;
  sent.frame = form_.State.TxFrame;
  answered_ = false;
  endedAtCr_ = false;
  reply_ = form_.State.RxBuffer;
  waiting_ = true;
  QEventLoop loop;
  stopWaiting_ = [&loop] { loop.quit(); };
  loop.exec();
  stopWaiting_ = nullptr;
  waiting_ = false;  // the application may have been told to quit meanwhile
  if (window_.Failed()) return std::nullopt;  // the frame failed after it left: the link said so

  // Captured now: the display clearing would empty the lines.
  sent.reply = reply_;
  sent.txd = form_.Panel.Label11;
  sent.rxd = form_.Panel.Label12;
  sent.status = form_.Panel.Label22;
  sent.timedOut = !answered_;

  // A transmit neither empties the receive buffer nor restarts a running reply window, so the
  // next command must start where a finished exchange leaves the panel: a reply complete at its
  // CR ends its window through the window's own end, and the display clearing runs as well, so
  // that no text of this exchange stands on the lines of the next.
  if (endedAtCr_) form_.Dispatch.Run(OnFailure::Warn, [this] { form_.exchange.Timer2_Timer(); });
  form_.Dispatch.Run(OnFailure::Warn, [this] { form_.exchange.Timer4_Timer(); });
  return sent;
}

void SendSession::Watch() {
  if (!waiting_) return;
  if (timer2_.Enabled()) {
    if (form_.State.AwaitingReply == 0) answered_ = true;
    reply_ = form_.State.RxBuffer;
    if (form_.State.RxBuffer.find('\r', sentAt_) == std::string::npos) return;
    endedAtCr_ = true;
  }
  // Complete at its CR, or the window is over.
  waiting_ = false;
  stopWaiting_();
}
