// Automatic score playback on the real main window, driven by hand-made ticks of the score
// clock: which notes sound on which tick, and how playback ends.
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/yylr.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <functional>
#include <map>
#include <set>

// Readable texts in failure messages.
static void PrintTo(const QString& s, std::ostream* os) { *os << s.toStdString(); }

namespace {

using testing_support::MainWindowFixture;

const QString kScoreError = QStringLiteral("乐谱中出现错误，请修改！");

class PlaybackTest : public MainWindowFixture {
protected:
    keyboard::Form1& f() { return *form; }

    void play(const QString& score)
    {
        f().Text3->setPlainText(score);
        midi.clear();
        f().Yuepu[0]->click();
    }

    // Note-ons on channel 0 (offsets above the base note) of the messages since the last clear.
    std::vector<int> notesOn()
    {
        std::vector<int> out;
        for (uint32_t v : midi.sent())
            if ((v & 0xFF) == 0x90) out.push_back(int((v >> 8) & 0xFF) - midi::state().BaseNote);
        return out;
    }
    bool sentStatus(uint32_t status)
    {
        for (uint32_t v : midi.sent())
            if ((v & 0xFF) == status) return true;
        return false;
    }

    // Ticks the score clock while it runs (at most `limit` ticks); returns tick -> note started.
    std::map<int, int> run(int limit = 400)
    {
        std::map<int, int> started;
        for (ticks = 1; ticks <= limit && f().Timer3->running(); ++ticks) {
            midi.clear();
            f().Timer3->tick();
            for (int n : notesOn()) started[ticks] = n;
        }
        --ticks;
        return started;
    }
    void tickN(int n)
    {
        for (int i = 0; i < n; ++i) f().Timer3->tick();
    }

    bool idle()
    {
        return !f().Timer3->running() && !f().Auditioning && f().Yuepu[0]->text() == QStringLiteral("试听");
    }

    void SetUp() override
    {
        start();
        openDevice();
        dialogs.messages.clear();   // the start-up's sends before the device was open
    }

    // Two rhythm files in the record folder ("a.bin", "b.bin"), then a fresh window lists them.
    void writeRhythmFiles()
    {
        const QString record = QStringLiteral("050200010200") + QString(49, '-');
        for (const char* name : {"a.bin", "b.bin"})
            ASSERT_TRUE(forms::writeText(recordFolder() + "/" + name,
                                         record + QString(name).leftJustified(16) + "\r\n"));
        form.reset();
        start();
        openDevice();
        dialogs.messages.clear();   // the start-up's sends before the device was open
    }

    int ticks = 0;
};

TEST_F(PlaybackTest, SpaceBarEndsAScoreThatIsPlaying)
{
    play("KC8KD8KE8TZ");
    ASSERT_TRUE(f().Auditioning);
    tickN(3);
    QTest::keyClick(f().SFYXYZ, Qt::Key_Space);
    EXPECT_TRUE(idle());
    midi.clear();
    tickN(20);   // a stray tick plays nothing more
    EXPECT_TRUE(notesOn().empty());
}

// A second click on the button ("停止") stops the score and gives the keys back at once.
TEST_F(PlaybackTest, StoppingWithTheButtonGivesTheKeysBack)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    f().Text3->setPlainText(QStringLiteral("KC8KD8KE8TZ"));
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
    tickN(1);
    ASSERT_EQ(f().Yuepu[0]->text(), QStringLiteral("停止"));
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
    ASSERT_TRUE(idle());
    EXPECT_EQ(QApplication::focusWidget(), f().SFYXYZ);
    midi.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
    ASSERT_FALSE(notesOn().empty());
    EXPECT_EQ(notesOn().front(), 24);
    EXPECT_TRUE(f().Timer1->enabled());   // the key starts a take
}

