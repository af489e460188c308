#include "editor/step_sequencer.h"

#include "editor/editor_fields.h"
#include "editor/score_model.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/score_notation.h"
#include "midi/state.h"

#include <algorithm>

namespace editor {
namespace {

constexpr int16_t kFullLevel = 120;
constexpr int16_t kAccentLevel = 80;
constexpr int kLowestKey = 35;       // percussion list item 0
constexpr int kReleaseRange = 65;    // a chord's release: BaseNote .. BaseNote + 64
const QString kStopToken = QStringLiteral("TZ");

bool inCells(int32_t cell) { return cell >= 0 && cell < kCells; }

bool isChordCode(int code) { return code > 64 && code < 80; }

// The accented steps of a software measure of S steps.
bool isAccentStep(int S, int step)
{
    switch (S) {
    case 16: return step == 4 || step == 12;
    case 24: return step == 4 || step == 8 || step == 16 || step == 20;
    case 32: return step % 4 == 0 && step != 0 && step != 16;
    default: return false;
    }
}

void rememberStartedNote(int row, int note)
{
    auto& started = fields().StartedNotes[row];
    if (started.count < int16_t(started.notes.size())) started.notes[started.count++] = int16_t(note);
}

// The percussion message of row `row` (7..11) as its instrument and volume stand now.
void preparePercussionCell(int row, int32_t cell)
{
    auto& s = midi::state();
    midi::PercussionCell& c = s.PercussionCells[row - kMelodyRows][cell];
    c.Note = int16_t(piece().TrackInstrument[row] + kLowestKey);
    c.Volume = s.TrackVolume[row];
    c.Msg = midi::PercussionMsg(c.Note, c.Volume);
}

}  // namespace

CellAction cellAction(int code, const QString& token)
{
    if (code < 64 && token != kStopToken) return CellAction::Note;
    if (isChordCode(code)) return CellAction::Chord;
    if (code == midi::kRestCode || token == kStopToken) return CellAction::Release;
    return CellAction::Hold;
}

int16_t stepCrescendoLevel(int16_t level, bool crescendoOn, int crescStep, int32_t curStep, int S, int32_t measure)
{
    const int64_t first = int64_t(S) * measure;
    const bool secondHalf = first + (S - 1) / 2 < curStep && curStep < first + S;
    if (crescendoOn && (crescStep > 0 || (crescStep <= -1 && secondHalf)))
        return int16_t(std::clamp(level + crescStep, 0, int(kFullLevel)));
    return kFullLevel;
}

int16_t restingCrescendoLevel(int crescStep) { return crescStep > 0 ? 0 : kFullLevel; }

int16_t beatAccentLevel(int S, int stepInMeasure, int16_t crescLevel)
{
    if (S == 32 && crescLevel < kFullLevel) return crescLevel;
    return isAccentStep(S, stepInMeasure) ? kAccentLevel : kFullLevel;
}

void sendStepExpression(int16_t crescLevel, int16_t accentLevel)
{
    for (int16_t c = 0; c <= 4; ++c) midi::SendShortMsg(int16_t(0xB0 + c), 11, crescLevel);
    for (int16_t c : {5, 6, 9}) midi::SendShortMsg(int16_t(0xB0 + c), 11, accentLevel);
}

bool preparePlayback(int S, int32_t shownMeasure, int32_t lastMeasure)
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    if (S <= 0 || !pieceFits(lastMeasure, S) || !pieceFits(shownMeasure, S) || shownMeasure < 0) return false;
    const int32_t cells = (lastMeasure + 1) * S;
    for (int r = 0; r < kMelodyRows; ++r)
        for (int32_t cell = 0; cell < cells; ++cell) {
            f.CurToken = p.CellTokens[r][cell];
            SYYPSB();
            p.CellNotes[r][cell] = p.TokenNote;
        }
    for (int r = kMelodyRows; r < kRows; ++r) {
        for (int k = 0; k < S; ++k) preparePercussionCell(r, shownMeasure * S + k);
        for (int32_t cell = 0; cell < cells; ++cell)
            s.PercussionCells[r - kMelodyRows][cell].Hit = p.CellTokens[r][cell] == QLatin1String("O") ? -1 : 0;
    }
    return true;
}

bool preparePercussionStep(int32_t cell)
{
    if (!inCells(cell)) return false;
    for (int r = kMelodyRows; r < kRows; ++r) preparePercussionCell(r, cell);
    return true;
}

bool soundStep()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int32_t cell = s.CurStep;
    if (!inCells(cell)) return false;
    midi::PlayCurStep();
    for (int t = 0; t < kMelodyRows; ++t) {
        const int code = p.CellNotes[t][cell];
        const bool sounding = p.TrackInstrument[t] >= 0;   // not the silent "0.无声"
        switch (cellAction(code, p.CellTokens[t][cell])) {
        case CellAction::Note:
            releaseRow(t);
            if (sounding) {
                const int note = code + s.BaseNote;
                midi::NoteOn(int16_t(t), int16_t(note), s.TrackVolume[t]);
                rememberStartedNote(t, note);
            }
            f.PrevNote[t] = int16_t(code);
            break;
        case CellAction::Chord:
            releaseRow(t);
            s.ChordCode = int16_t(code);
            s.ChordChannel = int16_t(t);
            if (sounding) {
                midi::PlayChord();
                // The notes PlayChord has just sounded: the chord's offsets above BaseNote.
                for (int i = 1; i <= 4; ++i)
                    if (!s.ChordOffsets[i].isEmpty()) rememberStartedNote(t, s.ChordOffsets[i].toInt() + s.BaseNote);
            }
            f.PrevNote[t] = int16_t(code);
            break;
        case CellAction::Release:
            releaseRow(t);
            break;
        case CellAction::Hold:
            break;
        }
    }
    return true;
}

void releaseStartedNotes(int row, int from, int to)
{
    auto& started = fields().StartedNotes[row];
    for (int i = 0; i < started.count; ++i) {
        const int note = started.notes[i];
        if (note < from || note > to) midi::NoteOff(int16_t(row), int16_t(note));
    }
    started.count = 0;
}

void releaseRow(int row)
{
    const auto& s = midi::state();
    const int last = fields().PrevNote[row];
    if (isChordCode(last)) {
        for (int k = 0; k < kReleaseRange; ++k) midi::NoteOff(int16_t(row), int16_t(s.BaseNote + k));
        releaseStartedNotes(row, s.BaseNote, s.BaseNote + kReleaseRange - 1);
    } else {
        const int note = last + s.BaseNote;
        midi::NoteOff(int16_t(row), int16_t(note));
        releaseStartedNotes(row, note, note);
    }
}

void allMelodyNotesOff()
{
    const auto& s = midi::state();
    for (int c = 0; c < kMelodyRows; ++c) {
        for (int k = 0; k < kReleaseRange; ++k) midi::NoteOff(int16_t(c), int16_t(s.BaseNote + k));
        releaseStartedNotes(c, s.BaseNote, s.BaseNote + kReleaseRange - 1);
    }
}

}  // namespace editor
