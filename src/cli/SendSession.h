#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>

#include "cli/ConsoleWindow.h"
#include "cli/SendReport.h"
#include "cli/SendRequest.h"
#include "panel/Form1.h"
#include "platform/PortMap.h"
#include "platform/LinkByDevice.h"
#include "platform/QtTimer.h"

// The panel's core on the real port and real timers, driven one command at a time instead of by
// clicks. Needs a running QCoreApplication; each exchange runs the event loop until it is over.
class SendSession {
 public:
  SendSession(const PortMap& ports, std::ostream& err);
  SendSession(const SendSession&) = delete;
  SendSession& operator=(const SendSession&) = delete;
  ~SendSession();

  // Chooses the port, the speed and the address and opens the port. False when the port could
  // not be opened; the reason has been written to `err`.
  bool Start(const SendRequest& request);

  // Sends `command` as the panel would and waits until its reply is complete. Nothing when the
  // frame could not be written; the reason has been written to `err`.
  std::optional<SentCommand> Ask(const std::string& command);

 private:
  void Transmit(const std::string& command);
  void Watch();

  QtTimer timer1_, timer2_, timer3_, timer4_;
  LinkByDevice link_;
  ConsoleWindow window_;
  Form1 form_;

  // The exchange in progress, as the refreshes after each event see it.
  bool waiting_ = false;
  std::size_t sentAt_ = 0;  // RxBuffer's length when the frame went out
  bool answered_ = false;
  bool endedAtCr_ = false;
  std::string reply_;
  std::function<void()> stopWaiting_;
};