// Playback as the user meets it: a click on "试听", then keys to whatever holds the focus.
TEST_F(PlaybackTest, PlaybackLeavesTheKeyboardToTheKeyCatcher)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const QString score = QStringLiteral("KC8KD8KE8TZ");
    f().Text3->setPlainText(score);
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
    ASSERT_TRUE(f().Auditioning);
    EXPECT_EQ(QApplication::focusWidget(), f().SFYXYZ);

    // The token being read is selected, and the box shows the selection without the focus.
    const QTextCursor c = f().Text3->textCursor();
    EXPECT_EQ(c.selectionStart(), 1);
    EXPECT_EQ(c.selectionEnd(), 2);
    const QColor highlight = f().Text3->palette().color(QPalette::Active, QPalette::Highlight);
    const QImage shown = f().Text3->viewport()->grab().toImage();
    bool highlighted = false;
    for (int y = 0; y < shown.height() && !highlighted; ++y)
        for (int x = 0; x < shown.width() && !highlighted; ++x)
            highlighted = shown.pixelColor(x, y) == highlight;
    EXPECT_TRUE(highlighted);

    tickN(1);   // "KC" sounds
    // A key plays along; neither the score nor its box changes.
    midi.clear();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_J);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(notesOn().front(), 28);
    EXPECT_EQ(f().Text3->toPlainText(), score);
    EXPECT_EQ(midi::state().ScoreText, score);
    EXPECT_FALSE(f().Timer1->enabled());   // no take is recorded into the playing score

    // A key between the score's reading of "KD" and the tick that sounds it: the score still
    // sounds its own note.
    tickN(7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_L);
    midi.clear();
    tickN(1);
    EXPECT_EQ(notesOn().front(), 26);

    // Clicking into the box and typing changes nothing while the score plays.
    QTest::mouseClick(f().Text3->viewport(), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "x");
    EXPECT_EQ(f().Text3->toPlainText(), score);

    // The space bar stops the score from there too, and adds nothing to it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(idle());
    EXPECT_EQ(midi::state().ScoreText, score);
    midi.clear();
    tickN(10);
    EXPECT_TRUE(notesOn().empty());
    // Then the box takes typing again.
    f().Text3->setFocus();
    QTest::keyClick(f().Text3, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(f().Text3, "KC");
    EXPECT_EQ(f().Text3->toPlainText(), score + "KC");
}

// The score draws no key; a key played along is drawn as the user holds it.
TEST_F(PlaybackTest, KeysPlayedAlongAreDrawnReleasedAtTheirKeyUpAndAtTheStop)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    f().Text3->setPlainText(QStringLiteral("KC4KD4KE4TZ"));
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
    tickN(1);
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_G);
    EXPECT_EQ(f().KeyPicture[24], 103);
    tickN(4);   // the score's next note
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_G);
    EXPECT_EQ(f().KeyPicture[24], 102);
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_K);   // still held at the stop
    tickN(4);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(f().KeyPicture[29], 102);
}

TEST_F(PlaybackTest, ClocksKeepTimeUnderAFileDialogAndAMessageBox)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    f().Text3->setPlainText("KC2KD2KE2KF2KG2KA2KB2HC2HD2HE2TZ");
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
    midi.clear();
    // The user looks for a file for the recorder for 1.5 s: the score plays on. The waits are
    // long beside the two ticks asked for, so a loaded machine still passes a working clock.
    dialogs.onFileDialog = [] { QTest::qWait(1500); };
    QTest::mouseClick(f().Image1[0], Qt::LeftButton);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_GE(notesOn().size(), 2u);

    // The live clock counts on under a message box, and the score clock plays on.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);   // the score stops
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
    ASSERT_TRUE(f().Timer1->enabled());
    const int held = midi::state().HoldTicks;
    dialogs.onMessage = [] { QTest::qWait(1000); };
    forms::MsgBox(QStringLiteral("提示"), form.get());
    EXPECT_GE(midi::state().HoldTicks, held + 2);
}

TEST_F(PlaybackTest, TheScoreClockWaitsWhileAMidiErrorBoxIsOpen)
{
    play("KC4KD4TZ");
    tickN(1);
    const int32_t tick = f().Player.NoteTick;
    // A key played along has its messages refused: the score clock fires before its box shows
    // and while the box is open.
    midi.refuseSend = platform::kMidiNotReady;
    dialogs.onMessage = [this] { f().Timer3->tick(); };
    QTest::keyClick(f().SFYXYZ, Qt::Key_G);
    f().Timer3->tick();
    EXPECT_EQ(f().Player.NoteTick, tick);
    afterHandler();
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_EQ(f().Player.NoteTick, tick);
    dialogs.onMessage = nullptr;
    midi.refuseSend = 0;
    tickN(1);
    EXPECT_EQ(f().Player.NoteTick, tick + 1);
}

