#pragma once
// Texts and values of the main window's panels that need no widget: the clock label, the
// scrolling credit line, the melody velocities and the showcase page.
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace keyboard {

// The clock label: "yyyy-mm-dd hh-mm-ss" (24-hour clock, hyphens between all fields of the time).
QString clockText(const QDateTime& when);

// The credit line turned left by one character: the first character moves to the end.
QString rotateLeft(const QString& text);

// The credit line that scrolls below the keyboard map.
QString creditLine();

// A melody velocity from the text of its list: the leading number, rounded with halves to the
// even neighbour, kept within 0..127 (a typed text that is no number gives 0).
int16_t velocityFromText(const QString& text);

// The showcase page shipped in the program folder.
QString showcasePath();

}  // namespace keyboard
