#pragma once
// Number and text conversions with the classic runtime's semantics.
#include <QString>
#include <cstdint>
#include <optional>

namespace forms {

// Rounds halves to even (62.5 -> 62, 63.5 -> 64).
int CInt(double v);
// Floors (-1.5 -> -2).
int Int(double v);
// Reads the leading number of a text ("12abc" -> 12, " 7" -> 7, "abc" -> 0, "&H1F" -> 31).
double Val(const QString& s);
// Strict conversion of a whole text to a 16-bit integer (blanks around allowed, rounding halves
// to even); nullopt when the text is not a number or does not fit -32768..32767.
std::optional<int16_t> toInt16(const QString& s);
// Number to text as the runtime writes it: a leading space for non-negative numbers (" 7", "-1").
QString Str(long long v);
// Number as the print statement writes it to a file: sign position, digits, one trailing space
// (" 3 ", "-1 ").
QString PrintNumber(long long v);

}  // namespace forms