// The user clicked into the score box while it played: at its end the keys play again.
TEST_F(PlaybackTest, TheEndOfTheScoreGivesTheKeysBackToTheKeyCatcher)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (const char* score : {"KC2KD2TZ", "KC2KD2KE", "KC2KD2KE2"}) {
        f().Text3->setPlainText(score);
        QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);
        tickN(1);
        QTest::mouseClick(f().Text3->viewport(), Qt::LeftButton);
        tickN(1);   // "KD" is read: the box keeps the focus the user gave it until the end
        ASSERT_EQ(QApplication::focusWidget(), f().Text3->viewport()->parentWidget());
        run();
        ASSERT_TRUE(idle()) << score;
        EXPECT_EQ(QApplication::focusWidget(), f().SFYXYZ) << score;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
        EXPECT_TRUE(f().Timer1->enabled()) << score;
        const QString box = f().Text3->toPlainText();   // the new take follows the score
        EXPECT_TRUE(box.startsWith(score) && box.endsWith("KC")) << box.toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    }
}

// A score error ends the sounding note before its box: nothing hangs while the box is read.
TEST_F(PlaybackTest, AScoreErrorSilencesTheNoteBeforeItsBox)
{
    auto& s = midi::state();
    play("KC2KD2??");
    tickN(3);   // "KD" sounds
    ASSERT_EQ(s.LastKey, 26);
    const uint32_t kdOff = 0x80u | (uint32_t(26 + s.BaseNote) << 8);
    bool offBeforeBox = false;
    dialogs.onMessage = [&] {
        const std::vector<uint32_t> sent = midi.sent();
        offBeforeBox = std::find(sent.begin(), sent.end(), kdOff) != sent.end();
    };
    midi.clear();
    tickN(1);
    EXPECT_EQ(dialogs.messages, QStringList{kScoreError});
    EXPECT_TRUE(offBeforeBox);
    EXPECT_TRUE(idle());
}

// Keys played along leave notes beside the score's: a key's melody note, an effect key's note and
// a chord key's chord clock. Every way of stopping ends them all, and no chord follows.
TEST_F(PlaybackTest, EveryStopEndsWhatKeysPlayedAlongStarted)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    forms::registerWindow(forms::window::Editor, {[] {}, [] {}, [] { return false; }});
    const std::pair<QString, std::function<void()>> stops[] = {
        {"KC8KD8TZ", [&] { QTest::mouseClick(f().Yuepu[0], Qt::LeftButton); }},   // "停止"
        {"KC8TZ", [&] { tickN(7); }},                                          // a stop token
        {"KC8KD", [&] { tickN(7); }},                                          // the end of the score
        {"KC8KD8TZ", [&] { QTest::mouseClick(f().BJCK, Qt::LeftButton); }},     // "编辑"
    };
    for (const auto& [score, stop] : stops) {
        play(score);
        tickN(1);
        for (Qt::Key key : {Qt::Key_G, Qt::Key_A, Qt::Key_R, Qt::Key_H})   // note, effect, chord, note
            QTest::keyClick(QApplication::focusWidget(), key);
        f().HXYS->tick();   // the chord key's chord sounds
        stop();
        ASSERT_TRUE(idle()) << score.toStdString();
        EXPECT_FALSE(f().HXYS->enabled()) << score.toStdString();
        std::set<uint32_t> sounding;   // channel and note of each note-on not ended since
        for (uint32_t v : midi.sent())
            if ((v & 0xF0) == 0x90 && (v >> 16) > 0 && (v & 0x0F) != 9) sounding.insert(v & 0xFF0F);
            else if ((v & 0xF0) == 0x80) sounding.erase(v & 0xFF0F);
        EXPECT_TRUE(sounding.empty()) << score.toStdString() << " leaves " << std::hex << *sounding.begin();
    }
    forms::unregisterWindow(forms::window::Editor);
}

