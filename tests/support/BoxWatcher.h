#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

// Answers every modal message box the window opens, as an operator clicking OK would, and keeps
// their texts. Given steps, it first plays them, one on each menu, box or dialog that comes up, in
// order, as the operator would through its widgets. Lives for one test.
class BoxWatcher {
 public:
  using Step = std::function<void(QWidget*)>;

  explicit BoxWatcher(std::vector<Step> steps = {}) : steps_(std::move(steps)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* up = QApplication::activePopupWidget();
      if (up == nullptr) up = QApplication::activeModalWidget();
      if (up == nullptr || up == last_) return;
      last_ = up;
      auto* box = qobject_cast<QMessageBox*>(up);
      if (box != nullptr) {
        texts.append(box->text());
        icons.append(box->icon());
      }
      if (next_ < steps_.size()) steps_[next_++](up);
      else if (box != nullptr) box->accept();
    });
    timer_.start();
  }

  bool Done() const { return next_ == steps_.size(); }

  QStringList texts;
  QList<QMessageBox::Icon> icons;

 private:
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  QPointer<QWidget> last_;
  QTimer timer_;
};
