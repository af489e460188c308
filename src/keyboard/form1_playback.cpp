// Automatic score playback: the score reader YSCX and the score clock Timer3.
//
// YSCX reads the token at ScorePos. Commands (tempo, rhythm, instrument group) take effect at
// once and go straight on to the token behind them, so a run of commands is carried out within
// one tick; a note or a rest arms the score clock, which sounds the note on its first tick,
// counts the token's length and then reads the next token.
#include "keyboard/form1.h"

#include "forms/conv.h"
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "keyboard/rhythm_file.h"
#include "midi/score_notation.h"
#include "midi/midi_out.h"
#include "midi/state.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <climits>

namespace keyboard {
namespace {

constexpr int kTempoEntries = 19;         // "VS" 1..19: 40, 45, ... 130 beats per minute
constexpr int kLastRhythmFile = 98;       // "JP" 1..98: a file of the rhythm list
constexpr int kRhythmSyncOff = 99;        // "JP99": automatic synchronisation off
constexpr int kInstrumentGroups = 13;     // "YQ" 1..13
constexpr int kRestKey = 254;
constexpr int kStopKey = 255;

}  // namespace

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

void Form1::ShowScorePosition()
{
    // The character behind the token's first letter is selected, so the box shows where
    // playback is. The keyboard focus stays where it is (on the key catcher while playing):
    // the box shows its selection also without the focus.
    const int64_t last = Text3->document()->characterCount() - 1;
    const int from = int(std::min<int64_t>(ScorePos, last));
    const int to = int(std::min<int64_t>(int64_t(ScorePos) + 1, last));
    Text3->select(from, to);
}

void Form1::EndScorePlayback()
{
    Yuepu[0]->setText(QStringLiteral("试听"));
    Auditioning = false;
    Text3->setReadOnly(false);
    ReleasePressedKeys();   // keys played along, also one still held
}

bool Form1::ScorePlaying() const { return Auditioning || Timer3->running(); }

void Form1::YSCX()
{
    auto& s = midi::state();
    // One pass per token; a command goes on to the next pass at once.
    for (;;) {
        if (ScorePos < 1) ScorePos = 1;
        s.StepMs = int16_t(TempoStepMs());
        // The focus moves have no target while the window is hidden; playback goes on.
        const bool shown = isVisible();
        if (shown) ShowScorePosition();
        const QString score = s.ScoreText;
        ScoreLen = int32_t(std::min<qsizetype>(score.size(), INT32_MAX - 2));
        const midi::ScoreRead r = midi::readScoreToken(score, ScorePos);
        CurToken = r.token;
        if (shown && ScorePos >= ScoreLen - 1) YXYZ();
        ScorePos = int32_t(r.pos);
        if (r.hasLength) TokenTicks = int16_t(r.length);
        const int n = r.length;

        switch (r.kind) {
        case midi::ScoreTokenKind::Tempo:
            if (n >= 1 && n <= kTempoEntries && n - 1 < SD->count()) {
                SD->setCurrentIndex(n - 1);
                s.StepMs = int16_t(TempoStepMs());
                Timer3->setInterval(0);
                ++ScorePos;
                NoteTick = 0;
                continue;
            }
            // Any other tempo number halts playback without ending it.
            Timer3->setInterval(0);
            ++ScorePos;
            NoteTick = 0;
            return;

        case midi::ScoreTokenKind::Rhythm:
            if (n >= 1 && n <= kLastRhythmFile && n - 1 < File1->count()) {
                const QString path = forms::joinPath(File1Path, File1->item(n - 1)->text());
                const auto text = readRhythmFileText(path);
                // A refused file shows its one box and leaves the rhythm and "自动同步" as they were.
                if (text && ApplyRhythmText(*text)) {
                    File1->setCurrentRow(n - 1);
                    Label11->setText(QString::number(File1->currentRow() + 1) + QStringLiteral("★") +
                                     File1->currentItem()->text());
                    Check5->setChecked(true);
                }
            } else if (n == kRhythmSyncOff) {
                Check5->setChecked(false);
            }
            Timer3->setInterval(0);
            ++ScorePos;
            NoteTick = 0;
            continue;

        case midi::ScoreTokenKind::Instruments:
            // A group number outside the table changes nothing; playback goes on.
            if (n >= 1 && n <= kInstrumentGroups) {
                ApplyInstrumentGroup(n - 1);
            }
            Timer3->setInterval(0);
            ++ScorePos;
            NoteTick = 0;
            continue;

        default:
            break;
        }

        // A note, a rest, the end of the score or the score error.
        if (ScorePos == ScoreLen) TokenTicks = 0;
        Timer3->setInterval(s.StepMs);
        switch (r.kind) {
        case midi::ScoreTokenKind::Note:
            s.CurKey = int16_t(r.note);
            ScoreKey = s.CurKey;
            if (ScorePos >= ScoreLen - 1) {
                // The last token of the text ends playback without sounding.
                Timer3->setEnabled(false);
                SilenceScoreNote();
                for (QPushButton* b : Yuepu) b->setEnabled(true);
                EndScorePlayback();
                // The keys play again, also when the last note carries a length (its read
                // position was short of the end, so the keys were not given back above).
                if (shown) YXYZ();
                return;
            }
            NoteTick = 0;
            ++ScorePos;
            Timer3->setEnabled(true);
            return;

        case midi::ScoreTokenKind::Rest:
            s.CurKey = kRestKey;
            ScoreKey = s.CurKey;
            SilenceMelodyRange(2);
            Timer3->setEnabled(true);
            ++ScorePos;
            NoteTick = 0;
            return;

        case midi::ScoreTokenKind::Stop:
            s.CurKey = kStopKey;
            ScoreKey = s.CurKey;
            Timer3->setEnabled(false);
            SilenceMelodyRange(4);
            if (Check5->isChecked()) {
                BZDS->setEnabled(false);
                BzQd->setChecked(false);
            }
            EndScorePlayback();
            ScorePos = 1;
            s.CurStep = 0;
            s.RhythmStep = 0;
            NoteTick = 0;
            s.ChordIndex = 1;
            ReleaseKeyPicture(s.LastKey);
            return;

        default:
            // The clock stops before the box: clocks go on under an ordinary box.
            SilenceScoreNote();
            Timer3->setInterval(0);
            Timer3->setEnabled(false);
            forms::MsgBox(QStringLiteral("乐谱中出现错误，请修改！"), this);
            EndScorePlayback();
            NoteTick = 0;
            return;
        }
    }
}

void Form1::Timer3_Timer()
{
    if (forms::midiErrorBoxOpen()) return;
    QCoreApplication::processEvents();
    if (!Timer3->running()) return;   // stopped by an event handled just now

    auto& s = midi::state();
    // The score's own note: a key played along meanwhile has changed CurKey, not this.
    if (NoteTick == 0 && ScoreKey < 64) {
        NoteOffLastKey();
        LayersOn(ScoreKey);
        s.LastKey = ScoreKey;
    }
    if (NoteTick % 2 == 0 && Check5->isChecked()) AccompanimentStep();
    ++NoteTick;
    if (NoteTick == TokenTicks) {
        YSCX();
        NoteTick = 0;
    }
    // The title line counts the ticks played.
    ++PlaybackTicks;
    FJWZ->setText(forms::Str(PlaybackTicks));
}

}  // namespace keyboard