TEST_F(PlaybackTest, AnInstrumentGroupCommandSetsTheThreeLayers)
{
    auto& s = midi::state();
    s.PresetTable[2] = {41, 0, 12, 0};
    play("KC8YQ3KDTZ");
    EXPECT_EQ(run().size(), 2u);
    EXPECT_EQ(s.ChannelProgram[0], 41);
    EXPECT_EQ(f().ComSounds[0]->currentIndex(), 41);
    EXPECT_EQ(f().ComSounds[1]->currentIndex(), 0);
    EXPECT_EQ(f().ComSounds[2]->currentIndex(), 12);
}

TEST_F(PlaybackTest, ScoresThatEndAtOnce)
{
    // "TZ" alone: stops at once, no message, the button can start again.
    play("TZ");
    EXPECT_TRUE(idle());
    EXPECT_TRUE(notesOn().empty());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // An empty box: the score error at once, and the button is ready to play.
    play("");
    EXPECT_EQ(dialogs.messages, QStringList{kScoreError});
    EXPECT_TRUE(idle());

    // The next click plays (it is not taken for a stop).
    play("KC4KDTZ");
    EXPECT_TRUE(f().Auditioning);
    EXPECT_TRUE(f().Timer3->running());
}

TEST_F(PlaybackTest, ARestSilencesAndTheEndStopsEverything)
{
    auto& s = midi::state();
    f().Check5->setChecked(true);
    // Lower-case text plays: "试听" upper-cases the box first.
    play("kc2xz2kd2tz");
    f().BzQd->setChecked(true);   // the free rhythm started while the score plays
    EXPECT_EQ(f().Text3->toPlainText(), "KC2XZ2KD2TZ");
    tickN(1);   // "KC" sounds
    midi.clear();
    tickN(1);   // its second tick reads the rest: every note of the keys off on the three layers
    const uint32_t kcOff = 0x80u | (uint32_t(24 + s.BaseNote) << 8);
    std::vector<uint32_t> sent = midi.sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), kcOff), sent.end());
    EXPECT_NE(std::find(sent.begin(), sent.end(), kcOff | 2u), sent.end());
    EXPECT_FALSE(sentStatus(0x83));   // the chord voices go on through the rest
    EXPECT_EQ(s.CurKey, 254);
    tickN(3);   // the rest's two ticks, "KD" sounds
    s.CurStep = 5;
    s.RhythmStep = 3;
    s.ChordIndex = 2;
    midi.clear();
    tickN(1);   // the second tick of "KD" reads "TZ"
    EXPECT_TRUE(idle());
    EXPECT_FALSE(f().BZDS->enabled());
    EXPECT_FALSE(f().BzQd->isChecked());
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(f().Player.NoteTick, 0);
    EXPECT_EQ(s.CurKey, 255);
    EXPECT_TRUE(sentStatus(0x84));   // the chord voices are silenced too
    sent = midi.sent();
    const uint32_t kdOff = 0x80u | (uint32_t(26 + s.BaseNote) << 8);
    EXPECT_NE(std::find(sent.begin(), sent.end(), kdOff), sent.end());
}

TEST_F(PlaybackTest, TheAccompanimentFollowsTheScoreOnlyWithAutoSync)
{
    auto& s = midi::state();
    f().Check5->setChecked(false);
    s.CurStep = 0;
    play("KC4KD4TZ");
    tickN(6);
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_FALSE(sentStatus(0xB9));   // no bar accents on the percussion channel
    f().Yuepu[0]->click();
    f().Check5->setChecked(true);
    play("KC4KD4TZ");
    s.CurStep = 0;
    midi.clear();
    tickN(6);
    EXPECT_EQ(s.CurStep, 3);
}

