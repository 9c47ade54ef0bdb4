#pragma once

#include <QEvent>
#include <QObject>
#include <functional>

// Lets the window see every key press before the control that has the focus. An application
// filter of its own, so that the window's widget filters do not see each event twice.
class KeyPreview : public QObject {
 public:
  using Handler = std::function<void(QObject* receiver, QEvent* keyPress)>;
  KeyPreview(QObject* parent, Handler handler) : QObject(parent), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) handler_(watched, event);
    return false;  // never consumed
  }

 private:
  Handler handler_;
};
