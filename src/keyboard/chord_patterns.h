#pragma once
// Chord accompaniment patterns: the pattern lines of the two chord voices, their codes, the rows
// of the chords on degrees 2..6 derived from chord I, progressions and the pattern-line file.
#include "midi/score_notation.h"

#include <QString>
#include <QStringView>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace keyboard {

// Codes by chord row (1..6 = chord on scale degree 1..6) and step (0..15 voice 1, 16..31
// voice 2). Row 0, row 7 and steps 32..64 stay 0.
using ChordPatternTable = std::array<std::array<int32_t, 65>, 8>;

constexpr int kPatternSteps = 16;         // steps of one voice line
constexpr int kPatternLineLength = 32;    // 16 two-character tokens
constexpr int kMaxProgression = 9;        // digits the progression box holds


// The lines the voices take when the pattern file has just been created or cannot be used.
extern const QString kBuiltInVoice1;      // "CC--WG--KC--WG--CE--WG--LB--WG--"
extern const QString kBuiltInVoice2;      // "LG--WC----------LG--WC----------"
// The pattern file's name in the program folder.
extern const QString kPatternFileName;    // "HxJzMx.txt"

// Row 1 from the two voice lines read as one text: step k is the two characters from
// position 2k (fewer at the end), so voice 2 starts wherever voice 1 ends.
void parseChordPattern(ChordPatternTable& table, const QString& voice1, const QString& voice2);
// Rows 2..6 from row 1, steps 0..31.
void deriveChordRows(ChordPatternTable& table);
// The code that chord I's code `code` becomes in the chord on `degree` (1..6).
int derivedCode(int code, int degree);

// An edited pattern line: upper case, filled up to 32 characters with "-", blanks in the
// first 32 characters made "-".
QString normalisePatternLine(const QString& text);

// The degrees of a progression text, each character "1".."6"; nullopt at the first other
// character. An empty text gives no degrees.
std::optional<std::vector<int>> parseProgression(const QString& text);
// The six built-in progressions "145", "1645", "1625", "125", "13625", "1365".
const std::array<QString, 6>& builtInProgressions();

// The entry (1..count) that a random number in [0, 1) picks: the nearest integer to
// rnd * count, a half going to the even one, and 0 taken as 1.
int pickEntry(double rnd, int count);
// The chord tab's one random generator, seeded once from the system; numbers in [0, 1).
double nextRandom();
// Makes the generator repeatable (tests).
void seedRandom(uint32_t seed);

// The largest pattern file read. A line is 34 bytes and the voices draw from the first 100;
// "保存" appends at most two lines, so 256 KB (some 7700 lines) holds years of saved patterns.
constexpr qint64 kPatternFileLimit = 256 * 1024;

// The pattern lines available to the voices.
struct PatternPool {
    enum class Source { Read, Created, Unavailable, TooLarge };
    Source source = Source::Unavailable;
    QStringList lines;   // the file's lines when it was read
};

// Reads the pattern file at `path`, or creates it with `defaultText` (one line per text line,
// each ended by CR LF) when it does not exist. A created file is not read this time; a file
// bigger than kPatternFileLimit is not read at all.
PatternPool loadPatternPool(const QString& path, const QString& defaultText);

enum class AppendResult { NoFile, Unreadable, TooLarge, Unchanged, Appended, WriteFailed };
// Appends the lines among `voice1` and `voice2` that the file does not hold yet (compared
// exactly), voice 1 first; a last line without its line end is ended first. A missing file is
// not created; one bigger than kPatternFileLimit is left as it is.
AppendResult appendPatternLines(const QString& path, const QString& voice1, const QString& voice2);
// What the chord tab says about a pattern file bigger than kPatternFileLimit.
QString patternFileTooLargeText();

}  // namespace keyboard
