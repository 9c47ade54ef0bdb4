#pragma once

// Geometry is designed in twips; at 96 dpi a pixel is 15 twips. Qt's high-DPI scaling takes
// care of larger screens.
inline constexpr int kTwipsPerPixel = 15;

constexpr int Px(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

// The window frame the design counted on: the full panel's outer 9100 less its 8730 client.
inline constexpr int kDesignFrameTwips = 370;
inline constexpr int kClientWidthTwips = 9495;
