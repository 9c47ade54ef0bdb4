#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "controller/ControllerState.h"
#include "controller/PanelView.h"
#include "controller/SerialLink.h"
#include "controller/Timer.h"

// The command exchange: every frame goes out through Hyouji in mode 1, every received text is
// shown and decoded through Hyouji in mode 2, and Timer2/Timer4 bound each exchange.
class Exchange {
 public:
  static constexpr std::uint8_t kTransmit = 1;
  static constexpr std::uint8_t kReceived = 2;
  // The most the receive buffer keeps; the monitor could never show more. A device that babbles
  // while no reply window is open would otherwise grow it without end.
  static constexpr std::size_t kRxBufferLimit = 32767;

  Exchange(ControllerState& state, SerialLink& link, Timers timers, PanelState& panel)
      : state_(state), link_(link), timers_(timers), panel_(panel) {}

  // The transmit path's common end: TxFrame := prefix + command + CR, then Hyouji in mode 1.
  // The sender sets its intervals before this call.
  void Send(const std::string& command);

  void Hyouji(const std::string& text, const std::uint8_t& mode);

  void MSComm1_OnComm();
  void Timer2_Timer();
  void Timer4_Timer();

 private:
  ControllerState& state_;
  SerialLink& link_;
  Timers timers_;
  PanelState& panel_;
};
