#include "editor/edit_file.h"

#include "editor/score_model.h"
#include "forms/textfile.h"
#include "midi/score_notation.h"

#include <algorithm>

namespace editor {
namespace {

constexpr int kHeaderAllowance = 128;

// Bytes of the largest piece of S steps: as many measures as the cells and the line limit
// allow, each line at its longest with CR LF.
constexpr qint64 largestPieceBytes(int steps)
{
    const qint64 measures = std::min(kCells / steps, kMaxEditFileLines / kBlockLines);
    const qint64 block = (kHeaderAllowance + 2) + kMelodyRows * (2 * steps + 2)
                         + kPercussionRows * (steps + 2);
    return measures * block;
}

constexpr qint64 largestEditFileBytes()
{
    qint64 most = 0;
    for (int steps = 1; steps <= kMaxSteps; ++steps) most = std::max(most, largestPieceBytes(steps));
    return most + 3;   // a UTF-8 mark
}

// The last measure whose cells lie within the tables at S steps.
int lastMeasureInTables(int measureTotal, int steps)
{
    return std::min(measureTotal, maxMeasureTotal(steps));
}

// The first line of a measure's block: its header, or its number in 4 digits when it has none.
QString headerAsSaved(const QString& header, int measure)
{
    return header.size() < 5 ? QStringLiteral("%1").arg(measure, 4, 10, QLatin1Char('0')) : header;
}

}  // namespace

qint64 maxEditFileBytes() { return largestEditFileBytes(); }

void normaliseForSaving(Piece& p, EditorFields& f, int measureTotal, int steps)
{
    const int last = lastMeasureInTables(measureTotal, steps);
    const QString one = QStringLiteral("1");
    for (int m = 0; m <= last; ++m) {
        for (int r = 0; r < kRows; ++r) {
            const QString blank = r < kMelodyRows ? QStringLiteral("--") : QStringLiteral("-");
            QString text;
            for (int k = 0; k < steps; ++k) {
                QString& cell = p.CellTokens[r][m * steps + k];
                if (cell < one) cell = blank;
                text += cell;
            }
            p.MeasureText[r][m] = text;
        }
        f.MeasureHeaders[m] = headerAsSaved(f.MeasureHeaders[m], m);
    }
}

QStringList editFileLines(const Piece& p, const EditorFields& f, int measureTotal, int steps)
{
    QStringList lines;
    const int last = lastMeasureInTables(measureTotal, steps);
    for (int m = 0; m <= last; ++m) {
        lines << f.MeasureHeaders[m];
        for (int r = 0; r < kRows; ++r) lines << p.MeasureText[r][m];
    }
    return lines;
}

QStringList linesAsSaved(const EditorFields& f, int measureTotal, int steps)
{
    QStringList lines;
    const int last = lastMeasureInTables(measureTotal, steps);
    for (int m = 0; m <= last; ++m) {
        lines << headerAsSaved(f.MeasureHeaders[m], m);
        for (int r = 0; r < kRows; ++r) lines << measureRowText(r, m, steps);
    }
    return lines;
}

bool writeEditFile(const QString& path, const QStringList& lines) { return forms::writeLines(path, lines); }

EditFileResult parseEditFile(const QStringList& lines)
{
    EditFileResult result;
    const qsizetype n = lines.size();
    if (n == 0) {
        result.error = EditFileError::Empty;
        return result;
    }
    if (n > kMaxEditFileLines) {
        result.error = EditFileError::TooLarge;
        return result;
    }
    const int steps = n > 1 ? int(lines[1].size() / 2) : 0;
    if (steps < 1 || steps > kMaxSteps) {
        result.error = EditFileError::BadSteps;
        return result;
    }
    const int measureTotal = int((n - 1) / kBlockLines);
    if (!pieceFits(measureTotal, steps)) {
        result.error = EditFileError::TooLarge;
        return result;
    }

    EditPiece piece;
    piece.steps = steps;
    piece.measureTotal = measureTotal;
    for (qsizetype first = 0; first < n; first += kBlockLines) {
        piece.headers.push_back(lines[first]);
        std::array<QString, kRows>& rows = piece.rows.emplace_back();
        for (int r = 0; r < kRows; ++r) rows[r] = lines.value(first + 1 + r);
    }
    result.piece = std::move(piece);
    return result;
}

EditFileResult readEditFile(const QString& path)
{
    EditFileResult result;
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto text = forms::readTextFile(path, maxEditFileBytes(), &why);
    if (!text) {
        result.error = why == forms::ReadFailure::TooLarge ? EditFileError::TooLarge
                       : why == forms::ReadFailure::NotText ? EditFileError::NotText
                       : why == forms::ReadFailure::Empty   ? EditFileError::Empty
                                                            : EditFileError::Unreadable;
        return result;
    }
    return parseEditFile(forms::splitLines(*text));
}

QString editFileErrorText(EditFileError error)
{
    switch (error) {
    case EditFileError::Unreadable: return QStringLiteral("无法读取这个编辑文件，请检查！");
    case EditFileError::Empty: return QStringLiteral("这个编辑文件是空的，无法打开！");
    case EditFileError::NotText:
    case EditFileError::BadSteps: return QStringLiteral("这不是有效的编辑文件，无法打开！");
    case EditFileError::TooLarge: return QStringLiteral("这个编辑文件超出了编辑器的容量(每行最多10000步)，无法打开！");
    case EditFileError::None: break;
    }
    return QString();
}

void loadEditPiece(const EditPiece& read, Piece& p, EditorFields& f)
{
    const int steps = read.steps;
    p.MeasureTotal = read.measureTotal;
    f.StepsPerMeasure = int16_t(steps);
    for (int m = 0; m <= read.measureTotal; ++m) {
        f.MeasureHeaders[m] = read.headers[m];
        for (int r = 0; r < kRows; ++r) {
            const QString& text = read.rows[m][r];
            p.MeasureText[r][m] = text;
            for (int k = 0; k < steps; ++k) {
                const int cell = m * steps + k;
                if (r >= kMelodyRows) {
                    p.CellTokens[r][cell] = text.mid(k, 1);
                    continue;
                }
                QString token = text.mid(2 * k, 2);
                if (token.isEmpty()) token = QStringLiteral("--");
                p.CellTokens[r][cell] = token;
                p.CellNotes[r][cell] = int16_t(midi::chordTokenCode(token));
            }
        }
    }
}

}  // namespace editor
