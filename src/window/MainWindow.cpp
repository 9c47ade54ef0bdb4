#include "window/MainWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <iostream>
#include <cctype>
#include <limits>
#include <utility>

#include "commands/CommandCatalogue.h"
#include "window/KeyPreview.h"
#include "window/NoAnswerBalloon.h"
#include "window/PanelBuilder.h"
#include "window/PanelStyle.h"
#include "window/ReturnClicks.h"
#include "window/Twips.h"
#include "window/layout/PanelLayout.h"

namespace {

// A line longer than this could never be seen in its label; laying out the whole of a
// 32767-character buffer at every received byte would only slow the window down.
constexpr qsizetype kLongestShownLine = 1024;

void Show(QLabel* label, const std::string& text) {
  const auto length = static_cast<qsizetype>(std::min<std::size_t>(text.size(), kLongestShownLine));
  // Compared in place: a line that grows past what the label shows costs no conversion, no
  // allocation and no new layout at every received byte.
  const QLatin1String shown(text.data(), length);
  if (label->text() == shown) return;
  label->setText(shown);
  // The temperature line is longer than its label; hovering shows all of it.
  label->setToolTip(shown);
}

QString Name(std::string_view name) { return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())); }

}  // namespace

MainWindow::MainWindow(SerialLink& link, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      link_(link),
      core_(link, Timers{timer1_, timer2_, timer3_, timer4_}, *this) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QString::fromUtf8(Form1::kTitle));
  InstallFontSubstitutes();
  setFont(FontOf(FontKey::F1));
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, ColourOf(Colour::Grey));
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  controls_ = BuildPanel(this);
  label11_ = Get<QLabel>("Label11");
  label12_ = Get<QLabel>("Label12");
  label22_ = Get<QLabel>("Label22");
  WireCommandButtons();
  WireHoldButtons();
  WireLinkSettings();
  WireAddressSelector();
  WireFreeTextRow();
  WireExtendedPanel();
  WireReturnKey();
  auto* balloon = new NoAnswerBalloon(this, label12_, [&link] { return link.PortName(); });
  core_.exchange.AddObserver(*balloon);
  balloon_ = balloon;
  Refresh();
}

template <typename T>
T* MainWindow::Get(std::string_view name) const {
  auto* control = qobject_cast<T*>(controls_.value(Name(name)));
  Q_ASSERT(control != nullptr);
  return control;
}

void MainWindow::WireCommandButtons() {
  for (const PanelCommand& entry : kCommandCatalogue) {
    connect(Get<QPushButton>(entry.control), &QPushButton::clicked, this,
            [this, &entry] { Run([this, &entry] { core_.commands.Click(entry); }); });
  }
}

void MainWindow::WireHoldButtons() {
  // Hold buttons act on the mouse alone: they have no click, so the keyboard sends nothing.
  // QPushButton ignores right and middle buttons, hence the event filter instead of its signals.
  for (const HoldButton& entry : kHoldButtons) {
    QPushButton* button = Get<QPushButton>(entry.control);
    button->installEventFilter(this);
    holdButtons_.insert(button, &entry);
  }
}

void MainWindow::WireLinkSettings() {
  connect(Get<QPushButton>("Command33"), &QPushButton::clicked, this,
          [this] { Run([this] { core_.linkSettings.Command33_Click(); }); });
  connect(Get<QPushButton>("Command16"), &QPushButton::clicked, this,
          [this] { RunOrEnd([this] { core_.Command16_Click(); }); });
  frame8_ = Get<QWidget>("Frame8");
  option1_ = Get<QRadioButton>("Option1");
  option2_ = Get<QRadioButton>("Option2");
  option9_ = Get<QRadioButton>("Option9");
  option10_ = Get<QRadioButton>("Option10");
  // An option's click runs when the operator clicks it, also when it is already selected: after
  // a failed port change, clicking the same port again retries it.
  connect(option1_, &QRadioButton::clicked, this, [this] { Run([this] { core_.linkSettings.Option1_Click(); }); });
  connect(option2_, &QRadioButton::clicked, this, [this] { Run([this] { core_.linkSettings.Option2_Click(); }); });
  connect(option9_, &QRadioButton::clicked, this, [this] { RunOrEnd([this] { core_.linkSettings.Option9_Click(); }); });
  connect(option10_, &QRadioButton::clicked, this,
          [this] { RunOrEnd([this] { core_.linkSettings.Option10_Click(); }); });
}

