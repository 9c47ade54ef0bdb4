#include "window/PanelBuilder.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <vector>

#include "window/PanelStyle.h"
#include "window/Twips.h"
#include "window/layout/PanelLayout.h"

namespace {

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void Fill(QWidget* widget, const QColor& background) {
  if (!background.isValid()) return;
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Window, background);
  palette.setColor(QPalette::Button, background);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// Flat in its background colour with the caption centred, as the panel's graphical buttons are.
void StyleButton(QPushButton* button, const QColor& background) {
  if (!background.isValid()) return;
  QPalette palette = button->palette();
  palette.setColor(QPalette::Button, background);
  palette.setColor(QPalette::ButtonText, Qt::black);
  button->setPalette(palette);
  button->setStyle(FlatButtonStyle());
}

QWidget* Create(const ControlLayout& control, QWidget* parent) {
  const QColor background = ColourOf(control.colour);
  switch (control.kind) {
    case Kind::Frame: {
      auto* frame = new QFrame(parent);
      frame->setFrameShape(QFrame::Box);
      frame->setFrameShadow(QFrame::Sunken);
      Fill(frame, background);
      return frame;
    }
    case Kind::Label: {
      auto* label = new QLabel(Text(control.caption), parent);
      label->setTextFormat(Qt::PlainText);  // "&" in a caption or a status text is shown as is
      Qt::Alignment align = Qt::AlignVCenter | Qt::AlignLeft;
      if (control.notes & Note::kCentred) align = Qt::AlignCenter;
      if (control.notes & Note::kRightAligned) align = Qt::AlignVCenter | Qt::AlignRight;
      label->setAlignment(align);
      if (control.notes & Note::kSingleBorder) {
        label->setFrameShape(QFrame::Box);
        label->setLineWidth(1);
      }
      Fill(label, background);
      QPalette palette = label->palette();
      if (control.notes & Note::kDarkRedText) palette.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
      if (control.notes & Note::kRedText) palette.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
      label->setPalette(palette);
      return label;
    }
    case Kind::Button: {
      auto* button = new QPushButton(Text(control.caption), parent);
      StyleButton(button, background);
      return button;
    }
    case Kind::Option: {
      auto* option = new QRadioButton(Text(control.caption), parent);
      Fill(option, background);
      return option;
    }
    case Kind::TextBox:
      return new QLineEdit(parent);
    case Kind::Picture: {
      auto* picture = new QLabel(parent);
      picture->setPixmap(Image1Picture());
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return picture;
    }
  }
  return nullptr;
}

bool TakesFocus(Kind kind) { return kind == Kind::Button || kind == Kind::Option || kind == Kind::TextBox; }

}  // namespace

QHash<QString, QWidget*> BuildPanel(QWidget* window) {
  QHash<QString, QWidget*> controls;
  std::vector<const ControlLayout*> focusOrder;
  for (const ControlLayout& control : kPanelLayout) {
    QWidget* parent = control.container.empty() ? window : controls.value(Text(control.container));
    Q_ASSERT(parent != nullptr);  // frames come before what they hold
    QWidget* widget = Create(control, parent);
    widget->setObjectName(Text(control.name));
    widget->setGeometry(Px(control.left), Px(control.top), Px(control.width), Px(control.height));
    widget->setFont(PanelFont(control.font));
    if (auto* button = qobject_cast<QPushButton*>(widget)) SetCaption(button, Text(control.caption));
    if (control.notes & Note::kHiddenAtStart) widget->hide();
    if (control.notes & Note::kSelectedAtStart) static_cast<QRadioButton*>(widget)->setChecked(true);
    if (TakesFocus(control.kind)) {
      focusOrder.push_back(&control);
    } else {
      widget->setFocusPolicy(Qt::NoFocus);
    }
    controls.insert(widget->objectName(), widget);
  }

  std::stable_sort(focusOrder.begin(), focusOrder.end(),
                   [](const ControlLayout* a, const ControlLayout* b) { return a->tab < b->tab; });
  for (std::size_t i = 1; i < focusOrder.size(); ++i) {
    QWidget::setTabOrder(controls.value(Text(focusOrder[i - 1]->name)), controls.value(Text(focusOrder[i]->name)));
  }
  return controls;
}

void SetCaption(QPushButton* button, const QString& caption) {
  // The unbroken caption, for screen readers and for whoever looks a button up by its caption.
  button->setAccessibleName(caption);
  const QFontMetrics metrics(button->font());
  const int room = button->width() - 4;
  const auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= room; };
  if (fits(caption)) {
    button->setText(caption);
    return;
  }
  // Broken at blanks where it can be, between characters where a word alone is too wide (as
  // Japanese text is, having no blanks), like the multi-line captions of the original buttons.
  QStringList lines;
  QString line;
  for (QString word : caption.split(QLatin1Char(' '))) {
    const QString joined = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    if (fits(joined)) {
      line = joined;
      continue;
    }
    if (!line.isEmpty()) lines.append(line);
    while (word.size() > 1 && !fits(word)) {
      qsizetype take = word.size() - 1;
      while (take > 1 && !fits(word.left(take))) --take;
      lines.append(word.left(take));
      word = word.mid(take);
    }
    line = word;
  }
  lines.append(line);
  button->setText(lines.join(QLatin1Char('\n')));
}

QPixmap Image1Picture() {
  // Our own small badge: a projector body with its lens and the model name.
  QPixmap picture(80, 26);
  picture.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient body(0, 0, 0, 26);
  body.setColorAt(0, QColor(0x50, 0x50, 0x70));
  body.setColorAt(1, QColor(0x20, 0x20, 0x30));
  painter.setBrush(body);
  painter.setPen(Qt::NoPen);
  painter.drawRoundedRect(QRectF(1, 3, 78, 20), 5, 5);
  painter.setBrush(QColor(0x80, 0x80, 0xFF));
  painter.drawEllipse(QRectF(5, 6, 14, 14));
  painter.setBrush(QColor(0xE0, 0xF0, 0xFF));
  painter.drawEllipse(QRectF(9, 10, 6, 6));
  painter.setPen(Qt::white);
  QFont font = PanelFont(FontKey::F1);
  font.setPixelSize(13);
  painter.setFont(font);
  painter.drawText(QRectF(22, 3, 56, 20), Qt::AlignCenter, QStringLiteral("VESK Q8"));
  return picture;
}
