#include "exchange/Exchange.h"

#include <algorithm>

#include "exchange/Frame.h"
#include "exchange/Render.h"
#include "exchange/ReplyDecoders.h"

void Exchange::Send(const std::string& command) {
  state_.TxFrame = BuildFrame(state_.AddressPrefix, command);
  Hyouji(state_.TxFrame, kTransmit);
}

void Exchange::Hyouji(const std::string& text, const std::uint8_t& mode) {
  if (mode == kTransmit) link_.Write(text);
  std::string rendered = Render(text);
  if (mode == kTransmit) {
    panel_.Label11 = std::move(rendered);
    timers_.Timer2.SetEnabled(true);
    state_.AwaitingReply = 1;
    timers_.Timer4.SetEnabled(true);
    return;
  }
  panel_.Label12 = std::move(rendered);
  // The decoders read the line back, exactly as it is shown.
  DecodeReply(panel_.Label12, state_, panel_.Label22);
}

void Exchange::MSComm1_OnComm() {
  if (link_.EventCode() != SerialLink::kDataReceived) return;
  const std::string input = link_.ReadAvailable();
  const std::size_t room = kRxBufferLimit - std::min(kRxBufferLimit, state_.RxBuffer.size());
  state_.RxBuffer.append(input, 0, std::min(room, input.size()));
  state_.AwaitingReply = 0;
  Hyouji(state_.RxBuffer, kReceived);
}

void Exchange::Timer2_Timer() {
  if (state_.AwaitingReply == 1) panel_.Label12 = " X X X X";
  timers_.Timer2.SetEnabled(false);
  state_.RxBuffer.clear();
  state_.AwaitingReply = 0;
}

void Exchange::Timer4_Timer() {
  panel_.Label11.clear();
  panel_.Label12.clear();
  panel_.Label22.clear();
  timers_.Timer4.SetEnabled(false);
}
