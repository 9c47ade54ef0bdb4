#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "platform/PortList.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The dialog that names the device a port stands for: the system's serial ports, each by its
// stable name with what is known of it, and a field for any other path or network server
// address. The field is read as --com1 and --com2 are: OK is offered only for a name that can be
// a device, and what is wrong with any other is said under the field.
class DeviceChooser : public QDialog {
  Q_OBJECT

 public:
  DeviceChooser(int port, const QString& current, const std::vector<PortChoice>& ports, QWidget* parent);

  QString Device() const;

 private:
  void Check();

  QListWidget* list_;
  QLineEdit* field_;
  QLabel* problem_;
  QPushButton* ok_;
};
