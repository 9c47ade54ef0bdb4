#pragma once

#include <QColor>
#include <QFont>
#include <QStyle>

#include "window/layout/ControlLayout.h"

// The two Japanese Gothic faces the panel was drawn with are not on a Linux desktop; IPAGothic
// and IPAPGothic share their metrics and carry the same characters.
void InstallFontSubstitutes();

// The face, size and weight the design gives each font.
QFont FontOf(FontKey key);
// The same font as the controls are given it: under the name of its substitute where that is
// installed, else under the design's face.
QFont PanelFont(FontKey key);
// An invalid colour for Colour::Standard: the platform's own colour for the kind of control.
QColor ColourOf(Colour colour);

// How the panel's coloured buttons are drawn: flat in the palette's Button colour with a thin
// raised border, sunken and darker while pressed, the border dotted while the button has the
// focus. One style for all of them; the button's palette gives the colour.
QStyle* FlatButtonStyle();
