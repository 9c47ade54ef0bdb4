#pragma once

#include "FakeClock.h"
#include "FakeLink.h"
#include "FakeWindow.h"
#include "panel/Form1.h"

// The whole core on fakes: a fake link, four timers on one fake clock, a recording window.
struct CoreRig {
  FakeClock clock;
  FakeTimer timer1{clock};
  FakeTimer timer2{clock};
  FakeTimer timer3{clock};
  FakeTimer timer4{clock};
  FakeLink link;
  FakeWindow window;
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};

  // Runs the start-up and forgets the calls it made, so a test sees only its own.
  void Start() {
    form.Load();
    link.calls.clear();
  }

  // A sender as the shell runs it: through the dispatch, failures reported as warnings.
  void Send(const std::string& command) {
    form.Dispatch.Run(OnFailure::Warn, [&] { form.exchange.Send(command); });
  }
};
