#include "WindowRun.h"

#include <QApplication>
#include <QDialog>
#include <optional>

#include "platform/StopSignals.h"
#include "window/MainWindow.h"

int RunWindow(MainWindow& window) {
  // A traffic log on a pipe whose reader has gone is a failed write, said once, not a death.
  const NoPipeSignal closedPipeIsAFailedWrite;
  std::optional<int> endedBySignal;  // the status a signal ended the program with
  bool mainLoopRunning = false;
  // A signal ends the program as "END" does: the port is closed, then the event loop left.
  const StopSignals ending([&] {
    window.Core().Dispatch.Run(OnFailure::EndProgram, [&window] { window.Core().Command16_Click(); });
    // A failed start-up or a failing close keeps its status 1.
    endedBySignal = window.Failed() ? 1 : 0;
    // The signal may have found the program inside a box's own event loop; the box is dismissed
    // as its OK would be, and whatever opened it carries on to its end.
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QDialog*>(top); box != nullptr && box->isVisible()) box->reject();
    }
    // exit() rather than quit(), which a window may decline. Before the main loop exists there is
    // none to leave: start-up comes back here by itself, and the flag exit() would leave set
    // would close every later box of this process at once.
    if (mainLoopRunning) QCoreApplication::exit(*endedBySignal);
  });
  window.Load();
  // Start-up may have waited in a box where the signal found it: the main loop would only reset
  // the ending and carry on without the port.
  if (endedBySignal) return *endedBySignal;
  if (window.Failed()) return 1;
  window.show();
  mainLoopRunning = true;
  const int status = QApplication::exec();
  return endedBySignal.value_or(status);
}
