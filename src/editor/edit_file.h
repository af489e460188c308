#pragma once
// The edit file (".lnk"): the whole piece of the score editor as text, one block of 13 lines per
// software measure: its measure header (or its number alone as 4 digits when it never had one),
// the seven melody rows (S two-character tokens each) and the five percussion rows (S characters
// "O" or "-"). No file header, no trailer; CR LF line ends. S is not stored: a reader takes it as
// half the length of the first melody row.
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace editor {

constexpr int kBlockLines = 1 + kRows;    // header + twelve rows
constexpr int kMaxEditFileLines = 10000;  // an edit file holds at most 10000 lines
constexpr int kMaxSteps = 32;             // the widest software measure (4/4)

// The largest file a loadable piece can take: every line at its longest (a header of an older
// version with seven silent rows is 102 characters; 128 are allowed), CR LF, a UTF-8 mark.
qint64 maxEditFileBytes();

// Before saving: every cell of measures 0..measureTotal that sorts before "1" (empty, "-", "--",
// a blank) becomes "--" in the melody rows and "-" in the percussion rows; every row text is
// rebuilt from its cells; a header of 4 characters or fewer becomes the measure's number in 4
// digits. Only measures whose cells lie within the tables are touched (S is 1 or more).
void normaliseForSaving(Piece& p, EditorFields& f, int measureTotal, int steps);

// The lines of the edit file of measures 0..measureTotal at S steps (those within the tables):
// each header, then its twelve row texts.
QStringList editFileLines(const Piece& p, const EditorFields& f, int measureTotal, int steps);

// The lines "保存编辑" would write for measures 0..measureTotal at S steps, read off the cells
// and headers as they stand, changing nothing.
QStringList linesAsSaved(const EditorFields& f, int measureTotal, int steps);

// Writes the lines, each followed by CR LF, replacing the file whole; false when it could not
// be written (an old file stays as it was).
bool writeEditFile(const QString& path, const QStringList& lines);

// A piece read from an edit file and found loadable.
struct EditPiece {
    int steps = 0;          // S: half the length of the first melody row, 1..32
    int measureTotal = 0;   // last software measure, (measureTotal + 1) x S <= 10000
    std::vector<QString> headers;                    // per measure
    std::vector<std::array<QString, kRows>> rows;    // per measure; lines a short file lacks are empty
};

enum class EditFileError { None, Unreadable, NotText, Empty, BadSteps, TooLarge };

struct EditFileResult {
    std::optional<EditPiece> piece;
    EditFileError error = EditFileError::None;
};

// Checks the lines of an edit file and splits them into measures: refused when there is no
// line, when S is 0 or above 32, or when the piece does not fit the 10000 cells of a row (or
// the file has more than 10000 lines).
EditFileResult parseEditFile(const QStringList& lines);

// Reads and checks an edit file; a file larger than maxEditFileBytes() is refused unread, one
// that is not text or holds nothing but line ends is refused too.
EditFileResult readEditFile(const QString& path);

// The message a refused file shows.
QString editFileErrorText(EditFileError error);

// Puts a checked piece into the tables: `MeasureTotal`, `StepsPerMeasure`, the headers and row
// texts of every measure, and the cells: percussion cells take character k of their row (empty
// beyond its end), melody cells characters 2k-1 and 2k (an empty token becoming "--") with
// their token codes.
void loadEditPiece(const EditPiece& read, Piece& p, EditorFields& f);

}  // namespace editor
