// The score buttons on the real main window: play and stop, open, save, clear, delete, the
// score-entry dialog button and the rhythm list's pop-up.
#include "forms/textfile.h"
#include "keyboard/yylr.h"
#include "resources/pictures.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <sys/stat.h>

static void PrintTo(const QString& s, std::ostream* os) { *os << s.toStdString(); }

namespace {

const QString kScoreError = QStringLiteral("乐谱中出现错误，请修改！");

class ScorePanelTest : public testing_support::MainWindowFixture {
protected:
    void SetUp() override
    {
        start();
        openDevice();
        dialogs.messages.clear();
    }
    keyboard::Form1& f() { return *form; }

    void play(const QString& score)
    {
        f().Text3->setPlainText(score);
        f().Yuepu[0]->click();
    }
    int notesStarted(int ticks)
    {
        midi.clear();
        for (int i = 0; i < ticks; ++i) f().Timer3->tick();
        int n = 0;
        for (uint32_t v : midi.sent())
            if ((v & 0xFF) == 0x90) ++n;
        return n;
    }
    // Playback stopped: clock, caption and flag.
    bool playbackStopped()
    {
        return !f().Timer3->running() && !f().Auditioning &&
               f().Yuepu[0]->text() == QStringLiteral("试听");
    }
    // Stopped in every respect: playback and the free rhythm.
    bool stoppedConsistently() { return playbackStopped() && !f().BZDS->enabled() && !f().BzQd->isChecked(); }
    // Playback stopped, the free rhythm left running.
    bool stoppedWithTheFreeRhythmOn() { return playbackStopped() && f().BZDS->enabled() && f().BzQd->isChecked(); }
    void playWithFreeRhythm(const QString& score)
    {
        play(score);
        f().BzQd->setChecked(true);
        f().BZDS->setEnabled(true);
        ASSERT_TRUE(f().Auditioning);
    }
    QByteArray bytesOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    QString scorePath(const QString& name) { return recordFolder() + "/" + name; }
};

TEST_F(ScorePanelTest, StopButtonStopsEverythingAndTheNextClickPlays)
{
    playWithFreeRhythm("KC4KDTZ");
    f().Timer3->tick();
    midi.clear();
    f().Yuepu[0]->click();
    EXPECT_TRUE(stoppedConsistently());
    ASSERT_FALSE(midi.sent().empty());
    EXPECT_EQ(midi.sent().front(), 0x80u | (uint32_t(24 + midi::state().BaseNote) << 8));   // note off first
    f().Yuepu[0]->click();
    EXPECT_TRUE(f().Auditioning);
    EXPECT_TRUE(f().Timer3->running());
}

TEST_F(ScorePanelTest, RightButtonPressStopsAndTheNextClickPlays)
{
    playWithFreeRhythm("KC4KDTZ");
    QTest::mousePress(f().Yuepu[0], Qt::RightButton);
    QTest::mouseRelease(f().Yuepu[0], Qt::RightButton);
    EXPECT_TRUE(stoppedConsistently());
    f().Yuepu[0]->click();
    EXPECT_TRUE(f().Auditioning);
    EXPECT_EQ(notesStarted(1), 1);
}

TEST_F(ScorePanelTest, OpenStopsThePlaybackNotTheFreeRhythmAndACancelKeepsTheScore)
{
    playWithFreeRhythm("KC4KDTZ");
    f().Yuepu[2]->click();   // cancelled
    EXPECT_TRUE(stoppedWithTheFreeRhythmOn());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(midi::state().ScoreText, "KC4KDTZ");
    EXPECT_EQ(f().Text3->toPlainText(), "KC4KDTZ");
    ASSERT_EQ(dialogs.openRequests.size(), 1u);
    EXPECT_EQ(dialogs.openRequests[0].filter, QStringLiteral("乐谱记录txt|*.txt"));
    EXPECT_EQ(dialogs.openRequests[0].initialDir, f().CommonDialog1.InitDir);
}

TEST_F(ScorePanelTest, OpenReplacesTheScoreOnlyWithAFileThatWasRead)
{
    play("KC4KDTZ");
    const QString pipe = scorePath("pipe.txt");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    dialogs.openFiles.push_back(dialogs.file(pipe));
    QTest::mouseClick(f().Yuepu[2], Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("无法读取这个乐谱文件，请检查！")});
    EXPECT_EQ(midi::state().ScoreText, "KC4KDTZ");
    EXPECT_EQ(f().Text3->toPlainText(), "KC4KDTZ");
    EXPECT_TRUE(playbackStopped());
}

