#include <gtest/gtest.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <thread>

#include <QThread>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QProcess>
#include <fstream>
#include <iterator>
#include <sstream>

#include "Pty.h"
#include "ProgramRun.h"
#include "launcher/SimProcess.h"

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
  const std::string usageError = ". Try 'projector-panel --help'.\n";
  const struct {
    std::vector<const char*> args;
    int exitCode;
    std::string outStart;  // the standard output begins with this
    std::string err;       // the standard error: one line for a mistake, ending with the advice
    bool unreadableSettings = false;  // CONFIG in `err` stands for the config folder
  } table[] = {
      {{"--com1", kLine, "--help"}, 0, "Usage: projector-panel [--com1 PATH] [--com2 PATH] [--log FILE]\n", ""},
      {{"-h", "--com1", kLine}, 0, "Usage: projector-panel [--com1 PATH] [--com2 PATH] [--log FILE]\n", ""},
      {{"--com1", kLine, "--version"}, 0, "projector-panel " PANEL_VERSION "\n", ""},
      {{"--list-commands"}, 0, "The buttons' commands; --send takes the command or its name:\nCOMMAND", ""},
      {{"--com1", kLine, "/dev/ttyUSB0"}, 2, "",
       "projector-panel: unexpected argument '/dev/ttyUSB0' (to name the device of COM1, write --com1 /dev/ttyUSB0)" +
           usageError},
      {{"--com1", kLine, "--bogus"}, 2, "", "projector-panel: unknown option '--bogus'" + usageError},
      {{"--com1", kLine, "--com2"}, 2, "", "projector-panel: option '--com2' needs a value: a device path" + usageError},
      {{"--com1", kLine, "--json"}, 2, "",
       R"({"error":"option '--json' only applies with --send. Try 'projector-panel --help'.","command":null,"exit":2})" "\n"},
      // With --json a mistake on the line is an object too.
      {{"--json", "--bogus"}, 2, "",
       R"({"error":"unknown option '--bogus'. Try 'projector-panel --help'.","command":null,"exit":2})" "\n"},
      {{"--json", "--send", "CR0", "--timeout", "5"}, 2, "",
       R"({"error":"option '--timeout' takes a number of milliseconds from 50 to 60000, not '5'. Try )"
       R"('projector-panel --help'.","command":null,"exit":2})" "\n"},
      {{"--com1", kLine, "--send", "CR0", "--port", "3"}, 2, "",
       "projector-panel: option '--port' takes 1 or 2, not '3'" + usageError},
      // The PJLink password is checked before anything opens.
      {{"--serve", "--com1", kLine, "--pjlink", "4352", "--pjlink-password-file", "/etc/passwd"}, 2, "",
       "projector-panel: the PJLink password file /etc/passwd may be read by others; make it its owner's alone "
       "(chmod 600 /etc/passwd)\n"},
      {{"--com1", kLine, "--pjlink", "4352", "--pjlink-password-file", "/nonexistent/p"}, 2, "",
       "projector-panel: the PJLink password file /nonexistent/p cannot be read: No such file or directory\n"},
      // --send gets as far as the port, which is missing here.
      {{"--com2", kLine, "--com1", "/nonexistent/ttyUSB9", "--send", "CR0"}, 1, "",
       "projector-panel: \"CR0\" was not sent: COM1 (/nonexistent/ttyUSB9) could not be opened: the device does "
       "not exist. Connect the projector's serial cable or USB adapter, or check the path given with --com1.\n"},
      // With --json every line on standard error is an object, the settings' problem included.
      {{"--json", "--send", ""}, 2, "",
       R"({"warning":"The devices chosen in the window in earlier runs could not be read, so they are not used: )"
       R"(CONFIG/projector-panel/projector-panel.conf is a folder, not a file. Remove it, or make it a settings )"
       R"(file your user can read and write, to keep the devices chosen from now on.","command":null})" "\n"
       R"({"error":"--send \"\": Nothing was sent: the command is empty. Give the projector's command (for )"
       R"(example CR0) or its name (projector-panel --list-commands lists them). Try 'projector-panel --help'.",)"
       R"("command":"","exit":2})" "\n",
       true},
  };
  for (const auto& row : table) {
    Pty line;
    OpenWatch watch(line.SlavePath());
    const QStringList args = WithLine(row.args, line.SlavePath());
    SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
    QProcessEnvironment environment = WithoutDisplay();
    const QTemporaryDir config;
    std::string err = row.err;
    if (row.unreadableSettings) {
      ASSERT_TRUE(QDir(config.path()).mkpath(QStringLiteral("projector-panel/projector-panel.conf")));
      environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
      err.replace(err.find("CONFIG"), 6, config.path().toStdString());
    }
    const ProgramRun run = RunPanel(args, environment);
    EXPECT_EQ(run.exitStatus, QProcess::NormalExit) << run.err;
    EXPECT_EQ(run.exitCode, row.exitCode) << run.err;
    EXPECT_TRUE(StartsWith(run.out, row.outStart)) << run.out;
    EXPECT_TRUE(row.outStart.empty() == run.out.empty()) << run.out;
    EXPECT_EQ(run.err, err);
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

// Output that cannot be written is a failure, said on standard error, whatever was asked.
TEST(Program, UnwritableOutputIsAFailure) {
  const std::string full = "projector-panel: standard output could not be written (No space left on device); ";
  const std::string fix = full + "send it to a file or a program that can take it\n";
  const struct {
    std::vector<const char*> args;
    std::string err;
  } table[] = {
      {{"--help"}, fix}, {{"--version"}, fix}, {{"--list-ports"}, fix}, {{"--list-commands"}, fix},
      {{"--com1", kLine, "--send", "CR0", "--timeout", "50"}, full + "the answer to \"CR0\" from COM1 (LINE) was not printed\n"},
  };
  for (const auto& row : table) {
    Pty line;
    QProcess panel;
    panel.setProcessEnvironment(WithoutDisplay());
    panel.setStandardOutputFile(QStringLiteral("/dev/full"));
    panel.start(QStringLiteral(PROJECTOR_PANEL), WithLine(row.args, line.SlavePath()));
    ASSERT_TRUE(panel.waitForFinished(30000));
    EXPECT_EQ(panel.exitCode(), 1) << row.args[0];
    std::string err = row.err;
    if (const std::size_t at = err.find(kLine); at != std::string::npos) err.replace(at, 4, line.SlavePath());
    EXPECT_EQ(panel.readAllStandardError().toStdString(), err);
  }
}

// A traffic log that cannot take the traffic is said once, in the run's form, and the run goes on:
// a full device, a named pipe nobody reads (not waited for), one whose reader leaves (no death by
// SIGPIPE, in the window either).
TEST(Program, ALogThatCannotTakeTheTrafficIsToldOnceAndNeverStopsTheRun) {
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("fifo"));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const std::string full = "the traffic log /dev/full could not be written (No space left on device); nothing more is "
                           "written to it.";
  const std::string unread = "the traffic log " + fifo.toStdString() +
                             " is a named pipe that no program reads now, so nothing is logged in this run; start the "
                             "program that reads it first, or give --log a file";
  const struct {
    QString log;
    bool json;
    std::string err;
  } table[] = {
      {QStringLiteral("/dev/full"), false, "projector-panel: " + full + "\n"},
      {QStringLiteral("/dev/full"), true, R"({"warning":")" + full + R"(","command":null})" "\n"},
      {fifo, false, "projector-panel: " + unread + "\n"},
  };
  SimProcess sim({});
  for (const auto& row : table) {
    QStringList args{QStringLiteral("--com1"), sim.Path(), QStringLiteral("--log"), row.log};
    for (const char* command : {"status", "lamp-hours", "power-on", "status"}) args << QStringLiteral("--send") << command;
    if (row.json) args << QStringLiteral("--json");
    const ProgramRun run = RunPanel(args, WithoutDisplay());
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, row.err);
  }
  // The window, its log's reader gone while it runs.
  const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  Pty line;
  QProcess panel;
  panel.setProcessEnvironment(Offscreen());
  panel.start(QStringLiteral(PROJECTOR_PANEL),
              {QStringLiteral("--com1"), QString::fromStdString(line.SlavePath()), QStringLiteral("--log"), fifo});
  ASSERT_TRUE(panel.waitForStarted());
  // Bytes nobody asked for are logged: once the reader has seen them, it goes.
  char seen[256];
  for (int i = 0; i < 300 && ::read(reader, seen, sizeof seen) <= 0; ++i) line.Write("80\r"), QThread::msleep(100);
  ::close(reader);
  for (int i = 0; i < 5; ++i) line.Write("80\r"), QThread::msleep(100);
  EXPECT_EQ(panel.state(), QProcess::Running);
  panel.terminate();
  ASSERT_TRUE(panel.waitForFinished(30000));
  EXPECT_EQ(panel.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(panel.exitCode(), 0);
  const std::string err = panel.readAllStandardError().toStdString();
  const std::string told = "projector-panel: the traffic log " + fifo.toStdString() + " could not be written";
  EXPECT_NE(err.find(told), std::string::npos) << err;
  EXPECT_EQ(err.find(told), err.rfind(told)) << err;
}

