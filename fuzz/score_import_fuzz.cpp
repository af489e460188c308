// Imports arbitrary bytes as the text of a score file (decoded, refused when not text, and its
// lines joined as the file reader does; the reading of files and their size limit are the score notation target's) at
// 2/4, 3/4 or 4/4 by the input's first byte, with the length the last import left by its second
// byte, as the editor's import does (a text without a note, rest or stop is refused). The write position must stay on a cell of the piece, the
// piece within the tables, and the rebuilt rows of the imported measures exactly S tokens long.
// Each run starts from an empty piece and costs what its own walk costs: it empties again only
// the cells and measures it reached, and nothing touches the disk.
#include "editor/grid_limits.h"
#include "editor/score_import.h"
#include "midi/score_notation.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size - 2 > size_t(midi::kScoreFileLimit)) return 0;
    const int steps = editor::stepsForTimeSignature(data[0] % 3);
    const auto read = midi::scoreFromFileBytes(QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2)));
    // Bytes that are not text, and a text without a note, rest or stop, are refused before the
    // piece is touched.
    if (!read || !editor::holdsScore(*read)) return 0;
    const QString& text = *read;

    static midi::SharedState& state = *new midi::SharedState;
    static editor::Piece& tables = *new editor::Piece;   // too large for the stack, empty
    static editor::EditorFields& fields = *new editor::EditorFields;
    fields.TokenDuration = data[1] % 100;

    const editor::ImportWalk walk = editor::walkScore(text, steps, fields, tables, state);
    if (fields.TokenDuration < 0 || fields.TokenDuration > 99) abort();
    if (walk.measureTotal < 0 || !editor::pieceFits(walk.measureTotal, steps)) abort();
    if (state.CurStep < 0 || state.CurStep >= (walk.measureTotal + 1) * steps) abort();
    if (walk.cut && walk.cutMeasure != editor::maxMeasureTotal(steps)) abort();
    if (fields.ScorePos < 1 || fields.ScorePos > text.size() + 2) abort();
    if (fields.ScoreLength != text.size()) abort();
    editor::rebuildImportedRows(tables, walk.measureTotal, steps);
    for (int m = 0; m <= walk.measureTotal; ++m)
        for (int r = 0; r < 2; ++r)
            if (tables.MeasureText[r][m].size() != 2 * steps) abort();

    // The piece is emptied again where this run wrote, so that the next run starts as this one
    // did and every text this run made is freed by its end.
    const int cells = (walk.measureTotal + 1) * steps;
    for (int r = 0; r < editor::kMelodyRows; ++r) {
        std::memset(tables.CellNotes[r].data(), 0, size_t(cells) * sizeof(tables.CellNotes[r][0]));
        for (int m = 0; m <= walk.measureTotal; ++m) tables.MeasureText[r][m].clear();
    }
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < cells; ++c) tables.CellTokens[r][c].clear();
    return 0;
}
