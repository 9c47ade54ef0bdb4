// Renders the real panel window offscreen in its compact, data-view and full heights and saves
// PNG pictures of them: panel-screenshots OUTDIR. Exits 1 if a picture is empty or not of the
// size the window heights call for, so it doubles as a check of the rendered window.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSet>
#include <cstdio>

#include "platform/QtSerialLink.h"
#include "window/MainWindow.h"

namespace {

void Pump(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// One exchange with a projector that answers "Stand by", so the monitor lines have something to show.
void ShowAnExchange(MainWindow& window, int projector) {
  window.Core().Dispatch.Run(OnFailure::Warn, [&] { window.Core().exchange.Send("CR0"); });
  Pump(50);
  char drained[64];
  while (::read(projector, drained, sizeof drained) > 0) {
  }
  (void)::write(projector, "80\r", 3);
  Pump(100);
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

  int projector = -1;
  int line = -1;
  char path[256] = {};
  if (openpty(&projector, &line, path, nullptr, nullptr) != 0) return 2;
  fcntl(projector, F_SETFL, fcntl(projector, F_GETFL) | O_NONBLOCK);

  QtSerialLink link(PortMap{QString::fromLocal8Bit(path), QString()});
  MainWindow window(link);
  window.Load();
  if (window.Failed()) return 1;
  window.show();
  Pump(100);

  bool ok = Save(window, out, "compact.png", 332);
  ExtendedPanel& heights = window.Core().extendedPanel;
  window.Core().Dispatch.Run(OnFailure::Warn, [&] {
    heights.Form_KeyDown(ExtendedPanel::kKeyH, ExtendedPanel::kCtrlMask);
    heights.Command34_Click();  // service view -> compact
    heights.Command34_Click();  // compact -> data view
  });
  ShowAnExchange(window, projector);
  ok = Save(window, out, "data-view.png", 418) && ok;
  Pump(1100);  // the exchange ends and the lines clear before the next one
  window.Core().Dispatch.Run(OnFailure::Warn, [&] {
    heights.Form_KeyDown(ExtendedPanel::kKeyH, ExtendedPanel::kCtrlMask);
    heights.Image1_DblClick();
  });
  ShowAnExchange(window, projector);
  ok = Save(window, out, "full.png", 582) && ok;
  ::close(line);
  ::close(projector);
  return ok ? 0 : 1;
}
