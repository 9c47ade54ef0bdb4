#include <gtest/gtest.h>

#include <QCoreApplication>

// Process tests need no window of their own: a QCoreApplication for QProcess and QSerialPort.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
