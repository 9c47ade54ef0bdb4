#pragma once

#include <functional>
#include <string>

#include "controller/PanelView.h"

// The window as the command line has it: nothing to place or draw, and the boxes the panel would
// show are kept for the session to report in its own words. After every event the session is
// told, so that it can look at what the core has just done.
class ConsoleWindow : public WindowPort {
 public:
  explicit ConsoleWindow(std::function<void()> onRefresh) : onRefresh_(std::move(onRefresh)) {}

  void CentreOnScreen(int) override {}
  void ShowWarning(const std::string& text) override { Keep(text); }
  void ShowFatal(const std::string& text) override { Keep(text); }
  void EndProgram() override {}
  void Refresh() override {
    if (onRefresh_) onRefresh_();
  }

  // Whether a warning or a fatal error has been shown: the run stops with a failure.
  bool Failed() const { return !shown_.empty(); }
  // The first text shown.
  const std::string& Shown() const { return shown_; }

 private:
  void Keep(const std::string& text) {
    if (shown_.empty()) shown_ = text;
  }

  std::function<void()> onRefresh_;
  std::string shown_;
};
