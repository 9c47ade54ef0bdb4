#pragma once

#include <QString>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/PortMap.h"

// The devices the operator chose for COM1 and COM2 in the window, kept between runs in the
// user's settings ($XDG_CONFIG_HOME/projector-panel/projector-panel.conf, else under ~/.config).
// Beside each path is who the device was when it was chosen (LastingIdentity): a kept device
// that is another one now is not opened (Refusal). Pseudo terminals are never kept. Nothing else
// is kept: the port, speed and address the panel starts with stay as designed.
//
// A file that cannot be read or written never stops the panel: the first such problem of a run
// waits in TakeProblem() to be told once, and later ones are not told again.
class DeviceSettings {
 public:
  DeviceSettings();  // the file in the user's config folder, as the environment says now
  explicit DeviceSettings(QString file);

  const QString& File() const { return file_; }

  // `ports` with each port's saved device in place of its own; `ports` as given if the file
  // cannot be read. A value that is not one device name is told as a problem and not used.
  PortMap Read(PortMap ports);
  // Why the device Read found for `port` must not be opened: another device is at its path now,
  // or it is a pseudo terminal kept by an earlier version. Nothing when it may be opened.
  std::optional<QString> Refusal(std::int16_t port) const;
  // The command line names the device of `port` for this run: the operator's word, not refused.
  void NamedOnCommandLine(std::int16_t port) { refusals_.erase(port); }
  // What Read found, or Save kept, for `port`; empty when nothing is saved for it.
  QString Saved(std::int16_t port) const { return saved_.PathFor(port); }
  // Keeps `device` with who it is now, unless it is a pseudo terminal.
  void Save(std::int16_t port, const QString& device);

  // The problem to tell the operator, once: afterwards nothing until the next run.
  std::optional<std::string> TakeProblem();

 private:
  void Report(const QString& text);

  QString file_;
  PortMap saved_;
  std::map<std::int16_t, QString> refusals_;
  std::optional<std::string> problem_;
  bool told_ = false;
};