TEST_F(ScorePanelTest, OpenRefusesAFileThatIsNotTextOrIsEmptyAndKeepsTheScore)
{
    // Text in UTF-16, GBK and UTF-8; a NUL, bytes GBK cannot decode, UTF-16 cut short; two empty files.
    const QByteArray files[] = {{"\xFF\xFET\0Z\0", 6}, "KC2TZ\xC4\xE3\r\n", "KC2TZ\t\xE4\xBD\xA0\x1A", {"KC2\0TZ", 6},
                                "KC2\x81 TZ", "\xFF\xFEK", "", "\xEF\xBB\xBF\r\n"};
    for (const QByteArray& bytes : files) {
        ASSERT_TRUE(forms::writeBytes(scorePath("x.txt"), bytes));
        dialogs.openFiles.push_back(dialogs.file(scorePath("x.txt")));
        QTest::mouseClick(f().Yuepu[2], Qt::LeftButton);
    }
    ASSERT_EQ(dialogs.messages.size(), 5) << dialogs.messages.join('|').toStdString();
    EXPECT_EQ(dialogs.messages.filter(QStringLiteral("不是乐谱文件")).size(), 3);
    EXPECT_EQ(dialogs.messages.filter(QStringLiteral("是空的")).size(), 2);
    EXPECT_EQ(midi::state().ScoreText, QStringLiteral("KC2TZ\t你"));   // the last text read stays
    EXPECT_EQ(f().Text3->toPlainText(), midi::state().ScoreText);
}

TEST_F(ScorePanelTest, OpenJoinsTheLinesAndPlaysAtOnce)
{
    const QString path = scorePath("lines.txt");
    ASSERT_TRUE(forms::writeBytes(path, "KC2\r\nKD\nXZ\r\nKE\r\nTZ\r\n"));
    f().File1->setVisible(true);
    auto& s = midi::state();
    s.CurStep = 5;   // where an accompaniment stood
    s.RhythmStep = 3;
    s.ChordIndex = 4;
    dialogs.openFiles.push_back(dialogs.file(path));
    f().Yuepu[2]->click();
    // The opened score's accompaniment starts from the pattern's start and the first chord.
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(midi::state().ScoreText, "KC2KDXZKETZ");
    EXPECT_EQ(f().Text3->toPlainText(), "KC2KDXZKETZ");
    EXPECT_TRUE(f().File1->isHidden());
    EXPECT_EQ(f().LastFilePath, path);
    EXPECT_TRUE(f().Auditioning);
    EXPECT_EQ(f().Yuepu[0]->text(), QStringLiteral("停止"));
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("自动演奏中。。。"));
    EXPECT_EQ(notesStarted(8), 3);
    EXPECT_FALSE(f().Auditioning);

    // Lower-case tokens in a file are not upper-cased: playback stops at the first one.
    ASSERT_TRUE(forms::writeBytes(path, "KC2kdTZ\r\n"));
    dialogs.openFiles.push_back(dialogs.file(path));
    f().Yuepu[2]->click();
    EXPECT_EQ(notesStarted(2), 1);
    EXPECT_EQ(dialogs.messages, QStringList{kScoreError});
}

