#include "editor/score_model.h"

#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "forms/conv.h"
#include "midi/score_notation.h"
#include "midi/state.h"

#include <algorithm>

namespace editor {
namespace {

const QString kEmptyToken = QStringLiteral("--");
const QString kNoHit = QStringLiteral("-");
const QString kHit = QStringLiteral("O");

bool isMelodyRow(int row) { return row >= 0 && row < kMelodyRows; }

// A cell the edit file writes as empty: the empty text, "-", "--", a blank.
bool isEmptyCell(const QString& token) { return token < QStringLiteral("1"); }

// The last cell a piece of measures 0..measureTotal covers.
int32_t lastCellOf(int32_t measureTotal, int S) { return measureTotal * S + S - 1; }

// The piece's length in cells at S steps per measure: the length it keeps when that ends within
// its last measure, else the whole measures 0..MeasureTotal.
int64_t pieceCells(int S)
{
    const int64_t whole = (int64_t(std::max(piece().MeasureTotal, 0)) + 1) * S;
    const int64_t kept = fields().PieceCells;
    return kept > whole - S && kept <= whole ? kept : whole;
}

// The last measure of a piece of `cells` cells (1 or more) at S steps per measure.
int64_t measureTotalOf(int64_t cells, int S) { return (cells + S - 1) / S - 1; }

// A commit that leaves something to play past the piece's end makes the piece reach it: a measure
// beyond the piece becomes its last one.
void reachMeasure(int row, int32_t measure, int S)
{
    auto& p = piece();
    int k = S - 1;
    while (k >= 0 && !isPlayedCell(row, p.CellTokens[row][measure * S + k])) --k;
    const int64_t end = int64_t(measure) * S + k + 1;
    if (k < 0 || end <= pieceCells(S)) return;
    if (measure > p.MeasureTotal) setMeasureTotal(measure, S);
    fields().PieceCells = int32_t(end);
}

// Empties the cells of a measure as the empty boxes show them: "--" (code 255) in melody rows,
// "-" without a hit in percussion rows.
void emptyMeasureCells(int32_t measure, int S)
{
    auto& s = midi::state();
    auto& p = piece();
    for (int r = 0; r < kRows; ++r)
        for (int k = 0; k < S; ++k) {
            const int cell = measure * S + k;
            if (isMelodyRow(r)) {
                p.CellTokens[r][cell] = kEmptyToken;
                p.CellNotes[r][cell] = midi::kHoldCode;
            } else {
                p.CellTokens[r][cell] = kNoHit;
                s.PercussionCells[r - kMelodyRows][cell].Hit = 0;
            }
        }
}

}  // namespace

void setMeasureTotal(int32_t measureTotal, int S)
{
    piece().MeasureTotal = measureTotal;
    fields().PieceCells = 0;   // the piece fills its last measure
    fields().LastStep = lastCellOf(measureTotal, S);
}

void SYYPSB()
{
    piece().TokenNote = int16_t(midi::chordTokenCode(fields().CurToken));
}

bool isPlayedCell(int row, const QString& token)
{
    return isMelodyRow(row) ? !isEmptyCell(token) : token == kHit;
}

QString commitMelodyRow(int row, int32_t measure, const QString& text, int S)
{
    QString t = text.toUpper();
    if (t.size() < 2 * S) t += QString(2 * S - t.size(), QLatin1Char('-'));
    if (!isMelodyRow(row) || !pieceFits(measure, S)) return t;
    auto& p = piece();
    auto& f = fields();
    p.MeasureText[row][measure] = t;
    for (int k = 0; k < S; ++k) {
        const int cell = measure * S + k;
        p.CellTokens[row][cell] = t.mid(2 * k, 2);
        f.CurToken = p.CellTokens[row][cell];
        SYYPSB();
        p.CellNotes[row][cell] = p.TokenNote;
    }
    reachMeasure(row, measure, S);
    return t;
}

void commitPercussionStep(int row, int32_t measure, int step, bool ticked, int S)
{
    if (isMelodyRow(row) || row >= kRows || step < 0 || step >= S || !pieceFits(measure, S)) return;
    auto& p = piece();
    auto& cells = p.CellTokens[row];
    cells[measure * S + step] = ticked ? kHit : kNoHit;
    QString text;
    for (int k = 0; k < S; ++k) {
        QString& c = cells[measure * S + k];
        if (c.isEmpty()) c = kNoHit;
        text += c;
    }
    p.MeasureText[row][measure] = text;
    reachMeasure(row, measure, S);
}

void clearMeasure(int32_t measure, int S)
{
    if (!pieceFits(measure, S)) return;
    auto& p = piece();
    for (int r = 0; r < kMelodyRows; ++r) {
        p.MeasureText[r][measure].clear();
        for (int k = 0; k < S; ++k) {
            p.CellTokens[r][measure * S + k] = kEmptyToken;
            p.CellNotes[r][measure * S + k] = midi::kHoldCode;
        }
    }
    // Percussion rows: the text goes; every ticked step is unticked as its box would be.
    for (int r = kMelodyRows; r < kRows; ++r) {
        p.MeasureText[r][measure].clear();
        for (int k = 0; k < S; ++k)
            if (p.CellTokens[r][measure * S + k] == kHit) commitPercussionStep(r, measure, k, false, S);
    }
}

bool canInsertMeasure(int S)
{
    const int32_t next = fields().CurMeasure + 1;
    return next >= 1 && next <= maxMeasureTotal(S);
}

void reachHeaderMeasure(int32_t measure, int S)
{
    if (measure > piece().MeasureTotal && pieceFits(measure, S)) setMeasureTotal(measure, S);
}

bool insertMeasure(int S)
{
    if (!canInsertMeasure(S)) return false;
    auto& f = fields();
    const int32_t next = f.CurMeasure + 1;
    auto& p = piece();
    for (int r = 0; r < kRows; ++r) p.MeasureText[r][next].clear();
    emptyMeasureCells(next, S);
    f.CurMeasure = next;
    // Inserting at the end leaves one more empty measure behind the new one, where it fits.
    if (p.MeasureTotal <= next) setMeasureTotal(std::min(next + 1, maxMeasureTotal(S)), S);
    else f.LastStep = lastCellOf(p.MeasureTotal, S);
    return true;
}

MeasureCountResult measureCountAnswer(const std::optional<QString>& answer, int S)
{
    if (!answer) return {};
    const QString text = answer->trimmed();
    std::optional<int16_t> n = forms::toInt16(text);
    if (!n) {
        // A number too large for the box's whole numbers is out of range; anything else is no
        // answer at all.
        bool numeric = false;
        text.toDouble(&numeric);
        if (!numeric) return {};
        return {MeasureCountResult::OutOfRange, 0, maxMeasureTotal(S)};
    }
    if (*n == 0) return {};
    if (*n < 1 || *n > maxMeasureTotal(S)) return {MeasureCountResult::OutOfRange, 0, maxMeasureTotal(S)};
    return {MeasureCountResult::Set, *n, 0};
}

void QKYP()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    for (int r = 0; r < kRows; ++r) {
        for (QString& c : p.CellTokens[r]) c.clear();
        for (QString& t : p.MeasureText[r]) t.clear();
    }
    for (int j = 0; j < kPercussionRows; ++j)
        for (auto& cell : s.PercussionCells[j]) cell.Hit = 0;
    for (QString& h : f.MeasureHeaders) h.clear();
    p.MeasureTotal = 0;
    f.PieceCells = 0;
}

