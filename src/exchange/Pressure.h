#pragma once

#include <string_view>

// The leading decimal number of a text with every blank ignored: optional sign, digits, optional
// fraction and exponent. 0 when no number starts the text.
double LeadingNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour.
double RoundHalfEven(double value);

// Air pressure in hPa from the raw reading of the pressure sensor, already rounded.
// The original did this in 16-bit arithmetic and overflowed outside -6553..6553; this works for
// any reading a device can send.
long long PressureHpa(double rawReading);
