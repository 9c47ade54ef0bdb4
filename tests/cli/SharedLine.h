#pragma once

#include <termios.h>

#include <QSocketNotifier>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "Pty.h"

// One serial line with several projectors on it: what the panel writes reaches every projector,
// and what any projector writes reaches the panel. The panel's end is a pseudo terminal of its
// own; the projectors' ends are devices the simulators print. Bytes pass while the event loop runs.
class SharedLine {
 public:
  explicit SharedLine(const std::vector<QString>& projectors);
  ~SharedLine();
  SharedLine(const SharedLine&) = delete;
  SharedLine& operator=(const SharedLine&) = delete;

  // The device the panel opens.
  QString Path() const { return QString::fromStdString(line_.SlavePath()); }
  // The line speed the panel had set when its last bytes were passed on; 0 before any.
  speed_t SpeedSeen() const { return speedSeen_; }

 private:
  void Watch(int from, const std::vector<int>& to, bool fromPanel);

  Pty line_;  // its slave end stays held, so the line does not hang up when the panel closes it
  std::vector<int> drops_;
  std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
  speed_t speedSeen_ = 0;
};
