#include <gtest/gtest.h>

#include <QCoreApplication>

// The command-line face runs without a window system, and so do its tests.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
