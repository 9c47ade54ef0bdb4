// The settings frame, the address selector and the free-text row in the real window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "BoxWatcher.h"
#include "WindowTest.h"

namespace {

class WindowControls : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Unfold();
  }
};

TEST_F(WindowControls, ComOpensTheFrameOverTheComButton) {
  auto* frame8 = Find("Frame8");
  EXPECT_FALSE(frame8->isVisible());
  QTest::mouseClick(Find<QPushButton>("Command33"), Qt::LeftButton);
  EXPECT_TRUE(frame8->isVisible());
  // Where "COM" lies, the settings frame now takes the click.
  QWidget* com = Find("Command33");
  QWidget* hit = window.childAt(com->geometry().center());
  ASSERT_NE(hit, nullptr);
  EXPECT_TRUE(hit == frame8 || frame8->isAncestorOf(hit)) << hit->objectName().toStdString();
}

TEST_F(WindowControls, MissingComTwoWarnsAndKeepsTheFrameAndBothSelections) {
  BoxWatcher boxes;
  QTest::mouseClick(Find<QPushButton>("Command33"), Qt::LeftButton);
  QTest::mouseClick(Find<QRadioButton>("Option2"), Qt::LeftButton);
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("/nonexistent/com2")));
  EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);
  EXPECT_TRUE(Find("Frame8")->isVisible());
  EXPECT_TRUE(Find<QRadioButton>("Option2")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>("Option9")->isChecked());  // the other group is untouched
}

TEST_F(WindowControls, TypedCommandGoesOutWithTheSelectedAddress) {
  QTest::mouseClick(Find<QRadioButton>("Option5"), Qt::LeftButton);
  QTest::keyClicks(Find<QLineEdit>("Text1"), QStringLiteral("CR0"));
  QTest::mouseClick(Find<QPushButton>("Command95"), Qt::LeftButton);
  EXPECT_EQ(pty.Read(8), "A001CR0\r");
  pty.Write("80\r");
  EXPECT_TRUE(WaitUntil([&] { return Find<QLabel>("Label22")->text() == QStringLiteral(" Stand by"); }));
  QTest::mouseClick(Find<QPushButton>("Command96"), Qt::LeftButton);
  EXPECT_EQ(Find<QLineEdit>("Text1")->text(), QString());
  EXPECT_EQ(Find<QLabel>("Label22")->text(), QStringLiteral(" Stand by"));
}

TEST_F(WindowControls, NonAsciiCommandIsRefusedInAWarningBox) {
  BoxWatcher boxes;
  QTest::keyClicks(Find<QLineEdit>("Text1"), QStringLiteral("CF IMAGE CINÉMA"));
  QTest::mouseClick(Find<QPushButton>("Command95"), Qt::LeftButton);
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("ASCII")));
  EXPECT_EQ(pty.Read(1, 200), "");
  EXPECT_EQ(Find<QLineEdit>("Text1")->text(), QStringLiteral("CF IMAGE CINÉMA"));
}

TEST_F(WindowControls, PastedTextThatCannotGoOutAsOneCommandIsKeptAndRefused) {
  auto* text1 = Find<QLineEdit>("Text1");
  const struct {
    QString pasted;
    const char* says;
  } cases[] = {
      {QStringLiteral("C00\rC01"), "line break"},
      {QString(40000, QLatin1Char('C')), "40000 characters long"},
  };
  for (const auto& c : cases) {
    BoxWatcher boxes;
    text1->clear();
    QApplication::clipboard()->setText(c.pasted);
    text1->setFocus();
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(text1->text(), c.pasted) << c.says;  // nothing cut off
    QTest::mouseClick(Find<QPushButton>("Command95"), Qt::LeftButton);
    ASSERT_EQ(boxes.texts.size(), 1) << c.says;
    EXPECT_TRUE(boxes.texts[0].contains(QLatin1String(c.says))) << boxes.texts[0].toStdString();
    EXPECT_EQ(pty.Read(1, 200), "") << c.says;
    EXPECT_EQ(Find<QLabel>("Label11")->text(), QString()) << c.says;
  }
}

}  // namespace