// The help's examples, pasted into a shell as they stand (the adapter's name aside): they run,
// and the wait loop ends once the lamp is on, at once when the port fails, and with a failure
// when the lamp stays off (its pauses made instant by a shell function that does not wait).
TEST(Program, HelpExamplesRunAsTheyStand) {
  const ProgramRun help = RunPanel({QStringLiteral("--help")}, WithoutDisplay());
  const std::string examples = help.out.substr(help.out.find("Examples:\n"));
  std::string script;
  std::istringstream lines(examples);
  for (std::string line; std::getline(lines, line);) {
    if (line.empty() || line.rfind("  ", 0) == 0) script += line + '\n';  // the descriptions are not indented
  }
  const std::string adapter = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
  ASSERT_NE(script.find(adapter), std::string::npos) << script;
  SimProcess sim({"--warmup-ms", "0"}), warming({"--warmup-ms", "600000"});
  const struct {
    QString device;
    int exitCode;
    std::string shown;  // in what the examples print
  } table[] = {
      {sim.Path(), 0, "\"value\":[2"},  // the temperatures, after the lamp came on
      {QStringLiteral("/nonexistent/ttyUSB0"), 1, "could not be opened"},
      {warming.Path(), 1, "RXD  ACK CR"},  // power-on answered, the lamp never on
  };
  for (const auto& row : table) {
    std::string pasted = "sleep() { :; }\n" + script;
    pasted.replace(pasted.find(adapter), adapter.size(), row.device.toStdString());
    QProcessEnvironment environment = WithoutDisplay();
    environment.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(PROJECTOR_PANEL)).path() + ":/usr/bin:/bin");
    QProcess shell;
    shell.setProcessEnvironment(environment);
    shell.start(QStringLiteral("sh"), {QStringLiteral("-ec"), QString::fromStdString(pasted)});
    ASSERT_TRUE(shell.waitForFinished(30000)) << "the examples did not end";
    const std::string all = shell.readAllStandardOutput().toStdString() + shell.readAllStandardError().toStdString();
    EXPECT_EQ(shell.exitCode(), row.exitCode) << all;
    EXPECT_NE(all.find(row.shown), std::string::npos) << all;
  }
}

