#include "exchange/Exchange.h"

#include <algorithm>
#include <utility>

#include "exchange/Frame.h"
#include "exchange/Render.h"

void Exchange::Send(const std::string& command) {
  state_.TxFrame = BuildFrame(state_.AddressPrefix, command);
  Hyouji(state_.TxFrame, kTransmit);
}

void Exchange::Hyouji(const std::string& text, const std::uint8_t& mode) {
  if (mode == kTransmit) {
    link_.Write(text);
    FinishPreviousReply(text);
    panel_.Label11 = Render(text);
    replyFrom_ = state_.RxBuffer.size();
    windowEnded_ = false;
    for (TrafficObserver* observer : observers_) observer->Sent(panel_.Label11);
    timers_.Timer2.SetEnabled(true);
    state_.AwaitingReply = 1;
    timers_.Timer4.SetEnabled(true);
    return;
  }
  if (&text == &state_.RxBuffer) {
    ShowReceiveBuffer();
    return;
  }
  panel_.Label12 = Render(text);
  label12Followed_ = kNotFollowing;
  label22Followed_ = kNotFollowing;
  // The decoders read the line back, exactly as it is shown.
  DecodeReply(panel_.Label12, state_, panel_.Label22);
}

void Exchange::FinishPreviousReply(const std::string& frame) {
  const std::string previous = std::exchange(lastFrame_, frame);
  // The command as it went out: the prefix may have been changed since.
  const std::string command = std::exchange(lastCommand_, std::string(CommandOf(frame, state_.AddressPrefix)));
  // A held button's frames follow each other as one exchange, its replies side by side.
  if (state_.HoldCode != 0 && previous == frame) return;
  GiveUpOwed();
  const std::string_view reply = std::string_view(state_.RxBuffer).substr(std::min(replyFrom_, state_.RxBuffer.size()));
  if (timers_.Timer2.Enabled() && !windowEnded_ && !IsBroadcast(previous) && reply.find('\r') == std::string_view::npos) {
    owed_ = Owed{command, shapeOf_ ? shapeOf_(command) : ReplyShape{}, !reply.empty(), {}};
  }
  // What the buffer holds answered the frame before (or came late for it): it is shown as it is
  // until this frame's reply replaces it, and never read as part of that reply.
  state_.RxBuffer.clear();
}

std::string Exchange::SortOwed(std::string input) {
  if (!owed_) return input;
  const std::size_t cr = input.find('\r');
  const std::size_t n = cr == std::string::npos ? input.size() : cr + 1;
  if (owed_->started) {
    BookLate(std::string_view(input).substr(0, n));
    if (cr != std::string::npos) owed_.reset();
    return input.substr(n);
  }
  owed_->line.append(input, 0, n);
  if (cr == std::string::npos) return {};
  // A whole line: the owed frame's if it has the shape of its answer, else this frame's.
  std::string line = std::move(owed_->line);
  const bool owedOnes = owed_->shape.Fits(line);
  owed_.reset();
  if (owedOnes) {
    BookLate(line);
    return input.substr(n);
  }
  return line + input.substr(n);
}

void Exchange::GiveUpOwed() {
  if (!owed_) return;
  // What came of it is booked as late.
  BookLate(owed_->line);
  owed_.reset();
}

void Exchange::BookLate(std::string_view bytes) {
  if (bytes.empty()) return;
  const std::string rendered = Render(std::string(bytes));
  for (TrafficObserver* observer : observers_) observer->Late(rendered);
}

void Exchange::ShowReceiveBuffer() {
  if (state_.RxBuffer.size() < rxLine_.Characters()) RestartReceiveLine();
  rxLine_.CatchUp(state_.RxBuffer);
  const std::string& line = rxLine_.Text();
  Follow(panel_.Label12, label12Followed_, line);
  // The decoders read the start of the line as it is shown; the pressure reading has followed it.
  const ReplyQuery query = SelectQuery(state_);
  const double reading = query == ReplyQuery::Pressure ? rxLine_.Reading() : 0.0;
  statusWrite_ = DecodeStart(query, line, reading, state_, panel_.Label22);
  switch (statusWrite_) {
    case StatusWrite::Kept: break;
    case StatusWrite::Written: label22Followed_ = kNotFollowing; break;
    case StatusWrite::WholeLine: Follow(panel_.Label22, label22Followed_, line); break;
  }
  // A reply after its window is still the projector's word, but not one to read as current.
  if (windowEnded_ && statusWrite_ != StatusWrite::Kept) {
    if (statusWrite_ == StatusWrite::WholeLine) panel_.Label22 = line;
    panel_.Label22 += kLateMark;
    label22Followed_ = kNotFollowing;
  }
}

