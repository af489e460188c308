// The main window's recorder panel against the fake media service: what each button sends to
// the device, in order, and what the panel shows.
#include "support/main_window_fixture.h"

using testing_support::MainWindowFixture;
using testing_support::ScriptedDialogs;

namespace {

class RecorderPanel : public MainWindowFixture {
protected:
    keyboard::Form1& f = start();
    RecorderPanel() { media.clear(); }

    void play(const QString& path) { dialogs.openFiles.push_back(ScriptedDialogs::file(path)); f.Image1[0]->click(); }
    void save(const QString& path) { dialogs.saveFiles.push_back(ScriptedDialogs::file(path)); f.BcLY->click(); }
    void record() { f.Image1[2]->click(); }
    void stop() { f.Image1[1]->click(); }
    void tick(int n = 1) { for (int i = 0; i < n; ++i) f.Lyjsj->tick(); }
    std::array<int, 3> pictures() const { return f.Image1Picture; }
    bool idle() const { return !f.IsRecording && !f.IsPlaying && !f.Lyjsj->enabled() && f.Label12->text() == "00:00"; }
};

TEST_F(RecorderPanel, RecordTickStopAndSaveWithABlankInThePath)
{
    record();
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 8 44100 2", "record"}));
    EXPECT_EQ(media.takeFolder, recordFolder());   // the take streams where it is saved
    EXPECT_TRUE(f.IsRecording);
    EXPECT_EQ(pictures(), (std::array<int, 3>{107, 109, 112}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("录音中,请安静。。"));
    EXPECT_TRUE(f.BcLY->isEnabled());
    EXPECT_TRUE(f.Lyjsj->enabled());

    tick(60);
    EXPECT_EQ(f.Label12->text(), QStringLiteral("0:59"));
    tick();
    EXPECT_EQ(f.Label12->text(), QStringLiteral("1:0"));
    EXPECT_EQ(media.modeQueries, 61);

    media.clear();
    stop();
    EXPECT_EQ(media.ops, QStringList({"stop"}));
    EXPECT_TRUE(idle());
    EXPECT_EQ(pictures(), (std::array<int, 3>{107, 110, 111}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("录音机已停止。。。"));
    EXPECT_EQ(f.RecSeconds, 0);

    const QString path = recordFolder() + QStringLiteral("/my first take.wav");
    save(path);
    EXPECT_EQ(media.ops, QStringList({"stop", "stop", "save " + path, "close"}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("成功保存录音。。。"));
    EXPECT_FALSE(f.BcLY->isEnabled());
    EXPECT_EQ(f.LastFilePath, path);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("演奏录音(wav)|*.wav"));
    EXPECT_EQ(dialogs.saveRequests[0].flags, 2);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, f.CommonDialog1.InitDir);
}

TEST_F(RecorderPanel, ADiskThatFillsCutsTheTakeAndTheSaveSaysItIsIncomplete)
{
    record();
    tick(3);
    media.cut = true;   // the take file could not be written further
    media.length = 3480;
    media.clear();
    tick();
    EXPECT_EQ(media.ops, QStringList({"stop"}));
    EXPECT_FALSE(f.IsRecording);
    EXPECT_FALSE(f.Lyjsj->enabled());
    EXPECT_EQ(f.Label12->text(), QStringLiteral("0:3"));   // the clock stops where it stood
    EXPECT_EQ(pictures()[2], 111);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("磁盘已满，录音无法继续写入，已在 0 分 3 秒处中断")));
    save(recordFolder() + "/cut.wav");
    EXPECT_TRUE(media.ops.contains("save " + recordFolder() + "/cut.wav"));
    EXPECT_TRUE(f.FJWZ->text().startsWith(QStringLiteral("录音不完整")));
}

TEST_F(RecorderPanel, PlayToTheEndSeenByThePoll)
{
    const QString path = QStringLiteral("/music/Old Song.WAV");
    play(path);
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("演奏录音(wav)|*.wav|音乐(mp3)|*.mp3"));
    EXPECT_EQ(dialogs.openRequests[0].flags, 16);
    EXPECT_EQ(media.ops, QStringList({"close", "open " + path, "seek", "play"}));
    EXPECT_TRUE(f.IsPlaying);
    EXPECT_EQ(f.PlayPath, path);
    EXPECT_EQ(pictures(), (std::array<int, 3>{108, 109, 111}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("正在播放录音。。。"));
    EXPECT_FALSE(f.BcLY->isEnabled());

    media.clear();
    tick(2);
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(f.Label12->text(), QStringLiteral("0:1"));

    media.currentMode = platform::MediaMode::Stopped;   // the file has ended
    tick();
    EXPECT_EQ(media.ops, QStringList({"stop", "close"}));
    EXPECT_TRUE(idle());
    EXPECT_EQ(pictures(), (std::array<int, 3>{107, 110, 111}));
    EXPECT_EQ(f.RecSeconds, 1);   // the tick that saw the end still counts
}