// The window itself needs a display: without one, or with one named that does not answer, it
// says so in one line that points to --send, before Qt's platform plugin could abort it, and
// leaves the port alone.
TEST(Program, ThePanelItselfNeedsADisplayAndSaysSo) {
  // Something at a display's socket that takes a connection and says nothing: where a look at the
  // socket alone would pass it, the X library fails, and forms it cannot parse fail before. The
  // display is one no local X server (nor another test) has: its abstract name is free to take.
  const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int silent = 90;
  for (;; ++silent) {
    ASSERT_LT(silent, 190);
    if (QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(silent))) continue;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string name = "/tmp/.X11-unix/X" + std::to_string(silent);
    std::memcpy(address.sun_path + 1, name.data(), name.size());  // the abstract name, looked for first
    if (::bind(socket, reinterpret_cast<sockaddr*>(&address), offsetof(sockaddr_un, sun_path) + 1 + name.size()) == 0) break;
  }
  ASSERT_EQ(::listen(socket, 8), 0);
  std::atomic<bool> stop = false;
  std::thread closer([&] {
    while (!stop) {
      pollfd ready{socket, POLLIN, 0};
      if (::poll(&ready, 1, 20) == 1) ::close(::accept(socket, nullptr, nullptr));
    }
  });
  std::vector<std::pair<QProcessEnvironment, std::string>> cases{{WithoutDisplay(), "DISPLAY and WAYLAND_DISPLAY are not set"}};
  for (const QString& form : {QStringLiteral(":%1"), QStringLiteral(":%1.x"), QStringLiteral(":%1."), QStringLiteral("foo/unix:%1")}) {
    QProcessEnvironment environment = WithoutDisplay();
    environment.insert(QStringLiteral("DISPLAY"), form.arg(silent));
    cases.emplace_back(environment, "DISPLAY=" + form.arg(silent).toStdString() + " cannot be reached");
  }
  for (const auto& [environment, why] : cases) {
    Pty line;
    OpenWatch watch(line.SlavePath());
    const ProgramRun run = RunPanel({QStringLiteral("--com1"), QString::fromStdString(line.SlavePath())}, environment);
    EXPECT_TRUE(run.exitStatus == QProcess::NormalExit && run.exitCode == 1) << run.exitCode;
    EXPECT_TRUE(StartsWith(run.err, "projector-panel: there is no display to open the window on (" + why + ")")) << run.err;
    EXPECT_TRUE(run.err.find("--send") < run.err.find('\n') && run.err.find('\n') + 1 == run.err.size()) << run.err;
    EXPECT_FALSE(watch.Opened());
  }
  stop = true;
  closer.join();
  ::close(socket);
}

