#include "controller/ExtendedPanel.h"

void ExtendedPanel::Form_KeyDown(int keyCode, int shift) {
  if (keyCode != kKeyH || (shift & (kShiftMask | kCtrlMask | kAltMask)) != kCtrlMask) return;
  panel_.OuterHeight = WindowHeight::kService;
  state_.PanelUnlocked = 1;
  panel_.Command34Caption = DataButtonCaption::kClose;
  panel_.Command34Visible = true;
}

void ExtendedPanel::Image1_DblClick() {
  if (state_.PanelUnlocked != 1) return;
  panel_.OuterHeight = WindowHeight::kFull;
  panel_.Command34Caption = DataButtonCaption::kClose;
  panel_.Command34Visible = true;
}

void ExtendedPanel::Command34_Click() {
  timers_.Timer3.SetEnabled(false);
  state_.PanelUnlocked = 0;
  if (panel_.OuterHeight >= 6000) {
    panel_.OuterHeight = WindowHeight::kCompact;
    panel_.Command34Caption = DataButtonCaption::kShowData;
  } else {
    panel_.OuterHeight = WindowHeight::kDataView;
    panel_.Command34Caption = DataButtonCaption::kHideData;
  }
  // Stopped and started again, so a settings frame that is open now hides 5 s after this click.
  timers_.Timer3.SetEnabled(true);
}