TEST_F(ScorePanelTest, SaveWritesTheBoxAsTypedWithCrLf)
{
    playWithFreeRhythm("KC4KDTZ");
    f().Text3->setPlainText("kc8KDTZ");
    const QString path = scorePath("saved.txt");
    dialogs.saveFiles.push_back(dialogs.file(path));
    f().Yuepu[4]->click();
    EXPECT_TRUE(stoppedWithTheFreeRhythmOn());
    EXPECT_EQ(dialogs.saveRequests.at(0).flags & 2, 2);
    EXPECT_EQ(bytesOf(path), QByteArray("kc8KDTZ\r\n"));
    EXPECT_EQ(midi::state().ScoreText, "kc8KDTZ");
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("成功保存乐谱。。。"));

    // A line break typed into the box is written as CR LF, like the file's own line end.
    f().Text3->setPlainText("KC8\nKDTZ");
    const QString broken = scorePath("broken.txt");
    dialogs.saveFiles.push_back(dialogs.file(broken));
    f().Yuepu[4]->click();
    EXPECT_EQ(bytesOf(broken), QByteArray("KC8\r\nKDTZ\r\n"));

    // An empty box asks for a name and writes nothing.
    f().Text3->clear();
    f().FJWZ->clear();
    const QString empty = scorePath("empty.txt");
    dialogs.saveFiles.push_back(dialogs.file(empty));
    f().Yuepu[4]->click();
    EXPECT_EQ(dialogs.saveRequests.size(), 3u);
    EXPECT_FALSE(QFile::exists(empty));
    EXPECT_TRUE(f().FJWZ->text().isEmpty());

    // A write that fails is not reported as saved.
    f().Text3->setPlainText("KCTZ");
    dialogs.saveFiles.push_back(dialogs.file(dir.path() + "/no/such/folder/x.txt"));
    f().Yuepu[4]->click();
    EXPECT_NE(f().FJWZ->text(), QStringLiteral("成功保存乐谱。。。"));
}

TEST_F(ScorePanelTest, AKeyCodeInTheBoxGivesWayToTheRecordedScore)
{
    midi::state().ScoreText = "KC2KDTZ";
    f().Text3->setPlainText("13");   // an unmapped key shows its code
    f().Yuepu[0]->click();
    EXPECT_EQ(f().Text3->toPlainText(), "KC2KDTZ");
    EXPECT_EQ(notesStarted(4), 2);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    f().Text3->setPlainText("13");
    const QString path = scorePath("take.txt");
    dialogs.saveFiles.push_back(dialogs.file(path));
    f().Yuepu[4]->click();
    EXPECT_EQ(bytesOf(path), QByteArray("KC2KDTZ\r\n"));
}

TEST_F(ScorePanelTest, DeleteRemovesOnlyTheScoreFileThisPanelChose)
{
    // Nothing chosen yet: a recording named by the shared path is not touched.
    const QString recording = dir.path() + "/take.wav";
    ASSERT_TRUE(forms::writeBytes(recording, "RIFF"));
    f().LastFilePath = recording;
    midi::state().ScoreText = "KCTZ";
    f().Text3->setPlainText("KCTZ");
    f().Yuepu[1]->click();
    EXPECT_TRUE(QFile::exists(recording));
    EXPECT_NE(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));
    EXPECT_EQ(midi::state().ScoreText, "KCTZ");

    // A saved score is deleted even after another dialog chose a rhythm file.
    const QString score = scorePath("mine.txt");
    dialogs.saveFiles.push_back(dialogs.file(score));
    f().Yuepu[4]->click();
    ASSERT_TRUE(QFile::exists(score));
    const QString rhythm = scorePath("beat.bin");
    ASSERT_TRUE(forms::writeBytes(rhythm, "x"));
    f().LastFilePath = rhythm;
    f().Yuepu[1]->click();
    EXPECT_FALSE(QFile::exists(score));
    EXPECT_TRUE(QFile::exists(rhythm));
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));
    EXPECT_TRUE(midi::state().ScoreText.isEmpty());
    EXPECT_TRUE(f().Text3->toPlainText().isEmpty());

    // Pressed again: nothing left to delete, and it says so.
    f().Yuepu[1]->click();
    EXPECT_NE(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));

    // An opened score whose file was removed meanwhile: not reported as deleted.
    const QString opened = scorePath("opened.txt");
    ASSERT_TRUE(forms::writeBytes(opened, "TZ\r\n"));
    dialogs.openFiles.push_back(dialogs.file(opened));
    f().Yuepu[2]->click();
    QFile::remove(opened);
    f().Yuepu[1]->click();
    EXPECT_NE(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));
}

