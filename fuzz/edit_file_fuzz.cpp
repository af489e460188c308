// Reads arbitrary bytes as an edit file: decode, split into lines, check and load the piece, read
// every measure header. A loadable piece must fit the cell tables, its headers must read back
// within their ranges, and saving it again must give a file that reopens as the same piece.
#include "editor/edit_file.h"
#include "editor/measure_header.h"
#include "forms/textfile.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

namespace {

void checkHeader(const QString& header)
{
    const editor::HeaderFields f = editor::parseMeasureHeader(header);
    for (int row = 0; row < editor::kRows; ++row) {
        const auto& index = f.instrumentIndex[row];
        if (index && (*index < 0 || *index > (row < editor::kMelodyRows ? 128 : 46))) abort();
        if (f.volume[row] && (*f.volume[row] < 0 || *f.volume[row] > 255)) abort();
    }
    if (f.depth && (*f.depth < -20 || *f.depth > 20)) abort();
    if (f.key && (*f.key < 0 || *f.key > 11)) abort();
    if (f.tempo && (*f.tempo < 1 || *f.tempo > 255)) abort();
    if (f.keyText.size() > 2 || f.tempoText.size() > 2) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = forms::splitLines(forms::decodeText(bytes));
    const editor::EditFileResult read = editor::parseEditFile(lines);
    if (!read.piece) {
        if (read.error == editor::EditFileError::None || editor::editFileErrorText(read.error).isEmpty()) abort();
        return 0;
    }
    const editor::EditPiece& piece = *read.piece;
    if (piece.steps < 1 || piece.steps > 32) abort();
    if (!editor::pieceFits(piece.measureTotal, piece.steps)) abort();
    if (piece.headers.size() != size_t(piece.measureTotal) + 1 || piece.rows.size() != piece.headers.size()) abort();

    static midi::SharedState& state = *new midi::SharedState;   // too large for the stack
    static editor::EditorFields& fields = *new editor::EditorFields;
    editor::loadEditPiece(piece, state, fields);
    if (state.MeasureTotal != piece.measureTotal) abort();
    for (int m = 0; m <= piece.measureTotal; ++m) checkHeader(fields.MeasureHeaders[m]);

    editor::normaliseForSaving(state, fields, piece.measureTotal, piece.steps);
    const editor::EditFileResult again = editor::parseEditFile(editor::editFileLines(state, fields, piece.measureTotal));
    if (!again.piece || again.piece->steps != piece.steps || again.piece->measureTotal != piece.measureTotal) abort();
    return 0;
}
