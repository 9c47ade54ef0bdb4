#include "platform/DeviceSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

QString Key(std::int16_t port) { return QStringLiteral("devices/COM%1").arg(port); }

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
  saved_ = {settings.value(Key(1)).toString(), settings.value(Key(2)).toString()};
  if (!saved_.com1.isEmpty()) ports.com1 = saved_.com1;
  if (!saved_.com2.isEmpty()) ports.com2 = saved_.com2;
  return ports;
}

void DeviceSettings::Save(std::int16_t port, const QString& device) {
  QSettings settings(file_, QSettings::IniFormat);
  settings.setValue(Key(port), device);
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
}

void DeviceSettings::Report(const QString& text) {
  if (!told_ && !problem_) problem_ = text.toStdString();
}

std::optional<std::string> DeviceSettings::TakeProblem() {
  if (told_ || !problem_) return std::nullopt;
  told_ = true;
  return problem_;
}
