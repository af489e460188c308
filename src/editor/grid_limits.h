#pragma once
// The editor's grid: software measures of S steps (a sixteenth each) laid end to end over the
// 10000 cells of every row of the piece (editor::piece()). Every command that sizes, loads or
// plays a piece keeps (MeasureTotal + 1) x S within those cells.
#include <cstdint>

namespace editor {

constexpr int kCells = 10000;          // cells 0..9999 of each row
constexpr int kMelodyRows = 7;         // rows 0..6: two-character tokens, channels 0..6
constexpr int kPercussionRows = 5;     // rows 7..11: step boxes, percussion columns 0..4
constexpr int kRows = kMelodyRows + kPercussionRows;

// Steps of one software measure for the time-signature option 0 ("2/4"), 1 ("3/4"), 2 ("4/4").
int stepsForTimeSignature(int option);

// The time-signature option of S steps, or -1 when no option has S steps.
int timeSignatureForSteps(int steps);

// The highest measure index a piece of S steps per measure may reach: 10000 / S - 1.
int maxMeasureTotal(int steps);

// True when measures 0..measureTotal of S steps fit into the cells.
bool pieceFits(int64_t measureTotal, int steps);

}  // namespace editor
