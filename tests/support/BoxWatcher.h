#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Answers every modal message box the window opens, as an operator clicking OK would, and keeps
// their texts. Lives for one test.
class BoxWatcher {
 public:
  BoxWatcher() {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.append(box->text());
        icons.append(box->icon());
        box->accept();
      }
    });
    timer_.start();
  }

  QStringList texts;
  QList<QMessageBox::Icon> icons;

 private:
  QTimer timer_;
};
