// The start-up reference: the panel's window built the plain way, with nothing of the panel's
// code. The same 134 controls of the same classes, at the same places, with the same captions
// (broken onto lines where the panel breaks them), fonts and colours, set with plain Qt calls;
// buttons in their colour in the platform's own button look. Whatever this costs to reach its
// first frame, the panel cannot cost much less.
#include "ReferencePanel.h"

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <iterator>
#include <vector>

namespace {

enum Kind { Frame, Label, Button, Option, TextBox, Picture };

// The faces the panel's captions are drawn in, by size and weight.
enum FontKind { PGothic9, Gothic9Bold, PGothic9Bold, PGothic7_5, Gothic9, PGothic9_75Bold, Gothic8_25, Gothic8_25Bold,
                Gothic9_75, Gothic9_75Bold, kFontKinds };

struct FontRow {
  const char* family;
  qreal points;
  bool bold;
};

constexpr FontRow kFonts[kFontKinds] = {
    {"IPAPGothic", 9, false}, {"IPAGothic", 9, true},    {"IPAPGothic", 9, true},  {"IPAPGothic", 7.5, false},
    {"IPAGothic", 9, false},  {"IPAPGothic", 9.75, true}, {"IPAGothic", 8.25, false}, {"IPAGothic", 8.25, true},
    {"IPAGothic", 9.75, false}, {"IPAGothic", 9.75, true},
};

constexpr int kPlain = -1;  // the platform's own colour
constexpr int kCentre = 1, kRight = 2, kDarkRed = 4, kRed = 8, kBox = 16, kHidden = 32, kChecked = 64;

struct Control {
  const char* name;
  const char* frame;  // "" for the window
  Kind kind;
  const char* caption;
  int x, y, width, height;  // pixels, from the frame's top left corner
  FontKind font;
  int colour;  // 0xRRGGBB or kPlain
  int tab;
  int flags;
};

// Frames come before what they hold.
constexpr Control kControls[] = {
    {"Frame1", "", Frame, "", 8, 16, 113, 65, PGothic9, 0xC0C0C0, 0, 0},
    {"Label1", "Frame1", Label, "POWER", 16, 16, 73, 17, Gothic9Bold, 0xC0C0C0, 2, kCentre | kDarkRed},
    {"Command17", "Frame1", Button, "ON", 8, 40, 41, 20, PGothic9Bold, 0xC0FFC0, 1, 0},
    {"Command18", "Frame1", Button, "OFF", 64, 40, 41, 20, PGothic9Bold, 0xFFC0C0, 22, 0},
    {"Frame2", "", Frame, "", 160, 16, 169, 65, PGothic9, 0xC0C0C0, 3, 0},
    {"Label2", "Frame2", Label, "INPUT MODE SET", 24, 16, 129, 17, Gothic9Bold, 0xC0C0C0, 4, kCentre},
    {"Command27", "Frame2", Button, "1", 8, 40, 33, 20, PGothic9Bold, 0xC0FFFF, 29, 0},
    {"Command28", "Frame2", Button, "2", 48, 40, 33, 20, PGothic9Bold, 0xC0FFFF, 30, 0},
    {"Command29", "Frame2", Button, "3", 88, 40, 33, 20, PGothic9Bold, 0xC0FFFF, 31, 0},
    {"Command53", "Frame2", Button, "4", 128, 40, 33, 20, PGothic9Bold, 0xC0FFFF, 60, 0},
    {"Frame6", "", Frame, "", 376, 16, 113, 65, PGothic9, 0xC0C0C0, 9, 0},
    {"Label7", "Frame6", Label, "MENU", 24, 16, 65, 17, Gothic9Bold, 0xC0C0C0, 10, kCentre},
    {"Command23", "Frame6", Button, "ON", 8, 40, 41, 20, PGothic9Bold, 0xC0FFC0, 25, 0},
    {"Command24", "Frame6", Button, "OFF", 64, 40, 41, 20, PGothic9Bold, 0xFFC0C0, 26, 0},
    {"Image1", "", Picture, "", 544, 8, 80, 26, Gothic9Bold, kPlain, -1, 0},
    {"Frame10", "", Frame, "", 528, 40, 97, 113, PGothic7_5, 0xC0C0C0, 67, 0},
    {"Label20", "Frame10", Label, "LENS SHIFT", 8, 13, 81, 20, Gothic9Bold, 0xC0C0C0, 72, kCentre},
    {"Command59", "Frame10", Button, "↑", 32, 40, 33, 17, PGothic7_5, 0xFFE0C0, 68, 0},
    {"Command60", "Frame10", Button, "←", 16, 64, 33, 17, PGothic7_5, 0xFFE0C0, 69, 0},
    {"Command61", "Frame10", Button, "→", 48, 64, 33, 17, PGothic7_5, 0xFFE0C0, 70, 0},
    {"Command62", "Frame10", Button, "↓", 32, 88, 33, 17, PGothic7_5, 0xFFE0C0, 71, 0},
    {"Frame4", "", Frame, "", 8, 96, 97, 57, PGothic9, 0xC0C0C0, 5, 0},
    {"Label5", "Frame4", Label, "NO SHOW", 16, 16, 73, 19, Gothic9Bold, 0xC0C0C0, 6, kCentre},
    {"Command21", "Frame4", Button, "ON", 8, 32, 41, 20, PGothic9Bold, 0xC0FFC0, 23, 0},
    {"Command22", "Frame4", Button, "OFF", 48, 32, 41, 20, PGothic9Bold, 0xFFC0C0, 24, 0},
    {"Frame7", "", Frame, "", 160, 96, 97, 57, PGothic9, 0xC0C0C0, 17, 0},
    {"Label8", "Frame7", Label, "FREEZE", 16, 14, 65, 19, Gothic9Bold, 0xC0C0C0, 18, kCentre},
    {"Command25", "Frame7", Button, "ON", 8, 32, 41, 20, PGothic9Bold, 0xC0FFC0, 27, 0},
    {"Command26", "Frame7", Button, "OFF", 48, 32, 41, 20, PGothic9Bold, 0xFFC0C0, 28, 0},
    {"Frame5", "", Frame, "", 296, 96, 113, 57, PGothic9, 0xC0C0C0, 7, 0},
    {"Label6", "Frame5", Label, "AV Size", 24, 14, 65, 19, Gothic9Bold, 0xC0C0C0, 8, kCentre},
    {"Command31", "Frame5", Button, "Nopmal", 8, 32, 57, 20, PGothic9, 0xC0FFFF, 32, 0},
    {"Command32", "Frame5", Button, "Wide", 64, 32, 41, 20, PGothic9, 0xC0FFFF, 33, 0},
    {"Frame12", "", Frame, "", 448, 96, 73, 57, Gothic9Bold, 0xC0C0C0, 127, 0},
    {"Label25", "Frame12", Label, "SHUTTER", 8, 14, 57, 17, Gothic9Bold, 0xC0C0C0, 130, kCentre},
    {"Command88", "Frame12", Button, "ON", 8, 32, 23, 20, Gothic9, 0xC0FFC0, 128, 0},
    {"Command89", "Frame12", Button, "OFF", 32, 32, 33, 20, Gothic9, 0xFFC0C0, 129, 0},
    {"Label13", "", Label, "Zoom", 296, 168, 33, 17, Gothic9, 0xC0C0C0, 46, 0},
    {"Command15", "", Button, "+", 296, 192, 25, 17, Gothic9, 0xC0FFFF, 44, 0},
    {"Command35", "", Button, "-", 296, 216, 25, 17, Gothic9, 0xC0FFFF, 45, 0},
    {"Label14", "", Label, "Focus", 352, 168, 41, 17, Gothic9, 0xC0C0C0, 49, 0},
    {"Command36", "", Button, "+", 352, 192, 25, 17, Gothic9, 0xC0FFFF, 47, 0},
    {"Command37", "", Button, "-", 352, 216, 25, 17, Gothic9, 0xC0FFFF, 48, 0},
    {"Label17", "", Label, "D.Zoom", 424, 168, 49, 17, Gothic9, 0xC0C0C0, 56, 0},
    {"Command48", "", Button, "+", 432, 192, 25, 17, PGothic9, 0xC0FFFF, 54, 0},
    {"Command49", "", Button, "-", 432, 216, 25, 17, Gothic9, 0xC0FFFF, 55, 0},
    {"Label18", "", Label, "Keystone", 488, 168, 57, 17, Gothic9, 0xC0C0C0, 59, 0},
    {"Command50", "", Button, "↑", 496, 192, 25, 17, Gothic9, 0xFFE0C0, 57, 0},
    {"Command51", "", Button, "↓", 496, 216, 25, 17, Gothic9, 0xFFE0C0, 58, 0},
    {"Command91", "", Button, "←", 472, 208, 25, 17, Gothic9Bold, 0xFFE0C0, 132, 0},
    {"Command90", "", Button, "→", 520, 208, 25, 17, Gothic9Bold, 0xFFE0C0, 131, 0},
    {"Command5", "", Button, "↑", 80, 168, 57, 25, PGothic9Bold, 0xFFE0C0, 12, 0},
    {"Command9", "", Button, "←", 16, 200, 57, 25, PGothic9Bold, 0xFFE0C0, 16, 0},
    {"Command6", "", Button, "SELECT", 80, 200, 57, 25, Gothic9, 0xFF8000, 13, 0},
    {"Command8", "", Button, "→", 144, 200, 57, 25, PGothic9Bold, 0xFFE0C0, 15, 0},
    {"Command7", "", Button, "↓", 80, 232, 57, 25, PGothic9Bold, 0xFFE0C0, 14, 0},
    {"Command13", "", Button, "A-PC Adj", 560, 184, 65, 17, Gothic9, 0x00C0C0, 19, 0},
    {"Command30", "", Button, "IMAGE", 560, 208, 65, 17, Gothic9, 0xC0C0FF, 82, 0},
    {"Command14", "", Button, "P-TIMER", 560, 224, 65, 17, Gothic9, 0xC0C0FF, 20, 0},
    {"Command3", "", Button, "DISPLAY\nCLEAR", 560, 240, 65, 33, Gothic9, 0xC0C0FF, 11, 0},
    {"Label19", "", Label, "LAMP Mode", 432, 248, 89, 17, Gothic9, 0xC0C0C0, 66, kCentre},
    {"Command56", "", Button, "AUTO", 440, 264, 80, 25, Gothic9, 0xFFFFC0, 63, 0},
    {"Command57", "", Button, "NORMAL", 440, 288, 48, 25, Gothic9, 0xFFFFC0, 64, 0},
    {"Command58", "", Button, "ECO", 488, 288, 32, 25, Gothic9, 0xFFFFC0, 65, 0},
    {"Command4", "", Button, "STAND", 16, 272, 65, 17, Gothic9, 0xFFE0C0, 87, 0},
    {"Command10", "", Button, "REAL", 80, 272, 65, 17, Gothic9, 0xFFE0C0, 88, 0},
    {"Command11", "", Button, "CINEMA", 144, 272, 65, 17, Gothic9, 0xFFE0C0, 89, 0},
    {"Command39", "", Button, "CUSTOM1", 16, 288, 65, 17, Gothic9, 0xC0FFFF, 90, 0},
    {"Command40", "", Button, "CUSTOM2", 80, 288, 65, 17, Gothic9, 0xC0FFFF, 91, 0},
    {"Command41", "", Button, "CUSTOM3", 144, 288, 65, 17, Gothic9, 0xC0FFFF, 92, 0},
    {"Command42", "", Button, "CUSTAM4", 16, 304, 65, 17, Gothic9, 0xC0FFFF, 93, 0},
    {"Command33", "", Button, "COM", 272, 280, 121, 25, PGothic9, kPlain, 34, 0},
    {"Command16", "", Button, "END", 560, 288, 65, 25, Gothic9Bold, 0xC0C0C0, 21, 0},
    {"Frame8", "", Frame, "", 232, 240, 185, 79, PGothic9, 0xC0C0C0, 35, kHidden},
    {"Option1", "Frame8", Option, "COM1", 16, 16, 81, 17, Gothic9Bold, 0xC0C0C0, 36, kChecked},
    {"Option2", "Frame8", Option, "COM2", 104, 16, 73, 17, Gothic9Bold, 0xC0C0C0, 37, 0},
    {"Frame13", "Frame8", Frame, "", 8, 32, 169, 41, Gothic9Bold, 0xC0C0C0, 84, 0},
    {"Option9", "Frame13", Option, "19200", 8, 16, 73, 17, Gothic9Bold, 0xC0C0C0, 85, kChecked},
    {"Option10", "Frame13", Option, "9600", 96, 16, 65, 20, Gothic9Bold, 0xC0C0C0, 86, 0},
    {"Frame9", "", Frame, "", 3, 328, 421, 86, PGothic9, 0xC0C0C0, 38, 0},
    {"Label9", "Frame9", Label, "TXD", 7, 14, 26, 19, Gothic9, 0xC0C0C0, 39, kRight},
    {"Label11", "Frame9", Label, "", 40, 12, 374, 20, PGothic9_75Bold, 0xFFFFFF, 41, kBox},
    {"Label10", "Frame9", Label, "RXD", 5, 37, 30, 20, Gothic9, 0xC0C0C0, 40, kRight},
    {"Label12", "Frame9", Label, "", 40, 36, 374, 20, PGothic9_75Bold, 0xFFFFFF, 42, kBox},
    {"Label23", "Frame9", Label, "STATUS", 6, 65, 53, 15, Gothic8_25, 0xC0C0C0, 126, 0},
    {"Label22", "Frame9", Label, "", 62, 61, 353, 20, PGothic9Bold, 0xFFFFFF, 125, kRed | kBox},
    {"Command34", "", Button, "データを表示\nする", 440, 336, 80, 25, PGothic9, 0xC0C0C0, 43, kHidden},
    {"Command44", "", Button, "STATUS", 432, 376, 65, 17, Gothic8_25Bold, 0xC0FFFF, 50, 0},
    {"Command46", "", Button, "L-TIME", 496, 376, 65, 17, Gothic8_25Bold, 0xC0FFFF, 52, 0},
    {"Command54", "", Button, "TEMP", 560, 376, 65, 17, Gothic8_25Bold, 0xC0FFFF, 61, 0},
    {"Command45", "", Button, "MODE", 432, 392, 65, 17, Gothic8_25Bold, 0xC0FFFF, 51, 0},
    {"Command47", "", Button, "SETTING", 496, 392, 65, 17, Gothic8_25Bold, 0xC0FFFF, 53, 0},
    {"Command55", "", Button, "L-MODE", 560, 392, 65, 17, Gothic8_25Bold, 0xC0FFFF, 62, 0},
    {"Frame11", "", Frame, "", 5, 415, 451, 31, PGothic7_5, 0xC0C0C0, 73, 0},
    {"Label21", "Frame11", Label, "PJ Select", 4, 10, 70, 17, Gothic8_25, 0xC0C0C0, 74, 0},
    {"Option3", "Frame11", Option, "SINGLE", 77, 11, 73, 15, Gothic8_25, 0xC0C0C0, 75, kChecked},
    {"Option4", "Frame11", Option, "ALL", 152, 11, 57, 15, Gothic8_25, 0xC0C0C0, 76, 0},
    {"Option5", "Frame11", Option, "001", 216, 12, 49, 15, Gothic8_25, 0xC0C0C0, 77, 0},
    {"Option6", "Frame11", Option, "002", 272, 12, 49, 15, Gothic8_25, 0xC0C0C0, 78, 0},
    {"Option7", "Frame11", Option, "003", 328, 12, 53, 15, Gothic8_25, 0xC0C0C0, 79, 0},
    {"Option8", "Frame11", Option, "004", 392, 12, 53, 15, Gothic8_25, 0xC0C0C0, 80, 0},
    {"Command38", "", Button, "PC type", 472, 416, 73, 17, Gothic8_25Bold, 0xC0FFFF, 83, 0},
    {"Command12", "", Button, "SETTING 2", 544, 416, 81, 17, Gothic8_25Bold, 0xC0FFFF, 81, 0},
    {"Frame14", "", Frame, "", 8, 449, 393, 72, Gothic9Bold, 0xC0C0C0, 94, 0},
    {"Label15", "Frame14", Label, "1", 8, 16, 17, 17, Gothic9Bold, 0xC0C0C0, 113, 0},
    {"Label16", "Frame14", Label, "2", 8, 32, 17, 17, Gothic9Bold, 0xC0C0C0, 114, 0},
    {"Label24", "Frame14", Label, "3", 8, 48, 17, 17, Gothic9Bold, 0xC0C0C0, 115, 0},
    {"Command63", "Frame14", Button, "DVI", 24, 16, 49, 17, Gothic9, 0xC0FFFF, 95, 0},
    {"Command64", "Frame14", Button, "RGB", 72, 16, 49, 17, Gothic9, 0xC0FFFF, 96, 0},
    {"Command65", "Frame14", Button, "VIDEO", 120, 16, 65, 17, Gothic9, 0xC0FFFF, 97, 0},
    {"Command66", "Frame14", Button, "YPbPr", 184, 16, 65, 17, Gothic9, 0xC0FFFF, 98, 0},
    {"Command67", "Frame14", Button, "YCbCr", 248, 16, 65, 17, Gothic9, 0xC0FFFF, 99, 0},
    {"Command68", "Frame14", Button, "S-VIDEO", 312, 16, 65, 17, Gothic9, 0xC0FFFF, 100, 0},
    {"Command71", "Frame14", Button, "DVI", 24, 32, 49, 17, Gothic9, 0xC0FFFF, 101, 0},
    {"Command72", "Frame14", Button, "RGB", 72, 32, 49, 17, Gothic9, 0xC0FFFF, 102, 0},
    {"Command73", "Frame14", Button, "VIDEO", 120, 32, 65, 17, Gothic9, 0xC0FFFF, 103, 0},
    {"Command74", "Frame14", Button, "YPbPr", 184, 32, 65, 17, Gothic9, 0xC0FFFF, 104, 0},
    {"Command75", "Frame14", Button, "YCbCr", 248, 32, 65, 17, Gothic9, 0xC0FFFF, 105, 0},
    {"Command76", "Frame14", Button, "S-VIDEO", 312, 32, 65, 17, Gothic9, 0xC0FFFF, 106, 0},
    {"Command79", "Frame14", Button, "DVI", 24, 48, 49, 17, Gothic9, 0xC0FFFF, 107, 0},
    {"Command80", "Frame14", Button, "RGB", 72, 48, 49, 17, Gothic9, 0xC0FFFF, 108, 0},
    {"Command81", "Frame14", Button, "VIDEO", 120, 48, 65, 17, Gothic9, 0xC0FFFF, 109, 0},
    {"Command82", "Frame14", Button, "YPbPr", 184, 48, 65, 17, Gothic9, 0xC0FFFF, 110, 0},
    {"Command83", "Frame14", Button, "YCbCr", 248, 48, 65, 17, Gothic9, 0xC0FFFF, 111, 0},
    {"Command84", "Frame14", Button, "S-VIDEO", 312, 48, 65, 17, Gothic9, 0xC0FFFF, 112, 0},
    {"Frame16", "", Frame, "", 496, 450, 129, 63, Gothic9Bold, 0xC0C0C0, 121, 0},
    {"Label27", "Frame16", Label, "FAN SPEED", 23, 19, 81, 17, Gothic9Bold, 0xC0C0C0, 122, 0},
    {"Command97", "Frame16", Button, "MAX", 8, 40, 57, 17, Gothic9Bold, 0xC0FFC0, 123, 0},
    {"Command98", "Frame16", Button, "NOR", 64, 40, 57, 17, Gothic9Bold, 0xC0FFC0, 124, 0},
    {"Frame15", "", Frame, "", 8, 536, 481, 38, Gothic9Bold, 0xC0C0C0, 116, 0},
    {"Label26", "Frame15", Label, "CMD", 8, 16, 33, 17, Gothic9_75, 0xC0C0C0, 120, 0},
    {"Text1", "Frame15", TextBox, "", 40, 11, 337, 23, Gothic9_75Bold, kPlain, 117, 0},
    {"Command95", "Frame15", Button, "SEND", 384, 16, 49, 17, Gothic9Bold, 0xC0FFC0, 118, 0},
    {"Command96", "Frame15", Button, "CLS", 432, 16, 41, 17, Gothic9Bold, 0xFFC0C0, 119, 0},
};

struct Line {
  int x1, y1, x2, y2;
  Qt::PenStyle style;
};

// The light-blue outline of the cursor pad.
constexpr Line kLines[] = {
    {72, 160, 72, 192, Qt::SolidLine},   {144, 160, 144, 192, Qt::DotLine}, {208, 192, 208, 232, Qt::SolidLine},
    {144, 232, 144, 264, Qt::SolidLine}, {72, 232, 72, 264, Qt::SolidLine}, {8, 192, 8, 232, Qt::SolidLine},
    {72, 160, 144, 160, Qt::DotLine},    {8, 192, 72, 192, Qt::SolidLine},  {144, 192, 208, 192, Qt::DashLine},
    {8, 232, 72, 232, Qt::SolidLine},    {72, 264, 144, 264, Qt::SolidLine}, {144, 232, 208, 232, Qt::SolidLine},
};

QPixmap Badge() {
  QPixmap picture(80, 26);
  picture.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient body(0, 0, 0, 26);
  body.setColorAt(0, QColor(0x50, 0x50, 0x70));
  body.setColorAt(1, QColor(0x20, 0x20, 0x30));
  painter.setPen(Qt::NoPen);
  painter.setBrush(body);
  painter.drawRoundedRect(QRectF(1, 3, 78, 20), 5, 5);
  painter.setBrush(QColor(0x80, 0x80, 0xFF));
  painter.drawEllipse(QRectF(5, 6, 14, 14));
  painter.setBrush(QColor(0xE0, 0xF0, 0xFF));
  painter.drawEllipse(QRectF(9, 10, 6, 6));
  QFont font(QStringLiteral("IPAGothic"));
  font.setPixelSize(13);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRectF(22, 3, 56, 20), Qt::AlignCenter, QStringLiteral("VESK Q8"));
  return picture;
}

