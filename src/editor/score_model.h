#pragma once
// The editor's score model: a piece is a row of software measures (two musical measures each)
// of S sixteenth-note steps, cell = measure x S + step in every row of editor::piece(). Rows
// 0..6 hold two-character tokens, rows 7..11 "O" (hit) or "-". These functions are what the
// window's rows, step boxes and commands do to the tables; they need no widget.
//
// Every function keeps (MeasureTotal + 1) x S <= 10000 and touches no cell beyond 9999.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

namespace editor {

// The token converter: TokenNote = the code of CurToken (notes 0..55, chords 65..70, "XZ" 254,
// anything else 255).
void SYYPSB();

// Commits the text typed into melody row `row` (0..6) into measure `measure`: upper case,
// padded with "-" to 2 x S characters, stored as the measure's row text and split into S
// tokens with their codes. Returns the text the row's box shows afterwards. A token left in a
// measure beyond MeasureTotal makes that measure the last one of the piece; a token past the
// piece's end within its last measure makes the piece reach it.
QString commitMelodyRow(int row, int32_t measure, const QString& text, int S);

// Commits step `step` of percussion row `row` (7..11) in measure `measure`: "O" when ticked,
// else "-"; the row's other empty cells of the measure become "-" and its text is rebuilt. A
// hit beyond the piece's end makes the piece reach it, as a melody token does.
void commitPercussionStep(int row, int32_t measure, int step, bool ticked, int S);

// "保存" on a measure beyond MeasureTotal: the piece reaches that measure (within the cells), so
// that its header is saved with it.
void reachHeaderMeasure(int32_t measure, int S);

// "清空": the measure's melody rows become empty texts over "--" cells (code 255), and every
// hit of its percussion rows is taken out ("-").
void clearMeasure(int32_t measure, int S);

// True when a measure follows CurMeasure within the cells, so that "插入" can move to it.
bool canInsertMeasure(int S);

// "插入": moves CurMeasure to the next measure, whose texts and cells are emptied ("--"/255,
// "-" without a hit; its header stays), and makes the piece reach past it. False, with nothing
// changed, when the next measure would not fit the cells.
bool insertMeasure(int S);

// The piece becomes software measures 0..measureTotal of S steps, filling its last measure:
// MeasureTotal and LastStep.
void setMeasureTotal(int32_t measureTotal, int S);

// "设置": what the answer to "how many measures" (nullopt = Cancel) asks for; nothing changes.
struct MeasureCountResult {
    enum Kind { Unchanged, Set, OutOfRange } kind = Unchanged;
    int measureTotal = 0;   // for Set: the new MeasureTotal
    int highest = 0;        // for OutOfRange: the largest answer that fits, 10000 / S - 1
};
MeasureCountResult measureCountAnswer(const std::optional<QString>& answer, int S);

// Clears the whole piece: tokens, hits and texts of rows 0..11 in all 10000 cells, every measure
// header, MeasureTotal 0. The codes of CellNotes and the measure flags stay.
void QKYP();

// True when the piece of oldS steps per measure fits the cells at newS steps per measure (both
// 1 or more).
bool fitsStepsPerMeasure(int oldS, int newS);

// A new time signature: the cells stay where they are and the piece keeps its length in cells;
// MeasureTotal becomes the measure that holds its last cell under the new S, so changing back
// gives back the measures it had. Every measure's row texts are rebuilt from the cells. False,
// with nothing changed, when the piece would not fit the cells under the new S.
bool changeStepsPerMeasure(int oldS, int newS);

// The S cells of a measure's row joined, each empty cell (anything that sorts before "1": empty,
// "-", "--", a blank) written as "--" in melody rows and "-" in percussion rows.
QString measureRowText(int row, int32_t measure, int S);

// True when a melody row's text or a percussion row's mark leaves something to play: a melody
// token other than the empty "--", or a hit "O".
bool isPlayedCell(int row, const QString& token);

}  // namespace editor
