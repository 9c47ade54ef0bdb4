// Start-up, from process start to the first frame of the window, of projector-panel beside the
// plain-Qt reference built from the same 134 controls, under the offscreen platform. Each run
// gets a fresh pseudo terminal as its serial device, so the port opens as it does for a user.
// The two programs alternate (ABBA), so a change of load on the machine reaches both alike; a
// few runs of each warm the file cache first and are not counted.
//
//   startup-bench --panel PATH --reference PATH --probe LIBRARY [--runs 100]
//
// The probe library, preloaded into both, prints the instant of the first frame; the bench
// subtracts the instant just before it forked. The CPU time each program took until then is
// printed beside it: on a busy machine it wanders less than the time on the clock.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

namespace {

// steady_clock is CLOCK_MONOTONIC here, the clock the probe reports the first frame on.
long long MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "startup-bench: %s\n", what.c_str());
  std::exit(1);
}

struct Program {
  const char* label;
  std::string path;
  std::vector<std::string> optionsBeforeDevice;  // the device path comes last
  const char* windowClass;  // what the first frame must be of: not an error box
  std::vector<double> ms;
  std::vector<double> cpuMs;
};

struct Start {
  double ms;     // from before the fork to the first frame
  double cpuMs;  // the program's own CPU time until then
};

// One start of the program on a fresh pseudo terminal.
Start StartOnce(const Program& program, const std::string& probe) {
  int master = -1, slave = -1;
  char device[256] = {};
  if (openpty(&master, &slave, device, nullptr, nullptr) != 0) Die(std::string("openpty: ") + std::strerror(errno));
  termios raw{};
  tcgetattr(slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(slave, TCSANOW, &raw);
  int out[2];
  if (pipe(out) != 0) Die("pipe");

  std::vector<std::string> argv{program.path};
  argv.insert(argv.end(), program.optionsBeforeDevice.begin(), program.optionsBeforeDevice.end());
  argv.emplace_back(device);
  const long long started = MonotonicNs();
  const pid_t pid = fork();
  if (pid < 0) Die("fork");
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDERR_FILENO);
    for (int fd : {out[0], out[1], master, slave, quiet}) close(fd);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("LD_PRELOAD", probe.c_str(), 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  std::string text;
  pollfd ready{out[0], POLLIN, 0};
  const long long giveUp = started + 20'000'000'000LL;
  while (MonotonicNs() < giveUp && poll(&ready, 1, 100) >= 0) {
    char chunk[256];
    if ((ready.revents & (POLLIN | POLLHUP)) == 0) continue;
    const ssize_t n = read(out[0], chunk, sizeof chunk);
    if (n <= 0) break;
    text.append(chunk, static_cast<std::size_t>(n));
  }
  kill(pid, SIGKILL);  // only if it is still there: the probe ends the program
  int status = 0;
  waitpid(pid, &status, 0);
  for (int fd : {out[0], master, slave}) close(fd);

  long long frame = 0, cpu = 0;
  char kind[128] = {};
  const std::size_t at = text.find("first-frame ");
  if (at == std::string::npos || std::sscanf(text.c_str() + at, "first-frame %lld %lld %127s", &frame, &cpu, kind) != 3) {
    Die(std::string(program.label) + " showed no frame within 20 s (its output: \"" + text + "\")");
  }
  if (std::strcmp(kind, program.windowClass) != 0) {
    Die(std::string(program.label) + " first showed a " + kind + ", not its window: did the port fail to open?");
  }
  return {static_cast<double>(frame - started) / 1e6, static_cast<double>(cpu) / 1e6};
}

double Quantile(std::vector<double> values, double q) {
  std::sort(values.begin(), values.end());
  const double at = q * static_cast<double>(values.size() - 1);
  const auto below = static_cast<std::size_t>(at);
  const std::size_t above = std::min(below + 1, values.size() - 1);
  return values[below] + (values[above] - values[below]) * (at - static_cast<double>(below));
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " " + five;
}

}  // namespace

int main(int argc, char** argv) {
  Program panel{"projector-panel", "", {"--com1"}, "MainWindow", {}, {}};
  Program reference{"plain-Qt reference", "", {}, "QWidget", {}, {}};
  std::string probe;
  int runs = 100;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--panel") panel.path = argv[i + 1];
    if (option == "--reference") reference.path = argv[i + 1];
    if (option == "--probe") probe = argv[i + 1];
    if (option == "--runs") runs = std::atoi(argv[i + 1]);
  }
  if (panel.path.empty() || reference.path.empty() || probe.empty() || runs < 10) {
    std::fprintf(stderr, "usage: startup-bench --panel PATH --reference PATH --probe LIBRARY [--runs >=10]\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);

  constexpr int kWarmUp = 3;
  for (int i = 0; i < kWarmUp; ++i) {
    StartOnce(panel, probe);
    StartOnce(reference, probe);
  }
  const std::string loadBefore = LoadAverage();
  for (int i = 0; i < runs; ++i) {
    Program& first = i % 2 == 0 ? panel : reference;
    Program& second = i % 2 == 0 ? reference : panel;
    for (Program* p : {&first, &second}) {
      const Start start = StartOnce(*p, probe);
      p->ms.push_back(start.ms);
      p->cpuMs.push_back(start.cpuMs);
    }
  }

  std::printf("Start-up to the first frame (offscreen, port on a pseudo terminal), %d runs each, alternating:\n", runs);
  std::printf("%-20s %9s %9s %9s %9s %12s\n", "program", "median", "25%", "75%", "fastest", "CPU median");
  for (const Program* p : {&panel, &reference}) {
    std::printf("%-20s %6.1f ms %6.1f ms %6.1f ms %6.1f ms %9.1f ms\n", p->label, Quantile(p->ms, 0.5),
                Quantile(p->ms, 0.25), Quantile(p->ms, 0.75), Quantile(p->ms, 0), Quantile(p->cpuMs, 0.5));
  }
  std::printf("panel / reference, medians: %.2fx (target <= 1.2x); CPU time %.2fx\n",
              Quantile(panel.ms, 0.5) / Quantile(reference.ms, 0.5),
              Quantile(panel.cpuMs, 0.5) / Quantile(reference.cpuMs, 0.5));
  std::printf("load average (1, 5 min) at the start %s, at the end %s, on %ld processors\n", loadBefore.c_str(),
              LoadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  return 0;
}
