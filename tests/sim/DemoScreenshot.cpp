// Draws the panel, after one exchange with the simulated projector, into a PNG for the docs.
//   demo-screenshot OUT.png [QUERY]     (QUERY defaults to CR0, the operating status)
// It grabs whatever the window shows, so it keeps working as the window grows.
#include <QApplication>
#include <QPixmap>
#include <iostream>

#include "QtRig.h"
#include "SimProcess.h"
#include "controller/PanelView.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"
#include "window/Twips.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: demo-screenshot OUT.png [QUERY]\n";
    return 2;
  }
  const std::string query = argc > 2 ? argv[2] : "CR0";

  SimProcess sim({QStringLiteral("--warmup-ms"), QStringLiteral("0")});
  QtSerialLink link(PortMap{sim.Path(), QString()});
  MainWindow window(link);
  window.Load();
  if (window.Failed()) return 1;
  window.show();
  Form1& core = window.Core();
  const auto send = [&core](const std::string& command) {
    core.Dispatch.Run(OnFailure::Warn, [&] { core.exchange.Send(command); });
  };

  send("C00");
  // Past the panel's display clearing, so the shot shows the query alone.
  QTest::qWait(1200);
  send(query);
  if (!WaitUntil([&] { return core.State.RxBuffer.find('\r') != std::string::npos; }, 5000)) {
    std::cerr << "demo-screenshot: no reply to " << query << "\n";
    return 1;
  }
  // The monitor lines lie below the compact window's edge: show the full design height.
  window.setFixedSize(window.width(), Px(WindowHeight::kDesign - kDesignFrameTwips));
  if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
    std::cerr << "demo-screenshot: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}
