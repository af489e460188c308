// Playing from the computer keyboard: the key catcher's dispatch, driven by key events.
#include "live_support.h"
#include "platform/sound_check.h"
#include "resources/strings.h"

#include <QFile>
#include <QShortcut>

using live_test::LiveFixture;
using Strings = std::vector<std::string>;

namespace {

class LiveKeys : public LiveFixture {};

TEST_F(LiveKeys, FirstNoteOfATake)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    key(Qt::Key_G);

    // The previous note (key 0) off, then middle C on the three layers, the third also an
    // octave lower, each note-on behind its pan controller.
    EXPECT_EQ(sent(), (Strings{"off 0 36", "off 1 36", "off 2 36", "off 2 24",
                               "pan 0 64", "on 0 60 70", "pan 1 64", "on 1 60 55",
                               "pan 2 88", "on 2 60 55", "pan 2 88", "on 2 48 55"}));
    EXPECT_EQ(s.ScoreText, "KC");
    EXPECT_EQ(f.Text3->toPlainText(), "KC");
    EXPECT_EQ(f.XSWB->text(), res::LoadResString(415));
    EXPECT_TRUE(f.Timer1->enabled());
    EXPECT_EQ(f.Timer1->interval(), s.StepMs);
    EXPECT_EQ(s.HoldTicks, 1);
    EXPECT_EQ(s.CurKey, 24);
    EXPECT_EQ(s.LastKey, 24);
    EXPECT_EQ(s.CurStep, 1);
    EXPECT_EQ(s.RhythmStep, 1);
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(f.KeyPicture[24], 103);
    EXPECT_EQ(f.KeyPicture[0], 102);
}

TEST_F(LiveKeys, FirstNoteWithSynchronisedAccompaniment)
{
    keyboard::Form1& f = play();
    f.Check5->setChecked(true);
    midi::state().ChordIndex = 3;
    midi.clear();
    key(Qt::Key_G);
    // Full expression on the percussion channel follows the notes; the chords start again.
    EXPECT_GT(indexOf("cc 9 11 127"), indexOf("on 2 48 55"));
    EXPECT_EQ(midi::state().ChordIndex, 1);
    midi.clear();
    key(Qt::Key_H);   // not the first note: no second accompaniment start
    EXPECT_EQ(count("cc 9 11 127"), 0);

    // Without a chord instrument the first note of a take starts no chord voice.
    key(Qt::Key_Space);
    f.xuanyue->setCurrentIndex(0);
    for (auto& row : f.ChordPattern) row[0] = row[16] = 65;   // a whole chord on the first step
    midi.clear();
    key(Qt::Key_G);
    for (uint32_t v : midi.sent()) EXPECT_FALSE((v & 0xEF) == 0x83 || (v & 0xEF) == 0x84) << live_test::describe(v);
}

TEST_F(LiveKeys, NotesRestsAndStopsWriteTheScore)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    key(Qt::Key_G);
    ticks(3);
    midi.clear();
    key(Qt::Key_H);
    EXPECT_EQ(s.ScoreText, "KC4KD");
    EXPECT_LT(indexOf("off 2 48"), indexOf("pan 0 64"));   // the old note ends before the new
    EXPECT_EQ(sent().front(), "off 0 60");
    EXPECT_EQ(count("on 0 62 70"), 1);
    EXPECT_EQ(f.KeyPicture[24], 102);
    EXPECT_EQ(f.KeyPicture[26], 103);

    // A rest writes the raw ticks of the note before it; the note after it the even count.
    ticks(2);
    midi.clear();
    key(Qt::Key_Backspace);
    EXPECT_EQ(s.ScoreText, "KC4KD2XZ");
    EXPECT_TRUE(silencedEveryKey(2));
    // Key by key, each on the three layers in turn.
    const Strings rest = sent();
    ASSERT_GE(rest.size(), 4u);
    EXPECT_EQ(Strings(rest.begin(), rest.begin() + 4),
              (Strings{"off 0 36", "off 1 36", "off 2 36", "off 0 37"}));
    EXPECT_EQ(count("off 3 36"), 0);   // the chord voices go on
    EXPECT_EQ(f.XSWB->text(), res::LoadResString(401));
    EXPECT_EQ(s.LastKey, 26);   // the rest leaves the keys alone
    EXPECT_EQ(f.KeyPicture[26], 103);
    ticks(5);
    key(Qt::Key_J);
    ticks(7);
    midi.clear();
    key(Qt::Key_Space);
    EXPECT_EQ(s.ScoreText, "KC4KD2XZ6KE7TZ");
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_TRUE(silencedEveryKey(4));
    const Strings stop = sent();
    ASSERT_GE(stop.size(), 6u);
    EXPECT_EQ(Strings(stop.begin(), stop.begin() + 6),
              (Strings{"off 0 36", "off 1 36", "off 2 36", "off 3 36", "off 4 36", "off 0 37"}));
    EXPECT_EQ(f.KeyPicture[28], 102);
    EXPECT_EQ(f.Text3->toPlainText(), s.ScoreText);
    EXPECT_FALSE(f.Text3->document()->isUndoAvailable());   // recording is not typing

    // The next note starts a new take behind the stop.
    key(Qt::Key_G);
    EXPECT_EQ(s.ScoreText, "KC4KD2XZ6KE7TZ8KC");
    EXPECT_EQ(s.HoldTicks, 1);
    EXPECT_TRUE(f.Timer1->enabled());
}

