#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "controller/PanelView.h"

// The window as the command line has it: nothing to place or draw, and the boxes the panel would
// show are lines on standard error. After every event the session is told, so that it can look
// at what the core has just done.
class ConsoleWindow : public WindowPort {
 public:
  ConsoleWindow(std::ostream& err, std::function<void()> onRefresh)
      : err_(err), onRefresh_(std::move(onRefresh)) {}

  void CentreOnScreen(int) override {}
  void ShowWarning(const std::string& text) override { Report(text); }
  void ShowFatal(const std::string& text) override { Report(text); }
  void EndProgram() override {}
  void Refresh() override {
    if (onRefresh_) onRefresh_();
  }

  // Whether a warning or a fatal error has been shown: the run stops with a failure.
  bool Failed() const { return failed_; }

 private:
  void Report(const std::string& text) {
    failed_ = true;
    err_ << text << '\n' << std::flush;
  }

  std::ostream& err_;
  std::function<void()> onRefresh_;
  bool failed_ = false;
};
