// Walks arbitrary text as the editor's score import does, at 2/4, 3/4 or 4/4 by the input's
// first byte. The write position must stay on a cell of the piece, the piece within the
// tables, and the rebuilt rows of the imported measures exactly S tokens long.
#include "editor/grid_limits.h"
#include "editor/score_import.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const int steps = editor::stepsForTimeSignature(data[0] % 3);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    static midi::SharedState& state = *new midi::SharedState;   // too large for the stack
    static editor::EditorFields& fields = *new editor::EditorFields;   // the length carries over
    for (int m = 0; m <= editor::maxMeasureTotal(steps); ++m)
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k < steps; ++k) state.CellTokens[r][m * steps + k].clear();

    const editor::ImportWalk walk = editor::walkScore(text, steps, fields, state);
    if (fields.TokenDuration < 0 || fields.TokenDuration > 99) abort();
    if (walk.measureTotal < 0 || !editor::pieceFits(walk.measureTotal, steps)) abort();
    if (state.CurStep < 0 || state.CurStep >= (walk.measureTotal + 1) * steps) abort();
    if (fields.ScorePos < 1 || fields.ScorePos > text.size() + 2) abort();
    if (fields.ScoreLength != text.size()) abort();
    editor::rebuildImportedRows(state, walk.measureTotal, steps);
    for (int m = 0; m <= walk.measureTotal; ++m)
        for (int r = 0; r < 2; ++r)
            if (state.MeasureText[r][m].size() != 2 * steps) abort();
    return 0;
}
