// Fuzz target of the receive path: arbitrary bytes in arbitrary pieces, reply time-outs and
// display clearing on a fake clock in between, the last frame set to each status query so every
// decoder and the pressure reading run. Besides what the sanitizers catch, every receive event
// is checked against rendering and decoding the whole buffer afresh.
//
// The input is a little program: one byte chooses the address, then each step is an opcode
// byte and its operands.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "CoreRig.h"
#include "exchange/Render.h"
#include "exchange/ReplyDecoders.h"
#include "hold/HoldButton.h"

namespace {

const char* const kQueries[] = {"CR0", "CR1", "CR4", "CR3", "CR6", "CRA", "CR9", "CR PRESSURE", "CR7", "C00"};
const char* const kPrefixes[] = {"", "AFFF", "A001", "A004"};

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t at = 0;
  bool Empty() const { return at >= size; }
  std::uint8_t Byte() { return at < size ? data[at++] : 0; }
  std::string Bytes(std::size_t n) {
    n = std::min(n, size - std::min(at, size));
    std::string s(reinterpret_cast<const char*>(data + at), n);
    at += n;
    return s;
  }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

// Rendering a full buffer afresh is what the receive path avoids, and it would dominate every
// run; past a few thousand characters only every 16th event and the last are compared. `late`:
// the last frame's window has ended, so a decoded line is marked. Bytes that all went to the reply
// the frame before still owed leave the lines as they were.
void ReceiveAndCompare(CoreRig& rig, const std::string& piece, bool last, bool late, unsigned& events) {
  if (!last && rig.form.State.RxBuffer.size() > 4096 && ++events % 16 != 0) {
    rig.link.Receive(piece);
    return;
  }
  ControllerState reference = rig.form.State;
  std::string statusLine = rig.form.Panel.Label22;
  const std::string before = rig.form.State.RxBuffer;
  const std::string lineBefore = rig.form.Panel.Label12;
  rig.link.Receive(piece);
  if (!piece.empty() && rig.form.State.RxBuffer == before && before.size() < Exchange::kRxBufferLimit) {
    Check(rig.form.Panel.Label12 == lineBefore);
    return;
  }
  const std::string whole = Render(rig.form.State.RxBuffer);
  ControllerState again = reference;
  std::string written = "\x01";
  DecodeReply(whole, reference, statusLine);
  DecodeReply(whole, again, written);
  if (late && written != "\x01") statusLine += Exchange::kLateMark;
  Check(rig.form.State.RxBuffer.size() <= Exchange::kRxBufferLimit);
  Check(rig.form.Panel.Label12 == whole);
  Check(rig.form.Panel.Label22 == statusLine);
  Check(rig.form.State.PressureReading == reference.PressureReading);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CoreRig rig;
  rig.Start();
  Input in{data, size};
  unsigned events = 0;
  const std::uint8_t setup = in.Byte();
  rig.form.State.AddressPrefix = kPrefixes[setup % 4];
  rig.Send(kQueries[(setup / 4) % 10]);
  int ticksAtSend = rig.timer2.Ticks();
  const auto late = [&] { return rig.timer2.Ticks() > ticksAtSend; };
  while (!in.Empty()) {
    const std::uint8_t op = in.Byte();
    switch (op % 8) {
      case 0:
      case 1:
      case 2:  // a piece of up to 32 bytes, as it stands
        ReceiveAndCompare(rig, in.Bytes(op / 8 + 1), in.Empty(), late(), events);
        break;
      case 3: {  // a long run of one byte: reaches the limit in a few steps
        const std::size_t n = (in.Byte() + 1) * 64u;
        const auto c = static_cast<char>(in.Byte());
        ReceiveAndCompare(rig, std::string(n, c), in.Empty(), late(), events);
        break;
      }
      case 4:  // time passes: the reply time-out and the clearing of the lines may tick
        rig.clock.Advance((op / 8) * 50);
        break;
      case 5:  // another query, another decoder
        rig.Send(kQueries[(op / 8) % 10]);
        ticksAtSend = rig.timer2.Ticks();
        break;
      case 6:  // a hold button's release empties the buffer and the lines
        rig.form.Dispatch.Run(OnFailure::Warn, [&] { rig.form.hold.Release(kHoldButtons[(op / 8) % kHoldButtons.size()]); });
        break;
      case 7: {  // some other text shown through the receive mode
        const std::string other = in.Bytes(op / 8);
        rig.form.exchange.Hyouji(other, Exchange::kReceived);
        Check(rig.form.Panel.Label12 == Render(other));
        break;
      }
    }
  }
  return 0;
}
