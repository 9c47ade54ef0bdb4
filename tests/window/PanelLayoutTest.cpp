// The rendered panel: every control where the design puts it, reachable, and in focus order.
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <map>

#include "Fixture.h"
#include "WindowTest.h"
#include "commands/CommandCatalogue.h"
#include "controller/Addressing.h"
#include "hold/HoldButton.h"
#include "window/PanelStyle.h"
#include "window/layout/PanelLayout.h"

namespace {

class PanelLayoutTest : public WindowTest {
 protected:
  QWidget* Control(const char* name) { return window.Control(QString::fromLatin1(name)); }
  QWidget* Focused() { return QApplication::focusWidget(); }
  QString FocusedName() { return Focused() ? Focused()->objectName() : QString(); }
  // The control's rectangle in window coordinates.
  QRect InWindow(QWidget* w) { return QRect(w->mapTo(&window, QPoint(0, 0)), w->size()); }
};

bool TakesClicks(QWidget* w) {
  return qobject_cast<QPushButton*>(w) || qobject_cast<QRadioButton*>(w) || qobject_cast<QLineEdit*>(w);
}

TEST_F(PanelLayoutTest, EveryControlExistsOnceInsideItsContainer) {
  for (const ControlLayout& control : kPanelLayout) {
    const QString name = QString::fromLatin1(control.name.data(), static_cast<qsizetype>(control.name.size()));
    const QList<QWidget*> found = window.findChildren<QWidget*>(name);
    ASSERT_EQ(found.size(), 1) << control.name;
    QWidget* parent = found[0]->parentWidget();
    // The window's own controls lie in its design client area, most of it below the compact edge.
    const QRect container = parent == &window ? QRect(0, 0, 9495 / 15, 8730 / 15) : parent->rect();
    EXPECT_TRUE(container.contains(found[0]->geometry())) << control.name << " sticks out of " << parent->objectName().toStdString();
  }
}

// The catalogue, the hold table and the address selector carry captions of their own; the panel
// draws the layout's. They must not drift apart.
TEST(PanelCaptions, BehaviourTablesAgreeWithTheLayout) {
  std::map<std::string_view, std::string_view> laidOut;
  for (const ControlLayout& control : kPanelLayout) laidOut[control.name] = control.caption;
  const auto check = [&](std::string_view name, std::string_view caption) {
    ASSERT_EQ(laidOut.count(name), 1u) << name;
    EXPECT_EQ(laidOut[name], caption) << name;
  };
  for (const PanelCommand& c : kCommandCatalogue) check(c.control, c.caption);
  for (const HoldButton& h : kHoldButtons) check(h.control, h.caption);
  for (const AddressOption& a : kAddressOptions) check(a.control, a.caption);
}

// A quarter point is too little to move a pixel at 96 dpi, so the pictures cannot see it.
TEST(PanelFonts, EveryFontKeyHasTheDocumentedFaceSizeAndWeight) {
  const auto rows = ReadFixture("fonts.txt");
  ASSERT_EQ(rows.size(), 10u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const QFont font = FontOf(static_cast<FontKey>(i));
    EXPECT_EQ(rows[i][0], "F" + std::to_string(i + 1));
    EXPECT_EQ(font.family().toStdString(), rows[i][1]) << rows[i][0];
    EXPECT_EQ(font.pointSizeF(), std::stod(rows[i][2])) << rows[i][0];
    EXPECT_EQ(font.bold(), rows[i][3] == "bold") << rows[i][0];
  }
}

TEST_F(PanelLayoutTest, EverySendingButtonIsReachableInTheFullPanel) {
  Unfold();
  const QRect client = window.rect();
  std::vector<std::string_view> names;
  for (const PanelCommand& c : kCommandCatalogue) names.push_back(c.control);
  for (const HoldButton& h : kHoldButtons) names.push_back(h.control);
  ASSERT_EQ(names.size(), 77u);
  for (std::string_view name : names) {
    QWidget* button = window.Control(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
    ASSERT_NE(button, nullptr) << name;
    EXPECT_TRUE(button->isVisible()) << name;
    const QRect r = InWindow(button);
    EXPECT_TRUE(client.contains(r)) << name;
    EXPECT_EQ(window.childAt(r.center()), button) << name << " is covered";
  }
}

TEST_F(PanelLayoutTest, ClickableControlsNeverOverlapBeyondTouching) {
  Unfold();
  QList<QWidget*> clickable;
  for (QWidget* w : window.findChildren<QWidget*>()) {
    if (TakesClicks(w) && !w->objectName().isEmpty() && w->isVisibleTo(&window)) clickable.append(w);
  }
  ASSERT_GT(clickable.size(), 80);
  for (int i = 0; i < clickable.size(); ++i) {
    for (int j = i + 1; j < clickable.size(); ++j) {
      const QRect overlap = InWindow(clickable[i]).intersected(InWindow(clickable[j]));
      EXPECT_TRUE(overlap.isEmpty() || overlap.width() <= 1 || overlap.height() <= 1)
          << clickable[i]->objectName().toStdString() << " and " << clickable[j]->objectName().toStdString();
    }
    EXPECT_EQ(window.childAt(InWindow(clickable[i]).center()), clickable[i]) << clickable[i]->objectName().toStdString();
  }
}

// Positions written here from the design, in twips of the client area, not read from the table.
TEST_F(PanelLayoutTest, ClickAtADesignPositionReachesItsButton) {
  Unfold();
  struct Case {
    int left, top, width, height;
    const char* expectedFrame;
  };
  const Case cases[] = {
      {6480, 5640, 975, 255, "CR0\r"},                 // STATUS
      {120 + 120, 240 + 600, 615, 300, "C00\r"},       // POWER ON
      {8400, 3600, 975, 492, "C1E\r"},                 // DISPLAY CLEAR
      {7320, 4320, 480, 372, "CF AUTOLAMPCONTRL ECO\r"},
      {120 + 4680, 6735 + 720, 975, 255, "CF INPUT3 S-VIDEO\r"},
      {7440 + 120, 6750 + 600, 855, 255, "CF FANSPEED MAX\r"},
      {4440 + 960, 1440 + 480, 615, 300, "C10\r"},     // AV Size Wide
      {8160, 6240, 1215, 252, "CRA\r"},                // SETTING 2
  };
  for (const Case& c : cases) {
    const QPoint at((c.left + c.width / 2) / 15, (c.top + c.height / 2) / 15);
    QWidget* target = window.childAt(at);
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, at));
    EXPECT_EQ(pty.Read(std::strlen(c.expectedFrame)), c.expectedFrame) << target->objectName().toStdString();
  }
  // A hold button: Zoom + at 4440, 2880.
  const QPoint zoom((4440 + 187) / 15, (2880 + 127) / 15);
  QTest::mousePress(window.childAt(zoom), Qt::LeftButton);
  EXPECT_EQ(pty.Read(4), "C47\r");
  QTest::mouseRelease(window.childAt(zoom), Qt::LeftButton);
  // An address option: "003" in the selector.
  const QPoint address((75 + 4920 + 100) / 15, (6225 + 180 + 112) / 15);
  QTest::mouseClick(window.childAt(address), Qt::LeftButton, {}, QPoint(5, 7));
  EXPECT_EQ(window.Core().State.AddressPrefix, "A003");
}

