#include "platform/DeviceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <variant>

#include "network/NetworkAddress.h"
#include "platform/DeviceIdentity.h"

namespace {

QString Key(std::int16_t port) { return QStringLiteral("devices/COM%1").arg(port); }
// Who the kept device was when it was chosen (LastingIdentity); missing in files of earlier
// versions and for network addresses.
QString IdentityKey(std::int16_t port) { return Key(port) + QStringLiteral("Identity"); }

// Why the device kept for `port` is not opened as it stands, or nothing.
std::optional<QString> KeptDeviceRefusal(std::int16_t port, const QString& device, const QString& kept) {
  QString why;
  // A pseudo terminal, whatever name it was kept under, is someone else's by now.
  if (IsPseudoTerminal(device)) {
    why = QStringLiteral("COM%1 stands for %2, a pseudo terminal chosen in the window in an earlier run; its number "
                         "passes to other programs' terminals, so it is not opened.")
              .arg(port)
              .arg(device);
  } else if (kept.isEmpty()) {
    // Kept before identities were: nothing to check it against.
    return std::nullopt;
  } else {
    // Nothing there at all is told by the open, as for any device that has gone.
    const DeviceIdentity now = LastingIdentity(device);
    if (!now.Present() || now.text == kept) return std::nullopt;
    why = QStringLiteral("COM%1 stands for %2, chosen in the window in an earlier run as %3, but %4 is there now, "
                         "so it is not opened.")
              .arg(port)
              .arg(device, kept, now.text);
  }
  return why + QStringLiteral(" Choose a device for COM%1 in the window (right-click COM%1 or COM), or name one "
                              "with --com%1 PATH.")
                   .arg(port);
}

// Why `file` cannot be read or written, naming what is in the way. QSettings only says that it
// could not, and the operator needs to know what to put right.
QString Obstacle(const QString& file, QSettings::Status status, bool writing) {
  const QString shown = QDir::toNativeSeparators(file);
  if (status == QSettings::FormatError) return QStringLiteral("%1 is not a settings file").arg(shown);
  if (QFileInfo(file).isDir()) return QStringLiteral("%1 is a folder, not a file").arg(shown);
  if (writing) {
    // The first part of the path that exists must be a folder for the rest to be made.
    QFileInfo existing(QFileInfo(file).absolutePath());
    while (!existing.exists() && !existing.isRoot()) existing.setFile(existing.absolutePath());
    if (!existing.isDir()) {
      return QStringLiteral("%1 is a file, not a folder").arg(QDir::toNativeSeparators(existing.filePath()));
    }
    return QStringLiteral("%1 cannot be written").arg(shown);
  }
  return QStringLiteral("%1 cannot be read").arg(shown);
}

}  // namespace

DeviceSettings::DeviceSettings()
    : DeviceSettings(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                     QStringLiteral("/projector-panel/projector-panel.conf")) {}

DeviceSettings::DeviceSettings(QString file) : file_(std::move(file)) {}

PortMap DeviceSettings::Read(PortMap ports) {
  const QSettings settings(file_, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) {
    Report(QStringLiteral("The devices chosen in the window in earlier runs could not be read, so they are not "
                          "used: %1. Remove it, or make it a settings file your user can read and write, to "
                          "keep the devices chosen from now on.")
               .arg(Obstacle(file_, settings.status(), false)));
    return ports;
  }
  for (const std::int16_t port : {1, 2}) {
    if (!settings.contains(Key(port))) continue;
    const QVariant value = settings.value(Key(port));
    // A list or a typed value was written by hand or by another program: which device it means is
    // anybody's guess, and the default is no better a guess, but at least not silently taken.
    QString odd;
    const DeviceName name = ReadDeviceName(value.toString().toStdString());
    if (value.typeId() != QMetaType::QString) {
      odd = QStringLiteral("it is not one device name");
    } else if (const auto* malformed = std::get_if<MalformedDevice>(&name)) {
      odd = QString::fromStdString(malformed->reason);
    }
    if (!odd.isEmpty()) {
      Report(QStringLiteral("The device kept for COM%1 in %2 is not used: %3. Choose a device for COM%1 in the window "
                            "to keep another.")
                 .arg(port)
                 .arg(QDir::toNativeSeparators(file_), odd));
      continue;
    }
    const QString device = value.toString();
    if (device.isEmpty()) continue;
    saved_.SetPathFor(port, device);
    ports.SetPathFor(port, device);
    if (const auto why = KeptDeviceRefusal(port, device, settings.value(IdentityKey(port)).toString())) {
      refusals_[port] = *why;
    }
  }
  return ports;
}

std::optional<QString> DeviceSettings::Refusal(std::int16_t port) const {
  const auto found = refusals_.find(port);
  return found != refusals_.end() ? std::optional(found->second) : std::nullopt;
}

void DeviceSettings::Save(std::int16_t port, const QString& device) {
  if (IsPseudoTerminal(device)) return;
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(Key(port), device);
  const DeviceIdentity identity = LastingIdentity(device);
  if (identity.Present()) {
    settings.setValue(IdentityKey(port), identity.text);
  } else {
    settings.remove(IdentityKey(port));
  }
  settings.sync();
  if (settings.status() != QSettings::NoError) {
    Report(QStringLiteral("The device chosen for COM%1 is used until the panel ends, but it could not be kept "
                          "for the next start: %2. Your user must be able to write %3 (its folder is made when "
                          "missing).")
               .arg(port)
               .arg(Obstacle(file_, settings.status(), true), QDir::toNativeSeparators(file_)));
    return;
  }
  saved_.SetPathFor(port, device);
  refusals_.erase(port);
}

void DeviceSettings::Report(const QString& text) {
  if (!told_ && !problem_) problem_ = text.toStdString();
}

std::optional<std::string> DeviceSettings::TakeProblem() {
  if (told_ || !problem_) return std::nullopt;
  told_ = true;
  return problem_;
}