// docs/commands.md is the program's own table, and --list-commands names every command in it.
TEST(Program, TheCommandTableOfTheDocsIsWhatTheProgramPrints) {
  std::ifstream file(PANEL_SOURCE_DIR "/docs/commands.md");
  const std::string committed{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  const ProgramRun table = RunPanel({QStringLiteral("--list-commands"), QStringLiteral("--markdown")}, WithoutDisplay());
  EXPECT_EQ(table.out, committed) << "docs/commands.md is out of date; make it again with\n"
                                     "  build/app/projector-panel --list-commands --markdown > docs/commands.md";
  const std::string list = RunPanel({QStringLiteral("--list-commands")}, WithoutDisplay()).out;
  std::istringstream rows(table.out);
  for (std::string row; std::getline(rows, row);) {
    if (row.rfind("| `", 0) != 0) continue;
    EXPECT_NE(list.find("  " + row.substr(3, row.find('`', 3) - 3) + "  "), std::string::npos) << row;
  }
}

// A port another panel holds names it, from its lock file, and says nothing of permissions; a
// device this user may not open gets the dialout advice alone.
TEST(Program, ABusyPortNamesItsHolderAndAForbiddenOneGivesThePermissionAdvice) {
  Pty line;
  const std::string failed = "projector-panel: \"CR0\" was not sent: COM1 (" + line.SlavePath() + ") could not be opened: ";
  const QStringList send{QStringLiteral("--com1"), QString::fromStdString(line.SlavePath()), QStringLiteral("--send"),
                         QStringLiteral("CR0")};
  QProcess holder;
  holder.setProcessEnvironment(Offscreen());
  holder.start(QStringLiteral(PROJECTOR_PANEL), send.mid(0, 2));
  for (int i = 0; i < 1500 && LockFileOf(holder.processId()).empty(); ++i) QThread::msleep(20);
  const ProgramRun busy = RunPanel(send, WithoutDisplay());
  const std::string holderPid = std::to_string(holder.processId());
  holder.terminate();
  ASSERT_TRUE(holder.waitForFinished(30000));
  EXPECT_TRUE(StartsWith(busy.err, failed + "it is in use by projector-panel (process " + holderPid + ")")) << busy.err;
  EXPECT_EQ(busy.err.find("ermission"), std::string::npos) << busy.err;
  // A pseudo terminal is its maker's: root runs the panel as nobody, anyone else takes its access away.
  QProcess stranger;
  if (::geteuid() == 0) {
    stranger.start(QStringLiteral("setpriv"),
                   QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", PROJECTOR_PANEL} + send);
  } else {
    ASSERT_EQ(::chmod(line.SlavePath().c_str(), 0), 0);
    stranger.start(QStringLiteral(PROJECTOR_PANEL), send);
  }
  ASSERT_TRUE(stranger.waitForFinished(30000));
  const std::string forbidden = stranger.readAllStandardError().toStdString();
  EXPECT_TRUE(StartsWith(forbidden, failed + "Permission denied.")) << forbidden;
  EXPECT_NE(forbidden.find("dialout"), std::string::npos) << forbidden;
  EXPECT_EQ(forbidden.find("in use"), std::string::npos) << forbidden;
}

}  // namespace
