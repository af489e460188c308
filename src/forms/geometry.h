#pragma once
// Twips and the 16-colour palette.
#include <QColor>

namespace forms {

constexpr int kTwipsPerPixel = 15;
constexpr int twipsToPx(int twips) { return twips / kTwipsPerPixel; }
constexpr int pxToTwips(int px) { return px * kTwipsPerPixel; }

// Colour 0..15 of the 16-colour console palette (other numbers give black).
QColor QBColor(int index);

}  // namespace forms
