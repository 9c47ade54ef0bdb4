#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <ctime>
#include <functional>

#include "FakeClock.h"
#include "FakeWindow.h"
#include "Pty.h"
#include "panel/Form1.h"
#include "platform/QtSerialLink.h"

// The core with the real QSerialPort adapter on a pseudo terminal; timers stay on a fake clock
// so that only the line is real.
struct QtRig {
  Pty pty;
  FakeClock clock;
  FakeTimer timer1{clock}, timer2{clock}, timer3{clock}, timer4{clock};
  FakeWindow window;
  QtSerialLink link{PortMap{QString::fromStdString(pty.SlavePath()), QStringLiteral("/nonexistent/com2")}};
  Form1 form{link, Timers{timer1, timer2, timer3, timer4}, window};

  void Send(const std::string& command) {
    form.Dispatch.Run(OnFailure::Warn, [&] { form.exchange.Send(command); });
  }
};

// Runs the event loop until `done` holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
  QElapsedTimer elapsed;
  elapsed.start();
  while (!done()) {
    if (elapsed.elapsed() > timeoutMs) return false;
    QTest::qWait(5);
  }
  return true;
}

// Processor time this process has used, in seconds: what a busy loop on a dead port would burn.
inline double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
