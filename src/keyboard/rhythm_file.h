#pragma once
// The rhythm pattern record: one text line of 77 characters that holds the rhythm grid, its three
// percussion voices, the velocity and the metre.
#include <QString>
#include <array>
#include <optional>

namespace keyboard {

constexpr int kRhythmRows = 3;          // grid rows A, B, C
constexpr int kRhythmBoxes = 17;        // boxes 0..16 per row (16 is stored for row C only)
constexpr int kRhythmSounding = 16;     // steps 0..15 can sound
constexpr int kRhythmVelocities = 8;    // velocity list entries "50" .. "120"
constexpr int kRhythmVoices = 47;       // percussion list entries, key = index + 35
constexpr int kRhythmRecordLength = 77;
constexpr int kRhythmMinLength = 62;    // everything up to the first character of the name
// The largest rhythm file read. A record is 77 characters and a line end, 79 bytes; 4 KB holds
// it in any encoding with room for stray lines after it, and nothing bigger is a rhythm file.
constexpr qint64 kRhythmFileLimit = 4096;

enum Metre { Metre24 = 0, Metre34 = 1, Metre44 = 2 };

struct RhythmPattern {
    int velocityIndex = 5;                 // 0..7
    int metre = Metre24;                   // 0..2
    std::array<int, kRhythmRows> voices{}; // percussion list indexes 0..46
    std::array<std::array<bool, kRhythmBoxes>, kRhythmRows> ticked{};

    bool operator==(const RhythmPattern&) const = default;
};

// The name field: the title without blanks around it, left-aligned in 16 characters.
QString rhythmNameField(const QString& title);

// The 77-character record (without line end) for a pattern whose fields are all in range.
QString rhythmRecord(const RhythmPattern& pattern, const QString& title);

// Reads a record; the text may carry a line end and anything after position 61. Every field is
// checked before anything is returned: at least 62 characters, hexadecimal digits in positions
// 1-10, velocity 0..7, metre 0..2, voices 0..46. The name is not read.
std::optional<RhythmPattern> parseRhythmRecord(const QString& text);

// The text of a rhythm file for the grid. nullopt when the file cannot be read; an empty text
// (which the grid refuses as a damaged record) when it is bigger than kRhythmFileLimit, without
// reading it.
std::optional<QString> readRhythmFileText(const QString& path);

}  // namespace keyboard