TEST_F(LiveKeys, StopResetsTheTakeAndClicksTheCatcherOnRelease)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.BzQd->setChecked(true);
    f.Yuepu[0]->setText("停止");
    f.FJWZ->setText("x");
    s.CurStep = 7;
    s.RhythmStep = 5;
    s.ChordIndex = 3;
    midi.clear();
    key(Qt::Key_Space);
    EXPECT_TRUE(s.ScoreText.isEmpty());   // an empty score stays empty
    EXPECT_TRUE(silencedEveryKey(4));
    EXPECT_FALSE(f.BzQd->isChecked());
    EXPECT_EQ(f.Yuepu[0]->text(), "试听");
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(f.FJWZ->text(), "现在允许演奏。。。");   // the release clicked the button

    // Return and Enter neither click the button nor touch the score.
    f.FJWZ->setText("x");
    key(Qt::Key_G);
    key(Qt::Key_Return);
    EXPECT_EQ(f.Text3->toPlainText(), "13");
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(f.Text3->toPlainText(), "13");
    EXPECT_EQ(s.ScoreText, "KC");
    EXPECT_EQ(f.FJWZ->text(), "x");
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    key(Qt::Key_H);
    EXPECT_EQ(f.Text3->toPlainText(), "KC2KD");   // no tick yet: the first note counts one
}

TEST_F(LiveKeys, HeldKeyRepeatsAsNewNotes)
{
    play();
    auto& s = midi::state();
    key(Qt::Key_G);
    ticks(2);
    midi.clear();
    repeatKey(Qt::Key_G);
    EXPECT_EQ(s.ScoreText, "KC4KC");
    EXPECT_EQ(sent()[0], "off 0 60");
    EXPECT_EQ(count("on 0 60 70"), 1);
    ticks(1);
    repeatKey(Qt::Key_G);
    EXPECT_EQ(s.ScoreText, "KC4KC2KC");
}

TEST_F(LiveKeys, FunctionKeysSelectInstrumentGroups)
{
    keyboard::Form1& f = play();
    key(Qt::Key_F1);   // default group 1: one instrument, two silent layers
    EXPECT_EQ(f.ComSounds[0]->currentIndex(), 3);
    EXPECT_EQ(f.ComSounds[1]->currentIndex(), 0);
    EXPECT_EQ(f.ComSounds[2]->currentIndex(), 0);
    EXPECT_EQ(f.XSWB->text(), "你已经选择了\r\n       乐器组合 1");
    midi.clear();
    key(Qt::Key_G);   // silent layers get no note-on
    EXPECT_EQ(sent(), (Strings{"off 0 36", "off 1 36", "off 2 36", "off 2 24", "pan 0 64",
                               "on 0 60 70"}));

    midi.clear();
    key(Qt::Key_F7);
    EXPECT_EQ(f.ComSounds[0]->currentIndex(), 52);
    EXPECT_EQ(f.ComSounds[1]->currentIndex(), 15);
    EXPECT_EQ(f.ComSounds[2]->currentIndex(), 79);
    const auto& p = midi::state().ChannelProgram;
    EXPECT_EQ(p[0], 52);
    EXPECT_EQ(p[2], 79);
    const auto all = sent();
    const Strings programs = {"pc 0 51", "pc 1 14", "pc 2 78"};
    // The combo's own selection handling sends the program too when its index changes.
    for (const auto& pc : programs) EXPECT_EQ(count(pc), 2) << pc;
    EXPECT_LT(indexOf("pc 0 51"), indexOf("pc 1 14"));
    EXPECT_LT(indexOf("pc 1 14"), indexOf("pc 2 78"));
    EXPECT_EQ(f.XSWB->text(), "你已经选择了\r\n       乐器组合 7");
    EXPECT_EQ(midi::state().ScoreText, "KC");   // sounding notes and the score stay
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
}