// Against tests/fixtures/tab-order.txt. Every link of the focus chain is checked on its own, so
// one wrong index shows alone; the Tab key itself follows each link that does not lead into an
// option group (Tab enters a group only at its current option, as on Windows).
TEST_F(PanelLayoutTest, TabChainRunsThroughEveryControlThatTakesTheFocusInTheDesignOrder) {
  Unfold();
  QTest::mouseClick(Control("Command33"), Qt::LeftButton);  // the settings frame and its options
  auto rows = ReadFixture("tab-order.txt");
  ASSERT_EQ(rows.size(), 93u);
  std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return std::stoi(a[1]) < std::stoi(b[1]); });
  const auto nextTakingFocus = [this](QWidget* from) {
    QWidget* w = from->nextInFocusChain();
    // Not TabFocus: Qt takes it from every option of a group but the one last checked or focused.
    while (w != from && !(w->focusPolicy() != Qt::NoFocus && window.isAncestorOf(w))) w = w->nextInFocusChain();
    return w->objectName().toStdString();
  };
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string& from = rows[i][0];
    const std::string& next = rows[(i + 1) % rows.size()][0];
    QWidget* control = Control(from.c_str());
    ASSERT_NE(control, nullptr) << from;
    EXPECT_EQ(nextTakingFocus(control), next) << "after " << from;
    if (qobject_cast<QRadioButton*>(Control(next.c_str())) != nullptr) continue;
    control->setFocus();
    ASSERT_EQ(FocusedName().toStdString(), from);
    QTest::keyClick(control, Qt::Key_Tab);
    EXPECT_EQ(FocusedName().toStdString(), next) << "Tab from " << from;
  }
}

TEST_F(PanelLayoutTest, CtrlHReachesTheWindowWhateverHasTheFocusAndTypesNothing) {
  Unfold();
  auto* text1 = qobject_cast<QLineEdit*>(Control("Text1"));
  text1->setFocus();
  QTest::keyClicks(text1, QStringLiteral("CR0"));
  QTest::mouseClick(Control("Command34"), Qt::LeftButton);  // compact again
  ASSERT_EQ(window.height(), 332);
  text1->setFocus();
  QTest::keyClick(text1, Qt::Key_H, Qt::ControlModifier);
  EXPECT_EQ(window.height(), 455);
  EXPECT_EQ(text1->text(), QStringLiteral("CR0"));
  EXPECT_EQ(window.Core().Panel.Text1, "CR0");
}

TEST_F(PanelLayoutTest, OtherCombinationsWithHDoNothing) {
  Control("Command17")->setFocus();
  for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
                                          Qt::KeyboardModifiers(Qt::AltModifier),
                                          Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier),
                                          Qt::KeyboardModifiers(Qt::NoModifier)}) {
    QTest::keyClick(Focused(), Qt::Key_H, modifiers);
    EXPECT_EQ(window.height(), 332) << modifiers;
  }
  EXPECT_EQ(window.Core().State.PanelUnlocked, 0);
}

TEST_F(PanelLayoutTest, HiddenDataButtonIsStillReachedByTab) {
  Control("Command17")->setFocus();
  QTest::keyClick(Focused(), Qt::Key_H, Qt::ControlModifier);
  QTest::mouseClick(Control("Command34"), Qt::LeftButton);
  ASSERT_EQ(window.height(), 332);
  QWidget* command34 = Control("Command34");
  EXPECT_FALSE(window.rect().contains(InWindow(command34)));  // out of sight, below the edge
  Control("Command33")->setFocus();
  QTest::keyClick(Focused(), Qt::Key_Tab);
  ASSERT_EQ(FocusedName(), QStringLiteral("Command34"));
  QTest::keyClick(Focused(), Qt::Key_Space);
  EXPECT_EQ(window.height(), 418);  // the data view
  EXPECT_EQ(qobject_cast<QPushButton*>(command34)->accessibleName(), QStringLiteral("データを表示しない"));
}

TEST_F(PanelLayoutTest, WindowKeepsItsWidthAndTopEdgeAcrossHeights) {
  const QPoint topLeft = window.pos();
  Unfold();
  EXPECT_EQ(window.width(), 633);
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.pos(), topLeft);
}

}  // namespace
