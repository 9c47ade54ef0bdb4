#pragma once

#include <QWidget>

// The panel's compact window built the plain way (see ReferencePanel.cpp).
class ReferenceWindow : public QWidget {
 public:
  ReferenceWindow();

 protected:
  void paintEvent(QPaintEvent* event) override;
};
