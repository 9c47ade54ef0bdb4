#pragma once

#include <array>
#include <optional>
#include <string>

#include "network/Pjlink.h"

// Where the PJLink face listens, as the command line gave it.
struct PjlinkListen {
  std::string address;  // as written; "127.0.0.1" for a bare port
  int port = pjlink::kStandardPort;
  bool loopback = true;
};

// The PJLink face of the holder: --pjlink for the projector on COM1, --pjlink2 for COM2.
struct PjlinkOptions {
  std::array<std::optional<PjlinkListen>, 2> listen;
  std::optional<std::string> passwordFile;  // --pjlink-password-file
  pjlink::Texts texts;                      // --pjlink-name, --pjlink-maker, --pjlink-model, --pjlink-info
  bool Any() const { return listen[0] || listen[1]; }
};
