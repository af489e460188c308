// Imports arbitrary bytes as a score file (read within its size limit, lines joined) at 2/4, 3/4
// or 4/4 by the input's first byte, as the editor's import does. The write position must stay on
// a cell of the piece, the piece within the tables, and the rebuilt rows of the imported
// measures exactly S tokens long.
#include "fuzz_file.h"
#include "editor/grid_limits.h"
#include "editor/score_import.h"
#include "midi/score_notation.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const int steps = editor::stepsForTimeSignature(data[0] % 3);
    const QByteArray bytes = fuzz_file::bytesOf(data + 1, size - 1, midi::kScoreFileLimit);
    static const fuzz_file::Folder folder;
    if (!folder.write(QStringLiteral("乐谱.txt"), bytes)) abort();
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto read = midi::readScoreFile(folder.file(QStringLiteral("乐谱.txt")), &why);
    if (bytes.size() > midi::kScoreFileLimit) {
        if (read || why != forms::ReadFailure::TooLarge) abort();
        return 0;
    }
    if (!read) abort();
    const QString& text = *read;
    static midi::SharedState& state = *new midi::SharedState;   // too large for the stack
    static editor::EditorFields& fields = *new editor::EditorFields;   // the length carries over
    // Rows 0 and 1 start empty, as after clearing the piece: only the cells the last walk
    // reached are cleared again.
    static int reached = editor::kCells;
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < reached; ++c) state.CellTokens[r][c].clear();

    const editor::ImportWalk walk = editor::walkScore(text, steps, fields, state);
    if (fields.TokenDuration < 0 || fields.TokenDuration > 99) abort();
    if (walk.measureTotal < 0 || !editor::pieceFits(walk.measureTotal, steps)) abort();
    if (state.CurStep < 0 || state.CurStep >= (walk.measureTotal + 1) * steps) abort();
    if (fields.ScorePos < 1 || fields.ScorePos > text.size() + 2) abort();
    if (fields.ScoreLength != text.size()) abort();
    reached = (walk.measureTotal + 1) * steps;
    editor::rebuildImportedRows(state, walk.measureTotal, steps);
    for (int m = 0; m <= walk.measureTotal; ++m)
        for (int r = 0; r < 2; ++r)
            if (state.MeasureText[r][m].size() != 2 * steps) abort();
    return 0;
}