void Colour(QWidget* widget, int colour) {
  if (colour == kPlain) return;
  QPalette palette = widget->palette();
  palette.setColor(widget->backgroundRole(), QColor::fromRgb(static_cast<QRgb>(colour)));
  widget->setPalette(palette);
  // A push button draws its face in that colour; the others have their background filled.
  widget->setAutoFillBackground(qobject_cast<QPushButton*>(widget) == nullptr);
}

QWidget* Make(const Control& control, QWidget* parent) {
  const QString caption = QString::fromUtf8(control.caption);
  switch (control.kind) {
    case Frame: {
      auto* frame = new QFrame(parent);
      frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
      return frame;
    }
    case Label: {
      auto* label = new QLabel(caption, parent);
      label->setTextFormat(Qt::PlainText);
      label->setAlignment(control.flags & kCentre  ? Qt::AlignCenter
                          : control.flags & kRight ? Qt::AlignVCenter | Qt::AlignRight
                                                   : Qt::AlignVCenter | Qt::AlignLeft);
      if (control.flags & kBox) label->setFrameShape(QFrame::Box);
      if (control.flags & (kDarkRed | kRed)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, control.flags & kRed ? QColor(0xFF, 0, 0) : QColor(0xC0, 0, 0));
        label->setPalette(palette);
      }
      return label;
    }
    case Button: return new QPushButton(caption, parent);
    case Option: {
      auto* option = new QRadioButton(caption, parent);
      option->setChecked(control.flags & kChecked);
      return option;
    }
    case TextBox: return new QLineEdit(parent);
    case Picture: {
      auto* picture = new QLabel(parent);
      picture->setPixmap(Badge());
      picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      return picture;
    }
  }
  return nullptr;
}

}  // namespace

