#pragma once

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "controller/Form1.h"
#include "platform/QtTimer.h"

// The window Form1: owns the widgets and the timers, routes every widget event to the core
// through its dispatch, and draws the core's PanelState after each event.
class MainWindow : public QWidget, public WindowPort {
  Q_OBJECT

 public:
  explicit MainWindow(SerialLink& link, QWidget* parent = nullptr);

  // Runs the start-up sequence; afterwards Failed() tells whether it ended the program.
  void Load();
  bool Failed() const { return failed_; }

  Form1& Core() { return core_; }

  // WindowPort
  void CentreOnScreen(int outerHeightTwips) override;
  void ShowWarning(const std::string& text) override;
  void ShowFatal(const std::string& text) override;
  void EndProgram() override;
  void Refresh() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QLabel* AddLabel(QWidget* parent, const char* name, int left, int top, int width, int height);
  QFrame* AddFrame(QWidget* parent, const char* name, int left, int top, int width, int height);
  QRadioButton* AddOption(QWidget* parent, std::string_view name, std::string_view caption, int left, int top,
                          int width, int height);
  void AddLinkSettings();
  void AddAddressSelector();
  void AddFreeTextRow();
  void RunOrEnd(const std::function<void()>& handler);
  QPushButton* AddButton(std::string_view name, std::string_view caption);
  void AddCommandButtons();
  void AddHoldButtons();
  // Runs a widget event's handler through the core's dispatch; link failures become a warning.
  void Run(const std::function<void()>& handler);
  void EndHold();

  QtTimer timer1_;
  QtTimer timer2_;
  QtTimer timer3_;
  QtTimer timer4_;
  Form1 core_;
  QLabel* label11_;
  QLabel* label12_;
  QLabel* label22_;
  QFrame* frame8_;
  QRadioButton* option1_;
  QRadioButton* option2_;
  QRadioButton* option9_;
  QRadioButton* option10_;
  QHash<QString, QRadioButton*> addressOptions_;
  QLineEdit* text1_;
  QHash<QObject*, const HoldButton*> holdButtons_;
  int nextButtonSlot_ = 0;
  bool failed_ = false;
};
