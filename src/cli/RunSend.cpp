#include "cli/RunSend.h"

#include <iostream>

int RunSend(const SendRequest&, const PortMap&) {
  std::cerr << "projector-panel: not yet\n";
  return 1;
}
