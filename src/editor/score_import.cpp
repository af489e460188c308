#include "editor/score_import.h"

#include "editor/grid_limits.h"
#include "midi/score_notation.h"

#include <algorithm>

namespace editor {
namespace {

// Command words the import passes over; their digits still become the current length.
bool isSkipped(const QString& token)
{
    return token == u"VS" || token == u"YQ" || token == u"YX" || token == u"JP" || token == u"HX";
}

// Tokens written into the grid: the notes, "MA" (no note: the row holds), the rest and the stop.
bool isWritten(const QString& token)
{
    return midi::noteTokenOffset(token) >= 0 || token == u"MA" || token == u"XZ" || token == u"TZ";
}

// Reads the tokens of `text` in order from its first character, each with its length digits,
// until `visit` returns false or the text ends. Returns the read position after the last token.
template <class Visit>
int64_t forEachToken(const QString& text, Visit visit)
{
    const int64_t length = text.size();
    int64_t p = 1;
    for (;;) {
        const midi::ScoreRead read = midi::readScoreToken(text, p);
        p = read.pos;
        const bool more = visit(read);
        p += 1;
        if (!more || p >= length) return p;
    }
}

}  // namespace

bool holdsScore(const QString& text)
{
    bool found = false;
    forEachToken(text, [&](const midi::ScoreRead& read) {
        found = midi::noteTokenOffset(read.token) >= 0 || read.token == u"XZ" || read.token == u"TZ";
        return !found;
    });
    return found;
}

ImportWalk walkScore(const QString& text, int steps, EditorFields& f, Piece& p, midi::SharedState& s)
{
    ImportWalk walk;
    const int endCell = (maxMeasureTotal(steps) + 1) * steps;   // first cell no piece reaches
    f.ScoreLength = int32_t(std::min<int64_t>(text.size(), INT32_MAX));
    const QString blank = QStringLiteral("--");
    int cur = 0;
    const int64_t readEnd = forEachToken(text, [&](const midi::ScoreRead& read) {
        if (read.hasLength) f.TokenDuration = read.length;
        if (isSkipped(read.token)) return true;
        if (cur >= endCell) {
            walk.cut = true;
            return false;
        }
        if (!isWritten(read.token)) {
            p.CellTokens[0][cur] = blank;
            p.CellTokens[1][cur] = blank;
            return true;
        }
        const int16_t code = int16_t(midi::chordTokenCode(read.token));
        for (int r = 0; r < 2; ++r) {
            p.CellTokens[r][cur] = read.token;
            p.CellNotes[r][cur] = code;
        }
        for (int r = 2; r < kMelodyRows; ++r) p.CellNotes[r][cur] = midi::kHoldCode;
        cur += std::clamp(f.TokenDuration, 0, 99) / 2;
        return read.token != u"TZ";   // the stop ends the walk
    });
    f.ScorePos = int32_t(std::min<int64_t>(readEnd, INT32_MAX));

    cur = std::min(cur, endCell - 1);
    s.CurStep = int16_t(cur);
    walk.measureTotal = cur / steps;
    walk.cutMeasure = walk.measureTotal;
    for (int k = 0; k <= cur; ++k)
        for (int r = 0; r < kMelodyRows; ++r)
            if (p.CellNotes[r][k] == 0) p.CellNotes[r][k] = midi::kHoldCode;
    return walk;
}

void rebuildImportedRows(Piece& p, int measureTotal, int steps)
{
    const int last = std::min(measureTotal, maxMeasureTotal(steps));
    for (int m = 0; m <= last; ++m) {
        for (int r = 0; r < kMelodyRows; ++r) {
            QString text;
            for (int k = 0; k < steps; ++k) {
                QString& cell = p.CellTokens[r][m * steps + k];
                if (r < 2 && cell.isEmpty()) cell = QStringLiteral("--");
                text += cell;
            }
            p.MeasureText[r][m] = text;
        }
    }
}

QString importCutText(int measure)
{
    return QStringLiteral("乐谱太长，超出了编辑器的容量，只导入到软件第%1小节！").arg(measure);
}

}  // namespace editor
