#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <fstream>
#include <functional>

#include "Pty.h"
#include "platform/QtSerialLink.h"

namespace {

std::string OpenFailure(const QString& path, bool given) {
  QtSerialLink link(PortMap{path, QString(), given});
  try {
    link.Open();
  } catch (const LinkError& error) {
    return error.what();
  }
  link.Close();
  return "opened";
}

// A path that exists but cannot be a serial line is called what it is; a path that does not
// exist keeps its own advice, and a real terminal opens.
TEST(DeviceKind, APathThatIsNoDeviceIsNamedForWhatItIs) {
  QTemporaryDir dir;
  const std::string base = dir.path().toStdString();
  Pty line;
  const auto advice = [](const std::string& path, const char* kind) {
    return "COM1 (" + path + ") could not be opened: " + path + " is " + kind +
           ", not a serial device. Start the panel with --com1 PATH naming the serial device "
           "(projector-panel --list-ports lists them).";
  };
  const struct {
    const char* name;
    std::string path;
    std::function<void(const std::string&)> make;
    std::string expected;
    bool given = false;  // named with --com1
  } table[] = {
      {"a folder", base + "/folder", [](const std::string& p) { ::mkdir(p.c_str(), 0700); },
       advice(base + "/folder", "a directory")},
      {"a regular file", base + "/file", [](const std::string& p) { std::ofstream(p) << "x"; },
       advice(base + "/file", "a regular file")},
      {"a link to a regular file", base + "/link", [&base](const std::string& p) {
         std::ofstream(base + "/target") << "x";
         ::symlink((base + "/target").c_str(), p.c_str());
       },
       advice(base + "/link", "a regular file")},
      {"a named pipe", base + "/fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); },
       advice(base + "/fifo", "a named pipe")},
      {"nothing at all", base + "/missing", [](const std::string&) {},
       "COM1 (" + base + "/missing) could not be opened: the device does not exist. Connect the projector's serial "
       "cable or USB adapter, or start the panel with --com1 PATH to name the device."},
      {"nothing at all, named with --com1", base + "/missing", [](const std::string&) {},
       "COM1 (" + base + "/missing) could not be opened: the device does not exist. Connect the projector's serial "
       "cable or USB adapter, or check the path given with --com1.", true},
      {"a character device that is no terminal", "/dev/null", [](const std::string&) {},
       advice("/dev/null", "a character device but no terminal")},
      {"a regular file named with --com1", base + "/file", [](const std::string&) {},
       "COM1 (" + base + "/file) could not be opened: " + base + "/file is a regular file, not a serial device. "
       "Check the path given with --com1 (projector-panel --list-ports lists them).", true},
      {"a pseudo terminal", line.SlavePath(), [](const std::string&) {}, "opened"},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(row.name);
    row.make(row.path);
    EXPECT_EQ(OpenFailure(QString::fromStdString(row.path), row.given), row.expected);
  }
}

}  // namespace
