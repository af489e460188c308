// Score recording: the live clock that counts the length of the note being played.
#include "forms/dialogs.h"
#include "keyboard/form1.h"
#include "keyboard/score_recording.h"
#include "midi/state.h"

#include <QCoreApplication>
#include <QTextCursor>
#include <QTextDocument>

namespace keyboard {

void Form1::wireRecord()
{
    Timer1->onTick([this] { Timer1_Timer(); });
}

void Form1::Timer1_Timer()
{
    // The clock stands still while a MIDI error box is open (other boxes leave it running).
    if (forms::midiErrorBoxOpen()) return;
    // A key press waiting in the queue is handled before this tick's work, and if it (a stop or
    // a clear) switched the clock off, the tick ends there, also when a note key behind it has
    // already started the next take.
    const int switchOffs = Timer1->switchOffs();
    QCoreApplication::processEvents();
    if (Timer1->switchOffs() != switchOffs) return;

    auto& s = midi::state();
    if (Check5->isChecked() && !BzQd->isChecked() && SyncTick % 2 == 0) AccompanimentStep();

    ++s.HoldTicks;
    if (s.HoldTicks > kMaxRecordedTicks) {
        // Held too long: the take ends with the longest length.
        s.HoldTicks = kMaxRecordedTicks;
        s.ScoreText += QString::number(kMaxRecordedTicks) + QStringLiteral("TZ");
        ShowScoreText();
        Timer1->setEnabled(false);
        SilenceScoreNote();
    }
    s.RecordedTicks = int16_t(evenTicks(s.HoldTicks));
    SyncTick = SyncTick >= 127 ? 0 : SyncTick + 1;
}

void Form1::EndLiveTake()
{
    if (!Timer1->enabled()) return;
    Timer1->setEnabled(false);
    SilenceScoreNote();
}

void Form1::ShowScoreText()
{
    const QString& score = midi::state().ScoreText;
    const QString shown = Text3->toPlainText();
    if (shown == score) return;
    if (shown.isEmpty() || !score.startsWith(shown)) {
        Text3->setPlainText(score);
        return;
    }
    // The score grew at its end, as it does while recording: only the new tokens are added, so
    // the box does not lay the whole score out again on every key.
    Text3->appendText(score.mid(shown.size()));
}

}  // namespace keyboard