TEST_F(RecorderPanel, RefusalsAndARepeatedRecordChangeNothingOnTheDevice)
{
    record();
    media.clear();
    record();   // the take goes on
    f.Image1[0]->click();
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_TRUE(dialogs.openRequests.empty());
    EXPECT_TRUE(f.IsRecording);
    EXPECT_EQ(pictures(), (std::array<int, 3>{107, 109, 112}));

    stop();
    play(QStringLiteral("/a.mp3"));
    media.clear();
    record();
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_TRUE(f.IsPlaying);
    EXPECT_EQ(pictures()[2], 111);
}

TEST_F(RecorderPanel, CancelledPlayKeepsTheUnsavedRecording)
{
    record();
    stop();
    media.clear();
    f.Image1[0]->click();   // the dialog is cancelled
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(pictures()[0], 107);
    save(QStringLiteral("/take.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /take.wav", "close"}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("成功保存录音。。。"));
}

TEST_F(RecorderPanel, FailedStartsLeaveThePanelIdleAndShowTheWholeReason)
{
    // A reason far longer than the title line.
    media.error = QStringLiteral("不能播放 /home/user/演奏记录/一个很长很长的文件夹名字/notes.txt：只能播放 WAV 和 MP3 文件。");
    media.openFileResult = false;
    play(QStringLiteral("/home/user/演奏记录/一个很长很长的文件夹名字/notes.txt"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(pictures()[0], 107);
    EXPECT_EQ(dialogs.messages, QStringList{media.error});
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("无法播放录音。。。"));

    media.openFileResult = true;
    media.playResult = false;
    media.error = QStringLiteral("没有打开声音输出设备（No available audio device）。");
    play(QStringLiteral("/a.wav"));
    EXPECT_TRUE(idle());
    EXPECT_EQ(dialogs.messages.last(), media.error);

    media.recordResult = false;   // no capture device
    media.error = QStringLiteral("没有找到可用的录音设备（Couldn't open audio device: No such device）。");
    record();
    EXPECT_TRUE(idle());
    EXPECT_EQ(pictures()[2], 111);
    EXPECT_FALSE(f.BcLY->isEnabled());
    EXPECT_EQ(dialogs.messages.last(), media.error);
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("无法录音。。。"));
    EXPECT_EQ(dialogs.messages.size(), 3);
}

TEST_F(RecorderPanel, SaveReportsTheRealResult)
{
    f.BcLY->setEnabled(true);
    f.BcLY->click();   // cancelled: no box
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("没有保存录音。。。"));
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    record();
    media.clear();
    media.saveResult = false;   // nothing recorded, or the folder cannot be written
    media.error = QStringLiteral("无法保存录音到 /readonly/a.wav（Permission denied）。");
    save(QStringLiteral("/readonly/a.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /readonly/a.wav"}));   // not closed
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("没有保存录音。。。"));
    EXPECT_EQ(dialogs.messages, QStringList{media.error});
    EXPECT_TRUE(idle());
    EXPECT_TRUE(f.BcLY->isEnabled());   // the take is still there to be saved elsewhere

    media.saveResult = true;
    media.clear();
    save(QStringLiteral("/home/a.wav"));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /home/a.wav", "close"}));
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("成功保存录音。。。"));
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(RecorderPanel, PollOfAHiddenWindowLeavesAnotherWindowsRecordingAlone)
{
    play(QStringLiteral("/a.wav"));
    f.hide();
    midi::RecorderSession otherWindow;
    ASSERT_TRUE(otherWindow.startRecording(16, 44100));
    otherWindow.stop();   // the device now reads stopped, holding the other window's take
    media.clear();

    tick();
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_TRUE(idle());
    EXPECT_TRUE(otherWindow.save(QStringLiteral("/take.wav")));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /take.wav", "close"}));
}

TEST_F(RecorderPanel, LeavingTheProgramClosesTheDevice)
{
    record();
    media.clear();
    f.close();
    EXPECT_EQ(media.ops, QStringList({"close"}));
    EXPECT_FALSE(f.Lyjsj->enabled());
}

}  // namespace
