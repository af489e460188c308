#pragma once
// The score notation and its token codes: two-letter tokens, each optionally followed by a length
// of one or two digits, written with nothing between them. Plain functions that both windows
// share: the score player, the score panel, the chord patterns, the editor's cells and its import.
#include "forms/textfile.h"

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace midi {

// What a token asks the player to do.
enum class ScoreTokenKind {
    Note,          // sound a note for its length
    Rest,          // "XZ": all melody notes off for its length
    Stop,          // "TZ": end of the score
    Tempo,         // "VS" n: tempo list entry n
    Rhythm,        // "JP" n: rhythm file n, or 99 to untick automatic synchronisation
    Instruments,   // "YQ" n: instrument group n
    Invalid,       // anything else: the score error
};

// Semitones above the base note of a note token: register L W K H M (0, 12, 24, 36, 48) plus
// note C D E F G A B (0, 2, 4, 5, 7, 9, 11); "MA" and "MB" are not notes. -1 for anything else.
int noteTokenOffset(QStringView token);

// Code of a two-character token, compared exactly (upper case only), as the chord patterns and
// the editor's cells use it: the notes "LC" 0 .. "MG" 55 (semitones above the base note), the
// whole chords "CC" "DM" "EM" "FF" "GM" "AM" 65..70, "XZ" 254, anything else 255 (nothing new).
constexpr int kRestCode = 254;   // "XZ": end the note, start nothing
constexpr int kHoldCode = 255;   // anything else: the note goes on
int chordTokenCode(QStringView token);
inline bool isChordCode(int code) { return code >= 65 && code <= 70; }

// The kind of a token (exact upper-case comparison).
ScoreTokenKind scoreTokenKind(QStringView token);

// One token read at a 1-based read position, with the read position's movement as the player
// makes it.
struct ScoreRead {
    QString token;            // the two characters at the position (fewer at the end of the text)
    ScoreTokenKind kind = ScoreTokenKind::Invalid;
    int note = -1;            // offset of a note token
    bool hasLength = false;   // digits followed the token
    int length = 0;           // their value 0..99; 0 without digits
    // The read position after the digits were taken: on the token's last letter or last digit
    // when at least one character follows the token, else still on its first letter. The
    // player moves one further to reach the next token.
    int64_t pos = 1;
};

// Reads the token at `pos` (a value below 1 counts as 1). A third digit is not read: it begins
// the next token.
ScoreRead readScoreToken(const QString& text, int64_t pos);

// The largest score file the windows open. A token takes two to four characters: two hours of
// playing five notes a second is about 110 KB, so 128 KB holds any score a person plays or
// types, and the score boxes still show it at once (a bigger single line takes them longer).
inline constexpr qint64 kScoreFileLimit = 128 * 1024;

// A score file as the main window opens it: every line appended with nothing between them
// (CR LF, LF or CR line ends; GBK, UTF-8 or UTF-16). nullopt when the file cannot be read, is
// bigger than kScoreFileLimit, is not text or holds nothing but line ends (`why` tells which).
std::optional<QString> readScoreFile(const QString& path, forms::ReadFailure* why = nullptr);
// The score a file's bytes hold, as readScoreFile gives it; nullopt when they are not text or hold
// nothing but line ends (`why` tells which).
std::optional<QString> scoreFromFileBytes(const QByteArray& bytes, forms::ReadFailure* why = nullptr);
// What the windows say when they refuse a score file bigger than kScoreFileLimit.
QString scoreFileTooLargeText();
// Why a score file gave no score: too large, not text, empty, or not readable.
QString scoreFileRefusalText(forms::ReadFailure why);

// The text with every line break (CR LF, LF or CR) written as CR LF, as score files keep them.
QString withCrLfBreaks(const QString& text);

// Writes a score file: the text, its line breaks as CR LF, followed by CR LF. False when the
// file could not be written.
bool writeScoreFile(const QString& path, const QString& text);

}  // namespace midi
