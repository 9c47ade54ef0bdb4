#include "window/DeviceChoices.h"

#include <QMenu>
#include <QWidget>

#include "controller/PortSelection.h"
#include "panel/Form1.h"
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
  ShowDevices();
}

std::optional<QString> DeviceChoices::Ask(std::int16_t port) {
  DeviceChooser chooser(port, link_.Devices().PathFor(port), ports_(), &window_.Widget());
  if (chooser.exec() != QDialog::Accepted) return std::nullopt;
  return chooser.Device();
}

void DeviceChoices::Choose(std::int16_t port) {
  const std::optional<QString> device = Ask(port);
  if (!device) return;
  Form1& core = window_.Core();
  const auto giveDevice = [&] { link_.SetDevice(port, *device); };
  if (port == core.Panel.PortOption) {
    core.Dispatch.Run(OnFailure::Warn, [&] {
      OpenChosenDevice(link_, core.Dispatch, core.Panel, port, port == 1 ? 2 : 1, giveDevice);
    });
  } else {
    giveDevice();
  }
  // Kept even when it did not open: the usual cure (the dialout group, the adapter plugged in)
  // takes a new login or a new start, which should then go straight to it.
  settings_.Save(port, *device);
  ShowDevices();
  TellProblem();
}

bool DeviceChoices::ChooseAtStartUp() {
  const std::optional<QString> device = Ask(1);
  if (!device) return false;
  link_.SetDevice(1, *device);
  settings_.Save(1, *device);
  ShowDevices();
  TellProblem();
  return true;
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