TEST_F(LiveKeys, KeypadDrumsAndFreeRhythm)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    key(Qt::Key_3, Qt::KeypadModifier);
    EXPECT_EQ(s.PadIndex, 3);
    ASSERT_EQ(midi.sent().size(), 1u);
    EXPECT_EQ(midi.sent()[0], uint32_t(s.PercussionCells[5][3].Msg));
    EXPECT_EQ(sent()[0].substr(0, 8), "on 9 52 ");   // the default drum of digit 3
    EXPECT_EQ(f.XSWB->text(), f.YQSZ[3]->itemText(17) + "_打击乐");
    EXPECT_TRUE(s.ScoreText.isEmpty());

    key(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_TRUE(f.BzQd->isChecked());
    key(Qt::Key_Minus, Qt::KeypadModifier);
    EXPECT_FALSE(f.BzQd->isChecked());
    key(Qt::Key_Minus);   // the main row's "-" is a note
    EXPECT_EQ(s.ScoreText, "LA");
}

TEST_F(LiveKeys, EffectKeysPlayOnTheEffectChannel)
{
    keyboard::Form1& f = play();
    key(Qt::Key_Q);
    EXPECT_EQ(sent(), (Strings{"cc 6 0 0", "pc 6 47", "pan 6 98", "on 6 48 100"}));
    EXPECT_EQ(f.XSWB->text(), "特殊音效\r\n         铜钹");
    EXPECT_TRUE(midi::state().ScoreText.isEmpty());
    EXPECT_FALSE(f.Timer1->enabled());
}

TEST_F(LiveKeys, EffectNotesEndAtTheNextEffectARestAndAStop)
{
    play();
    key(Qt::Key_A);   // the sea: sounds until something ends it
    midi.clear();
    key(Qt::Key_Q);
    ASSERT_GE(indexOf("on 6 48 100"), 0);
    EXPECT_EQ(count("off 6 60"), 1);
    EXPECT_LT(indexOf("off 6 60"), indexOf("on 6 48 100"));
    midi.clear();
    key(Qt::Key_Space);
    EXPECT_EQ(count("off 6 48"), 1);
    key(Qt::Key_S);
    midi.clear();
    key(Qt::Key_Backspace);
    EXPECT_EQ(count("off 6 60"), 1);
    midi.clear();
    key(Qt::Key_Space);   // nothing sounds on the effect channel any more
    for (const auto& m : sent()) EXPECT_NE(m.rfind("off 6 ", 0), 0u) << m;
}

TEST_F(LiveKeys, ChordKeysSetTheChordOfTheCurrentPosition)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.Check6->setChecked(false);
    s.ChordIndex = 1;
    key(Qt::Key_F);
    EXPECT_EQ(s.ChordDegrees[1], 4);
    EXPECT_EQ(s.ChordCount, 1);
    EXPECT_TRUE(f.HXYS->enabled());
    EXPECT_TRUE(f.Check6->isChecked());
    EXPECT_EQ(f.XSWB->text(), "和弦音效\r\n         4.6.1");

    s.ChordIndex = 4;   // the box already ticked: the running clock's position takes the chord
    key(Qt::Key_X);
    EXPECT_EQ(s.ChordDegrees[4], 6);
    EXPECT_EQ(s.ChordDegrees[1], 4);
    EXPECT_EQ(f.XSWB->text(), "和弦音效\r\n         6.1.3");
    EXPECT_TRUE(f.HXYS->enabled());   // the chord clock plays on

    s.ChordIndex = 10;   // outside the progression: nothing is written out of bounds
    key(Qt::Key_R);
    EXPECT_EQ(s.ChordCount, 1);
    EXPECT_TRUE(s.ScoreText.isEmpty());
}

