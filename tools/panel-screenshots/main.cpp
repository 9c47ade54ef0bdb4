// Renders the real panel window offscreen, talking to the simulated projector, in its compact,
// data-view and full heights, and saves PNG pictures of them: panel-screenshots OUTDIR.
// Exits 1 if a picture is empty or not of the size the window heights call for, so it doubles
// as a check of the rendered window.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <cstdio>
#include <exception>

#include "launcher/SimProcess.h"
#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

namespace {

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Sends a query and waits for its decoded reply; then the picture shows one whole exchange.
bool Exchange(Form1& core, const std::string& command) {
  core.Dispatch.Run(OnFailure::Warn, [&] { core.exchange.Send(command); });
  QElapsedTimer t;
  t.start();
  while (core.Panel.Label22.empty() && t.elapsed() < 5000) Pump(10);
  Pump(50);  // the rest of the reply
  return !core.Panel.Label22.empty();
}

bool Save(MainWindow& window, const QDir& out, const char* name, int expectedHeight) {
  window.repaint();
  const QImage image = window.grab().toImage();
  const qreal ratio = image.devicePixelRatio();
  const QSize expected(qRound(633 * ratio), qRound(expectedHeight * ratio));
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); y += 3) {
    for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
  }
  const QString path = out.filePath(QString::fromLatin1(name));
  const bool saved = image.save(path, "PNG");
  const bool ok = saved && image.size() == expected && colours.size() > 8;
  std::fprintf(ok ? stdout : stderr, "%s: %dx%d, %lld colours%s\n", qPrintable(path), image.width(), image.height(),
               static_cast<long long>(colours.size()), ok ? "" : "  <- expected a non-empty picture of that size");
  return ok;
}

int Run(const QDir& out) {
  SimProcess projector({QStringLiteral("--warmup-ms"), QStringLiteral("0")});
  QtSerialLink link(PortMap{projector.Path(), QString()});
  MainWindow window(link);
  window.Load();
  if (window.Failed()) return 1;
  window.show();
  Form1& core = window.Core();
  ExtendedPanel& heights = core.extendedPanel;
  const auto act = [&core](const std::function<void()>& handler) { core.Dispatch.Run(OnFailure::Warn, handler); };

  bool ok = Save(window, out, "compact.png", 332);
  act([&] { core.exchange.Send("C00"); });  // power on
  Pump(1100);                               // and let that exchange clear

  act([&] {
    heights.Form_KeyDown(ExtendedPanel::kKeyH, ExtendedPanel::kCtrlMask);
    heights.Command34_Click();  // service view -> compact
    heights.Command34_Click();  // compact -> data view
  });
  ok = Exchange(core, "CR3") && Save(window, out, "data-view.png", 418) && ok;
  Pump(1100);

  act([&] {
    heights.Form_KeyDown(ExtendedPanel::kKeyH, ExtendedPanel::kCtrlMask);
    heights.Image1_DblClick();
  });
  ok = Exchange(core, "CR0") && Save(window, out, "full.png", 582) && ok;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: panel-screenshots OUTDIR\n");
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.mkpath(QStringLiteral("."))) return 2;
  try {
    return Run(out);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "panel-screenshots: %s\n", error.what());
    return 1;
  }
}
