#pragma once

#include <string>
#include <string_view>

// The address prefix of a frame for every projector on the line, which none of them answers.
inline constexpr std::string_view kBroadcastPrefix = "AFFF";

// Whether a frame goes to every projector, so that none answers it.
inline bool IsBroadcast(std::string_view frame) { return frame.starts_with(kBroadcastPrefix); }

// One command on the wire: address prefix, command text, CR. No separator, length or checksum.
inline std::string BuildFrame(std::string_view addressPrefix, std::string_view command) {
  std::string frame;
  frame.reserve(addressPrefix.size() + command.size() + 1);
  frame.append(addressPrefix).append(command).push_back('\r');
  return frame;
}

// The command a frame carries: without the address prefix it was built with, and without its CR.
inline std::string_view CommandOf(std::string_view frame, std::string_view addressPrefix) {
  if (frame.starts_with(addressPrefix)) frame.remove_prefix(addressPrefix.size());
  if (frame.ends_with('\r')) frame.remove_suffix(1);
  return frame;
}
