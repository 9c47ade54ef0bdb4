#pragma once

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>

// Return, or Enter on the keypad, clicks the focused button it watches, as Space does: the
// desktop convention that a focused push button takes Return. QPushButton does that by itself
// only as a dialog's default button. A key held down clicks once, like Space.
class ReturnClicks : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    if ((key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr) return false;
    if (!key->isAutoRepeat()) button->click();
    return true;
  }
};
