#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "QtRig.h"
#include "window/MainWindow.h"

// The real window, started on a pseudo terminal as COM1 (COM2 does not exist), shown and active.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.Load();
    ASSERT_FALSE(window.Failed());
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }

  // Ctrl+H and a double-click on the picture: the whole panel in view.
  void Unfold() {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &window, Qt::Key_H, Qt::ControlModifier);
    QTest::mouseDClick(window.Control(QStringLiteral("Image1")), Qt::LeftButton);
    ASSERT_EQ(window.height(), 582);
  }

  template <typename T = QWidget>
  T* Find(const char* name) {
    T* widget = qobject_cast<T*>(window.Control(QString::fromLatin1(name)));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  Pty pty;
  QtSerialLink link{PortMap{QString::fromStdString(pty.SlavePath()), QStringLiteral("/nonexistent/com2")}};
  MainWindow window{link};
};
