#include "window/MainWindow.h"

#include <gtest/gtest.h>

#include "BoxWatcher.h"
#include "QtRig.h"

namespace {

TEST(MainWindow, HasItsTitleFixedWidthAndTheThreeMonitorLines) {
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  ASSERT_FALSE(window.Failed());
  EXPECT_EQ(window.windowTitle(), QStringLiteral("VESK   Q8    CONTROL   Ver.1.41 BASE"));
  EXPECT_EQ(window.width(), 633);
  EXPECT_EQ(window.minimumWidth(), window.maximumWidth());
  EXPECT_EQ(window.height(), 332);  // 5350 outer less the 370-twip frame, at 15 twips a pixel
  for (const char* name : {"Label11", "Label12", "Label22"}) {
    EXPECT_NE(window.findChild<QLabel*>(QString::fromLatin1(name)), nullptr) << name;
  }
}

TEST(MainWindow, ShowsWhatTheCoreSendsAndReceives) {
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  window.Core().Dispatch.Run(OnFailure::Warn, [&] { window.Core().exchange.Send("CR0"); });
  auto* txd = window.findChild<QLabel*>(QStringLiteral("Label11"));
  EXPECT_EQ(txd->text(), QStringLiteral(" C R 0 CR "));
  EXPECT_EQ(pty.Read(4), "CR0\r");
  pty.Write("80\r");
  auto* status = window.findChild<QLabel*>(QStringLiteral("Label22"));
  EXPECT_TRUE(WaitUntil([&] { return status->text() == QStringLiteral(" Stand by"); }));
}

TEST(MainWindow, StartUpWithoutComOneShowsWhyAndFails) {
  BoxWatcher boxes;
  QtSerialLink link(PortMap{QStringLiteral("/nonexistent/ttyS0"), QString()});
  MainWindow window(link);
  window.Load();
  EXPECT_TRUE(window.Failed());
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("/nonexistent/ttyS0")));
  EXPECT_EQ(boxes.icons[0], QMessageBox::Critical);
}

TEST(MainWindow, FailedSendIsReportedInOneWarningBox) {
  BoxWatcher boxes;
  Pty pty;
  QtSerialLink link(PortMap{QString::fromStdString(pty.SlavePath()), QString()});
  MainWindow window(link);
  window.Load();
  link.Close();
  window.Core().Dispatch.Run(OnFailure::Warn, [&] { window.Core().exchange.Send("C00"); });
  ASSERT_EQ(boxes.texts.size(), 1);
  EXPECT_EQ(boxes.icons[0], QMessageBox::Warning);
  EXPECT_TRUE(boxes.texts[0].contains(QStringLiteral("not open")));
  EXPECT_EQ(window.Core().State.TxFrame, "C00\r");
}

}  // namespace
