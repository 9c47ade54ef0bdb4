#include "window/DeviceChoices.h"

#include <QMenu>
#include <QWidget>

#include "controller/PortSelection.h"
#include "panel/Form1.h"
#include "platform/DeviceKind.h"
#include "window/DeviceChooser.h"

namespace {

// The controls whose context menu chooses devices, and the ports each offers.
const struct {
  const char* control;
  std::vector<std::int16_t> ports;
} kDeviceMenus[] = {{"Option1", {1}}, {"Option2", {2}}, {"Command33", {1, 2}}};

}  // namespace

DeviceChoices::DeviceChoices(DeviceChoiceWindow& window, LinkByDevice& link, DeviceSettings& settings,
                             PortLister ports)
    : QObject(&window.Widget()), window_(window), link_(link), settings_(settings), ports_(std::move(ports)) {
  for (const auto& entry : kDeviceMenus) {
    QWidget* control = window_.Control(QString::fromLatin1(entry.control));
    control->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(control, &QWidget::customContextMenuRequested, this, [this, control, &entry](const QPoint& at) {
      QMenu menu(control);
      for (const std::int16_t port : entry.ports) {
        menu.addAction(QStringLiteral("Choose a device for COM%1...").arg(port))->setData(port);
      }
      // Chosen once the menu has closed, so the chooser is not opened from inside the menu's loop.
      if (const QAction* picked = menu.exec(control->mapToGlobal(at))) {
        Choose(static_cast<std::int16_t>(picked->data().toInt()));
      }
    });
  }
  // A kept device that is another one now waits for a choice; one named on the command line is not kept.
  for (const std::int16_t port : {1, 2}) {
    const auto why = settings_.Refusal(port);
    if (why && link_.Devices().PathFor(port) == settings_.Saved(port)) link_.Refuse(port, *why);
  }
  ShowDevices();
}

std::optional<QString> DeviceChoices::Ask(std::int16_t port) {
  DeviceChooser chooser(port, link_.Devices().PathFor(port), ports_(), &window_.Widget());
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  // A USB adapter is kept by its stable link, which leads to it under whatever node it gets next.
  return QString::fromStdString(StableName(chooser.Device().toStdString(), kStableLinkDir));
}

void DeviceChoices::Choose(std::int16_t port) {
  const std::optional<QString> device = Ask(port);
  if (!device) return;
  Form1& core = window_.Core();
  const QString old = link_.Devices().PathFor(port);
  bool taken = false;
  if (port == core.Panel.PortOption) {
    // The old device is closed before the new one opens (the two may be of different kinds, and
    // only the link a device is open on can close it); a failed choice puts the old one back.
    const std::optional<QString> oldRefusal = link_.Refusal(port);
    const DeviceSwitch change{[&] { link_.SetDevice(port, *device); },
                              [&] {
                                link_.SetDevice(port, old);
                                if (oldRefusal) link_.Refuse(port, *oldRefusal);
                              },
                              old.toStdString()};
    core.Dispatch.Run(OnFailure::Warn, [&] { taken = OpenChosenDevice(link_, core.Dispatch, core.Panel, port, change); });
  } else if (const std::optional<QString> why = UnusableDevice(*device)) {
    core.Dispatch.Warn(QStringLiteral("COM%1 cannot stand for %2: %3. COM%1 stays on %4.")
                           .arg(port)
                           .arg(*device, *why, old)
                           .toStdString());
  } else {
    link_.SetDevice(port, *device);
    taken = true;
  }
  // Only a device the port has taken is kept: a failed choice leaves the next start as it was.
  if (taken) settings_.Save(port, *device);
  ShowDevices();
  TellProblem();
}

bool DeviceChoices::ChooseAtStartUp() {
  const std::optional<QString> device = Ask(1);
  if (!device) return false;
  link_.SetDevice(1, *device);
  startUpChoice_ = *device;
  ShowDevices();
  return true;
}

void DeviceChoices::StartedUp() {
  // Kept once start-up has opened it, so a choice that failed there too is not the next start's.
  if (startUpChoice_.isEmpty()) return;
  settings_.Save(1, startUpChoice_);
  startUpChoice_.clear();
  TellProblem();
}

QString DeviceChoices::StartUpAdvice() const {
  const QString choose = QStringLiteral(
      "\"Choose a device...\" names another device for COM1 and keeps it for the next start; OK ends the panel.");
  if (link_.Devices().com1 != settings_.Saved(1)) return choose;
  return QStringLiteral("COM1 stands for the device chosen in the window in an earlier run. ") + choose;
}

void DeviceChoices::TellProblem() {
  if (const std::optional<std::string> problem = settings_.TakeProblem()) window_.Core().Dispatch.Warn(*problem);
}

void DeviceChoices::ShowDevices() {
  const QString hint = QStringLiteral("\nRight-click to choose another device.");
  window_.Control(QStringLiteral("Option1"))->setToolTip(link_.Devices().com1 + hint);
  window_.Control(QStringLiteral("Option2"))->setToolTip(link_.Devices().com2 + hint);
  window_.Control(QStringLiteral("Command33"))
      ->setToolTip(QStringLiteral("COM1: %1\nCOM2: %2\nRight-click to choose other devices.")
                       .arg(link_.Devices().com1, link_.Devices().com2));
}
