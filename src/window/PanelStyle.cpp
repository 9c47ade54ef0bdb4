#include "window/PanelStyle.h"

namespace {

const QString kGothic = QStringLiteral("ＭＳ ゴシック");
const QString kPGothic = QStringLiteral("ＭＳ Ｐゴシック");

QFont Make(const QString& face, qreal points, bool bold) {
  QFont font(face);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

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