TEST_F(ScorePanelTest, DeleteAsksNamingTheFileAndNoChangesNothing)
{
    const QString path = scorePath("欢乐颂.txt");
    ASSERT_TRUE(forms::writeBytes(path, "KC2KD2TZ\r\n"));
    dialogs.openFiles.push_back(dialogs.file(path));
    QTest::mouseClick(f().Yuepu[2], Qt::LeftButton);   // 打开: it plays
    const QString title = f().FJWZ->text();
    dialogs.answers.push_back(false);
    QTest::mouseClick(f().Yuepu[1], Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("欢乐颂.txt"))) << dialogs.messages[0].toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(midi::state().ScoreText, "KC2KD2TZ");
    EXPECT_EQ(f().FJWZ->text(), title);
    EXPECT_TRUE(f().Auditioning);

    // After "清空" the box no longer shows the file, and the question still names it.
    QTest::mouseClick(f().Yuepu[3], Qt::LeftButton);
    dialogs.answers.push_back(true);
    QTest::mouseClick(f().Yuepu[1], Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2);
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));
}

TEST_F(ScorePanelTest, ClearDuringPlaybackStopsItWithoutTheScoreError)
{
    playWithFreeRhythm("KC2KDKETZ");
    f().Timer3->tick();
    midi.clear();
    auto& s = midi::state();
    s.ChordIndex = 4;   // the accompaniment stood at the fourth chord
    QTest::mouseClick(f().Yuepu[3], Qt::LeftButton);
    EXPECT_TRUE(s.ScoreText.isEmpty());
    EXPECT_TRUE(f().Text3->toPlainText().isEmpty());
    // A new take's accompaniment starts from the pattern's start and the first chord.
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("成功清空乐谱。。。"));
    EXPECT_TRUE(stoppedWithTheFreeRhythmOn());
    const uint32_t noteOff = 0x80u | (uint32_t(24 + midi::state().BaseNote) << 8);
    const std::vector<uint32_t> sent = midi.sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), noteOff), sent.end());   // its note ends
    f().Timer3->tick();
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ScorePanelTest, ReleasedKeyPictureFollowsTheKeysColour)
{
    auto& s = midi::state();
    s.LastKey = 1;   // a black key, left pressed by mouse playing
    f().SetKeyPicture(1, res::BlackKeyDown);
    play("KC2TZ");
    EXPECT_EQ(f().KeyPicture[1], res::BlackKeyUp);

    // The end of a score releases the last note's key (a white one).
    f().SetKeyPicture(24, res::WhiteKeyDown);
    notesStarted(2);
    EXPECT_EQ(s.LastKey, 24);
    EXPECT_FALSE(f().Auditioning);
    EXPECT_EQ(f().KeyPicture[24], res::WhiteKeyUp);
}

TEST_F(ScorePanelTest, NewOpensTheEntryDialogAndReturnShowsTheScore)
{
    midi::state().ScoreText = "KC4TZ";
    f().XINJIAN->click();
    EXPECT_FALSE(f().isVisible());
    ASSERT_TRUE(f().ScoreEntry->isVisible());
    f().ScoreEntry->Text1->setPlainText("KDTZ");
    f().ScoreEntry->FANHUI->click();
    EXPECT_TRUE(f().isVisible());
    EXPECT_FALSE(f().ScoreEntry->isVisible());
    EXPECT_EQ(f().Text3->toPlainText(), "KC4TZ");   // the dialog's text never enters the score
}

