// One --send exchange from process start to its end: projector-panel --send status beside
// bare-exchange, which only opens the port, writes the query and reads the reply, both on the
// same simulated projector. They alternate (ABBA), so a change of load reaches both alike; a few
// runs of each warm the file cache first and are not counted. Then the same --send handed over
// to a projector-panel --serve that holds the line, beside the direct runs just measured; and a
// PJLink client's POWR ? on that holder's face (connect, greeting, request, answer), alternating
// with the handed runs.
//
//   send-bench --panel PATH --bare PATH --sim PATH [--runs 50]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "send-bench: %s\n", what.c_str());
  std::exit(1);
}

// Runs `args` with its output dropped; the milliseconds it took, from the fork to its end.
double RunOnce(const std::vector<std::string>& args) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::FILE* null = std::freopen("/dev/null", "w", stdout);
    (void)null;
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) Die(args[0] + " failed");
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// A port free on loopback now.
int FreePort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    Die("no free port");
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

// One PJLink POWR ? from connect to the answer's CR; the milliseconds, or -1 without an answer.
double PjlinkOnce(int port) {
  const auto start = std::chrono::steady_clock::now();
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  std::string got;
  const auto line = [&] {
    got.clear();
    for (char c = 0; ::read(fd, &c, 1) == 1 && c != '\r';) got += c;
  };
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    line();
    if (::write(fd, "%1POWR ?\r", 9) == 9) line();
  }
  ::close(fd);
  if (got.rfind("%1POWR=", 0) != 0 || got.find("ERR") != std::string::npos) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string panel, bare, sim;
  int runs = 50;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--panel") panel = argv[i + 1];
    else if (option == "--bare") bare = argv[i + 1];
    else if (option == "--sim") sim = argv[i + 1];
    else if (option == "--runs") runs = std::atoi(argv[i + 1]);
  }
  if (panel.empty() || bare.empty() || sim.empty() || runs < 1) Die("usage: --panel PATH --bare PATH --sim PATH [--runs N]");
  // The simulated projector prints its device's path first.
  int out[2];
  if (::pipe(out) != 0) Die("pipe");
  const pid_t simPid = ::fork();
  if (simPid == 0) {
    ::dup2(out[1], STDOUT_FILENO);
    if (std::freopen("/dev/null", "w", stderr) == nullptr) ::_exit(127);  // its traffic log
    ::execl(sim.c_str(), sim.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(out[1]);
  std::string device;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') device += c;
  if (device.empty()) Die("the simulator gave no device");

  const std::vector<std::string> panelArgs{panel, "--com1", device, "--send", "status"};
  const std::vector<std::string> bareArgs{bare, device};
  for (int i = 0; i < 3; ++i) RunOnce(panelArgs), RunOnce(bareArgs);
  std::vector<double> panelMs, bareMs;
  for (int i = 0; i < runs; ++i) {
    const bool panelFirst = i % 4 == 0 || i % 4 == 3;
    if (panelFirst) panelMs.push_back(RunOnce(panelArgs));
    bareMs.push_back(RunOnce(bareArgs));
    if (!panelFirst) panelMs.push_back(RunOnce(panelArgs));
  }
  // The holder, in a runtime folder of the bench's own.
  char runtime[] = "/tmp/send-bench-XXXXXX";
  if (::mkdtemp(runtime) == nullptr) Die("no runtime folder");
  ::setenv("XDG_RUNTIME_DIR", runtime, 1);
  const std::string face = std::to_string(FreePort());
  const pid_t holder = ::fork();
  if (holder == 0) {
    if (std::freopen("/dev/null", "w", stderr) == nullptr) ::_exit(127);
    ::execl(panel.c_str(), panel.c_str(), "--serve", "--com1", device.c_str(), "--pjlink", face.c_str(),
            static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const std::string door = std::string(runtime) + "/projector-panel/holder-" + std::to_string(holder);
  for (int i = 0; i < 500 && ::access(door.c_str(), F_OK) != 0; ++i) ::usleep(10000);
  if (::access(door.c_str(), F_OK) != 0) Die("the holder did not listen");
  std::vector<double> handedMs, pjlinkMs;
  for (int i = 0; i < 3; ++i) RunOnce(panelArgs), PjlinkOnce(std::stoi(face));
  for (int i = 0; i < runs; ++i) {
    const bool handedFirst = i % 4 == 0 || i % 4 == 3;
    if (handedFirst) handedMs.push_back(RunOnce(panelArgs));
    pjlinkMs.push_back(PjlinkOnce(std::stoi(face)));
    if (pjlinkMs.back() < 0) Die("the PJLink face gave no power state");
    if (!handedFirst) handedMs.push_back(RunOnce(panelArgs));
  }
  ::kill(holder, SIGTERM);
  ::waitpid(holder, nullptr, 0);
  ::rmdir((std::string(runtime) + "/projector-panel").c_str());
  ::rmdir(runtime);
  ::kill(simPid, SIGTERM);
  ::waitpid(simPid, nullptr, 0);
  const double p = Median(panelMs), b = Median(bareMs), h = Median(handedMs), j = Median(pjlinkMs);
  std::printf("one --send status exchange, process start to end, median of %d runs each:\n", runs);
  std::printf("  projector-panel --send status  %7.1f ms\n", p);
  std::printf("  bare open-write-read (Qt)      %7.1f ms\n", b);
  std::printf("  ratio                          %7.2fx\n", p / b);
  std::printf("  handed to --serve              %7.1f ms  (%.2fx the direct run)\n", h, h / p);
  std::printf("  PJLink POWR ? on --serve       %7.1f ms  (%.2fx the handed run, %.2fx the direct run)\n", j, j / h,
              j / p);
  return 0;
}
