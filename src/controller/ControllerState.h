#pragma once

#include <cstdint>
#include <string>

// The window's record of what the controller knows. Field order and widths are those of the
// original record; strings hold single-byte characters exactly as they go on or come off the line.
struct ControllerState {
  std::uint8_t HoldCode = 0;       // code of the hold button now held down; 0 = none
  std::uint8_t AwaitingReply = 0;  // 1 from a transmit until a receive event or the reply time-out
  std::uint8_t CursorPadMode = 0;  // timing set of the cursor-pad arrows: 0, 1 or 3
  std::string TxFrame;             // the last frame handed to Hyouji; selects the reply decoder
  std::string RxBuffer;            // characters received since the buffer was last emptied
  std::int16_t PressureReading = 0;
  std::int16_t PanelUnlocked = 0;
  std::string ManualCommand;       // the free-text command last taken from Text1
  std::string CommSettings;        // "19200,N,8,1" or "9600,N,8,1"
  std::string AddressPrefix;       // "", "AFFF", "A001" .. "A004"
};
