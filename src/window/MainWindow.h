#pragma once

#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <vector>
#include <optional>
#include <string>

#include "panel/Form1.h"
#include "platform/QtTimer.h"
#include "platform/TrafficLog.h"
#include "window/DeviceChoices.h"

// The window Form1: owns the widgets and the timers, routes every widget event to the core
// through its dispatch, and draws the core's PanelState after each event.
class MainWindow : public QWidget, public WindowPort, public DeviceChoiceWindow {
  Q_OBJECT

 public:
  explicit MainWindow(SerialLink& link, QWidget* parent = nullptr);

  // Lets the operator choose the devices of COM1 and COM2 in the window (DeviceChoices), saved
  // in `settings`. Before Load, which then tells a problem with the settings file first.
  void OfferDeviceChoice(LinkByDevice& link, DeviceSettings& settings,
                         DeviceChoices::PortLister ports = [] { return PortChoices(SystemSerialPorts(), kStableLinkDir); });

  // Writes the traffic and the port's changes to `log` from now on; `problem`, what opening it
  // said, is told at the start of Load.
  void KeepLog(TrafficLog& log, std::optional<std::string> problem);
  // Every reply is awaited `ms` milliseconds, whatever the button would give it, and the lines
  // stay half a second longer, as with --send --timeout.
  void SetReplyWait(int ms);

  // While another hand (a script the window serves) has the line, the operator's clicks, presses
  // and keys wait, in order, and run once it is given back: no frame of the window's goes out in
  // another hand's exchange, and none is lost.
  void LendLine();
  void TakeLineBack();
  // Whether the window's own exchange holds the line: a reply window or a hold is open.
  bool LineInUse() const;
  // Shows another hand's traffic on the monitor's lines, as the window's own would be.
  TrafficObserver& Monitor() { return monitor_; }

  // Runs the start-up sequence; afterwards Failed() tells whether it ended the program.
  void Load();
  bool Failed() const { return failed_; }

  Form1& Core() override { return core_; }
  // A control of the panel by its name ("Command17", "Frame8", "Text1" ...).
  QWidget* Control(const QString& name) const override { return controls_.value(name); }
  QWidget& Widget() override { return *this; }
  // The note for a click that got no answer (NoAnswerBalloon); not a control of the panel.
  QLabel* Balloon() const { return balloon_; }

  // WindowPort
  void CentreOnScreen(int outerHeightTwips) override;
  void ShowWarning(const std::string& text) override;
  void ShowFatal(const std::string& text) override;
  void EndProgram() override;
  void Refresh() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  template <typename T>
  T* Get(std::string_view name) const;
  void WireCommandButtons();
  void WireHoldButtons();
  void WireLinkSettings();
  void WireAddressSelector();
  void WireFreeTextRow();
  void WireExtendedPanel();
  void WireReturnKey();
  bool FilterHoldButton(QObject* watched, QEvent* event);
  void OnKeyPress(QObject* watched, QEvent* event);
  // Runs a widget event's handler through the core's dispatch; link failures become a warning.
  void Run(const std::function<void()>& handler);
  // The same, for the handlers whose failure ends the program.
  void RunOrEnd(const std::function<void()>& handler);
  // Both: now, or once the line is taken back.
  void Dispatch(OnFailure onFailure, const std::function<void()>& handler);
  // The monitor's lines for another hand's exchange.
  class MonitorLines : public TrafficObserver {
   public:
    explicit MonitorLines(MainWindow& window) : window_(window) {}
    void Sent(std::string_view rendered) override;
    void Received(std::string_view rendered) override;
    void Decoded(std::string_view status) override;

   private:
    MainWindow& window_;
  };
  MonitorLines monitor_{*this};
  bool lent_ = false;
  std::vector<std::function<void()>> waiting_;  // the operator's events while the line is lent
  void EndHold();

  QtTimer timer1_;
  QtTimer timer2_;
  QtTimer timer3_;
  QtTimer timer4_;
  SerialLink& link_;
  Form1 core_;
  QHash<QString, QWidget*> controls_;
  QHash<QObject*, const HoldButton*> holdButtons_;
  QLabel* label11_;
  QLabel* label12_;
  QLabel* label22_;
  QLabel* balloon_;
  QWidget* frame8_;
  QRadioButton* option1_;
  QRadioButton* option2_;
  QRadioButton* option9_;
  QRadioButton* option10_;
  QPushButton* command34_;
  QLineEdit* text1_;
  QWidget* image1_;
  DeviceChoices* deviceChoices_ = nullptr;
  std::optional<std::string> logProblem_;
  bool failed_ = false;
  bool loading_ = false;
  bool loadAgain_ = false;  // the operator chose another device in the start-up failure box
  bool ending_ = false;
};
