// A projector on a serial line, for trying the panel without one and for end-to-end tests.
#include <poll.h>

#include <chrono>
#include <csignal>
#include <deque>
#include <iostream>

#include "Commands.h"
#include "Delivery.h"
#include "Frames.h"
#include "Line.h"
#include "Options.h"
#include "ProjectorState.h"

namespace {

using namespace sim;

long long NowMs() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

void Log(const std::string& text) { std::cerr << "projector-sim: " << text << std::endl; }

const char* RouteNote(Route route, bool silent) {
  switch (route) {
    case Route::AnswerAndAct: return silent ? " (silent: not answered)" : "";
    case Route::ActSilently: return " (for every projector: not answered)";
    case Route::Ignore: return " (for another projector: ignored)";
  }
  return "";
}

int Serve(Line& line, const Options& o) {
  ProjectorState state(Profile{o.warmupMs, o.cooldownMs, o.lampHours, o.ambientC, o.pressureHpa,
                             o.ceiling, o.rear},
                       NowMs());
  Delivery delivery(Faults{o.replyDelayMs, o.split, o.splitGapMs, o.silent, o.garbage, o.ffBeforeCr});
  FrameReader reader;
  std::deque<Piece> outbox;
  int frames = 0;
  bool hangingUp = false;

  for (;;) {
    long long now = NowMs();
    while (!outbox.empty() && outbox.front().dueMs <= now) {
      Piece& piece = outbox.front();
      const std::size_t written = line.Write(piece.bytes);
      if (written > 0) Log("tx " + Escaped(std::string_view(piece.bytes).substr(0, written)));
      if (written < piece.bytes.size()) {
        piece.bytes.erase(0, written);  // the line is full: wait until it takes more
        break;
      }
      outbox.pop_front();
    }
    if (hangingUp && outbox.empty()) {
      line.HangUp();
      Log("hung up after " + std::to_string(frames) + " frames");
      return 0;
    }

    pollfd p{line.Fd(), static_cast<short>(hangingUp ? 0 : POLLIN), 0};
    int timeout = -1;
    if (!outbox.empty()) {
      const long long wait = outbox.front().dueMs - now;
      if (wait > 0) timeout = static_cast<int>(wait);
      else p.events |= POLLOUT;
    }
    if (poll(&p, 1, timeout) < 0) continue;  // interrupted
    if ((p.revents & (POLLHUP | POLLERR)) != 0 && (p.revents & POLLIN) == 0) {
      Log("the line has gone away");
      return 1;
    }
    if ((p.revents & POLLIN) == 0) continue;

    now = NowMs();
    for (const std::string& frame : reader.Feed(line.Read())) {
      const Addressed a = Address(frame, o.address);
      Log("rx " + Escaped(frame + "\r") + RouteNote(a.route, o.silent));
      if (a.route != Route::Ignore) {
        const std::string reply = Perform(a.command, state, now);
        if (a.route == Route::AnswerAndAct) {
          for (Piece& piece : delivery.Plan(reply, now)) outbox.push_back(std::move(piece));
        }
      }
      if (++frames == o.hangupAfter) {
        hangingUp = true;  // whatever else arrived is lost with the cable
        break;
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const auto parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "projector-sim: " << *error << "\n" << kUsage;
    return 2;
  }
  const Options& options = std::get<Options>(parsed);
  if (options.help) {
    std::cout << kUsage;
    return 0;
  }
  if (options.version) {
    std::cout << "projector-sim " << PANEL_VERSION << "\n";
    return 0;
  }
  std::signal(SIGPIPE, SIG_IGN);
  try {
    Line line(options.device, options.baud);
    // The first line of output is the only one; whoever started us waits for it.
    std::cout << line.ClientPath() << std::endl;
    return Serve(line, options);
  } catch (const std::exception& error) {
    Log(error.what());
    return 1;
  }
}
