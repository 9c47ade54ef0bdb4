#pragma once

#include <QAbstractButton>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>

// Return, or Enter on the keypad, clicks the focused button it watches, as Space does: the
// desktop convention that a focused push button takes Return. QPushButton does that by itself
// only as a dialog's default button.
//
// Like Space, the click comes when the key is let go, and once however long it was held. A click
// on the press would open whatever box the click brings while the key is still down, and the key's
// auto-repeat would then press that box's OK before anyone had read it.
class ReturnClicks : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (button == nullptr) return false;
    if (event->type() == QEvent::FocusOut && button == armed_) {
      // The focus left before the key came up: nothing is clicked.
      armed_ = nullptr;
      return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) return false;
    const bool press = event->type() == QEvent::KeyPress;
    if (press && (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) return false;
    if (!press && button != armed_) return false;
    // Auto-repeat comes as pairs of release and press marked as repeated: neither counts.
    if (key->isAutoRepeat()) return true;
    if (press) {
      armed_ = button;
      button->setDown(true);
    } else {
      armed_ = nullptr;
      button->setDown(false);
      button->click();
    }
    return true;
  }

 private:
  QPointer<QAbstractButton> armed_;  // the button Return went down on, until it comes up
};