TEST_F(PlaybackTest, RhythmCommands)
{
    writeRhythmFiles();

    f().Check5->setChecked(true);
    play("JP99KC2KDTZ");
    EXPECT_FALSE(f().Check5->isChecked());
    EXPECT_EQ(run().size(), 2u);

    // A number without a listed file does nothing; playback goes on.
    const int row = f().File1->currentRow();
    f().Check5->setChecked(true);
    play("JP3KC2KDTZ");
    EXPECT_TRUE(f().Check5->isChecked());
    EXPECT_EQ(f().File1->currentRow(), row);
    EXPECT_EQ(run().size(), 2u);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PlaybackTest, TwoCommandsTakeEffectBeforeTheFirstTick)
{
    writeRhythmFiles();
    f().Check5->setChecked(false);

    play("VS5JP2KC4KDTZ");
    EXPECT_EQ(f().SD->currentText(), "60");
    EXPECT_EQ(midi::state().StepMs, 125);
    EXPECT_EQ(f().Timer3->interval(), 125);
    EXPECT_EQ(f().File1->currentRow(), 1);
    EXPECT_EQ(f().Label11->text(), QStringLiteral("2★b.bin"));
    EXPECT_TRUE(f().Check5->isChecked());
    f().Check5->setChecked(false);   // keep the accompaniment out of the note timing
    const auto started = run();
    EXPECT_EQ(started, (std::map<int, int>{{1, 24}, {5, 26}}));
}

TEST_F(PlaybackTest, TempoOutOfRangeHaltsUntilStopped)
{
    play("VS0KC8TZ");
    EXPECT_FALSE(f().Timer3->running());
    EXPECT_TRUE(f().Auditioning);
    EXPECT_EQ(f().Yuepu[0]->text(), QStringLiteral("停止"));
    tickN(5);
    EXPECT_TRUE(notesOn().empty());

    // The space bar stops it too, and adds nothing to the score.
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    f().SFYXYZ->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(idle());
    EXPECT_EQ(midi::state().ScoreText, "VS0KC8TZ");
    play("KC2KDTZ");         // and play again
    EXPECT_EQ(run().size(), 2u);
}

TEST_F(PlaybackTest, LengthZeroHoldsTheNoteUntilStopped)
{
    play("KC0KDTZ");
    tickN(300);
    EXPECT_TRUE(f().Timer3->running());
    EXPECT_EQ(midi::state().LastKey, 24);
    midi.clear();
    f().Yuepu[0]->click();
    EXPECT_TRUE(idle());
    EXPECT_TRUE(sentStatus(0x80));   // the held note is turned off
}

TEST_F(PlaybackTest, TempoComesFromAnAcceptedTempoOnly)
{
    // An emptied or out-of-range tempo box keeps the step in force: no division by the text.
    f().SD->setEditText("");
    play("KC2KDTZ");
    EXPECT_EQ(f().Timer3->interval(), 107);
    f().Yuepu[0]->click();
    f().SD->setEditText("300");
    play("KC2KDTZ");
    EXPECT_EQ(f().Timer3->interval(), 107);
    f().Yuepu[0]->click();
    // A tempo the box has accepted is used.
    f().SD->setEditText("100");
    f().SD_LostFocus();
    play("KC2KDTZ");
    EXPECT_EQ(f().Timer3->interval(), 75);
    // A tempo typed while the score plays is taken at the next token.
    f().SD->setEditText("120");
    tickN(2);
    EXPECT_EQ(f().Timer3->interval(), 62);
}

TEST_F(PlaybackTest, LongScoresPlay)
{
    // 33000 characters of tempo commands, then two notes: read in one go and played to the end.
    QString score;
    for (int i = 0; i < 11000; ++i) score += "VS9";
    play(score + "KC2KDTZ");
    EXPECT_EQ(f().SD->currentText(), "80");
    const auto started = run();
    EXPECT_EQ(started, (std::map<int, int>{{1, 24}, {3, 26}}));
    EXPECT_TRUE(idle());
    EXPECT_EQ(f().Player.ScorePos, 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(PlaybackTest, PlaybackGoesOnWhileTheWindowIsHidden)
{
    play("KC2KDKETZ");
    f().XINJIAN->click();
    EXPECT_FALSE(f().isVisible());
    ASSERT_NE(f().ScoreEntry, nullptr);
    EXPECT_TRUE(f().ScoreEntry->isVisible());
    const int cursorBefore = f().Text3->textCursor().position();
    const auto started = run();
    EXPECT_EQ(started.size(), 3u);
    EXPECT_TRUE(idle());
    EXPECT_EQ(f().Text3->textCursor().position(), cursorBefore);   // no focus moves while hidden
}

}  // namespace