void Exchange::RestartReceiveLine() {
  rxLine_.Restart();
  label12Followed_ = kNotFollowing;
  label22Followed_ = kNotFollowing;
}

void Exchange::Follow(std::string& label, std::size_t& followed, const std::string& line) {
  if (followed != kNotFollowing && followed <= line.size() && label.size() == followed) {
    label.append(line, followed);
  } else {
    label = line;
  }
  followed = line.size();
}

void Exchange::MSComm1_OnComm() {
  if (link_.EventCode() != SerialLink::kDataReceived) return;
  std::string taken = link_.ReadAvailable();
  const bool came = !taken.empty();
  // Bytes that all went to the reply the frame before still owed are no news of this frame's.
  const std::string input = SortOwed(std::move(taken));
  if (came && input.empty()) return;
  // Emptied since the last event (by a hold's release): its rendering starts afresh.
  if (state_.RxBuffer.size() < rxLine_.Characters()) RestartReceiveLine();
  const std::size_t room = kRxBufferLimit - std::min(kRxBufferLimit, state_.RxBuffer.size());
  const std::size_t from = state_.RxBuffer.size();
  const std::size_t lineFrom = rxLine_.Text().size();
  state_.RxBuffer.append(input, 0, std::min(room, input.size()));
  state_.AwaitingReply = 0;
  Hyouji(state_.RxBuffer, kReceived);
  if (!observers_.empty() && state_.RxBuffer.size() > from) TellReceived(from, lineFrom);
}

void Exchange::TellReceived(std::size_t from, std::size_t lineFrom) {
  // The monitor's form of the new bytes alone: its leading blank, then their tokens.
  const std::string rendered = ' ' + rxLine_.Text().substr(lineFrom);
  // Emptied since the frame went out (its window ended, or a hold was released): the reply
  // starts again with the bytes that come now.
  if (replyFrom_ > from) replyFrom_ = from;
  const std::string_view reply = std::string_view(state_.RxBuffer).substr(replyFrom_);
  const bool complete = state_.RxBuffer.find('\r', from) != std::string::npos;
  for (TrafficObserver* observer : observers_) {
    if (windowEnded_) {
      observer->Late(rendered);
    } else {
      observer->Received(rendered);
      if (IsRefusal(reply)) observer->Refused(CommandOf(state_.TxFrame, state_.AddressPrefix));
    }
    // Once per reply, at its CR: a reply in pieces is decoded anew at every piece.
    if (complete && statusWrite_ != StatusWrite::Kept) observer->Decoded(panel_.Label22);
  }
}

void Exchange::ReplyWindowElapsed() {
  // A broadcast is answered by no projector: its silence is what was asked for.
  if (state_.AwaitingReply == 1 && !IsBroadcast(state_.TxFrame)) {
    for (TrafficObserver* observer : observers_) observer->NoReply(timers_.Timer2.Interval());
  }
  Timer2_Timer();
}

void Exchange::Timer2_Timer() {
  if (state_.AwaitingReply == 1) panel_.Label12 = " X X X X";
  timers_.Timer2.SetEnabled(false);
  state_.RxBuffer.clear();
  RestartReceiveLine();
  state_.AwaitingReply = 0;
  windowEnded_ = true;
  // The frame before got no whole line in this window either.
  GiveUpOwed();
  // No projector answers a broadcast, so its window is the time it has to leave; one still
  // waiting to go out then did not reach the line, and the operator is told as for a failed
  // write. A held button's frames follow each other as the line takes them, and are not judged.
  const std::string_view frame(state_.TxFrame);
  if (IsBroadcast(frame) && state_.HoldCode == 0 && link_.OutputPending()) {
    throw LinkError("The command \"" + std::string(frame.substr(0, frame.size() - 1)) + "\" did not reach " +
                    (link_.PortName().empty() ? std::string("the port") : link_.PortName()) +
                    ": it was still waiting to go out when its time was up, as it does when the line is held or the "
                    "device does not take data, so no projector got it whole. Check the cable and the device, then "
                    "click again.");
  }
}

void Exchange::Timer4_Timer() {
  panel_.Label11.clear();
  panel_.Label12.clear();
  panel_.Label22.clear();
  label12Followed_ = kNotFollowing;
  label22Followed_ = kNotFollowing;
  timers_.Timer4.SetEnabled(false);
}