// A take being recorded ends, without writing anything, when a score button takes its score
// away: the live clock stops and its note ends.
TEST_F(ScorePanelTest, TakingTheScoreAwayEndsTheTake)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto& s = midi::state();
    auto take = [&] {
        f().SFYXYZ->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
        ASSERT_TRUE(f().Timer1->enabled());
        midi.clear();
    };
    const uint32_t noteOff = 0x80u | (uint32_t(24 + s.BaseNote) << 8);
    auto ended = [&] {
        const std::vector<uint32_t> sent = midi.sent();
        return !f().Timer1->enabled() && std::find(sent.begin(), sent.end(), noteOff) != sent.end();
    };

    take();
    QTest::mouseClick(f().Yuepu[3], Qt::LeftButton);   // 清空
    EXPECT_TRUE(ended());
    EXPECT_TRUE(s.ScoreText.isEmpty());

    const QString path = scorePath("opened.txt");
    ASSERT_TRUE(forms::writeBytes(path, "KC2KD2TZ\r\n"));
    take();
    dialogs.openFiles.push_back(dialogs.file(path));
    QTest::mouseClick(f().Yuepu[2], Qt::LeftButton);   // 打开
    EXPECT_TRUE(ended());
    EXPECT_EQ(s.ScoreText, "KC2KD2TZ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

    take();
    QTest::mouseClick(f().Yuepu[1], Qt::LeftButton);   // 删除 the opened file
    EXPECT_TRUE(ended());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(s.ScoreText.isEmpty());

    take();
    f().Text3->setPlainText("KC2KD2TZ");
    QTest::mouseClick(f().Yuepu[0], Qt::LeftButton);   // 试听
    EXPECT_TRUE(ended());
    EXPECT_EQ(s.ScoreText, "KC2KD2TZ");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);

    // A score opened in the score-entry dialog.
    ASSERT_TRUE(forms::writeBytes(path, "KE4TZ\r\n"));
    take();
    const QString before = s.ScoreText;
    QTest::mouseClick(f().XINJIAN, Qt::LeftButton);
    dialogs.openFiles.push_back(dialogs.file(path));
    QTest::mouseClick(f().ScoreEntry->DKYP, Qt::LeftButton);
    EXPECT_TRUE(ended());
    EXPECT_EQ(s.ScoreText, before);
}

// Without a take, clearing the score silences nothing: the chord audition plays on.
TEST_F(ScorePanelTest, ClearingWithoutATakeLeavesTheChordAuditionSounding)
{
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::mouseClick(f().Check6, Qt::LeftButton);   // 启动
    ASSERT_TRUE(f().HXYS->enabled());
    f().HXYS->tick();
    f().HXYS->tick();
    ASSERT_FALSE(f().Timer1->enabled());
    midi.clear();
    QTest::mouseClick(f().Yuepu[3], Qt::LeftButton);   // 清空
    for (uint32_t v : midi.sent()) EXPECT_NE(v & 0xF0, 0x80u) << std::hex << v;
    EXPECT_TRUE(f().HXYS->enabled());
    QTest::mouseClick(f().Check6, Qt::LeftButton);
}

