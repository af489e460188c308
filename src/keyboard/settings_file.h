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
#include <array>
#include <cstdint>
#include <optional>

namespace keyboard {

inline constexpr int kSettingsLineCount = 52;
inline constexpr int kPresetKeys = 12;       // F1..F12
inline constexpr int kPresetLayers = 3;      // melody layers 1..3
inline constexpr int kKeypadDigits = 10;     // keypad 0..9
inline constexpr int kEffectKeys = 6;        // Ins, Home, PgUp, Del, End, PgDn
inline constexpr int kInstrumentItems = 129; // instrument list "0.无声" .. "128.枪声"
inline constexpr int kPercussionItems = 47;  // percussion list, item k = key 35 + k
inline constexpr int kKeypadVelocity = 100;  // velocity of the keypad drums as read from the file

// The three tables as the file holds them.
struct KeySettings {
    std::array<std::array<int16_t, kPresetLayers>, kPresetKeys> presets{};
    std::array<int16_t, kKeypadDigits> drums{};
    std::array<QString, kEffectKeys> effects;

    bool operator==(const KeySettings&) const = default;
};

// AppFolder & "velqor.ini".
QString SettingsPath(const QString& appFolder);
// The text a fresh settings file holds: the default settings (string 508) and one line end.
QString DefaultSettingsText();
// Writes the default settings file; false (old file kept) when it cannot be written.
bool WriteDefaultSettings(const QString& appFolder);

// Reads the first 52 lines as settings. nullopt when they cannot be: fewer than 52 lines, a
// number line that is not a 16-bit integer, or a keypad value outside -163..92 (its key times
// 256 must stay a 16-bit integer).
std::optional<KeySettings> parseKeySettings(const QStringList& lines);
// The 52 lines the settings are saved as.
QStringList keySettingsLines(const KeySettings& settings);
// The default settings text read as settings.
KeySettings defaultKeySettings();
// Replaces every value outside its list (instrument 0..128, drum -1..46) by the default of its
// own line, so that no list is ever set to an index it lacks. Returns how many were replaced.
int repairKeySettings(KeySettings& settings, const KeySettings& defaults);

// The tables of a state, and setting them (with the keypad drums' prepared messages at
// velocity 100).
KeySettings currentKeySettings(const midi::SharedState& s);
void applyKeySettings(const KeySettings& settings, midi::SharedState& s);

// Takes the first 52 lines into PresetTable, KeypadDrums with the keypad's prepared messages
// (PercussionCells column 5) and EffectWavNames, values outside their lists repaired first.
// All or nothing: false, with the tables untouched, when the lines cannot be read as settings.
bool ApplySettingsLines(const QStringList& lines, midi::SharedState& s);

// The largest settings file read: 46 short numbers and six file names take a few KB; a bigger
// file is damaged and is not read.
inline constexpr qint64 kSettingsFileLimit = 64 * 1024;

// The file an effect name stands for in the effect folder "音效" of `appFolder`; empty when the
// name cannot be a file of that folder (forms::isPlainFileName): such a name stands for a
// missing file, so that no name in the settings file reaches outside the folder.
QString EffectFilePath(const QString& appFolder, const QString& name);
// The status line after an effect sound was asked for: its name and "_音效", or a text saying
// that it cannot be played when its file is there but is no sound the player can decode.
QString EffectStatusText(const QString& name, bool unplayable);

enum class SettingsRead { Missing, Read, Damaged };
// Reads the settings file into the tables; a missing file leaves them as they are. Damaged: it
// could not be read as settings (or is bigger than kSettingsFileLimit), the tables untouched.
SettingsRead ReadSettingsFile(const QString& appFolder, midi::SharedState& s);

// AppFolder & "velqor.ini.bad": where a damaged settings file is kept before the defaults
// replace it.
QString DamagedSettingsPath(const QString& appFolder);
// Copies the settings file to DamagedSettingsPath, replacing an older copy; false when the
// copy could not be written whole (the older copy then stays).
bool KeepDamagedSettings(const QString& appFolder);

// The 52 lines the tables are saved as.
QStringList SettingsLines(const midi::SharedState& s);
// Writes the tables as the settings file; false (old file kept) on failure.
bool WriteSettingsFile(const QString& appFolder, const midi::SharedState& s);

}  // namespace keyboard
