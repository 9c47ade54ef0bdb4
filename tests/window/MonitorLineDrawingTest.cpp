// A monitor label shows the first 1024 characters of its line and is drawn again only when
// those change: a device that talks on and on must not cost a new layout at every byte.
#include <gtest/gtest.h>

#include <QEvent>
#include <QLabel>
#include <string>

#include "QtRig.h"
#include "window/MainWindow.h"

namespace {

// Counts the label's redraws: every new text comes with a new tooltip.
class RedrawCounter : public QObject {
 public:
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::ToolTipChange) ++count;
    return false;
  }
};

struct Change {
  const char* name;
  std::string before;
  std::string after;
  bool redrawn;
};

const std::string kLong(1500, 'x');

const Change kChanges[] = {
    {"grows within what is shown", " 1 2 ", " 1 2 3 ", true},
    {"grows past what is shown", kLong, kLong + " 7 ", false},
    {"reaches the edge of what is shown", std::string(1000, 'y'), std::string(1030, 'y'), true},
    {"same length, one character changed", " 1 2 ", " 1 3 ", true},
    {"changed only past what is shown", kLong + "a", kLong + "b", false},
    {"changed at the last character shown", kLong, std::string(1023, 'x') + "z" + std::string(476, 'x'), true},
    {"emptied", kLong, "", true},
    {"unchanged", " X X X X", " X X X X", false},
};

TEST(MonitorLineDrawing, RedrawsOnlyWhenTheShownCharactersChange) {
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  auto* label = window.findChild<QLabel*>(QStringLiteral("Label12"));
  RedrawCounter redraws;
  label->installEventFilter(&redraws);
  for (const Change& change : kChanges) {
    window.Core().Panel.Label12 = change.before;
    window.Refresh();
    redraws.count = 0;
    window.Core().Panel.Label12 = change.after;
    window.Refresh();
    EXPECT_EQ(redraws.count, change.redrawn ? 1 : 0) << change.name;
    const QString shown = QString::fromStdString(change.after.substr(0, 1024));
    EXPECT_EQ(label->text(), shown) << change.name;
    EXPECT_EQ(label->toolTip(), shown) << change.name;
  }
}

}  // namespace
