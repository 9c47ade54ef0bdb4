// The holder's request decoder: any bytes a peer may send. It must never read out of bounds,
// keep more than a message, or take a request that does not encode back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "network/HandOver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto decoded = hand_over::DecodeRequest(bytes);
  if (const auto* request = std::get_if<hand_over::Request>(&decoded)) {
    const std::string again = hand_over::Encode(*request);
    if (bytes.substr(0, again.size()) != again) __builtin_trap();
  }
  hand_over::DecodeReply(bytes);
  return 0;
}
