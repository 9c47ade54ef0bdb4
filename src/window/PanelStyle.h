#pragma once

#include <QColor>
#include <QFont>
#include <QStyle>

#include "window/layout/ControlLayout.h"

// The two Japanese Gothic faces the panel was drawn with are not on a Linux desktop; IPAGothic
// and IPAPGothic share their metrics and carry the same characters.
void InstallFontSubstitutes();

QFont FontOf(FontKey key);
// An invalid colour for Colour::Standard: the platform's own colour for the kind of control.
QColor ColourOf(Colour colour);

// How the panel's coloured buttons are drawn: flat in the palette's Button colour with a thin
// raised border, sunken and darker while pressed, the border dotted while the button has the
// focus. One style for all of them; the button's palette gives the colour.
QStyle* FlatButtonStyle();
