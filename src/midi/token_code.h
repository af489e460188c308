#pragma once
// The one code space of two-letter note and chord tokens, shared by the main window's chord
// patterns and the score editor's cells.
#include <QString>
#include <QStringView>

namespace midi {

constexpr int kRestCode = 254;   // "XZ": end the note, start nothing
constexpr int kHoldCode = 255;   // anything else: nothing new, the note goes on

// Code of a two-character token, compared exactly (upper case only):
// notes "LC" 0 .. "MG" 55 (register L W K H M = 0 12 24 36 48, note C D E F G A B =
// 0 2 4 5 7 9 11; "MA" and "MB" are not notes), whole chords "CC" "DM" "EM" "FF" "GM" "AM"
// 65..70, "XZ" 254, anything else 255.
int tokenCode(QStringView token);

inline bool isNoteCode(int code) { return code >= 0 && code <= 55; }
inline bool isChordCode(int code) { return code >= 65 && code <= 70; }

}  // namespace midi
