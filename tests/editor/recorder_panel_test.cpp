// The editor's recorder panel against the fake media service: the quality list, what each button
// sends to the device and in what order, the clock, failures, and the device shared with the
// hidden main window.
#include "support/editor_fixture.h"

using testing_support::EditorFixture;
using testing_support::ScriptedDialogs;

namespace {

class EditorRecorder : public EditorFixture {
protected:
    editor::YYBJ& e = open();
    EditorRecorder() { media.clear(); }

    void press(int button) { QTest::mouseClick(e.LUYINJI[button], Qt::LeftButton); }
    void play(const QString& path)
    {
        dialogs.openFiles.push_back(ScriptedDialogs::file(path));
        press(0);
    }
    void stop() { press(1); }
    void record() { press(2); }
    void save(const QString& path)
    {
        dialogs.saveFiles.push_back(ScriptedDialogs::file(path));
        press(3);
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) e.Lyjsj->tick();
    }
    // Which buttons show selected, as "0100".
    std::string selected() const
    {
        std::string out;
        for (QRadioButton* b : e.LUYINJI) out += b->isChecked() ? '1' : '0';
        return out;
    }
    bool atRest()
    {
        return selected() == "0000" && !e.Lyjsj->enabled() && e.LYSJ->text() == QStringLiteral("当前: 00:00") &&
               fields().RecMinutes == 0 && fields().RecSeconds == 0;
    }
};

TEST_F(EditorRecorder, TheQualityListSetsTheRecordingFormat)
{
    EXPECT_EQ(e.yinzi->count(), 3);
    EXPECT_EQ(e.yinzi->currentText(), QStringLiteral("好音质"));
    EXPECT_FALSE(e.yinzi->isEditable());
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 00:00"));
    EXPECT_EQ(e.yinzi->toolTip(), QStringLiteral("根据需要选择适应的录音音质！"));

    e.yinzi->setCurrentIndex(0);   // "CD音质"
    record();
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 16 44100 2", "record"}));
    stop();
    e.yinzi->setCurrentIndex(2);   // "普通音质"
    media.clear();
    record();
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 8 22050 2", "record"}));
    stop();
    e.yinzi->setCurrentIndex(1);
    media.clear();
    record();
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 8 44100 2", "record"}));

    // Every opening starts at "好音质".
    stop();
    e.yinzi->setCurrentIndex(0);
    e.close();
    open();
    EXPECT_EQ(e.yinzi->currentIndex(), 1);
    EXPECT_EQ(fields().RecBits, "8");
    EXPECT_EQ(fields().RecRate, "44100");
}

TEST_F(EditorRecorder, RecordStopSaveAndPlayInOrder)
{
    record();
    EXPECT_EQ(selected(), "0010");
    EXPECT_TRUE(e.Lyjsj->enabled());
    tick(3);
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:2"));

    media.clear();
    stop();
    EXPECT_EQ(media.ops, QStringList({"stop"}));
    EXPECT_EQ(selected(), "0100");
    EXPECT_FALSE(e.Lyjsj->enabled());
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 00:00"));
    EXPECT_EQ(fields().RecSeconds, 0);

    const QString take = recordFolder() + QStringLiteral("/my take.wav");
    save(take);
    EXPECT_EQ(media.ops, QStringList({"stop", "stop", "save " + take, "close"}));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("演奏录音(wav)|*.wav"));
    EXPECT_EQ(dialogs.saveRequests[0].flags, 2);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, e.DuiHu.InitDir);
    EXPECT_EQ(fields().EditFileName, take);
    EXPECT_EQ(selected(), "0000");   // save unselects play, record and itself
    EXPECT_FALSE(e.Lyjsj->enabled());

    media.clear();
    const QString song = QStringLiteral("/music/Old Song.mp3");
    play(song);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("演奏录音(wav)|*.wav|音乐(mp3)|*.mp3"));
    EXPECT_EQ(dialogs.openRequests[0].flags, 16);
    EXPECT_EQ(media.ops, QStringList({"close", "open " + song, "seek", "play"}));
    EXPECT_EQ(selected(), "1000");
    EXPECT_TRUE(e.Lyjsj->enabled());
    EXPECT_EQ(fields().EditFileName, song);

    // Record while a file plays ends the playback; play while recording ends the recording.
    media.clear();
    record();
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 8 44100 2", "record"}));
    media.clear();
    play(song);
    EXPECT_EQ(media.ops, QStringList({"close", "open " + song, "seek", "play"}));
}

TEST_F(EditorRecorder, EveryPressActsButRecordWhileThisPanelRecords)
{
    record();
    tick(5);
    media.clear();
    record();   // the take goes on
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(selected(), "0010");
    EXPECT_TRUE(e.Lyjsj->enabled());
    EXPECT_EQ(fields().RecSeconds, 5);

    stop();
    stop();
    EXPECT_EQ(media.ops, QStringList({"stop", "stop"}));
    play(QStringLiteral("/a.wav"));
    media.clear();
    play(QStringLiteral("/b.wav"));   // play again: the other file
    EXPECT_EQ(media.ops, QStringList({"close", "open /b.wav", "seek", "play"}));
    EXPECT_EQ(dialogs.openRequests.size(), 2u);
}

