#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

// Creates every control of the panel layout on `window`, each with its control name as object
// name, inside its frame, and chains the focus order. Returns the controls by name.
QHash<QString, QWidget*> BuildPanel(QWidget* window);

class QPushButton;

// Shows `caption` on the button, on as many lines as its width needs.
void SetCaption(QPushButton* button, const QString& caption);

// The small picture at the top right, 80 x 26 pixels.
QPixmap Image1Picture();
