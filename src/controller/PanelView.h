#pragma once

#include <string>
#include <string_view>

// Outer heights of the window, in twips.
namespace WindowHeight {
inline constexpr int kDesign = 9100;   // client 8730 plus the design's 370-twip frame
inline constexpr int kCompact = 5350;  // down to the picture modes, COM and END
inline constexpr int kDataView = 6645;  // with the traffic monitor and the status queries
inline constexpr int kService = 7200;  // with the address selector, PC type and SETTING 2
inline constexpr int kFull = kDesign;  // the whole panel
}  // namespace WindowHeight

// Captions of the data button, Command34.
namespace DataButtonCaption {
inline constexpr const char* kClose = "CLOSE";
inline constexpr const char* kShowData = "データを表示する";    // "show the data"
inline constexpr const char* kHideData = "データを表示しない";  // "do not show the data"
}  // namespace DataButtonCaption

// What the core shows on the panel. The shell draws it after every event.
struct PanelState {
  std::string Label11;  // "TXD" line: the rendered frame last sent
  std::string Label12;  // "RXD" line: the rendered receive buffer, or " X X X X"
  std::string Label22;  // "STATUS" line: the decoded reply
  std::string Text1;    // the free-text command box
  // The selected option of each group: Option1/Option2 (port), Option9/Option10 (speed),
  // Option3..Option8 (address). The port group has none selected until start-up selects COM1.
  int PortOption = 0;
  int SpeedOption = 9;
  std::string_view AddressOption = "Option3";
  bool Frame8Visible = false;
  bool Command34Visible = false;
  std::string Command34Caption = DataButtonCaption::kShowData;
  int OuterHeight = WindowHeight::kDesign;
};

// What the core asks of the window beyond drawing PanelState.
class WindowPort {
 public:
  virtual ~WindowPort() = default;

  // Places the window in the middle of the screen for the given outer height (twips).
  virtual void CentreOnScreen(int outerHeightTwips) = 0;
  // A modal warning box (exclamation icon, OK); returns once the user has dismissed it.
  virtual void ShowWarning(const std::string& text) = 0;
  // Shows the text and ends the program with a failure status.
  virtual void ShowFatal(const std::string& text) = 0;
  // Ends the program normally.
  virtual void EndProgram() = 0;
  // The core has finished handling one event: draw PanelState.
  virtual void Refresh() = 0;
};