ReferenceWindow::ReferenceWindow()
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("VESK   Q8    CONTROL   Ver.1.41 BASE"));
  QFont fonts[kFontKinds];
  for (int i = 0; i < kFontKinds; ++i) {
    fonts[i] = QFont(QString::fromLatin1(kFonts[i].family));
    fonts[i].setPointSizeF(kFonts[i].points);
    fonts[i].setBold(kFonts[i].bold);
  }
  setFont(fonts[Gothic9Bold]);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
  palette.setColor(QPalette::WindowText, Qt::black);
  setPalette(palette);
  setAutoFillBackground(true);

  QHash<QString, QWidget*> frames;
  std::vector<std::pair<int, QWidget*>> focusChain;
  for (const Control& control : kControls) {
    QWidget* parent = *control.frame ? frames.value(QString::fromLatin1(control.frame)) : this;
    QWidget* widget = Make(control, parent);
    widget->setObjectName(QString::fromLatin1(control.name));
    widget->setGeometry(control.x, control.y, control.width, control.height);
    widget->setFont(fonts[control.font]);
    Colour(widget, control.colour);
    if (control.flags & kHidden) widget->hide();
    if (control.kind == Frame) frames.insert(widget->objectName(), widget);
    if (control.kind == Button || control.kind == Option || control.kind == TextBox) {
      focusChain.emplace_back(control.tab, widget);
    } else {
      widget->setFocusPolicy(Qt::NoFocus);
    }
  }
  std::stable_sort(focusChain.begin(), focusChain.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < focusChain.size(); ++i) setTabOrder(focusChain[i - 1].second, focusChain[i].second);
  setFixedSize(633, 332);
}

void ReferenceWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  QPainter painter(this);
  for (const Line& line : kLines) {
    painter.setPen(QPen(QColor(0x80, 0x80, 0xFF), 2, line.style));
    painter.drawLine(line.x1, line.y1, line.x2, line.y2);
  }
}
