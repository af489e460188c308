// Audition and playback: "试听本节效果" (ST1) plays the measure in the number box, "从开始处启动"
// (ST2) the piece from its first step; the step clock YYDS sounds one sixteenth per tick.
//
//   state        YYDS   ST1                      ST2                                BZWJ
//   idle         off    not selected, enabled    unticked "从开始处启动", enabled    enabled
//   auditioning  on     selected, enabled        unticked, disabled                 disabled
//   playing      on     not selected, disabled   ticked "停止当前演奏"               disabled
//
// Unticking ST2 from code runs its stop path, nested, as the user's click would; clearing ST1
// runs nothing. A step reads no control: whether the piece plays from its start is the
// sequencer's own PlayingPiece, and the vibrato and crescendo are the piece's, written by the
// boxes' handlers.
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "editor/measure_header.h"
#include "editor/score_model.h"
#include "editor/step_sequencer.h"
#include "editor/yybj.h"
#include "forms/conv.h"
#include "forms/dialogs.h"
#include "forms/option_button.h"
#include "midi/midi_out.h"
#include "midi/state.h"

#include <QSignalBlocker>
#include <algorithm>
#include <climits>
#include <cmath>

namespace editor {
namespace {

const QString kStartCaption = QStringLiteral("从开始处启动");
const QString kStopCaption = QStringLiteral("停止当前演奏");

}  // namespace

void YYBJ::wireSequencer()
{
    connect(ST1, &QRadioButton::toggled, this, [this](bool on) {
        if (on) ST1_Click();
    });
    connect(ST2, &QCheckBox::toggled, this, [this] { ST2_Click(); });
    YYDS->onTick([this] { YYDS_Timer(); });
}

void YYBJ::StopStepClock()
{
    YYDS->setEnabled(false);
}

bool YYBJ::MayStartPlayback()
{
    const int S = Steps();
    QString refusal;
    if (midi::state().MidiOutHandle == 0)
        refusal = QStringLiteral("没有打开MIDI输出设备，不能演奏！请在设备列表中选择一个可用的设备。");
    else if (!pieceFits(piece().MeasureTotal, S))
        refusal = QStringLiteral("乐曲太长，超出了最多%1个软件小节，不能演奏！请用“设置”减少小节总数。")
                      .arg(maxMeasureTotal(S) + 1);
    if (refusal.isEmpty()) return true;
    // The button goes back as it was, running nothing.
    forms::unselectOption(ST1);
    {
        const QSignalBlocker block(ST2);
        ST2->setChecked(false);
    }
    forms::MsgBox(refusal, this);
    return false;
}

void YYBJ::ST1_Click()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int S = Steps();
    if (!MayStartPlayback()) return;
    ST2->setEnabled(false);
    // The measure typed into the number box, within the measure bar and the cells.
    const int32_t highest = std::min(HScroll1->maximum(), maxMeasureTotal(S));
    const double typed = std::nearbyint(forms::Val(XJZS->text()));
    const int32_t audited = typed >= 0 ? int32_t(std::min(typed, double(highest))) : 0;
    // Within the cells: the piece was checked, the measures shown and auditioned are held there.
    preparePlayback(S, f.CurMeasure, std::max(p.MeasureTotal, audited));
    f.CurMeasure = audited;
    f.LastStep = S * f.CurMeasure + S - 1;
    s.StepsLeft = S;
    s.CurStep = int16_t(S * f.CurMeasure);
    XJZS->setText(QString::number(f.CurMeasure));
    BZWJ->setEnabled(false);
    YYDS->setInterval(s.StepMs);
    YYDS->setEnabled(true);
    if (!YYSB()) StepClockTrap();   // the first step sounds at once
}

void YYBJ::ST2_Click()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int S = Steps();
    f.LastStep = int32_t(std::clamp<int64_t>(int64_t(S) * p.MeasureTotal + S - 1, INT32_MIN, INT32_MAX));
    if (ST2->isChecked()) {
        if (!MayStartPlayback()) return;
        f.PlayingPiece = true;
        f.CurMeasure = 0;
        s.CurStep = 0;
        preparePlayback(S, f.CurMeasure, p.MeasureTotal);   // checked to fit
        ST2->setText(verticalCaption(kStopCaption));
        ST1->setEnabled(false);
        XJZS->setText(QString::number(f.CurMeasure));
        BZWJ->setEnabled(false);
        // Measure 0's own settings are in force before the clock is set.
        if (hasHeader(f.MeasureHeaders[0])) CXTSB();
        f.CrescLevel = restingCrescendoLevel(f.CrescStep);
        // Cell 0 sounds now and the others on LastStep ticks; one tick more ends the piece, so
        // that the last cell sounds its whole step.
        s.StepsLeft = f.LastStep + 1;
        YYDS->setInterval(s.StepMs);
        YYDS->setEnabled(true);
        if (!YYSB()) StepClockTrap();
        return;
    }
    // Stopped: by the user, by the end of the piece, by the clock's trap or by a command.
    PlaybackToRest();
}

void YYBJ::PlaybackToRest()
{
    ST1->setEnabled(true);
    ST2->setEnabled(true);
    forms::unselectOption(ST1);
    ST2->setText(verticalCaption(kStartCaption));
    YYDS->setEnabled(false);
    fields().PlayingPiece = false;
    AllNotesOff();
    BZWJ->setEnabled(true);
}

