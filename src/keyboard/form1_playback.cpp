// Automatic score playback on the window: the score reader YSCX and the score clock Timer3 carry
// out what the score player (score_player.h) reads from the score and counts on each tick.
//
// Commands (tempo, rhythm, instrument group) take effect at once and go straight on to the
// token behind them, so a run of commands is carried out within one tick; a note or a rest arms
// the score clock, which sounds the note on its first tick, counts the token's length and then
// reads the next token.
#include "keyboard/form1.h"

#include "forms/conv.h"
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "keyboard/accompaniment.h"
#include "keyboard/rhythm_file.h"
#include "midi/midi_out.h"
#include "midi/state.h"

#include <QCoreApplication>
#include <algorithm>

namespace keyboard {

void Form1::wirePlayback()
{
    Timer3->onTick([this] { Timer3_Timer(); });
}

void Form1::NoteOffLastKey()
{
    const auto& s = midi::state();
    const int16_t note = int16_t(s.LastKey + s.BaseNote);
    for (int16_t ch = 0; ch <= 2; ++ch) midi::NoteOff(ch, note);
    midi::NoteOff(2, int16_t(note - 12));
}

void Form1::SilenceScoreNote()
{
    NoteOffLastKey();
    HX1K();
    HX2K();
}

void Form1::SilenceMelodyRange(int16_t lastChannel)
{
    // Every key of the on-screen keyboard (0..64), each on the given channels in turn, then
    // channel 2's octave-lower copies of the lowest octave.
    const auto& s = midi::state();
    for (int k = 0; k <= 64; ++k)
        for (int16_t ch = 0; ch <= lastChannel; ++ch) midi::NoteOff(ch, int16_t(s.BaseNote + k));
    for (int k = 0; k < 12; ++k) midi::NoteOff(2, int16_t(s.BaseNote + k - 12));
}

void Form1::SilenceEveryKey()
{
    SilenceMelodyRange(4);
    releaseChordVoiceOutsideKeys(1);
    releaseChordVoiceOutsideKeys(2);
}

void Form1::EndKeysPlayedAlong()
{
    // Beside the melody a key leaves the effect note sounding, and a chord key the chord clock,
    // which would go on sounding new chords to the end of its pass. Unticking the chord box
    // stops that clock and ends both chord voices.
    endEffectNote();
    Check6->setChecked(false);
}

void Form1::ShowScorePosition(int64_t readAt)
{
    // The character behind the token's first letter is selected, so the box shows where
    // playback is. The keyboard focus stays where it is (on the key catcher while playing):
    // the box shows its selection also without the focus.
    const int64_t last = Text3->document()->characterCount() - 1;
    const int from = int(std::min<int64_t>(readAt, last));
    const int to = int(std::min<int64_t>(readAt + 1, last));
    Text3->select(from, to);
}

void Form1::EndScorePlayback()
{
    Yuepu[0]->setText(QStringLiteral("试听"));
    Auditioning = false;
    Text3->setReadOnly(false);
    EndKeysPlayedAlong();
    ReleasePressedKeys();   // keys played along, also one still held
}

bool Form1::ScorePlaying() const { return Auditioning || Timer3->running(); }

void Form1::YSCX()
{
    auto& s = midi::state();
    // One pass per token; a command goes on to the next pass at once.
    for (;;) {
        s.StepMs = int16_t(TempoStepMs());
        const ScoreStep step = Player.read(s.ScoreText);
        // The focus moves have no target while the window is hidden; playback goes on.
        const bool shown = isVisible();
        if (shown) ShowScorePosition(step.readAt);
        if (shown && step.atEnd) YXYZ();

        if (isScoreCommand(step.action)) {
            if (step.action == ScoreAction::Tempo) {
                SD->setCurrentIndex(step.index);
                s.StepMs = int16_t(TempoStepMs());
            } else if (step.action == ScoreAction::RhythmFile && step.index < File1->count()) {
                const QString path = forms::joinPath(File1Path, File1->item(step.index)->text());
                const auto text = readRhythmFileText(path);
                // A refused file shows its one box and leaves the rhythm and "自动同步" as they were.
                if (text && ApplyRhythmText(*text)) {
                    File1->setCurrentRow(step.index);
                    Label11->setText(QString::number(File1->currentRow() + 1) + QStringLiteral("★") +
                                     File1->currentItem()->text());
                    Check5->setChecked(true);
                }
            } else if (step.action == ScoreAction::RhythmSyncOff) {
                Check5->setChecked(false);
            } else if (step.action == ScoreAction::Instruments) {
                ApplyInstrumentGroup(step.index);
            }
            Timer3->setInterval(0);
            Player.passCommand();
            // A tempo number outside the list halts playback without ending it.
            if (step.action == ScoreAction::Halt) return;
            continue;
        }

        // A note, a rest, the end of the score or the score error.
        Timer3->setInterval(s.StepMs);
        if (step.action != ScoreAction::Error) s.CurKey = Player.ScoreKey;
        switch (step.action) {
        case ScoreAction::Note:
            Timer3->setEnabled(true);
            return;

        case ScoreAction::Rest:
            SilenceMelodyRange(2);
            Timer3->setEnabled(true);
            return;

        case ScoreAction::LastNote:
            Timer3->setEnabled(false);
            SilenceScoreNote();
            for (QPushButton* b : Yuepu) b->setEnabled(true);
            EndScorePlayback();
            // The keys play again, also when the last note carries a length (its read
            // position was short of the end, so the keys were not given back above).
            if (shown) YXYZ();
            return;

        case ScoreAction::Stop:
            Timer3->setEnabled(false);
            SilenceEveryKey();
            if (Check5->isChecked()) {
                BZDS->setEnabled(false);
                BzQd->setChecked(false);
            }
            EndScorePlayback();
            s.CurStep = 0;
            s.RhythmStep = 0;
            s.ChordIndex = 1;
            ReleaseKeyPicture(s.LastKey);
            return;

        default:
            // Playback ends before the box: clocks go on under an ordinary box.
            SilenceScoreNote();
            Timer3->setInterval(0);
            Timer3->setEnabled(false);
            EndScorePlayback();
            forms::MsgBox(QStringLiteral("乐谱中出现错误，请修改！"), this);
            return;
        }
    }
}

void Form1::Timer3_Timer()
{
    if (forms::midiErrorBoxOpen()) return;
    QCoreApplication::processEvents();
    if (!Timer3->running()) return;   // stopped by an event handled just now

    // The score's own note: a key played along meanwhile has changed CurKey, not this.
    const ScoreTick t = Player.tick();
    if (t.soundKey) {
        NoteOffLastKey();
        LayersOn(Player.ScoreKey);
        midi::state().LastKey = Player.ScoreKey;
    }
    if (t.accompany && Check5->isChecked()) AccompanimentStep();
    if (t.readNext) YSCX();
    // The title line counts the ticks played.
    ++PlaybackTicks;
    FJWZ->setText(forms::Str(PlaybackTicks));
}

}  // namespace keyboard
