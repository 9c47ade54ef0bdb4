// The panel as people see it, at its four heights, compared pixel by pixel with the pictures kept
// in tests/reference. After an intended change of the look, `make reference-pictures` draws them
// anew; review the new pictures before committing them.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPushButton>
#include <QStyleFactory>
#include <QTest>
#include <cstdlib>
#include <functional>

#include "WindowTest.h"

namespace {

// The same libraries draw the same pixels; the slack only forgives rounding of a shade or two.
// A caption, a font or a line style moves many pixels, a colour a whole area.
constexpr int kChannelSlack = 2;
constexpr int kPixelsAllowed = 4;

bool Differs(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) > kChannelSlack || std::abs(qGreen(a) - qGreen(b)) > kChannelSlack ||
         std::abs(qBlue(a) - qBlue(b)) > kChannelSlack;
}

// The reference washed out, with every differing pixel in red.
QImage DifferencePicture(const QImage& reference, const QImage& actual, int& differing) {
  QImage diff(reference.size(), QImage::Format_RGB32);
  differing = 0;
  for (int y = 0; y < reference.height(); ++y) {
    for (int x = 0; x < reference.width(); ++x) {
      const QRgb r = reference.pixel(x, y);
      const bool differs = Differs(r, actual.pixel(x, y));
      differing += differs ? 1 : 0;
      const int pale = 160 + qGray(r) * 95 / 255;
      diff.setPixel(x, y, differs ? qRgb(255, 0, 0) : qRgb(pale, pale, pale));
    }
  }
  return diff;
}

// The buttons' look as it was designed, written as a style sheet: the yardstick for the panel's
// own drawing in the states the pictures above do not show.
QString DesignedLook(const QColor& colour) {
  return QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid #808080;"
                        " border-top-color: white; border-left-color: white; padding: 0px; }"
                        " QPushButton:pressed { background-color: %2; border-top-color: #808080;"
                        " border-left-color: #808080; border-bottom-color: white; border-right-color: white; }"
                        " QPushButton:focus { border-style: dotted; }")
      .arg(colour.name(), colour.darker(115).name());
}

class PanelPictures : public WindowTest {
 protected:
  void Check(const QString& name) {
    window.repaint();
    const QImage actual = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QString reference = QStringLiteral(PANEL_REFERENCE_DIR "/") + name + QStringLiteral(".png");
    if (qEnvironmentVariableIsSet("PANEL_WRITE_REFERENCES")) {
      QDir().mkpath(QStringLiteral(PANEL_REFERENCE_DIR));
      ASSERT_TRUE(actual.save(reference, "PNG")) << reference.toStdString();
      std::printf("wrote %s\n", qPrintable(reference));
      return;
    }
    const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull()) << "no reference picture " << reference.toStdString()
                                    << "; draw the references with: make reference-pictures";
    QDir().mkpath(QStringLiteral(PANEL_DIFF_DIR));
    const QString actualPath = QStringLiteral(PANEL_DIFF_DIR "/") + name + QStringLiteral(".actual.png");
    if (actual.size() != expected.size()) {
      actual.save(actualPath, "PNG");
      FAIL() << name.toStdString() << " is " << actual.width() << "x" << actual.height() << ", the reference "
             << expected.width() << "x" << expected.height() << "; the picture drawn now: " << actualPath.toStdString();
    }
    int differing = 0;
    const QImage diff = DifferencePicture(expected, actual, differing);
    if (differing <= kPixelsAllowed) return;
    const QString diffPath = QStringLiteral(PANEL_DIFF_DIR "/") + name + QStringLiteral(".diff.png");
    diff.save(diffPath, "PNG");
    actual.save(actualPath, "PNG");
    ADD_FAILURE() << name.toStdString() << ": " << differing << " pixels differ from " << reference.toStdString()
                  << "\n  where (in red): " << diffPath.toStdString() << "\n  drawn now: " << actualPath.toStdString();
  }
};

TEST_F(PanelPictures, FourHeightsLookAsTheirReferences) {
  Form1& core = window.Core();
  // Fixed texts on the monitor lines and in the command box, the settings frame open: nothing in
  // the pictures depends on traffic or on time.
  core.Panel.Label11 = " A 0 0 1 C R 0 CR ";
  core.Panel.Label12 = " 0 0 CR ";
  core.Panel.Label22 = " Power ON";
  core.Panel.Text1 = "CF SHUTTER OPEN";
  core.Panel.Frame8Visible = true;
  window.Refresh();
  const auto key = [&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_H, Qt::ControlModifier); };
  const auto click34 = [&] { QTest::mouseClick(Find("Command34"), Qt::LeftButton); };
  struct Height {
    const char* name;
    std::function<void()> reach;
    int clientHeight;
  };
  const Height heights[] = {
      {"compact", [] {}, 332},
      {"service-view", key, 455},
      {"full", [&] { QTest::mouseDClick(Find("Image1"), Qt::LeftButton); }, 582},
      {"data-view",
       [&] {
         click34();
         click34();
         core.WindowTimers().Timer3.SetEnabled(false);  // the settings frame stays open for the picture
       },
       418},
  };
  for (const Height& h : heights) {
    h.reach();
    ASSERT_EQ(window.height(), h.clientHeight) << h.name;
    Check(QString::fromLatin1(h.name));
  }
}

TEST_F(PanelPictures, CompactPanelWithTheBalloonOfARefusedClick) {
  QTest::mouseClick(Find("Command17"), Qt::LeftButton);
  ASSERT_EQ(pty.Read(4), "C00\r");
  pty.Write("ERR\r");
  ASSERT_TRUE(WaitUntil([&] { return window.Balloon()->isVisible(); }));
  Check(QStringLiteral("compact-no-answer"));
}

}  // namespace

TEST_F(PanelPictures, ButtonsLookAsDesignedPressedAndFocusedToo) {
  Unfold();
  struct Case {
    const char* control;
    bool designedFlat;  // else the application's standard button
  };
  const Case buttons[] = {{"Command17", true}, {"Command3", true}, {"Command59", true}, {"Command6", true},
                          {"Command33", false}};
  struct State {
    const char* name;
    bool focused, down;
  };
  const State states[] = {{"plain", false, false}, {"focused", true, false}, {"pressed", false, true}, {"both", true, true}};
  for (const Case& c : buttons) {
    auto* panel = Find<QPushButton>(c.control);
    QPushButton designed(panel->text(), panel->parentWidget());
    designed.setGeometry(panel->geometry());
    designed.setFont(panel->font());
    if (c.designedFlat) designed.setStyleSheet(DesignedLook(panel->palette().color(QPalette::Button)));
    designed.show();
    for (const State& state : states) {
      QImage drawn[2];
      for (QPushButton* button : {panel, &designed}) {
        if (state.focused) button->setFocus();
        if (!state.focused) button->clearFocus();  // the window gives the first button the focus
        button->setDown(state.down);
        drawn[button == panel ? 0 : 1] = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
        button->setDown(false);
      }
      int differing = 0;
      DifferencePicture(drawn[1], drawn[0], differing);
      EXPECT_EQ(differing, 0) << c.control << " " << state.name;
    }
  }
}