void YYBJ::EndPlayback()
{
    if (!YYDS->enabled()) return;
    if (fields().PlayingPiece) ST2->setChecked(false);   // a piece played from the start: its stop path
    else PlaybackToRest();                               // an audition ends the same way
}

void YYBJ::YYDS_Timer()
{
    // Like every music clock, the step clock waits while a MIDI error box is open.
    if (forms::midiErrorBoxOpen()) return;
    auto& s = midi::state();
    if (!YYSB()) {
        StepClockTrap();
        return;
    }
    s.StepsLeft -= 1;
    if (s.StepsLeft < 1) {
        ST1->setEnabled(true);
        ST2->setEnabled(true);
        forms::unselectOption(ST1);
        ST2->setChecked(false);   // a piece played from the start stops through ST2's stop path
        ST2->setText(verticalCaption(kStartCaption));
        YYDS->setEnabled(false);
    }
}

void YYBJ::StepClockTrap()
{
    AllNotesOff();
    ST1->setEnabled(true);
    ST2->setEnabled(true);
    forms::unselectOption(ST1);
    ST2->setChecked(false);
    ST2->setText(verticalCaption(kStartCaption));
    YYDS->setEnabled(false);
    BZWJ->setEnabled(true);   // an audition ended by the trap leaves the help button usable too
}

bool YYBJ::YYSB()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int S = Steps();

    f.CrescLevel = stepCrescendoLevel(f.CrescLevel, p.Crescendo, f.CrescStep, s.CurStep, S, f.CurMeasure);
    midi::SendShortMsg(0xB0, 1, p.Vibrato ? 120 : 0);

    if (s.CurStep > f.LastStep) {
        // The end: nothing sounds, the clock runs out its count. A piece played from the start
        // ends through ST2's stop path, which turns every note off; an audition does it here.
        if (f.PlayingPiece) ST2->setChecked(false);
        else AllNotesOff();
        forms::unselectOption(ST1);
        BZWJ->setEnabled(true);
        f.CrescLevel = restingCrescendoLevel(f.CrescStep);
        midi::SendShortMsg(0xB0, 11, f.CrescLevel);
        return true;
    }

    const int32_t m = s.CurStep / S;
    if (m < 0 || !pieceFits(m, S)) return false;
    // A row being typed into belongs to the measure it was typed in.
    if (m != f.CurMeasure) CommitEditedRow();
    f.CurMeasure = m;
    // A measure's own settings when it begins; the step interval keeps what the start set.
    if (hasHeader(f.MeasureHeaders[m]) && f.AppliedMeasure != m) CXTSB();
    ShowPlayedMeasure(m);

    s.StepInMeasure = int16_t(s.CurStep % S);
    f.AccentLevel = beatAccentLevel(S, s.StepInMeasure, f.CrescLevel);
    sendStepExpression(f.CrescLevel, f.AccentLevel);
    if (!preparePercussionStep(s.CurStep)) return false;
    XJFS();
    return true;
}

void YYBJ::ShowPlayedMeasure(int32_t measure)
{
    XJZS->setText(QString::number(measure));
    if (HScroll1->value() == measure || measure > maxMeasureTotal(Steps())) return;
    // The bar follows the piece; the measure is shown as the bar's own change shows it, header
    // and all, without committing the row being typed into once more (it was committed into its
    // own measure).
    {
        const QSignalBlocker block(HScroll1);
        if (HScroll1->maximum() < measure) HScroll1->setMaximum(measure);
        HScroll1->setValue(measure);
    }
    ShowBarMeasure();
}

void YYBJ::XJFS()
{
    auto& s = midi::state();
    auto& f = fields();
    if (!soundStep()) return;
    f.AppliedMeasure = int16_t(f.CurMeasure);
    s.CurStep = int16_t(s.CurStep + 1);
}

void YYBJ::STBXJYY()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int S = Steps();
    const int32_t m = f.CurMeasure;
    if (!pieceFits(m, S) || m < 0) return;
    for (int r = 0; r < kMelodyRows; ++r) p.MeasureText[r][m] = YF1[r]->text();
    for (int r = 0; r < kRows; ++r) {
        s.TrackVolume[r] = RowVolume(r);
        p.TrackInstrument[r] = trackInstrumentForIndex(r, SYYQ[r]->currentIndex());
    }
    // A silent row ("0.无声") has no program to send.
    for (int r = 0; r < kMelodyRows; ++r)
        if (p.TrackInstrument[r] >= 0) midi::ProgramChange(int16_t(r), 0, int16_t(p.TrackInstrument[r]));
    for (int r = 0; r < kMelodyRows; ++r)
        for (int k = 0; k < S; ++k) {
            f.CurToken = p.CellTokens[r][m * S + k];
            SYYPSB();
            p.CellNotes[r][m * S + k] = p.TokenNote;
        }
    for (int k = 0; k < S; ++k) {
        const int32_t cell = m * S + k;
        preparePercussionStep(cell);
        for (int j = 0; j < kPercussionRows; ++j) {
            const bool hit = k < int(DJY[j].size()) && DJY[j][k]->isChecked();
            p.CellTokens[kMelodyRows + j][cell] = hit ? QStringLiteral("O") : QStringLiteral("-");
            s.PercussionCells[j][cell].Hit = hit ? -1 : 0;
        }
    }
    XJFS();
}

}  // namespace editor
