// The panel under a talking device: one byte at a time at a fixed rate on a pseudo terminal,
// with nothing sent, side by side in the same run with a bare Qt program that only drains the
// same kind of terminal. Prints the CPU share and resident memory of each, and how long a
// click made during the flood takes to reach the wire.
//
//   flood-bench --panel PATH --harness PATH --bare PATH [--ser2net PATH] [--seconds 60] [--rate 1920]
//
// The three programs get the same bytes at the same instants, each on its own terminal:
// projector-panel itself (compact window, as it starts), the panel harness (the same window and
// port adapter, traffic monitor open, clicked through its standard input) and the bare drain.
// With --ser2net, two more terminals get the same bytes, each bridged by a ser2net of its own to a
// free port on 127.0.0.1, once as telnet(rfc2217) and once as raw tcp, with projector-panel on
// rfc2217:// and socket:// on the other side; the panel and the server are measured apart.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void SleepUntil(double when) {
  const std::chrono::duration<double> since(when);
  std::this_thread::sleep_until(
      std::chrono::steady_clock::time_point(std::chrono::duration_cast<std::chrono::steady_clock::duration>(since)));
}

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "flood-bench: %s: %s\n", what.c_str(), std::strerror(errno));
  std::exit(1);
}

struct Terminal {
  int master = -1;
  int slave = -1;  // kept open so the line does not hang up before the program opens it
  std::string path;
};

Terminal OpenTerminal() {
  Terminal t;
  char name[256] = {};
  if (openpty(&t.master, &t.slave, name, nullptr, nullptr) != 0) Die("openpty");
  termios raw{};
  tcgetattr(t.slave, &raw);
  cfmakeraw(&raw);
  tcsetattr(t.slave, TCSANOW, &raw);
  fcntl(t.master, F_SETFD, FD_CLOEXEC);
  fcntl(t.slave, F_SETFD, FD_CLOEXEC);
  fcntl(t.master, F_SETFL, fcntl(t.master, F_GETFL) | O_NONBLOCK);
  t.path = name;
  return t;
}

pid_t Spawn(const std::vector<std::string>& argv, int stdinFd) {
  const pid_t pid = fork();
  if (pid < 0) Die("fork");
  if (pid == 0) {
    if (stdinFd >= 0) dup2(stdinFd, STDIN_FILENO);
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDERR_FILENO);  // Qt's start-up chatter
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  return pid;
}

bool HasOpen(pid_t pid, const std::string& path) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    if (std::filesystem::read_symlink(entry.path(), error) == path) return true;
  }
  return false;
}

// utime + stime in seconds.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));  // the name may hold blanks
  std::string field;
  double utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {  // field 3 is the state
    if (i == 14) utime = std::stod(field);
    if (i == 15) {
      stime = std::stod(field);
      break;
    }
  }
  return (utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " " + five;
}

long RssKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

// A free port on 127.0.0.1 (free when asked; the server takes it right after).
int FreePort() {
  const int probe = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    Die("no free port");
  }
  close(probe);
  return ntohs(address.sin_port);
}

// Whether something listens on this port of 127.0.0.1, from /proc: connecting would open the line.
bool Listening(int port) {
  std::ifstream table("/proc/net/tcp");
  char local[32];
  std::snprintf(local, sizeof local, "0100007F:%04X", port);
  for (std::string line; std::getline(table, line);) {
    std::istringstream fields(line);
    std::string slot, address, remote, state;
    fields >> slot >> address >> remote >> state;
    if (address == local && state == "0A") return true;
  }
  return false;
}

// ser2net bridging `device` to a free port; returns the port once it listens, or 0.
int StartSer2net(const std::string& ser2net, const std::string& device, bool rfc2217, pid_t& pid) {
  const int port = FreePort();
  char path[] = "/tmp/flood-bench-XXXXXX.yaml";  // ser2net reads YAML only from a .yaml file
  const int fd = mkstemps(path, 5);
  if (fd < 0) Die("mkstemps");
  const std::string config = std::string("connection: &flood\n  accepter: ") +
                             (rfc2217 ? "telnet(rfc2217),tcp" : "tcp") + ",127.0.0.1," + std::to_string(port) +
                             "\n  connector: serialdev," + device + ",19200n81,local\n";
  if (write(fd, config.data(), config.size()) != static_cast<ssize_t>(config.size())) Die("write ser2net.yaml");
  close(fd);
  pid = Spawn({ser2net, "-n", "-u", "-c", path}, -1);
  const double give_up = Now() + 10;
  while (!Listening(port)) {
    if (Now() > give_up) {
      std::fprintf(stderr, "flood-bench: ser2net does not listen on port %d\n", port);
      unlink(path);
      return 0;
    }
    usleep(20'000);
  }
  unlink(path);
  return port;
}

struct Program {
  const char* label = "";
  pid_t pid = -1;
  Terminal terminal;     // fed with the noise; none for a panel behind ser2net
  pid_t opener = -1;     // who opens the terminal: the program itself, or its ser2net
  double cpu[4] = {};  // at the start, 20 s, before the clicks, the end
  long rss20 = 0;
  long rssEnd = 0;
};

}  // namespace