void MainWindow::WireAddressSelector() {
  for (const AddressOption& entry : kAddressOptions) {
    connect(Get<QRadioButton>(entry.control), &QRadioButton::clicked, this,
            [this, &entry] { Run([this, &entry] { core_.AddressOption_Click(entry); }); });
  }
}

void MainWindow::WireFreeTextRow() {
  text1_ = Get<QLineEdit>("Text1");
  // The box holds whatever is pasted: a text too long to send is refused with a word at "SEND",
  // never cut short here without one.
  text1_->setMaxLength(std::numeric_limits<int>::max());
  // Typing belongs to the box; the core only needs to know what it holds when SEND is clicked.
  connect(text1_, &QLineEdit::textChanged, this, [this](const QString& text) { core_.Panel.Text1 = text.toStdString(); });
  connect(Get<QPushButton>("Command95"), &QPushButton::clicked, this,
          [this] { Run([this] { core_.freeText.Command95_Click(); }); });
  connect(Get<QPushButton>("Command96"), &QPushButton::clicked, this,
          [this] { Run([this] { core_.freeText.Command96_Click(); }); });
}

void MainWindow::WireExtendedPanel() {
  command34_ = Get<QPushButton>("Command34");
  connect(command34_, &QPushButton::clicked, this, [this] { Run([this] { core_.extendedPanel.Command34_Click(); }); });
  image1_ = Get<QWidget>("Image1");
  image1_->installEventFilter(this);
  // Ctrl+H must be seen whatever control has the focus, before that control gets the key.
  qApp->installEventFilter(new KeyPreview(this, [this](QObject* receiver, QEvent* event) { OnKeyPress(receiver, event); }));
}

void MainWindow::WireReturnKey() {
  // Every button that clicks takes Return as well; the hold buttons have no click, and the
  // keyboard sends nothing through them.
  auto* returnClicks = new ReturnClicks(this);
  for (QWidget* control : std::as_const(controls_)) {
    auto* button = qobject_cast<QPushButton*>(control);
    if (button != nullptr && !holdButtons_.contains(button)) button->installEventFilter(returnClicks);
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == image1_ && event->type() == QEvent::MouseButtonDblClick) {
    Run([this] { core_.extendedPanel.Image1_DblClick(); });
    return true;
  }
  if (holdButtons_.contains(watched)) return FilterHoldButton(watched, event);
  return QWidget::eventFilter(watched, event);
}

void MainWindow::OnKeyPress(QObject* watched, QEvent* event) {
  // An application filter sees an unhandled key again at every parent it climbs to; act only
  // on its first delivery, to the focused control (or to the window when nothing has focus).
  QWidget* focus = QApplication::focusWidget();
  QWidget* first = focus != nullptr ? focus : this;
  if (watched != first || (first != this && !isAncestorOf(first))) return;
  const auto* key = static_cast<QKeyEvent*>(event);
  const int code = key->key();
  const bool letterOrDigit = (code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9);
  int shift = 0;
  if (key->modifiers() & Qt::ShiftModifier) shift |= ExtendedPanel::kShiftMask;
  if (key->modifiers() & Qt::ControlModifier) shift |= ExtendedPanel::kCtrlMask;
  if (key->modifiers() & Qt::AltModifier) shift |= ExtendedPanel::kAltMask;
  // Not consumed: the focused control still gets the key.
  Run([this, code = letterOrDigit ? code : 0, shift] { core_.extendedPanel.Form_KeyDown(code, shift); });
}

bool MainWindow::FilterHoldButton(QObject* watched, QEvent* event) {
  const HoldButton* hold = holdButtons_.value(watched);
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

void MainWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // The light-blue outline of the cursor pad, beneath the controls.
  QPainter painter(this);
  for (const DecorationLine& line : kDecorationLines) {
    QPen pen(QColor(0x80, 0x80, 0xFF), 2);
    if (line.style == LineStyle::Dotted) pen.setStyle(Qt::DotLine);
    if (line.style == LineStyle::Dashed) pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(Px(line.x1), Px(line.y1), Px(line.x2), Px(line.y2));
  }
}

void MainWindow::EndHold() {
  if (core_.State.HoldCode == 0) return;
  Run([this] { core_.hold.EndHoldWithoutRelease(); });
}

void MainWindow::Run(const std::function<void()>& handler) { Dispatch(OnFailure::Warn, handler); }

void MainWindow::RunOrEnd(const std::function<void()>& handler) { Dispatch(OnFailure::EndProgram, handler); }

