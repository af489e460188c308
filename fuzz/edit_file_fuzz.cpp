// Reads arbitrary bytes as an edit file (the file itself, within its size limit): check and load
// the piece, read every measure header. A file over the limit is refused unread; a loadable piece
// must fit the cell tables, its headers must read back within their ranges, and saving it again
// must give a file that reopens as the same piece.
#include "fuzz_file.h"
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
    const QByteArray bytes = fuzz_file::bytesOf(data, size, editor::maxEditFileBytes());
    static const fuzz_file::Folder folder;
    const QString name = QStringLiteral("乐曲 1.lnk");
    if (!folder.write(name, bytes)) abort();
    const editor::EditFileResult read = editor::readEditFile(folder.file(name));
    if (bytes.size() > editor::maxEditFileBytes()) {
        if (read.piece || read.error != editor::EditFileError::TooLarge) abort();
        return 0;
    }
    // Bytes that are not text, or hold nothing but line ends, are refused before any check.
    const auto text = forms::decodeIfText(bytes);
    const QStringList lines = text ? forms::splitLines(*text) : QStringList();
    editor::EditFileResult parsed;
    if (!text)
        parsed.error = editor::EditFileError::NotText;
    else if (lines.join(QString()).isEmpty())
        parsed.error = editor::EditFileError::Empty;
    else
        parsed = editor::parseEditFile(lines);
    if (bool(read.piece) != bool(parsed.piece) || read.error != parsed.error) abort();
    if (!read.piece) {
        if (read.error == editor::EditFileError::None || read.error == editor::EditFileError::Unreadable ||
            editor::editFileErrorText(read.error).isEmpty())
            abort();
        return 0;
    }
    const editor::EditPiece& piece = *read.piece;
    if (piece.steps < 1 || piece.steps > 32) abort();
    if (!editor::pieceFits(piece.measureTotal, piece.steps)) abort();
    const size_t measures = size_t(piece.measureTotal) + 1;
    if (piece.headers.size() != measures || piece.rows.size() != measures) abort();

    static editor::Piece& tables = *new editor::Piece;   // too large for the stack
    static editor::EditorFields& fields = *new editor::EditorFields;
    editor::loadEditPiece(piece, tables, fields);
    if (tables.MeasureTotal != piece.measureTotal) abort();
    for (int m = 0; m <= piece.measureTotal; ++m) checkHeader(fields.MeasureHeaders[m]);

    editor::normaliseForSaving(tables, fields, piece.measureTotal, piece.steps);
    const QStringList saved = editor::editFileLines(tables, fields, piece.measureTotal, piece.steps);
    const editor::EditFileResult again = editor::parseEditFile(saved);
    if (!again.piece || again.piece->steps != piece.steps || again.piece->measureTotal != piece.measureTotal) abort();
    return 0;
}
