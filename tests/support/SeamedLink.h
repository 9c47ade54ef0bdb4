#pragma once

#include <QFileInfo>
#include <QHash>
#include <functional>

#include "platform/QtSerialLink.h"

// The real link with its seams in the test's hands: which devices count as the same one (a
// pseudo terminal has nothing but its number) and what happens the moment a device has opened.
class SeamedLink : public QtSerialLink {
 public:
  using QtSerialLink::QtSerialLink;

  QHash<QString, QString> identities;  // the device a path resolves to -> who it is; else the system says
  std::function<void()> onOpened;

 protected:
  DeviceIdentity Identify(const QString& path) const override {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (identities.contains(resolved)) return {identities.value(resolved)};
    return QtSerialLink::Identify(path);
  }
  void Opened() override { onOpened ? onOpened() : void(); }
};