TEST_F(LiveKeys, WaveEffectKeysPlayFilesOfTheEffectFolder)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    ASSERT_EQ(s.EffectWavNames[0], "玻璃1.wav");
    ASSERT_TRUE(sound_check::writeSound(appFolder + "音效/玻璃1.wav", sound_check::tone(880, 22050, 1, 0.2), 22050,
                                        1, SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    s.SoundFlags = 0;
    // The key handler gives the focus back to the catcher, wherever it was.
    f.Text3->setFocus();
    QTest::keyClick(f.SFYXYZ, Qt::Key_Insert);
    EXPECT_EQ(s.SoundFlags, 3);
    EXPECT_EQ(f.XSWB->text(), "玻璃1.wav_音效");
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);   // the focus comes back

    f.Check2->setChecked(true);
    key(Qt::Key_Insert, Qt::KeypadModifier);   // keypad 0 with NumLock off
    EXPECT_EQ(s.SoundFlags, 11);

    // A missing file plays nothing and says only its name.
    s.SoundFlags = 0;
    key(Qt::Key_Home);
    EXPECT_EQ(s.SoundFlags, 0);
    EXPECT_EQ(f.XSWB->text(), s.EffectWavNames[1] + "_音效");
    key(Qt::Key_Period, Qt::KeypadModifier);   // stops the effect; nothing else changes
    EXPECT_EQ(f.XSWB->text(), s.EffectWavNames[1] + "_音效");
    EXPECT_TRUE(midi.sent().empty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(LiveKeys, CatcherTakesEveryKeyBeforeShortcuts)
{
    keyboard::Form1& f = play();
    int fired = 0;
    for (auto k : {Qt::Key_G, Qt::Key_F1, Qt::Key_1}) {
        auto* shortcut = new QShortcut(QKeySequence(k), &f);
        QObject::connect(shortcut, &QShortcut::activated, [&fired] { ++fired; });
    }
    key(Qt::Key_G);
    key(Qt::Key_1);
    key(Qt::Key_F1);
    key(Qt::Key_Tab);   // Tab does not move the focus away from the keyboard
    EXPECT_EQ(fired, 0);
    EXPECT_EQ(midi::state().ScoreText, "KC2MC");
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    EXPECT_FALSE(f.SFYXYZ->testAttribute(Qt::WA_InputMethodEnabled));
}

// With no device open every message is refused; each action shows its refusal once.
class Refusals : public LiveFixture {
protected:
    // The boxes shown since the last call, with the largest number of boxes of one text.
    int boxesSince(int& maxPerText)
    {
        const QStringList shown = dialogs.messages.mid(seen);
        seen = int(dialogs.messages.size());
        maxPerText = 0;
        for (const QString& t : shown) maxPerText = std::max(maxPerText, int(shown.count(t)));
        return int(shown.size());
    }
    // Ends the action being handled: the program waits for the next event.
    static void endAction() { QCoreApplication::processEvents(); }
    int seen = 0;
};

TEST_F(Refusals, OneBoxPerTextForEachAction)
{
    midi.refuseOpen = platform::kMidiError;   // the device cannot be opened
    keyboard::Form1& f = start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    ASSERT_EQ(midi::state().MidiOutHandle, 0);
    int most = 0;
    endAction();
    EXPECT_GE(boxesSince(most), 1);   // the start-up
    EXPECT_EQ(most, 1);

    f.SFYXYZ->setFocus();
    f.Check5->setChecked(true);
    endAction();
    boxesSince(most);
    for (int k : {Qt::Key_G, Qt::Key_H, Qt::Key_Backspace, Qt::Key_F1, Qt::Key_Q, Qt::Key_Space}) {
        key(k);
        endAction();
        EXPECT_GE(boxesSince(most), 1) << k;
        EXPECT_EQ(most, 1) << k;
    }
    // The chord clock a chord key starts tells nothing the key has told; the next stroke tells again.
    for (int stroke = 0; stroke < 2; ++stroke) {
        key(Qt::Key_C);
        for (int i = 0; i < 8; ++i, endAction()) f.HXYS->tick();
        EXPECT_EQ(boxesSince(most), 1) << stroke;
    }
    // A click, and a tick of the score clock it started: the tick tells nothing the click has told.
    f.Text3->setPlainText("KC2KD2TZ");
    endAction();
    boxesSince(most);
    QTest::mouseClick(f.Yuepu[0], Qt::LeftButton);
    endAction();
    boxesSince(most);
    EXPECT_LE(most, 1);
    f.Timer3->tick();
    endAction();
    EXPECT_EQ(boxesSince(most), 0);
    EXPECT_TRUE(midi.sent().empty());   // nothing reaches a device
}

}  // namespace
