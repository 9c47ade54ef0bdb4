#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controller/PanelView.h"

// The window as the core sees it: records the boxes it would show instead of showing them.
class FakeWindow : public WindowPort {
 public:
  void CentreOnScreen(int outerHeightTwips) override { centredFor.push_back(outerHeightTwips); }
  void ShowWarning(const std::string& text) override {
    warnings.push_back(text);
    if (whileWarningShown) whileWarningShown();
  }
  void ShowFatal(const std::string& text) override { fatals.push_back(text); }
  void EndProgram() override { ended = true; }
  void Refresh() override { ++refreshes; }

  std::vector<int> centredFor;
  std::vector<std::string> warnings;
  std::vector<std::string> fatals;
  std::function<void()> whileWarningShown;  // what happens while a box is open (nested events)
  bool ended = false;
  int refreshes = 0;
};
