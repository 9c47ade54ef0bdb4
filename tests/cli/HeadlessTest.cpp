#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

// Run by CTest with the display variables removed: proves they are, and that nothing of the
// window system is loaded into a program that only sends (a widget or GUI library in this
// process would mean the command-line face links the window).
TEST(Headless, RunsWithoutDisplayOrWindowSystem) {
  if (std::getenv("PANEL_EXPECT_HEADLESS") == nullptr) GTEST_SKIP() << "only under CTest";
  EXPECT_EQ(std::getenv("DISPLAY"), nullptr);
  EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
  EXPECT_STREQ(QCoreApplication::instance()->metaObject()->className(), "QCoreApplication");
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);) {
    EXPECT_EQ(line.find("libQt6Gui"), std::string::npos) << line;
    EXPECT_EQ(line.find("libQt6Widgets"), std::string::npos) << line;
  }
}

}  // namespace
