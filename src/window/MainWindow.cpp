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
  QFrame* frame9 = AddFrame(this, "Frame9", 45, 4920, 6312, 1290);
  label11_ = AddLabel(frame9, "Label11", 600, 180, 5610, 300);
  label12_ = AddLabel(frame9, "Label12", 600, 540, 5616, 300);
  label22_ = AddLabel(frame9, "Label22", 930, 915, 5295, 300);
  AddCommandButtons();
  AddHoldButtons();
  AddLinkSettings();
  AddAddressSelector();
  AddFreeTextRow();
  Refresh();
}

QLabel* MainWindow::AddLabel(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* label = new QLabel(parent);
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

QFrame* MainWindow::AddFrame(QWidget* parent, const char* name, int left, int top, int width, int height) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(QString::fromLatin1(name));
  frame->setFrameShape(QFrame::Box);
  frame->setGeometry(Px(left), Px(top), Px(width), Px(height));
  return frame;
}

QRadioButton* MainWindow::AddOption(QWidget* parent, std::string_view name, std::string_view caption, int left,
                                    int top, int width, int height) {
  // Option buttons are exclusive within their parent, so each frame is its own group.
  auto* option = new QRadioButton(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), parent);
  option->setObjectName(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
  option->setGeometry(Px(left), Px(top), Px(width), Px(height));
  return option;
}

void MainWindow::AddLinkSettings() {
  QPushButton* com = AddButton("Command33", "COM");
  com->setGeometry(Px(4080), Px(4200), Px(1815), Px(375));
  connect(com, &QPushButton::clicked, this, [this] { Run([this] { core_.linkSettings.Command33_Click(); }); });
  QPushButton* end = AddButton("Command16", "END");
  end->setGeometry(Px(8400), Px(4320), Px(975), Px(375));
  connect(end, &QPushButton::clicked, this, [this] { RunOrEnd([this] { core_.Command16_Click(); }); });

  // The settings frame lies over "COM" and takes the clicks in its area while shown.
  frame8_ = AddFrame(this, "Frame8", 3480, 3600, 2775, 1185);
  frame8_->setAutoFillBackground(true);
  frame8_->raise();
  option1_ = AddOption(frame8_, "Option1", "COM1", 240, 240, 1215, 255);
  option2_ = AddOption(frame8_, "Option2", "COM2", 1560, 240, 1095, 255);
  QFrame* frame13 = AddFrame(frame8_, "Frame13", 120, 480, 2535, 615);
  option9_ = AddOption(frame13, "Option9", "19200", 120, 240, 1095, 255);
  option10_ = AddOption(frame13, "Option10", "9600", 1440, 240, 975, 300);

  // An option's click runs when the operator clicks it, also when it is already selected: after
  // a failed port change, clicking the same port again retries it.
  connect(option1_, &QRadioButton::clicked, this, [this] { Run([this] { core_.linkSettings.Option1_Click(); }); });
  connect(option2_, &QRadioButton::clicked, this, [this] { Run([this] { core_.linkSettings.Option2_Click(); }); });
  connect(option9_, &QRadioButton::clicked, this, [this] { RunOrEnd([this] { core_.linkSettings.Option9_Click(); }); });
  connect(option10_, &QRadioButton::clicked, this, [this] { RunOrEnd([this] { core_.linkSettings.Option10_Click(); }); });
}

void MainWindow::AddAddressSelector() {
  QFrame* frame11 = AddFrame(this, "Frame11", 75, 6225, 6765, 465);
  AddLabel(frame11, "Label21", 60, 150, 1050, 255)->setText(QStringLiteral("PJ Select"));
  const int lefts[] = {1155, 2280, 3240, 4080, 4920, 5880};
  const int widths[] = {1095, 855, 735, 735, 795, 795};
  for (std::size_t i = 0; i < kAddressOptions.size(); ++i) {
    const AddressOption& entry = kAddressOptions[i];
    QRadioButton* option = AddOption(frame11, entry.control, entry.caption, lefts[i], 180, widths[i], 225);
    addressOptions_.insert(option->objectName(), option);
    connect(option, &QRadioButton::clicked, this, [this, &entry] { Run([this, &entry] { core_.AddressOption_Click(entry); }); });
  }
}

void MainWindow::AddFreeTextRow() {
  QFrame* frame15 = AddFrame(this, "Frame15", 120, 8040, 7215, 570);
  AddLabel(frame15, "Label26", 120, 240, 495, 255)->setText(QStringLiteral("CMD"));
  text1_ = new QLineEdit(frame15);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setGeometry(Px(600), Px(165), Px(5055), Px(345));
  // Typing belongs to the box; the core only needs to know what it holds when SEND is clicked.
  connect(text1_, &QLineEdit::textChanged, this, [this](const QString& text) { core_.Panel.Text1 = text.toStdString(); });
  QPushButton* send = AddButton("Command95", "SEND");
  send->setParent(frame15);
  send->setGeometry(Px(5760), Px(240), Px(735), Px(255));
  connect(send, &QPushButton::clicked, this, [this] { Run([this] { core_.freeText.Command95_Click(); }); });
  QPushButton* cls = AddButton("Command96", "CLS");
  cls->setParent(frame15);
  cls->setGeometry(Px(6480), Px(240), Px(615), Px(255));
  connect(cls, &QPushButton::clicked, this, [this] { Run([this] { core_.freeText.Command96_Click(); }); });
}

void MainWindow::RunOrEnd(const std::function<void()>& handler) { core_.Dispatch.Run(OnFailure::EndProgram, handler); }

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
  frame8_->setVisible(panel.Frame8Visible);
  option1_->setChecked(panel.PortOption == 1);
  option2_->setChecked(panel.PortOption == 2);
  option9_->setChecked(panel.SpeedOption == 9);
  option10_->setChecked(panel.SpeedOption == 10);
  if (QRadioButton* address = addressOptions_.value(QString::fromLatin1(panel.AddressOption.data(), static_cast<qsizetype>(panel.AddressOption.size())))) {
    address->setChecked(true);
  }
  const QString text1 = QString::fromStdString(panel.Text1);
  if (text1_->text() != text1) text1_->setText(text1);
  setFixedSize(Px(kClientWidthTwips), Px(panel.OuterHeight - kDesignFrameTwips));
}
