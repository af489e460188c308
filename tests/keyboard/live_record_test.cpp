// The live clock: note lengths, the idle stop, and the faults it guards against.
#include "live_support.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <chrono>

using live_test::LiveFixture;
using Strings = std::vector<std::string>;

namespace {

class LiveClock : public LiveFixture {};

TEST_F(LiveClock, SynchronisedAccompanimentStepsEverySecondTick)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.Check5->setChecked(true);
    key(Qt::Key_G);
    ASSERT_EQ(s.CurStep, 1);
    ticks(8);
    EXPECT_EQ(s.CurStep, 5);
    // The free rhythm clock, when it runs, keeps the accompaniment itself.
    f.BzQd->setChecked(true);
    const int step = s.CurStep;
    ticks(4);
    EXPECT_EQ(s.CurStep, step);
    f.BzQd->setChecked(false);
    f.Check5->setChecked(false);
    ticks(4);
    EXPECT_EQ(s.CurStep, step);
    f.SyncTick = 127;   // the tick counter wraps after 127
    ticks(1);
    EXPECT_EQ(f.SyncTick, 0);
}

TEST_F(LiveClock, NinetyNineIdleTicksEndTheTake)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    key(Qt::Key_G);
    ticks(97);
    EXPECT_EQ(s.HoldTicks, 98);
    ticks(1);
    EXPECT_TRUE(f.Timer1->enabled());
    midi.clear();
    ticks(1);   // the 99th tick after the first note of a take
    EXPECT_EQ(s.ScoreText, "KC99TZ");
    EXPECT_EQ(f.Text3->toPlainText(), "KC99TZ");
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_EQ(s.HoldTicks, 99);
    EXPECT_EQ(s.RecordedTicks, 100);
    const Strings offs = {"off 0 60", "off 1 60", "off 2 60", "off 2 48"};
    const Strings all = sent();
    ASSERT_GE(all.size(), 4u);
    EXPECT_EQ(Strings(all.begin(), all.begin() + 4), offs);
    EXPECT_EQ(count("on 0 60 70"), 0);

    // A later note counts from 0: the stop comes on the 100th tick. The next take's first note
    // writes the longest playable length, not the 100 the clock left.
    key(Qt::Key_H);
    EXPECT_EQ(s.ScoreText, "KC99TZ99KD");
    key(Qt::Key_J);
    ticks(99);
    EXPECT_TRUE(f.Timer1->enabled());
    ticks(1);
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_TRUE(s.ScoreText.endsWith("KE99TZ"));
}

TEST_F(LiveClock, RestStartsTheClockWithoutANewTake)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    s.CurStep = 6;
    key(Qt::Key_Backspace);
    EXPECT_EQ(s.ScoreText, "XZ");
    EXPECT_TRUE(f.Timer1->enabled());
    EXPECT_EQ(s.HoldTicks, 0);
    EXPECT_EQ(s.CurStep, 6);
    ticks(3);
    key(Qt::Key_G);   // the clock runs: not the first note of a take
    EXPECT_EQ(s.ScoreText, "XZ4KC");
    EXPECT_EQ(s.HoldTicks, 0);
    EXPECT_EQ(s.CurStep, 6);
}

TEST_F(LiveClock, RecordedLengthsAreAlwaysPlayable)
{
    play();
    auto& s = midi::state();
    // Keys faster than the clock: no tick between them would write lengths of 0. The first
    // note of a take counts one tick more.
    key(Qt::Key_G);
    key(Qt::Key_H);
    key(Qt::Key_Backspace);
    key(Qt::Key_J);
    key(Qt::Key_Space);
    EXPECT_EQ(s.ScoreText, "KC2KD1XZ1KE1TZ");
}

// The lengths of a score text's tokens, in order: "KC10KD1" gives {10, 1}.
std::vector<int> lengths(const QString& score)
{
    std::vector<int> out;
    const QRegularExpression number(QStringLiteral("[0-9]+"));
    for (auto it = number.globalMatch(score); it.hasNext();) out.push_back(it.next().captured().toInt());
    return out;
}

TEST_F(LiveClock, QuickKeysAfterALongNoteGetTheirOwnLengths)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    // The real live clock: a long first note, then keys 40 ms apart.
    key(Qt::Key_G);
    ASSERT_TRUE(QTest::qWaitFor([&s] { return s.HoldTicks >= 6; }, 5000));
    for (int k : {Qt::Key_H, Qt::Key_J, Qt::Key_K, Qt::Key_L}) {
        key(k);
        QTest::qWait(40);
    }
    key(Qt::Key_Space);
    ASSERT_TRUE(s.ScoreText.startsWith("KC")) << s.ScoreText.toStdString();
    const std::vector<int> len = lengths(s.ScoreText);
    ASSERT_EQ(len.size(), 5u) << s.ScoreText.toStdString();
    EXPECT_GE(len[0], 6);
    EXPECT_EQ(len[0] % 2, 0);
    // Each quick key's note lasted less than a tick or about one: not the long note's length.
    for (size_t i = 1; i < 4; ++i) EXPECT_LE(len[i], 2) << s.ScoreText.toStdString();
    EXPECT_FALSE(f.Timer1->enabled());
}

