// The PJLink face's request path: any bytes a network client may send, in any pieces, and any
// outcome of the projector's commands. No line may outgrow the standard's bound, and every answer
// is one line of the standard's form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "network/Pjlink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte cuts the rest into pieces, the second makes the projector's outcomes.
  const std::size_t piece = data[0] % 64 + 1;
  const std::uint8_t outcomes = data[1];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
  pjlink::LineReader reader;
  const pjlink::Texts texts{"name", "", "", ""};
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    for (const std::string& line : reader.Feed(bytes.substr(at, piece))) {
      if (line.size() >= pjlink::kLongestLine || line.find('\r') != std::string::npos) __builtin_trap();
      const auto request = pjlink::ReadRequest(pjlink::SplitDigest(line).rest);
      if (!request) continue;
      const pjlink::Step step = pjlink::Plan(*request, texts);
      std::string body;
      if (const auto* now = std::get_if<std::string>(&step)) {
        body = *now;
      } else {
        std::vector<pjlink::ProjectorAnswer> answers;
        for (int i = 0; i < (outcomes & 3); ++i) {
          const auto kind = static_cast<pjlink::ProjectorAnswer::Kind>((outcomes >> (2 + i)) & 3);
          answers.push_back({kind, std::string(line.substr(0, outcomes % 3)), static_cast<long long>(outcomes) - 8});
        }
        body = pjlink::Answer(*std::get<pjlink::Ask>(step).row, answers);
        if (body.empty() || body.find_first_of("\r\n") != std::string::npos) __builtin_trap();
      }
      const std::string answer = pjlink::Answered(*request, body);
      if (answer.front() != '%' || answer.find('\r') != answer.size() - 1) __builtin_trap();
    }
  }
  return 0;
}
