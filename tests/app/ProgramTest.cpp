#include <gtest/gtest.h>

#include "Pty.h"
#include "ProgramRun.h"

namespace {

constexpr const char* kLine = "LINE";  // stands for the pseudo terminal's device in the table

QStringList WithLine(const std::vector<const char*>& args, const std::string& line) {
  QStringList out;
  for (const char* arg : args) out << QString::fromStdString(arg == std::string(kLine) ? line : arg);
  return out;
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// Everything that is not the panel itself answers with no display and leaves the port alone.
// The line is a pseudo terminal watched for any open; there is no display, so a window would
// not even start.
TEST(Program, AnswersWithoutADisplayAndWithoutTouchingThePort) {
  const std::string usageError = "Usage: projector-panel [--com1 PATH]";
  const struct {
    std::vector<const char*> args;
    int exitCode;
    std::string outStart;  // the standard output begins with this
    std::string errStart;  // the standard error begins with this
  } table[] = {
      {{"--com1", kLine, "--help"}, 0, "Usage: projector-panel [--com1 PATH] [--com2 PATH]\n", ""},
      {{"-h", "--com1", kLine}, 0, "Usage: projector-panel [--com1 PATH] [--com2 PATH]\n", ""},
      {{"--com1", kLine, "--version"}, 0, "projector-panel " PANEL_VERSION "\n", ""},
      {{"--com1", kLine, "/dev/ttyUSB0"}, 2, "",
       "projector-panel: unexpected argument '/dev/ttyUSB0' (to name the device of COM1, write --com1 /dev/ttyUSB0)\n" +
           usageError},
      {{"--com1", kLine, "--bogus"}, 2, "", "projector-panel: unknown option '--bogus'\n" + usageError},
      {{"--com1", kLine, "--com2"}, 2, "", "projector-panel: option '--com2' needs a value: a device path\n" + usageError},
      {{"--com1", kLine, "--json"}, 2, "", "projector-panel: option '--json' only applies with --send\n" + usageError},
      {{"--com1", kLine, "--send", "CR0", "--port", "3"}, 2, "",
       "projector-panel: option '--port' takes 1 or 2, not '3'\n" + usageError},
  };
  for (const auto& row : table) {
    Pty line;
    OpenWatch watch(line.SlavePath());
    const QStringList args = WithLine(row.args, line.SlavePath());
    SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
    const ProgramRun run = RunPanel(args, WithoutDisplay());
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit) << run.err;
    EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
    EXPECT_TRUE(StartsWith(run.out, row.outStart)) << run.out;
    EXPECT_TRUE(row.outStart.empty() == run.out.empty()) << run.out;
    EXPECT_TRUE(StartsWith(run.err, row.errStart)) << run.err;
    EXPECT_TRUE(row.errStart.empty() == run.err.empty()) << run.err;
    EXPECT_FALSE(watch.Opened());
  }
}

TEST(Program, ListsPortsWithoutADisplay) {
  const ProgramRun run = RunPanel({QStringLiteral("--list-ports")}, WithoutDisplay());
  EXPECT_EQ(run.exitStatus, QProcess::NormalExit) << run.err;
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(run.out == "no serial ports found\n" || StartsWith(run.out, "/")) << run.out;
}

// The check above is only worth something if a window really cannot start here.
TEST(Program, ThePanelItselfNeedsADisplay) {
  Pty line;
  OpenWatch watch(line.SlavePath());
  const ProgramRun run = RunPanel({QStringLiteral("--com1"), QString::fromStdString(line.SlavePath())}, WithoutDisplay());
  EXPECT_FALSE(run.exitStatus == QProcess::NormalExit && run.exitCode == 0);
  EXPECT_FALSE(watch.Opened());
}

}  // namespace