void MainWindow::Dispatch(OnFailure onFailure, const std::function<void()>& handler) {
  if (lent_) {
    waiting_.push_back([this, onFailure, handler] { core_.Dispatch.Run(onFailure, handler); });
    return;
  }
  core_.Dispatch.Run(onFailure, handler);
}

void MainWindow::LendLine() { lent_ = true; }

void MainWindow::TakeLineBack() {
  lent_ = false;
  // In the order they came. Taken out first: an event may end the panel, or open a box whose own
  // loop lets a script lend the line again.
  std::vector<std::function<void()>> waiting = std::exchange(waiting_, {});
  for (const auto& event : waiting) event();
}

bool MainWindow::LineInUse() const {
  return core_.WindowTimers().Timer2.Enabled() || core_.State.HoldCode != 0;
}

void MainWindow::MonitorLines::Sent(std::string_view rendered) {
  PanelState& panel = window_.core_.Panel;
  panel.Label11 = std::string(rendered);
  panel.Label12.clear();
  panel.Label22.clear();
  window_.Refresh();
}

void MainWindow::MonitorLines::Received(std::string_view rendered) {
  // The tokens the bytes added, after the line's own leading blank.
  PanelState& panel = window_.core_.Panel;
  panel.Label12 += panel.Label12.empty() ? std::string(rendered) : std::string(rendered.substr(1));
  window_.Refresh();
}

void MainWindow::MonitorLines::Decoded(std::string_view status) {
  window_.core_.Panel.Label22 = std::string(status);
  window_.Refresh();
}

void MainWindow::OfferDeviceChoice(LinkByDevice& link, DeviceSettings& settings, DeviceChoices::PortLister ports) {
  deviceChoices_ = new DeviceChoices(*this, link, settings, std::move(ports));
}

void MainWindow::SetReplyWait(int ms) {
  timer2_.Pin(ms);
  timer4_.Pin(ms + 500);
}

void MainWindow::KeepLog(TrafficLog& log, std::optional<std::string> problem) {
  log.Watch(link_);
  core_.exchange.AddObserver(log);
  // A clause for the command line's error lines; in a box, a sentence.
  if (problem) logProblem_ = char(std::toupper(static_cast<unsigned char>(problem->front()))) + problem->substr(1) + '.';
}

void MainWindow::Load() {
  if (deviceChoices_ != nullptr) deviceChoices_->TellProblem();
  if (logProblem_) ShowWarning(*std::exchange(logProblem_, std::nullopt));
  loading_ = true;
  do {
    loadAgain_ = false;
    core_.Load();
  } while (loadAgain_);
  loading_ = false;
  if (deviceChoices_ != nullptr && !failed_) deviceChoices_->StartedUp();
}

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
  QAbstractButton* choose = nullptr;
  if (deviceChoices_ != nullptr && loading_) {
    // The way forward for an operator who started the panel from the menu: no command line.
    choose = box.addButton(QStringLiteral("Choose a device..."), QMessageBox::ActionRole);
    // Enter takes the way forward, not the end of the panel.
    box.setDefaultButton(qobject_cast<QPushButton*>(choose));
    box.setInformativeText(deviceChoices_->StartUpAdvice());
  }
  // Back from the chooser without a choice, the box is offered again; OK or a signal ends.
  for (box.exec(); choose != nullptr && box.clickedButton() == choose && !ending_; box.exec()) {
    if (deviceChoices_->ChooseAtStartUp()) {
      failed_ = false;
      loadAgain_ = true;
      return;
    }
    if (ending_) break;  // the signal dismissed the chooser; the box must not wait again
  }
  // With no event loop running yet (start-up), main sees Failed() and returns 1. Calling exit()
  // then would leave Qt's quit flag set, and every later modal box would close at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(1);
}

void MainWindow::EndProgram() {
  ending_ = true;
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
  if (auto* address = qobject_cast<QRadioButton*>(controls_.value(Name(panel.AddressOption)))) address->setChecked(true);
  const QString text1 = QString::fromStdString(panel.Text1);
  if (text1_->text() != text1) text1_->setText(text1);
  if (command34_->accessibleName() != QString::fromStdString(panel.Command34Caption)) {
    SetCaption(command34_, QString::fromStdString(panel.Command34Caption));
  }
  command34_->setVisible(panel.Command34Visible);
  // The outer heights are those of the design's 370-twip frame; showing the client area that
  // frame leaves keeps the same bands in view whatever the window manager's frame is.
  setFixedSize(Px(kClientWidthTwips), Px(panel.OuterHeight - kDesignFrameTwips));
}
