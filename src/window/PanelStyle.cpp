#include "window/PanelStyle.h"

#include <QApplication>
#include <QFontDatabase>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <algorithm>

namespace {

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

QFont Make(const QString& face, qreal points, bool bold) {
  QFont font(face);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// The application's button with its panel replaced; caption, focus and metrics stay its own.
class FlatButton : public QProxyStyle {
 public:
  FlatButton() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_PanelButtonCommand) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    // As pressed, not as checked: none of the panel's buttons is checkable.
    const bool down = option->state & State_Sunken;
    const QColor face = option->palette.color(QPalette::Button);
    const QColor light = Qt::white;
    const QColor shade(0x80, 0x80, 0x80);
    const QColor& topLeft = down ? shade : light;
    const QColor& bottomRight = down ? light : shade;
    const bool dotted = option->state & State_HasFocus;
    const QRect& r = option->rect;
    const qreal left = r.x(), top = r.y(), right = r.x() + r.width(), bottom = r.y() + r.height();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->fillRect(r, down ? face.darker(115) : face);
    // One pixel a side, the later over the earlier at the corners: the top and left edges own
    // three corners, as a raised 3D border has it.
    const auto edge = [&](qreal x1, qreal y1, qreal x2, qreal y2, const QColor& colour) {
      if (dotted) {
        painter->setPen(QPen(colour, 1, Qt::DotLine, Qt::FlatCap));
        painter->drawLine(QLineF(x1, y1, x2 - 1, y2 - 1));
      } else {
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        painter->drawRect(QRectF(x1, y1, x2 - x1, y2 - y1));
      }
    };
    edge(left, bottom - 1, right, bottom, bottomRight);
    edge(right - 1, top, right, bottom, bottomRight);
    edge(left, top, left + 1, bottom, topLeft);
    edge(left, top, right, top + 1, topLeft);
    painter->restore();
  }
};

}  // namespace

void InstallFontSubstitutes() {
  QFont::insertSubstitution(kGothic, QStringLiteral("IPAGothic"));
  QFont::insertSubstitution(kPGothic, QStringLiteral("IPAPGothic"));
}

QFont FontOf(FontKey key) {
  switch (key) {
    case FontKey::F1: return Make(kGothic, 9, true);
    case FontKey::F2: return Make(kGothic, 9, false);
    case FontKey::F3: return Make(kGothic, 9.75, true);
    case FontKey::F4: return Make(kGothic, 9.75, false);
    case FontKey::F5: return Make(kGothic, 8.25, true);
    case FontKey::F6: return Make(kPGothic, 7.5, false);
    case FontKey::F7: return Make(kPGothic, 9, false);
    case FontKey::F8: return Make(kGothic, 8.25, false);
    case FontKey::F9: return Make(kPGothic, 9, true);
    case FontKey::F10: return Make(kPGothic, 9.75, true);
  }
  return Make(kGothic, 9, true);
}

QFont PanelFont(FontKey key) {
  // Qt looks for a face the system lacks among all of the system's fonts (a fontconfig sort, once
  // per face and script) before it tries the substitute, and it fetches the fallback list of every
  // font that names a second family as soon as the font is loaded. One face, the one installed,
  // spares both.
  QFont font = FontOf(key);
  static const QStringList installed = QFontDatabase::families();
  for (const QString& substitute : QFont::substitutes(font.family())) {  // kept in lower case
    const auto found = std::find_if(installed.begin(), installed.end(), [&](const QString& family) {
      return family.compare(substitute, Qt::CaseInsensitive) == 0;
    });
    if (found != installed.end()) {
      font.setFamily(*found);
      break;
    }
  }
  return font;
}

QColor ColourOf(Colour colour) {
  switch (colour) {
    case Colour::Standard: return {};
    case Colour::Grey: return {0xC0, 0xC0, 0xC0};
    case Colour::Peach: return {0xFF, 0xE0, 0xC0};
    case Colour::Pink: return {0xFF, 0xC0, 0xC0};
    case Colour::LightGreen: return {0xC0, 0xFF, 0xC0};
    case Colour::LightCyan: return {0xC0, 0xFF, 0xFF};
    case Colour::Lavender: return {0xC0, 0xC0, 0xFF};
    case Colour::LightYellow: return {0xFF, 0xFF, 0xC0};
    case Colour::Teal: return {0x00, 0xC0, 0xC0};
    case Colour::Orange: return {0xFF, 0x80, 0x00};
    case Colour::White: return {0xFF, 0xFF, 0xFF};
  }
  return {};
}

QStyle* FlatButtonStyle() {
  // Shared by every window's buttons, and gone with the application that drew them.
  static QPointer<QStyle> style;
  if (style == nullptr) {
    style = new FlatButton;
    style->setParent(QCoreApplication::instance());
  }
  return style;
}