TEST_F(EditorRecorder, ACancelledPlayKeepsTheRecording)
{
    record();
    tick(2);
    media.clear();
    press(0);   // the dialog is cancelled while the take runs
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(selected(), "0000");
    EXPECT_TRUE(e.Lyjsj->enabled());   // still recording
    stop();
    press(0);   // cancelled again, after the stop
    EXPECT_EQ(selected(), "0000");
    save(QStringLiteral("/take.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "stop", "save /take.wav", "close"}));

    // A cancelled save leaves everything as it stands.
    record();
    media.clear();
    press(3);
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(selected(), "0000");
    EXPECT_TRUE(e.Lyjsj->enabled());
}

TEST_F(EditorRecorder, FailuresSayWhyAndLeaveThePanelAtRest)
{
    media.recordResult = false;   // a sound card without input
    media.error = QStringLiteral("没有可用的录音设备。");
    record();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], media.error);
    EXPECT_TRUE(atRest());

    media.error.clear();
    media.openFileResult = false;
    play(QStringLiteral("/notes.txt"));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_FALSE(dialogs.messages[1].isEmpty());
    EXPECT_TRUE(atRest());

    media.openFileResult = true;
    media.playResult = false;
    play(QStringLiteral("/a.wav"));
    EXPECT_EQ(dialogs.messages.size(), 3);
    EXPECT_TRUE(atRest());

    // A save that fails keeps the recording for another try.
    media.recordResult = true;
    record();
    tick(4);
    media.clear();
    media.saveResult = false;
    save(QStringLiteral("/readonly/a.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /readonly/a.wav"}));
    EXPECT_EQ(dialogs.messages.size(), 4);
    EXPECT_FALSE(dialogs.messages[3].isEmpty());
    EXPECT_TRUE(atRest());
    media.saveResult = true;
    media.clear();
    save(QStringLiteral("/home/a.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /home/a.wav", "close"}));
    EXPECT_EQ(dialogs.messages.size(), 4);
}

TEST_F(EditorRecorder, TheClockCountsAndThePollEndsAPlayback)
{
    record();
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:0"));
    tick(59);
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:59"));
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 1:0"));
    EXPECT_EQ(media.modeQueries, 61);

    play(QStringLiteral("/a.wav"));
    EXPECT_EQ(fields().RecSeconds, 0);   // playing counts from zero
    tick(2);
    media.clear();
    media.currentMode = platform::MediaMode::Stopped;   // the file has ended
    tick();
    EXPECT_EQ(media.ops, QStringList({"stop", "close"}));
    EXPECT_EQ(selected(), "0000");
    EXPECT_FALSE(e.Lyjsj->enabled());
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 00:00"));
    EXPECT_EQ(fields().RecSeconds, 1);   // the tick that saw the end still counts

    // A recording started now shows that second at its first tick; after a stop it shows zero.
    record();
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:1"));
    stop();
    record();
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:0"));
}

TEST_F(EditorRecorder, ADiskThatFillsCutsTheTakeAndTheSaveSaysItIsIncomplete)
{
    record();
    tick(65);
    media.cut = true;   // the take file could not be written further
    media.length = 65200;
    media.clear();
    tick();
    EXPECT_EQ(media.ops, QStringList({"stop"}));
    EXPECT_FALSE(e.Lyjsj->enabled());
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 1:5"));   // the clock stops where it stood
    EXPECT_EQ(selected(), "0000");
    save(QDir::tempPath() + "/cut.wav");
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("磁盘已满，录音无法继续写入，已在 1 分 5 秒处中断")));
    EXPECT_TRUE(dialogs.messages[1].contains(QStringLiteral("录音不完整")));
}

TEST_F(EditorRecorder, ATakeAfterAStopOrASaveCountsFromZero)
{
    record();
    tick(62);
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 1:1"));
    stop();
    record();
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:0"));

    tick(62);
    save(QStringLiteral("/take.wav"));   // saved while still recording
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 00:00"));
    record();
    tick();
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 0:0"));
}

TEST_F(EditorRecorder, ATakeTheMainWindowReplacedLeavesThePanelAtRest)
{
    record();
    tick(3);
    e.close();
    // Back in the main window a file is played: the device holds that now.
    dialogs.openFiles.push_back(ScriptedDialogs::file(QStringLiteral("/song.wav")));
    form->Image1[0]->click();
    ASSERT_TRUE(form->Lyjsj->enabled());
    open();
    media.clear();
    tick();
    EXPECT_EQ(selected(), "0000");
    EXPECT_FALSE(e.Lyjsj->enabled());
    EXPECT_EQ(e.LYSJ->text(), QStringLiteral("当前: 00:00"));
    EXPECT_TRUE(media.ops.isEmpty());   // the main window's playback goes on
    EXPECT_TRUE(form->Lyjsj->enabled());
}

TEST_F(EditorRecorder, TheEditorsRecordingOutlivesTheMainWindowsClockAndItsOwnClosing)
{
    // The main window was playing a file when the editor opened; its clock still runs, hidden.
    e.close();
    dialogs.openFiles.push_back(ScriptedDialogs::file(QStringLiteral("/song.wav")));
    form->Image1[0]->click();
    ASSERT_TRUE(form->Lyjsj->enabled());
    open();
    ASSERT_FALSE(form->isVisible());

    record();
    media.clear();
    form->Lyjsj->tick();
    tick();
    form->Lyjsj->tick();
    EXPECT_FALSE(media.ops.contains("close"));
    EXPECT_EQ(selected(), "0010");
    EXPECT_TRUE(e.Lyjsj->enabled());

    // Closing the editor sends nothing to the device and stops its clock; the take is saved at
    // the next opening.
    forms::FormTimer* clock = e.Lyjsj;
    e.close();
    EXPECT_FALSE(clock->enabled());
    EXPECT_FALSE(media.ops.contains("close"));
    EXPECT_FALSE(media.ops.contains("stop"));
    open();
    media.clear();
    save(QStringLiteral("/take.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /take.wav", "close"}));
}

}  // namespace