int main(int argc, char** argv) {
  std::string panelPath, harnessPath, barePath, ser2netPath;
  double seconds = 60, rate = 1920;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--panel") panelPath = argv[i + 1];
    if (option == "--harness") harnessPath = argv[i + 1];
    if (option == "--bare") barePath = argv[i + 1];
    if (option == "--ser2net") ser2netPath = argv[i + 1];
    if (option == "--seconds") seconds = std::atof(argv[i + 1]);
    if (option == "--rate") rate = std::atof(argv[i + 1]);
  }
  if (panelPath.empty() || harnessPath.empty() || barePath.empty() || seconds < 30) {
    std::fprintf(stderr, "usage: flood-bench --panel PATH --harness PATH --bare PATH [--ser2net PATH] [--seconds >=30] "
                         "[--rate N]\n");
    return 2;
  }
  signal(SIGPIPE, SIG_IGN);

  std::vector<Program> programs(ser2netPath.empty() ? 3 : 7);
  programs[0].label = "projector-panel";
  programs[1].label = "panel-harness (monitor open)";
  programs[2].label = "bare-drain (QSerialPort)";
  for (int i = 0; i < 3; ++i) programs[static_cast<std::size_t>(i)].terminal = OpenTerminal();
  int commands[2];
  if (pipe(commands) != 0) Die("pipe");
  fcntl(commands[1], F_SETFD, FD_CLOEXEC);
  programs[0].pid = Spawn({panelPath, "--com1", programs[0].terminal.path}, -1);
  programs[1].pid = Spawn({harnessPath, programs[1].terminal.path}, commands[0]);
  programs[2].pid = Spawn({barePath, programs[2].terminal.path}, -1);
  close(commands[0]);
  auto stopAll = [&] {
    for (Program& p : programs) {
      if (p.pid > 0) kill(p.pid, SIGTERM);
    }
    for (Program& p : programs) {
      if (p.pid > 0) waitpid(p.pid, nullptr, 0);
    }
  };
  if (!ser2netPath.empty()) {
    programs[3].label = "ser2net telnet(rfc2217)";
    programs[4].label = "projector-panel rfc2217://";
    programs[5].label = "ser2net tcp";
    programs[6].label = "projector-panel socket://";
    for (const std::size_t server : {std::size_t{3}, std::size_t{5}}) {
      Program& bridge = programs[server];
      Program& panel = programs[server + 1];
      bridge.terminal = OpenTerminal();
      const bool rfc2217 = server == 3;
      const int port = StartSer2net(ser2netPath, bridge.terminal.path, rfc2217, bridge.pid);
      if (port == 0) {
        stopAll();
        return 1;
      }
      panel.pid = Spawn({panelPath, "--com1", std::string(rfc2217 ? "rfc2217" : "socket") + "://127.0.0.1:" +
                                                  std::to_string(port)}, -1);
      panel.terminal.path = bridge.terminal.path;  // opened by its ser2net once the panel connects
      panel.opener = bridge.pid;
    }
  }
  for (Program& p : programs) {
    const double give_up = Now() + 20;
    while (!HasOpen(p.opener >= 0 ? p.opener : p.pid, p.terminal.path)) {
      if (Now() > give_up) {
        std::fprintf(stderr, "flood-bench: %s did not open %s\n", p.label, p.terminal.path.c_str());
        stopAll();
        return 1;
      }
      usleep(50'000);
    }
  }
  if (write(commands[1], "data\n", 5) != 5) Die("write to the harness");
  usleep(1'500'000);  // let start-up settle

  // Reads whatever the programs write; the harness's STATUS frames mark the clicks' arrival.
  std::atomic<bool> done{false};
  std::mutex mutex;
  std::vector<double> arrivals;
  std::thread reader([&] {
    std::string harnessOutput;
    // Every fed terminal is drained, so that what the programs write never fills one.
    std::vector<pollfd> fds;
    for (const Program& p : programs) fds.push_back({p.terminal.master, POLLIN, 0});
    while (!done) {
      if (poll(fds.data(), fds.size(), 20) <= 0) continue;
      for (std::size_t i = 0; i < fds.size(); ++i) {
        if ((fds[i].revents & POLLIN) == 0) continue;
        char chunk[4096];
        const ssize_t n = read(fds[i].fd, chunk, sizeof chunk);
        if (n <= 0 || i != 1) continue;
        const double at = Now();
        harnessOutput.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = harnessOutput.find("CR0\r")) != std::string::npos; harnessOutput.erase(0, end + 4)) {
          std::lock_guard lock(mutex);
          arrivals.push_back(at);
        }
      }
    }
  });

  const double clicksAt = seconds - 5;
  const int clicks = 10;
  long sent = 0, refused = 0;
  std::thread feeder([&] {
    const double start = Now();
    std::uint32_t state = 2026;
    for (long i = 0;; ++i) {
      const double due = start + static_cast<double>(i) / rate;
      if (due - start >= seconds) break;
      SleepUntil(due);
      state = state * 1664525u + 1013904223u;
      const char byte = static_cast<char>(state >> 24);  // noise: every byte value
      for (Program& p : programs) {
        if (p.terminal.master >= 0 && write(p.terminal.master, &byte, 1) != 1) ++refused;
      }
      ++sent;
    }
  });

  const std::string loadBefore = LoadAverage();
  const double t0 = Now();
  for (Program& p : programs) p.cpu[0] = CpuSeconds(p.pid);
  SleepUntil(t0 + 20);
  for (Program& p : programs) {
    p.cpu[1] = CpuSeconds(p.pid);
    p.rss20 = RssKiB(p.pid);
  }
  SleepUntil(t0 + clicksAt);
  for (Program& p : programs) p.cpu[2] = CpuSeconds(p.pid);
  std::vector<double> clicked;
  for (int k = 0; k < clicks; ++k) {
    SleepUntil(t0 + clicksAt + 0.45 * k);
    clicked.push_back(Now());
    if (write(commands[1], "click\n", 6) != 6) Die("write to the harness");
  }
  feeder.join();
  const double t1 = Now();
  for (Program& p : programs) {
    p.cpu[3] = CpuSeconds(p.pid);
    p.rssEnd = RssKiB(p.pid);
  }
  usleep(200'000);
  done = true;
  reader.join();
  stopAll();

  std::printf("Flood of noise, 1 byte at a time at %.0f bytes/s for %.0f s (%ld bytes each, %ld writes refused),\n",
              rate, t1 - t0, sent, refused);
  std::printf("nothing sent until %d STATUS clicks on the harness from %.0f s. CPU from utime+stime.\n", clicks,
              clicksAt);
  std::printf("%-30s %10s %11s %10s %11s %11s %10s\n", "program", "CPU% 0-60", "CPU% 20-55", "CPU% 0-55",
              "VmRSS@20s", "VmRSS@end", "growth");
  for (const Program& p : programs) {
    std::printf("%-30s %10.2f %11.2f %10.2f %8ld KiB %8ld KiB %6ld KiB\n", p.label,
                100 * (p.cpu[3] - p.cpu[0]) / (t1 - t0), 100 * (p.cpu[2] - p.cpu[1]) / (clicksAt - 20),
                100 * (p.cpu[2] - p.cpu[0]) / clicksAt, p.rss20, p.rssEnd, p.rssEnd - p.rss20);
  }
  const double bare = std::max(1e-9, programs[2].cpu[3] - programs[2].cpu[0]);
  std::printf("CPU ratio over the bare drain, 0-60 s: projector-panel %.2fx, harness %.2fx (target <= 2x)\n",
              (programs[0].cpu[3] - programs[0].cpu[0]) / bare, (programs[1].cpu[3] - programs[1].cpu[0]) / bare);
  const auto used = [&programs](std::size_t i) { return programs[i].cpu[3] - programs[i].cpu[0]; };
  if (programs.size() == 7) {
    std::printf("through ser2net, over the bare drain: panel on rfc2217:// %.2fx (with its server %.2fx), on socket:// "
                "%.2fx (with its server %.2fx)\n",
                used(4) / bare, (used(3) + used(4)) / bare, used(6) / bare, (used(5) + used(6)) / bare);
  }
  std::printf("load average (1, 5 min) at the start %s, at the end %s, on %ld processors\n", loadBefore.c_str(),
              LoadAverage().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  std::printf("click to wire (STATUS frame on the harness's terminal):");
  double worst = 0;
  for (int k = 0; k < clicks; ++k) {
    if (static_cast<std::size_t>(k) < arrivals.size()) {
      const double ms = 1000 * (arrivals[static_cast<std::size_t>(k)] - clicked[static_cast<std::size_t>(k)]);
      worst = std::max(worst, ms);
      std::printf(" %.2f ms", ms);
    } else {
      std::printf(" (never)");
      worst = 1e9;
    }
  }
  std::vector<double> sorted;
  for (std::size_t k = 0; k < std::min(arrivals.size(), clicked.size()); ++k) sorted.push_back(arrivals[k] - clicked[k]);
  std::sort(sorted.begin(), sorted.end());
  const double median = sorted.empty() ? 0 : 1000 * sorted[sorted.size() / 2];
  std::printf("\nclick to wire: median %.2f ms, worst %.2f ms (target <= 50 ms)\n", median, worst);
  return 0;
}
