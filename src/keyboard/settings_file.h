#pragma once
// The settings file "velqor.ini" in the program folder: 52 value lines, no header.
//   lines 1..36   instrument index of F1..F12, layers 1..3, key-major (line = 3 * key + layer + 1)
//   lines 37..46  percussion index of keypad digits 0..9 (General MIDI key = value + 35)
//   lines 47..52  WAV file names of Ins, Home, PgUp, Del, End, PgDn in the effect folder
// Numbers are written as the print statement writes them (" 3 ", "-1 ") and read back as 16-bit
// integers rounding halves to even; lines after the 52nd are ignored.
#include "midi/state.h"

#include <QString>
#include <QStringList>

namespace keyboard {

inline constexpr int kSettingsLineCount = 52;

// AppFolder & "velqor.ini".
QString SettingsPath(const QString& appFolder);
// The text a fresh settings file holds: the default settings (string 508) and one line end.
QString DefaultSettingsText();
// Writes the default settings file; false (old file kept) when it cannot be written.
bool WriteDefaultSettings(const QString& appFolder);

// Takes the first 52 lines into PresetTable, KeypadDrums with the keypad's prepared messages
// (PercussionCells column 5) and EffectWavNames. All or nothing: false, with the tables
// untouched, when there are fewer than 52 lines, a number line is not a 16-bit integer or a
// keypad value is outside -163..92 (its key times 256 must stay a 16-bit integer).
bool ApplySettingsLines(const QStringList& lines, midi::SharedState& s);

enum class SettingsRead { Missing, Read, Damaged };
// Reads the settings file into the tables; a missing file leaves them as they are.
SettingsRead ReadSettingsFile(const QString& appFolder, midi::SharedState& s);

// The 52 lines the tables are saved as.
QStringList SettingsLines(const midi::SharedState& s);
// Writes the tables as the settings file; false (old file kept) on failure.
bool WriteSettingsFile(const QString& appFolder, const midi::SharedState& s);

}  // namespace keyboard
