#include "window/MainWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <iostream>

#include "commands/CommandCatalogue.h"
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
  AddCommandButtons();
  AddHoldButtons();
  Refresh();
}

QLabel* MainWindow::AddLabel(const char* name, int left, int top, int width, int height) {
  auto* label = new QLabel(this);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(Px(left), Px(top), Px(width), Px(height));
  label->setTextFormat(Qt::PlainText);
  return label;
}

QPushButton* MainWindow::AddButton(std::string_view name, std::string_view caption) {
  auto* button = new QPushButton(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), this);
  button->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  // Placed on a plain grid until the panel's own layout takes over.
  constexpr int kColumns = 8;
  const int slot = nextButtonSlot_++;
  button->setGeometry(8 + (slot % kColumns) * 77, 8 + (slot / kColumns) * 24, 75, 22);
  return button;
}

void MainWindow::AddCommandButtons() {
  for (const PanelCommand& entry : kCommandCatalogue) {
    QPushButton* button = AddButton(entry.control, entry.caption);
    connect(button, &QPushButton::clicked, this, [this, &entry] { Run([this, &entry] { core_.commands.Click(entry); }); });
  }
}

void MainWindow::AddHoldButtons() {
  // Hold buttons act on the mouse alone: they have no click, so the keyboard sends nothing.
  // QPushButton ignores right and middle buttons, hence the event filter instead of its signals.
  for (const HoldButton& entry : kHoldButtons) {
    QPushButton* button = AddButton(entry.control, entry.caption);
    button->installEventFilter(this);
    holdButtons_.insert(button, &entry);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  const HoldButton* hold = holdButtons_.value(watched, nullptr);
  if (hold == nullptr) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:  // the second press of a quick double click
      Run([this, hold] { core_.hold.Press(*hold); });
      break;
    case QEvent::MouseButtonRelease:
      Run([this, hold] { core_.hold.Release(*hold); });
      break;
    case QEvent::FocusOut:
    case QEvent::UngrabMouse:
      EndHold();
      break;
    default:
      break;
  }
  return false;
}

void MainWindow::changeEvent(QEvent* event) {
  // Another window came up or the user switched away with a button still down.
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) EndHold();
  QWidget::changeEvent(event);
}

void MainWindow::EndHold() {
  if (core_.State.HoldCode == 0) return;
  Run([this] { core_.hold.EndHoldWithoutRelease(); });
}

void MainWindow::Run(const std::function<void()>& handler) { core_.Dispatch.Run(OnFailure::Warn, handler); }

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
