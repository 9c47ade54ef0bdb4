#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/DeviceSettings.h"
#include "platform/LinkByDevice.h"
#include "platform/PortList.h"

class Form1;
class QWidget;

// What the chooser needs of the window it belongs to. The window implements it, so that the
// chooser does not depend on the window's own header (which includes this one).
class DeviceChoiceWindow {
 public:
  virtual QWidget& Widget() = 0;  // the parent of the chooser and of its boxes
  virtual Form1& Core() = 0;
  virtual QWidget* Control(const QString& name) const = 0;

 protected:
  ~DeviceChoiceWindow() = default;
};

// Where the operator chooses the devices COM1 and COM2 stand for, from what the panel already
// has: a context menu on the COM1 and COM2 options and on COM, and the start-up failure box. The
// options show their device as a tooltip. A choice the port has taken is kept for the next start;
// a failed one changes nothing.
class DeviceChoices : public QObject {
  Q_OBJECT

 public:
  using PortLister = std::function<std::vector<PortChoice>()>;

  DeviceChoices(DeviceChoiceWindow& window, LinkByDevice& link, DeviceSettings& settings, PortLister ports);

  // The chooser for `port`, then the choice carried out: for the port the panel shows selected
  // the new device is opened (OpenChosenDevice); for the other port only what it stands for
  // changes, once the device is found usable. A failed choice is told and changes nothing.
  void Choose(std::int16_t port);
  // From the start-up failure box: COM1, which start-up opens, is given the chosen device; true
  // when the operator chose one, so that start-up runs again on it.
  bool ChooseAtStartUp();
  // Start-up has opened COM1: a device chosen from its failure box is kept now.
  void StartedUp();
  // What the start-up failure box adds to the link's own text.
  QString StartUpAdvice() const;
  // The first problem with the settings file, in a warning box, once in a run.
  void TellProblem();

 private:
  std::optional<QString> Ask(std::int16_t port);
  void ShowDevices();

  DeviceChoiceWindow& window_;
  LinkByDevice& link_;
  DeviceSettings& settings_;
  PortLister ports_;
  QString startUpChoice_;  // chosen in the start-up failure box, kept once it has opened
};
