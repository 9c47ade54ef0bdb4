#include "window/DeviceChooser.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <variant>

#include "network/NetworkAddress.h"
#include "platform/DeviceIdentity.h"

DeviceChooser::DeviceChooser(int port, const QString& current, const std::vector<PortChoice>& ports, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget(this)),
      field_(new QLineEdit(current, this)),
      problem_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Device of COM%1").arg(port));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("The device COM%1 stands for, now and whenever the panel starts:").arg(port), this));

  list_->setObjectName(QStringLiteral("Ports"));
  for (const PortChoice& choice : ports) {
    const QString device = QString::fromStdString(choice.device);
    auto* item = new QListWidgetItem(
        choice.details.empty() ? device : device + QStringLiteral("\n    ") + QString::fromStdString(choice.details),
        list_);
    item->setData(Qt::UserRole, device);
  }
  if (ports.empty()) {
    auto* none = new QListWidgetItem(QStringLiteral("No serial ports found: connect the adapter, then open this again"), list_);
    none->setFlags(Qt::NoItemFlags);
  }
  layout->addWidget(list_);
  connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
    if (item != nullptr) field_->setText(item->data(Qt::UserRole).toString());
  });
  connect(list_, &QListWidget::itemActivated, this, [this] {
    if (ok_->isEnabled()) accept();
  });

  layout->addWidget(new QLabel(
      QStringLiteral("Or any other device, or a network serial server as rfc2217://HOST:PORT or socket://HOST:PORT:"),
      this));
  field_->setObjectName(QStringLiteral("Device"));
  layout->addWidget(field_);
  problem_->setObjectName(QStringLiteral("Problem"));
  problem_->setWordWrap(true);
  layout->addWidget(problem_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ok_ = buttons->button(QDialogButtonBox::Ok);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(field_, &QLineEdit::textChanged, this, &DeviceChooser::Check);
  Check();
  field_->setFocus();
}

QString DeviceChooser::Device() const { return field_->text().trimmed(); }

void DeviceChooser::Check() {
  const DeviceName name = ReadDeviceName(Device().toStdString());
  const auto* malformed = std::get_if<MalformedDevice>(&name);
  QString said = malformed != nullptr ? QString::fromStdString(malformed->reason) : QString();
  if (IsPseudoTerminal(Device())) {
    said = QStringLiteral("A pseudo terminal is used until the panel ends, but not kept for the next start: its number "
                          "passes to other programs' terminals once it closes.");
  }
  problem_->setText(said);
  problem_->setVisible(!said.isEmpty());
  ok_->setEnabled(!Device().isEmpty() && malformed == nullptr);
}
