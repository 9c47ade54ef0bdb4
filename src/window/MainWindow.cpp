#include "window/MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <iostream>

#include "window/Twips.h"

namespace {

// A line longer than this could never be seen in its label; laying out the whole of a
// 32767-character buffer at every received byte would only slow the window down.
constexpr qsizetype kLongestShownLine = 1024;

void Show(QLabel* label, const std::string& text) {
  QString shown = QString::fromLatin1(text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), kLongestShownLine)));
  if (label->text() != shown) label->setText(shown);
}

}  // namespace

MainWindow::MainWindow(SerialLink& link, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      core_(link, Timers{timer1_, timer2_, timer3_, timer4_}, *this) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(Form1::kTitle));
  label11_ = AddLabel("Label11", 45 + 600, 4920 + 180, 5610, 300);
  label12_ = AddLabel("Label12", 45 + 600, 4920 + 540, 5616, 300);
  label22_ = AddLabel("Label22", 45 + 930, 4920 + 915, 5295, 300);
  Refresh();
}

QLabel* MainWindow::AddLabel(const char* name, int left, int top, int width, int height) {
  auto* label = new QLabel(this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(Px(left), Px(top), Px(width), Px(height));
  label->setTextFormat(Qt::PlainText);
  return label;
}

void MainWindow::Load() { core_.Load(); }

void MainWindow::CentreOnScreen(int outerHeightTwips) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const int outerWidth = frameGeometry().width() - geometry().width() + Px(kClientWidthTwips);
  const int outerHeight = Px(outerHeightTwips);
  move(area.left() + (area.width() - outerWidth) / 2, area.top() + (area.height() - outerHeight) / 2);
}

void MainWindow::ShowWarning(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, windowTitle(), QString::fromStdString(text), QMessageBox::Ok, this);
  box.exec();
}

void MainWindow::ShowFatal(const std::string& text) {
  failed_ = true;
  std::cerr << "projector-panel: " << text << std::endl;
  QMessageBox box(QMessageBox::Critical, windowTitle(), QString::fromStdString(text), QMessageBox::Ok, this);
  box.exec();
  // With no event loop running yet (start-up), main sees Failed() and returns 1. Calling exit()
  // then would leave Qt's quit flag set, and every later modal box would close at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(1);
}

void MainWindow::EndProgram() {
  close();
  QCoreApplication::quit();
}

void MainWindow::Refresh() {
  const PanelState& panel = core_.Panel;
  Show(label11_, panel.Label11);
  Show(label12_, panel.Label12);
  Show(label22_, panel.Label22);
  setFixedSize(Px(kClientWidthTwips), Px(panel.OuterHeight - kDesignFrameTwips));
}