bool fitsStepsPerMeasure(int oldS, int newS)
{
    return pieceFits(measureTotalOf(pieceCells(oldS), newS), newS);
}

bool changeStepsPerMeasure(int oldS, int newS)
{
    if (!fitsStepsPerMeasure(oldS, newS)) return false;
    auto& p = piece();
    // The piece keeps its length in cells, so that changing back gives back its measures.
    const int64_t cells = pieceCells(oldS);
    setMeasureTotal(int32_t(measureTotalOf(cells, newS)), newS);
    fields().PieceCells = int32_t(cells);
    const int measures = kCells / newS;
    for (int r = 0; r < kRows; ++r)
        for (int m = 0; m < kMeasureSlots; ++m) {
            QString& text = p.MeasureText[r][m];
            text.clear();
            if (m >= measures) continue;
            bool anything = false;
            for (int k = 0; k < newS && !anything; ++k) anything = !p.CellTokens[r][m * newS + k].isEmpty();
            if (anything) text = measureRowText(r, m, newS);
        }
    return true;
}

QString measureRowText(int row, int32_t measure, int S)
{
    if (!pieceFits(measure, S) || row < 0 || row >= kRows) return {};
    const auto& cells = piece().CellTokens[row];
    const QString& empty = isMelodyRow(row) ? kEmptyToken : kNoHit;
    QString text;
    for (int k = 0; k < S; ++k) {
        const QString& c = cells[measure * S + k];
        text += isEmptyCell(c) ? empty : c;
    }
    return text;
}

}  // namespace editor
