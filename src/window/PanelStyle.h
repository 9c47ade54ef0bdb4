#pragma once

#include <QColor>
#include <QFont>

#include "window/layout/ControlLayout.h"

// The two Japanese Gothic faces the panel was drawn with are not on a Linux desktop; IPAGothic
// and IPAPGothic share their metrics and carry the same characters.
void InstallFontSubstitutes();

QFont FontOf(FontKey key);
// An invalid colour for Colour::Standard: the platform's own colour for the kind of control.
QColor ColourOf(Colour colour);