TEST_F(ScorePanelTest, AnEmptyOrFailedSaveKeepsTheFileDeleteWouldRemove)
{
    // Someone else's file is named in a save that writes nothing: it is never deleted.
    const QString other = scorePath("other.txt");
    ASSERT_TRUE(forms::writeBytes(other, "KCTZ\r\n"));
    f().Text3->clear();
    dialogs.saveFiles.push_back(dialogs.file(other));
    f().Yuepu[4]->click();
    f().Yuepu[1]->click();
    EXPECT_TRUE(QFile::exists(other));

    // A saved score stays the one "删除" removes after an empty save, a cancel and a failure.
    const QString mine = scorePath("mine.txt");
    f().Text3->setPlainText("KC2TZ");
    dialogs.saveFiles.push_back(dialogs.file(mine));
    f().Yuepu[4]->click();
    ASSERT_TRUE(QFile::exists(mine));
    f().Text3->clear();
    dialogs.saveFiles.push_back(dialogs.file(other));
    f().Yuepu[4]->click();
    f().Yuepu[4]->click();   // cancelled
    f().Text3->setPlainText("KC2TZ");
    dialogs.saveFiles.push_back(dialogs.file(dir.path() + "/no/such/folder/x.txt"));
    f().Yuepu[4]->click();
    f().Yuepu[1]->click();
    EXPECT_FALSE(QFile::exists(mine));
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_EQ(f().FJWZ->text(), QStringLiteral("成功删除文件。。。"));
}

TEST_F(ScorePanelTest, TextTheScoreFileCannotHoldIsNeverSaved)
{
    const QString path = scorePath("song.txt");
    ASSERT_TRUE(forms::writeBytes(path, "KCTZ\r\n"));
    f().Text3->setPlainText(QStringLiteral("KC8KD\U0001F3B5TZ"));
    dialogs.saveFiles.push_back(dialogs.file(path));
    f().Yuepu[4]->click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("\U0001F3B5"))) << dialogs.messages[0].toStdString();
    EXPECT_EQ(bytesOf(path), QByteArray("KCTZ\r\n"));   // the old file stays
    EXPECT_NE(f().FJWZ->text(), QStringLiteral("成功保存乐谱。。。"));

    // The score-entry dialog refuses the same way.
    f().XINJIAN->click();
    f().ScoreEntry->Text1->setPlainText(QStringLiteral("歌\nKC8\uD55CTZ"));
    dialogs.messages.clear();
    dialogs.saveFiles.push_back(dialogs.file(path));
    f().ScoreEntry->Command1->click();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("\uD55C")));
    EXPECT_EQ(bytesOf(path), QByteArray("KCTZ\r\n"));
}

TEST_F(ScorePanelTest, TheTitleLineCountsThePlayedTicks)
{
    play("KC2KD2TZ");
    f().Timer3->tick();
    EXPECT_EQ(f().FJWZ->text(), " 1");
    f().Timer3->tick();
    f().Timer3->tick();
    EXPECT_EQ(f().FJWZ->text(), " 3");
    // The next playback counts from the start again.
    while (f().Timer3->running()) f().Timer3->tick();
    play("KC2KD2TZ");
    f().Timer3->tick();
    EXPECT_EQ(f().FJWZ->text(), " 1");
}

TEST_F(ScorePanelTest, RhythmListPopsUpOverItsLabelAndHidesOverThePanelsBackground)
{
    QTest::mouseClick(f().Xxk[2], Qt::LeftButton);   // the rhythm tab
    QWidget* panel = f().Jiezhou[2];
    const QPoint background(291, 110);   // between the volume list and "启动"
    ASSERT_EQ(panel->childAt(background), nullptr);
    QTest::mouseMove(f().Label11, QPoint(20, 12));
    EXPECT_TRUE(f().File1->isVisible());
    // Over a control of the panel or over the list itself it stays.
    QTest::mouseMove(f().Text2, QPoint(300, 10));
    QTest::mouseMove(f().File1, QPoint(50, 50));
    EXPECT_TRUE(f().File1->isVisible());
    QTest::mouseMove(panel, background);
    EXPECT_FALSE(f().File1->isVisible());
    // Typing into the score box hides it too.
    QTest::mouseMove(f().Label11, QPoint(20, 12));
    ASSERT_TRUE(f().File1->isVisible());
    QTest::keyClicks(f().Text3, "K");
    EXPECT_FALSE(f().File1->isVisible());
}

}  // namespace
