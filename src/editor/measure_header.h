#pragma once
// The measure header: one 60-character line that keeps a software measure's own settings (the
// instrument and volume of each of the twelve rows, crescendo depth, vibrato and crescendo flags,
// key and tempo), packed by "保存" and applied whenever the measure is shown or played.
//
//   positions  1-4   measure number, 4 decimal digits (never read)
//              5-52  per row i = 0..11: instrument (2 hex digits) then volume (2 hex digits)
//             53-54  crescendo depth + 20, 2 decimal digits (00..40)
//             55,56  vibrato flag, crescendo flag ("0" or "1")
//             57-58  key, 2 decimal digits (00..11)
//             59-60  tempo in beats per minute, 2 hex digits
// Hex digits are written upper case.
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"

#include <QString>
#include <array>
#include <optional>

namespace editor {

constexpr int kHeaderLength = 60;
constexpr int kSilentProgram = 0xFF;   // a melody row set to "0.无声"

// The settings of the window as "保存" reads them.
struct MeasureSettings {
    // List index of each row's instrument list: rows 0..6 item k = GM program k - 1 (item 0
    // silent), rows 7..11 item k = percussion key k + 35.
    std::array<int, kRows> instrumentIndex{};
    std::array<int, kRows> volume{};   // integer part of each row's volume text
    int depth = 0;                     // crescendo depth -20..20
    int vibrato = 0;                   // check box values 0 or 1
    int crescendo = 0;
    int key = 0;                       // key list index 0..11
    int tempo = 80;                    // tempo text, nearest whole number
};

// What "保存" stores for one measure: the header and the per-measure copies of its fields.
struct PackedHeader {
    QString header;                          // 60 characters
    QString key;                             // positions 57-58
    QString tempo;                           // positions 59-60
    QString depth;                           // positions 53-54
    QString flags;                           // positions 55-56
    std::array<int, kRows> trackInstrument{};   // rows 0..6 GM program (-1 silent), 7..11 list index
    std::array<int, kRows> trackVolume{};
};

// Packs the settings of software measure `measure`. Values that do not fit two characters are
// kept within them: a silent melody row packs as "FF", volumes within 0..127, the depth within
// -20..20 and the tempo within 1..255, so the header is always 60 characters.
PackedHeader packMeasureHeader(int measure, const MeasureSettings& settings);

// A header read back, field by field. A field is set only when it is present, written as its
// format says (hex or decimal digits) and within range; an empty field leaves its control and
// everything that follows from it as it is.
struct HeaderFields {
    // Rows 0..6: the instrument list index (GM program + 1; a value of 0x80 or more, as the
    // silent "FF", gives item 0); rows 7..11: the percussion list index 0..46.
    std::array<std::optional<int>, kRows> instrumentIndex;
    std::array<std::optional<int>, kRows> volume;   // 0..255
    std::optional<int> depth;                       // -20..20
    std::optional<int> vibrato;                     // 0 or 1
    std::optional<int> crescendo;                   // 0 or 1
    std::optional<int> key;                         // 0..11
    std::optional<int> tempo;                       // 1..255
    QString keyText;                                // positions 57-58 as they stand
    QString tempoText;                              // positions 59-60 as they stand
};

// Keeps a packed header for software measure `measure` (0..9999): the header and its key, tempo,
// depth and flags in the per-measure tables.
void storeMeasureHeader(EditorFields& f, int measure, const PackedHeader& packed);

// Reads a header. A header of 60 + 6k characters (k = 1..7) whose melody instrument slots hold
// "FFFFFFFF" (silent rows as older versions wrote them) is read with each such slot as "FF";
// any other text is read at the fixed positions.
HeaderFields parseMeasureHeader(const QString& header);

// The track instrument a header's list index stands for: rows 0..6 the GM program (-1 for the
// silent item 0), rows 7..11 the list index itself.
int trackInstrumentForIndex(int row, int listIndex);

// True when `header` counts as a header: longer than 4 characters (a bare measure number, as an
// edit file writes a measure that never had one, is none).
inline bool hasHeader(const QString& header) { return header.size() > 4; }

}  // namespace editor