TEST_F(LiveClock, EachKeyCountsTheClockFromItself)
{
    keyboard::Form1& f = play();
    key(Qt::Key_G);
    QTest::qWait(60);
    for (int k : {Qt::Key_H, Qt::Key_Backspace}) {
        key(k);
        // The next tick is a whole step away from the key, not where the old count had it.
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            f.Timer1->nextTick() - std::chrono::steady_clock::now());
        EXPECT_GT(wait.count(), f.Timer1->interval() - 20) << k;
        QTest::qWait(60);
    }
}

TEST_F(LiveClock, AHeldKeysRepeatsGetTheTicksThatPassed)
{
    play();
    auto& s = midi::state();
    key(Qt::Key_G);
    ASSERT_TRUE(QTest::qWaitFor([&s] { return s.HoldTicks >= 6; }, 5000));
    // The keyboard repeats the held key every 30 ms.
    for (int i = 0; i < 6; ++i) {
        repeatKey(Qt::Key_G);
        QTest::qWait(30);
    }
    key(Qt::Key_H);
    const std::vector<int> len = lengths(s.ScoreText);
    ASSERT_EQ(len.size(), 7u) << s.ScoreText.toStdString();
    EXPECT_GE(len[0], 6);
    for (size_t i = 1; i < len.size(); ++i) EXPECT_LE(len[i], 2) << s.ScoreText.toStdString();
}

TEST_F(LiveClock, TickEndsWhenAWaitingKeyStopsTheClock)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.Check5->setChecked(true);
    key(Qt::Key_G);
    ticks(98);
    ASSERT_EQ(s.HoldTicks, 99);
    const int sync = f.SyncTick;
    // The space bar waits in the queue when the tick begins; the tick handles it first.
    QCoreApplication::postEvent(f.SFYXYZ, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
    ticks(1);
    EXPECT_EQ(s.ScoreText, "KC99TZ");   // one stop, not a second "99TZ"
    EXPECT_EQ(s.HoldTicks, 99);
    EXPECT_EQ(f.SyncTick, sync);
    EXPECT_FALSE(f.Timer1->enabled());
}

TEST_F(LiveClock, TickEndsWhenWaitingKeysStopAndRestartTheClock)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.Check5->setChecked(true);
    key(Qt::Key_G);
    ticks(3);
    f.SyncTick = 0;   // this tick would step the accompaniment
    // A stop and the first note of the next take both wait in the queue when the tick begins.
    QCoreApplication::postEvent(f.SFYXYZ, new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
    QCoreApplication::postEvent(f.SFYXYZ, new QKeyEvent(QEvent::KeyPress, Qt::Key_H, Qt::NoModifier));
    ticks(1);
    EXPECT_EQ(s.ScoreText, "KC4TZ4KD");
    EXPECT_TRUE(f.Timer1->enabled());
    // The new take starts as from an idle clock: its first tick is still to come.
    EXPECT_EQ(s.HoldTicks, 1);
    EXPECT_EQ(s.CurStep, 1);
    EXPECT_EQ(f.SyncTick, 0);
}

TEST_F(LiveClock, StandsStillWhileABoxIsOpen)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    key(Qt::Key_G);
    ticks(2);
    // Every refused message shows a box; the clock fires while each is open.
    midi.refuseSend = platform::kMidiNotReady;
    dialogs.onMessage = [&f] { f.Timer1->tick(); };
    key(Qt::Key_H);
    afterHandler();
    EXPECT_FALSE(dialogs.messages.isEmpty());
    EXPECT_EQ(s.ScoreText, "KC4KD");
    EXPECT_EQ(s.HoldTicks, 0);
    EXPECT_EQ(s.RecordedTicks, 4);
    EXPECT_EQ(f.SyncTick, 2);
}

TEST_F(LiveClock, TheScoreBoxKeepsItsUndoAfterATake)
{
    keyboard::Form1& f = play();
    key(Qt::Key_G);
    key(Qt::Key_H);
    key(Qt::Key_Space);
    ASSERT_EQ(f.Text3->toPlainText(), "KC2KD1TZ");
    // The user edits the recorded score and takes the edit back.
    f.Text3->setFocus();
    QTest::keyClick(f.Text3, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(f.Text3, "KE");
    ASSERT_EQ(f.Text3->toPlainText(), "KC2KD1TZKE");
    QTest::keyClick(f.Text3, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.Text3->toPlainText(), "KC2KD1TZ");
}

TEST_F(LiveClock, RestAndStopSilenceEveryNoteAKeyCanSound)
{
    play();
    // Key 0 sounds on channel 2 an octave below the keys, the mouse's key 64 above key 63.
    key(Qt::Key_6);
    midi.clear();
    key(Qt::Key_Backspace);
    EXPECT_EQ(count("off 2 24"), 1);
    form->Picture1_DragOver(64);
    midi.clear();
    key(Qt::Key_Backspace);
    for (const char* m : {"off 0 100", "off 1 100", "off 2 100"}) EXPECT_EQ(count(m), 1) << m;
    midi.clear();
    key(Qt::Key_Space);
    for (const char* m : {"off 0 100", "off 1 100", "off 2 100", "off 2 24"}) EXPECT_EQ(count(m), 1) << m;
}

}  // namespace
