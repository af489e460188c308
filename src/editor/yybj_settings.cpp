// The settings controls of the editor: tempo, key, row volumes and instruments, crescendo
// depth, the vibrato and crescendo flags and the MIDI output device.
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "editor/measure_header.h"
#include "editor/step_sequencer.h"
#include "editor/yybj.h"
#include "forms/conv.h"
#include "forms/focus.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/score_notation.h"
#include "midi/state.h"

#include <algorithm>
#include <cmath>

namespace editor {
namespace {

constexpr int kLowestTypedTempo = 50;
constexpr int kHighestTempo = 255;   // the measure header keeps the tempo in two hex digits

// Milliseconds of a sixteenth at `tempo` beats per minute; nullopt when no step length follows
// (0 or below, or a quotient outside 1..32767).
std::optional<int16_t> stepMsForTempo(double tempo)
{
    if (!(tempo > 0)) return std::nullopt;
    const double q = std::floor(15000.0 / tempo);
    if (q < 1 || q > 32767) return std::nullopt;
    return int16_t(q);
}

}  // namespace

void YYBJ::wireSettings()
{
    // The instrument, key and device lists only offer their items; tempo and volumes may be
    // typed, and every change of their text counts once.
    connect(DQSUDU, &QComboBox::editTextChanged, this, [this] { DQSUDU_Change(); });
    DQSUDU->installEventFilter(this);
    connect(DQYD, &QComboBox::currentIndexChanged, this, [this] { DQYD_Change(); });
    for (int i = 0; i < 12; ++i) {
        connect(YQYL[i], &QComboBox::editTextChanged, this, [this, i] { YQYL_Change(i); });
        connect(SYYQ[i], &QComboBox::currentIndexChanged, this, [this, i] { SYYQ_Change(i); });
    }
    connect(HScroll3, &QScrollBar::valueChanged, this, [this] { HScroll3_Change(); });
    for (int i = 0; i < 2; ++i) connect(Check1[i], &QCheckBox::toggled, this, [this, i] { Check1_Click(i); });
    connect(ComDevies, &QComboBox::currentIndexChanged, this, [this] { ComDevies_Change(); });
}

bool YYBJ::filterSettings(QObject* watched, QEvent* event)
{
    if (watched == DQSUDU && event->type() == QEvent::FocusOut && forms::isControlFocusChange(event))
        DQSUDU_LostFocus();
    return false;
}

void YYBJ::DQSUDU_Change()
{
    // Runs at every keystroke: an emptied box (value 0) keeps the step length.
    if (const auto ms = stepMsForTempo(forms::Val(DQSUDU->currentText()))) midi::state().StepMs = *ms;
}

void YYBJ::DQSUDU_LostFocus()
{
    auto& s = midi::state();
    const double v = forms::Val(DQSUDU->currentText());
    if (v > kHighestTempo) {
        DQSUDU->setEditText(QString::number(kHighestTempo));
    } else if (v < kLowestTypedTempo) {
        // The box shows the tempo the step length stands for, within what a header keeps.
        if (s.StepMs > 0) DQSUDU->setEditText(QString::number(std::min(15000 / s.StepMs, kHighestTempo)));
    } else if (const auto ms = stepMsForTempo(v)) {
        s.StepMs = *ms;
    }
}

void YYBJ::DQYD_Change()
{
    if (DQYD->currentIndex() >= 0) midi::state().BaseNote = int16_t(36 + DQYD->currentIndex());
}

int16_t YYBJ::RowVolume(int row) const
{
    const double v = std::floor(forms::Val(YQYL[row]->currentText()));
    return int16_t(std::clamp(v, 0.0, 127.0));
}

void YYBJ::YQYL_Change(int Index)
{
    auto& f = fields();
    midi::state().TrackVolume[Index] = RowVolume(Index);
    f.CrescLevel = f.CrescStep > 0 ? 0 : 120;
    midi::SendShortMsg(0xB0, 11, f.CrescLevel);
}

void YYBJ::HScroll3_Change()
{
    auto& f = fields();
    f.CrescStep = int16_t(HScroll3->value());
    f.CrescLevel = f.CrescStep > 0 ? 0 : 120;
    Label7->setText(QStringLiteral("深度(%1)").arg(HScroll3->value()));
}

void YYBJ::Check1_Click(int Index)
{
    (void)Index;   // both boxes store the pair of flags
    auto& f = fields();
    auto& p = piece();
    p.Vibrato = Check1[0]->isChecked();     // what the steps play
    p.Crescendo = Check1[1]->isChecked();
    f.MeasureFlags[f.CurMeasure] = QString::number(int(p.Vibrato)) + QString::number(int(p.Crescendo));
    midi::SendShortMsg(0xB0, 1, p.Vibrato ? 120 : 0);
    midi::SendShortMsg(0xB0, 11, f.CrescLevel);
}

void YYBJ::SYYQ_Change(int Index)
{
    auto& s = midi::state();
    auto& p = piece();
    const int k = SYYQ[Index]->currentIndex();
    if (k < 0) return;
    p.TrackInstrument[Index] = trackInstrumentForIndex(Index, k);   // what the row's steps play
    if (Index < kMelodyRows) {
        if (k >= 1) midi::ProgramChange(int16_t(Index), 0, int16_t(k - 1));
        // A held note of the row ends; after playback the step stands past the cells.
        if (s.CurStep >= 0 && s.CurStep < kCells && p.CellNotes[Index][s.CurStep] == midi::kHoldCode) {
            const int note = fields().PrevNote[Index] + s.BaseNote;
            midi::NoteOff(int16_t(Index), int16_t(note));
            releaseStartedNotes(Index, note, note);   // also a chord's, or a note of another key
        }
        return;
    }
    // A percussion row: its hits of the measure shown sound the chosen key at the row's volume.
    const int S = Steps();
    const int32_t m = fields().CurMeasure;
    if (!pieceFits(m, S)) return;
    const int16_t note = int16_t(k + 35);
    const int32_t msg = midi::PercussionMsg(note, RowVolume(Index));
    for (int c = m * S; c < m * S + S; ++c) {
        auto& cell = s.PercussionCells[Index - kMelodyRows][c];
        cell.Note = note;
        cell.Msg = msg;
    }
}

void YYBJ::ComDevies_Change()
{
    const int item = ComDevies->currentIndex();
    if (item < 0) return;   // no device listed: nothing to open
    midi::OpenMidiDevice(int16_t(ComDevies->itemData(item).toInt()));
    for (int r = 0; r < kMelodyRows; ++r)
        if (SYYQ[r]->currentIndex() >= 1) midi::ProgramChange(int16_t(r), 0, int16_t(SYYQ[r]->currentIndex() - 1));
}

}  // namespace editor
