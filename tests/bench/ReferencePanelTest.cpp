// The start-up reference is only a fair yardstick while it builds the panel's window: the same
// controls of the same classes, where the panel has them, with the captions, fonts and colours
// it shows. A change of the panel that the reference does not follow fails here.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontInfo>
#include <QLabel>
#include <QRegularExpression>

#include "ReferencePanel.h"
#include "WindowTest.h"

namespace {

QString Caption(const QWidget* w) {
  if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
  if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
  return {};
}

// What the two must agree on, in one line a control, so a failure names everything that differs.
std::string Describe(const QWidget* w) {
  const QFontInfo font(w->font());
  const auto* button = qobject_cast<const QAbstractButton*>(w);
  const QRect g = w->geometry();
  // The face asked for as well as the one drawn: asking for a face the system lacks costs a
  // fallback search the reference does not make.
  return QStringLiteral("%1 in %2 at %3,%4 %5x%6 \"%7\" %8 (asked for %9) %10pt%11 on %12 in %13%14%15")
      .arg(QString::fromLatin1(w->metaObject()->className()), w->parentWidget()->objectName())
      .arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height())
      .arg(Caption(w), font.family(), w->font().families().join(QLatin1Char('/')))
      .arg(w->font().pointSizeF()).arg(font.bold() ? " bold" : "")
      .arg(w->palette().color(w->backgroundRole()).name(), w->palette().color(w->foregroundRole()).name())
      .arg(w->isHidden() ? ", hidden" : "", button != nullptr && button->isChecked() ? ", checked" : "")
      .toStdString();
}

class ReferencePanelTest : public WindowTest {};

TEST_F(ReferencePanelTest, BuildsThePanelsControlsWithTheirPlacesCaptionsFontsAndColours) {
  const ReferenceWindow reference;
  const QList<QWidget*> controls = window.findChildren<QWidget*>(QRegularExpression(QStringLiteral(".")));
  ASSERT_EQ(controls.size(), 134);
  ASSERT_EQ(reference.findChildren<QWidget*>(QRegularExpression(QStringLiteral("."))).size(), 134);
  for (const QWidget* control : controls) {
    const auto* copy = reference.findChild<QWidget*>(control->objectName());
    ASSERT_NE(copy, nullptr) << control->objectName().toStdString();
    EXPECT_EQ(Describe(copy), Describe(control)) << control->objectName().toStdString();
  }
  EXPECT_EQ(reference.size(), window.size());
  EXPECT_EQ(reference.windowTitle(), window.windowTitle());
}

}  // namespace
