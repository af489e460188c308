// The rhythm tab of the main window: the first pattern at start-up, the grid and its lists,
// metre, tempo, the free rhythm clock and the rhythm files.
#include "accomp_window_fixture.h"
#include "keyboard/chord_patterns.h"
#include "keyboard/rhythm_file.h"
#include "midi/percussion.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QTest>
#include <QWindow>

using accomp_testing::AccompWindow;

namespace {

const QString kOpenError = QStringLiteral("打开节奏文件出错，请检查！");

class RhythmWindow : public AccompWindow {};

TEST_F(RhythmWindow, StartAppliesTheFirstShippedPatternAndClearsTheEditorsColumns)
{
    layShippedPatterns();
    auto& s = midi::state();
    s.PercussionCells[3][2].Hit = -1;   // left over from the editor
    s.PercussionCells[4][7].Hit = -1;
    openDevice();
    keyboard::Form1& f = start();

    EXPECT_EQ(dialogs.messages.join('|').toStdString(), "");
    EXPECT_EQ(f.Label11->text(), QStringLiteral(" 1★1-流行4拍.bin"));
    EXPECT_TRUE(f.Option1[2]->isChecked());
    EXPECT_EQ(s.RhythmLastStep, 15);
    EXPECT_EQ(f.VsbVol->currentText(), QStringLiteral("100"));
    EXPECT_EQ(f.LblInst[0]->currentIndex(), 7);   // closed hi-hat, key 42
    EXPECT_EQ(f.LblInst[1]->currentIndex(), 3);
    EXPECT_EQ(f.LblInst[2]->currentIndex(), 1);
    for (int step = 0; step < 16; ++step) {
        EXPECT_EQ(s.PercussionCells[0][step].Hit, -1) << step;
        EXPECT_EQ(s.PercussionCells[0][step].Msg, midi::PercussionMsg(42, 100)) << step;
        EXPECT_EQ(s.PercussionCells[1][step].Hit, f.BZB[step]->isChecked() ? -1 : 0) << step;
    }
    EXPECT_EQ(s.PercussionCells[2][3].Msg, 0x00642499);
    EXPECT_EQ(s.PercussionCells[3][2].Hit, 0);
    EXPECT_EQ(s.PercussionCells[4][7].Hit, 0);
    EXPECT_EQ(endCount, 0);
}

TEST_F(RhythmWindow, DamagedFirstFileIsReportedAndChangesNothing)
{
    // A voice past the list; every other damaged field is refused by the same reader.
    const QString good = keyboard::rhythmRecord(keyboard::RhythmPattern{}, "x.bin");
    ASSERT_TRUE(forms::writeLines(recordPath("a.bin"), {QString(good).replace(8, 2, "2F")}));
    openDevice();
    keyboard::Form1& f = start();
    EXPECT_EQ(dialogs.messages.join('|').toStdString(), kOpenError.toStdString());
    EXPECT_TRUE(f.WindowReady);
    EXPECT_EQ(endCount, 0);
    EXPECT_TRUE(f.Option1[0]->isChecked());
    for (QComboBox* voice : f.LblInst) EXPECT_EQ(voice->currentIndex(), -1);
    EXPECT_EQ(f.VsbVol->currentIndex(), 5);
    // Nothing names the refused file as the pattern in force.
    EXPECT_EQ(f.Label11->text(), QStringLiteral("节奏模板"));
    EXPECT_TRUE(midi::state().RhythmFileText.isEmpty());
}

TEST_F(RhythmWindow, ScoreCommandWithADamagedFileShowsOneBoxAndChangesNothing)
{
    keyboard::RhythmPattern waltz;
    waltz.metre = keyboard::Metre34;
    waltz.voices = {1, 2, 3};
    ASSERT_TRUE(forms::writeLines(recordPath("a.bin"), {keyboard::rhythmRecord(waltz, "a.bin")}));
    ASSERT_TRUE(forms::writeLines(recordPath("b.bin"), {QStringLiteral("damaged")}));
    keyboard::Form1& f = startQuiet();
    ASSERT_EQ(f.Label11->text(), QStringLiteral(" 1★a.bin"));
    const QString applied = midi::state().RhythmFileText;

    f.Text3->setPlainText(QStringLiteral("JP2KC2KDTZ"));
    QTest::mouseClick(f.Yuepu[0], Qt::LeftButton);   // "试听"
    EXPECT_EQ(dialogs.messages, QStringList{kOpenError});
    EXPECT_FALSE(f.Check5->isChecked());
    EXPECT_TRUE(f.Option1[1]->isChecked());
    EXPECT_EQ(f.LblInst[2]->currentIndex(), 3);
    EXPECT_EQ(f.Label11->text(), QStringLiteral(" 1★a.bin"));
    EXPECT_EQ(midi::state().RhythmFileText, applied);
    EXPECT_TRUE(f.Auditioning);   // playback goes on

    // Chosen from the list, the damaged file is refused the same way.
    f.Yuepu[0]->click();
    dialogs.messages.clear();
    refreshList(f);
    f.File1->setCurrentRow(1);
    EXPECT_EQ(dialogs.messages, QStringList{kOpenError});
    EXPECT_EQ(f.Label11->text(), QStringLiteral(" 1★a.bin"));
    EXPECT_TRUE(f.Option1[1]->isChecked());
}

TEST_F(RhythmWindow, SavedPatternIsTheRecordAndOpensBackWhole)
{
    keyboard::Form1& f = startQuiet();
    f.VsbVol->setCurrentIndex(2);
    f.Option1[1]->setChecked(true);
    f.LblInst[0]->setCurrentIndex(46);
    f.LblInst[1]->setCurrentIndex(0);
    f.LblInst[2]->setCurrentIndex(10);
    for (int i : {0, 5, 11}) f.BZA[i]->setChecked(true);
    f.BZB[15]->setChecked(true);
    f.BZC[16]->setChecked(true);
    dialogs.saveFiles.push_back(testing_support::ScriptedDialogs::file(recordPath("  我的节奏.bin")));
    f.Cmdcill[1]->click();

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("节奏bin|*.bin"));
    EXPECT_EQ(dialogs.saveRequests[0].flags, 2);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, recordFolder() + "/");
    EXPECT_EQ(f.LastFilePath, recordPath("  我的节奏.bin"));
    const QString expected = QStringLiteral("0201") + "2E000A00" + "*----*-----*----" + "---------------*"
                             + "----------------*" + "我的节奏.bin" + QString(8, ' ');
    EXPECT_EQ(bytesOf(recordPath("  我的节奏.bin")), forms::encodeGbk(expected + "\r\n"));

    // Everything changed, then the file chosen from the list brings it all back.
    f.VsbVol->setCurrentIndex(7);
    f.Option1[2]->setChecked(true);
    for (QComboBox* voice : f.LblInst) voice->setCurrentIndex(3);
    for (auto* row : {&f.BZA, &f.BZB, &f.BZC})
        for (QCheckBox* b : *row) b->setChecked(true);
    refreshList(f);
    f.File1->setCurrentRow(0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(f.Label11->text(), QStringLiteral("1★  我的节奏.bin"));
    EXPECT_FALSE(f.File1->isVisible());
    EXPECT_EQ(f.VsbVol->currentIndex(), 2);
    EXPECT_TRUE(f.Option1[1]->isChecked());
    EXPECT_EQ(midi::state().RhythmLastStep, 11);
    EXPECT_EQ(f.LblInst[0]->currentIndex(), 46);
    EXPECT_EQ(f.LblInst[2]->currentIndex(), 10);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f.BZA[i]->isChecked(), i == 0 || i == 5 || i == 11) << i;
    for (int i = 0; i < 17; ++i) EXPECT_EQ(f.BZC[i]->isChecked(), i == 16) << i;
    auto& s = midi::state();
    EXPECT_EQ(s.PercussionCells[2][16].Hit, -1);
    EXPECT_EQ(s.PercussionCells[0][5].Msg, midi::PercussionMsg(81, 70));
    EXPECT_EQ(s.PercussionCells[1][14].Msg, midi::PercussionMsg(35, 70));   // hidden steps too
    EXPECT_EQ(s.PercussionCells[0][14].Hit, 0);
}

TEST_F(RhythmWindow, PressingTheSelectedEntryAppliesItAgain)
{
    layShippedPatterns();
    keyboard::Form1& f = startQuiet();
    f.Xxk[2]->setChecked(true);   // the rhythm tab
    refreshList(f);
    f.File1->setCurrentRow(1);
    const int applied = f.VsbVol->currentIndex();
    f.VsbVol->setCurrentIndex((applied + 1) % f.VsbVol->count());   // an edit after applying
    f.Label11_MouseMove();   // the list pops up again
    ASSERT_TRUE(f.File1->isVisible());
    ASSERT_EQ(f.File1->currentRow(), 1);
    QTest::mouseClick(f.File1->viewport(), Qt::LeftButton, {},
                      f.File1->visualItemRect(f.File1->item(1)).center());
    EXPECT_FALSE(f.File1->isVisible());
    EXPECT_EQ(f.VsbVol->currentIndex(), applied);
}

TEST_F(RhythmWindow, LowestVelocitySavesAndAFileAppliedAgainRestoresCellsTheEditorChanged)
{
    keyboard::Form1& f = startQuiet();
    f.VsbVol->setCurrentIndex(0);   // "50", the first entry
    for (QComboBox* voice : f.LblInst) voice->setCurrentIndex(2);
    f.BZA[0]->setChecked(true);
    dialogs.saveFiles.push_back(testing_support::ScriptedDialogs::file(recordPath("轻.bin")));
    f.Cmdcill[1]->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_TRUE(bytesOf(recordPath("轻.bin")).startsWith("0000"));

    midi::state().PercussionCells[0][0].Hit = 0;   // the score editor shares the column
    refreshList(f);
    f.File1->setCurrentRow(0);
    EXPECT_EQ(midi::state().PercussionCells[0][0].Hit, -1);
}

TEST_F(RhythmWindow, ClickOnADamagedFileInTheListShowsOneBox)
{
    layShippedPatterns();
    ASSERT_TRUE(forms::writeLines(recordPath("0-坏.bin"), {QStringLiteral("damaged")}));
    keyboard::Form1& f = startQuiet();
    dialogs.messages.clear();   // the start-up's own box for the first file
    QTest::mouseClick(f.Xxk[2], Qt::LeftButton);
    f.Label11->setText(QStringLiteral("1-流行4拍.bin"));
    f.Label11_MouseMove();
    ASSERT_EQ(f.File1->item(0)->text(), QStringLiteral("0-坏.bin"));
    f.File1->setCurrentRow(1);
    dialogs.messages.clear();
    f.Label11_MouseMove();
    QTest::mouseClick(f.File1->viewport(), Qt::LeftButton, {}, f.File1->visualItemRect(f.File1->item(0)).center());
    EXPECT_EQ(dialogs.messages, QStringList{kOpenError});
    EXPECT_NE(f.Label11->text(), QStringLiteral("1★0-坏.bin"));
}

TEST_F(RhythmWindow, StartAndStopOfTheFreeRhythm)
{
    keyboard::Form1& f = startQuiet();
    QApplication::setActiveWindow(&f);
    auto& s = midi::state();
    // Back from 3/4 to 2/4: sixteen steps and all boxes again.
    QTest::mouseClick(f.Option1[1], Qt::LeftButton);
    EXPECT_EQ(s.RhythmLastStep, 11);
    EXPECT_TRUE(f.BZA[13]->isHidden());
    QTest::mouseClick(f.Option1[0], Qt::LeftButton);
    EXPECT_EQ(s.RhythmLastStep, 15);
    EXPECT_FALSE(f.BZA[13]->isHidden());

    // Started, it plays from the first step of the first chord wherever the positions stood.
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("CC")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("WC")));
    f.Text6->setFocus();
    f.Text6->setText(QStringLiteral("15"));
    f.SFYXYZ->setFocus();   // leaving the progression box applies it
    s.CurStep = 7;
    s.RhythmStep = 5;
    s.ChordIndex = 2;
    QTest::mouseClick(f.BzQd, Qt::LeftButton);
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.ChordIndex, 1);
    f.BZDS->tick();
    EXPECT_EQ(sentWithStatus(0x93, 0x93).size(), 4u);   // chord I
    EXPECT_EQ(hanging().size(), 5u);
    // Stopped, both chord voices end.
    QTest::mouseClick(f.BzQd, Qt::LeftButton);
    EXPECT_FALSE(f.BZDS->enabled());
    EXPECT_TRUE(hanging().empty());
}

TEST_F(RhythmWindow, PointerMovedUpFromTheLabelReachesTheList)
{
    layShippedPatterns();
    keyboard::Form1& f = startQuiet();
    QTest::mouseClick(f.Xxk[2], Qt::LeftButton);
    QWindow* window = f.windowHandle();
    ASSERT_TRUE(window);
    const QPoint label = f.Label11->mapTo(&f, f.Label11->rect().center());
    QTest::mouseMove(window, label);
    ASSERT_TRUE(f.File1->isVisible());
    // Up, pixel by pixel, over the label's top edge into the list.
    const int listMiddle = f.File1->mapTo(&f, f.File1->rect().center()).y();
    for (int y = label.y() - 1; y >= listMiddle; --y) {
        QTest::mouseMove(window, QPoint(label.x(), y));
        ASSERT_TRUE(f.File1->isVisible()) << "hidden at y " << y;
    }
    // Leaving the list for the panel's own background hides it.
    QTest::mouseMove(window, f.Jiezhou[2]->mapTo(&f, QPoint(f.Jiezhou[2]->width() - 4, 40)));
    EXPECT_FALSE(f.File1->isVisible());
}

TEST_F(RhythmWindow, SaveWithoutAVoiceIsRefusedAndWritesNothing)
{
    keyboard::Form1& f = startQuiet();   // empty record folder: no voice chosen yet
    f.LblInst[0]->setCurrentIndex(1);
    f.LblInst[1]->setCurrentIndex(2);
    // Refused before the file dialog: no name is asked for a pattern that cannot be saved.
    QTest::mouseClick(f.Cmdcill[1], Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList{"请先为三行节奏选择打击乐器，再保存节奏文件！"});
    EXPECT_TRUE(dialogs.saveRequests.empty());

    // A cancelled dialog writes nothing and says nothing.
    f.LblInst[2]->setCurrentIndex(2);
    f.Cmdcill[1]->click();
    EXPECT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(QDir(recordFolder()).entryList(QDir::Files).isEmpty());
}

TEST_F(RhythmWindow, DeleteTellsTheTruthAndAppliesTheFirstRemainingFile)
{
    layShippedPatterns();
    keyboard::Form1& f = startQuiet();
    refreshList(f);
    f.Cmdcill[0]->click();   // nothing selected
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("没有选中要删除的节奏文件！"));
    EXPECT_EQ(f.File1->count(), 5);

    f.File1->setCurrentRow(0);
    const QString label = f.Label11->text();
    dialogs.answers = {false};
    QTest::mouseClick(f.Cmdcill[0], Qt::LeftButton);   // 否: the file, the list and the pattern stay
    EXPECT_TRUE(dialogs.messages.value(0).contains("“1-流行4拍.bin”")) << dialogs.messages.value(0).toStdString();
    EXPECT_EQ(f.Label11->text(), label);
    f.Cmdcill[0]->click();
    EXPECT_FALSE(QFile::exists(recordPath("1-流行4拍.bin")));
    ASSERT_EQ(f.File1->count(), 4);
    EXPECT_EQ(f.Label11->text(), QStringLiteral("2-摇滚4拍.bin"));
    EXPECT_EQ(f.LblInst[0]->currentIndex(), 11);

    f.File1->setCurrentRow(1);   // the waltz
    EXPECT_TRUE(f.Option1[1]->isChecked());
    QFile::remove(recordPath("5-波尔卡2拍.bin"));
    {
        QSignalBlocker block(f.File1);
        f.File1->setCurrentRow(3);   // a file that has gone meanwhile
    }
    f.Cmdcill[0]->click();
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("节奏文件无法删除！"));
    EXPECT_TRUE(f.Option1[1]->isChecked());   // the grid kept the waltz
    EXPECT_EQ(dialogs.messages.size(), 2);     // the questions: none for a file gone

    // The waltz turns into a folder while the question is open: it cannot be deleted.
    const QString waltz = recordPath("3-华尔兹3拍.bin");
    dialogs.onQuestion = [&] { QFile::remove(waltz), QDir().mkpath(waltz + "/x"); };
    f.File1->setCurrentRow(1);
    f.Cmdcill[0]->click();
    ASSERT_EQ(dialogs.messages.size(), 4);
    EXPECT_TRUE(dialogs.messages[3].contains("“3-华尔兹3拍.bin”删除失败")) << dialogs.messages[3].toStdString();

    // 是 on the last file listed: the list is empty and its pattern stays in force.
    dialogs.onQuestion = nullptr;
    QFile::remove(recordPath("2-摇滚4拍.bin"));
    refreshList(f);
    f.File1->setCurrentRow(0);
    f.Cmdcill[0]->click();
    EXPECT_EQ(f.File1->count(), 0);
    EXPECT_EQ(f.Label11->text(), QStringLiteral("1★4-进行曲2拍.bin"));
}

TEST_F(RhythmWindow, ListClickReadsTheWholeFirstLine)
{
    keyboard::Form1& f = startQuiet();
    keyboard::RhythmPattern p;
    p.metre = keyboard::Metre44;
    p.voices = {1, 2, 3};
    ASSERT_TRUE(forms::writeLines(recordPath("a.bin"), {keyboard::rhythmRecord(p, ",comma.bin"), "junk"}));
    refreshList(f);
    f.File1->setCurrentRow(0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(f.Option1[2]->isChecked());
    EXPECT_EQ(f.LblInst[2]->currentIndex(), 3);
}

TEST_F(RhythmWindow, MetreVelocityAndVoiceRebuildTheCells)
{
    keyboard::Form1& f = startQuiet();
    auto& s = midi::state();
    f.LblInst[0]->setCurrentIndex(0);
    f.Option1[1]->setChecked(true);
    EXPECT_EQ(s.RhythmLastStep, 11);
    for (int i = 12; i <= 15; ++i) EXPECT_TRUE(f.BZA[i]->isHidden()) << i;
    EXPECT_FALSE(f.BZC[16]->isHidden());

    f.VsbVol->setCurrentIndex(7);   // "120", every step in every metre
    for (int step = 0; step < 16; ++step) {
        EXPECT_EQ(s.PercussionCells[0][step].Volume, 120) << step;
        EXPECT_EQ(s.PercussionCells[0][step].Msg, midi::PercussionMsg(35, 120)) << step;
    }
    f.LblInst[0]->setCurrentIndex(46);
    EXPECT_EQ(s.PercussionCells[0][15].Msg, midi::PercussionMsg(81, 120));

    f.Option1[2]->setChecked(true);
    EXPECT_EQ(s.RhythmLastStep, 15);
    for (int i = 12; i <= 15; ++i) EXPECT_FALSE(f.BZB[i]->isHidden()) << i;

    f.BZB[13]->setChecked(true);
    EXPECT_EQ(s.PercussionCells[1][13].Hit, -1);
    f.BZB[13]->setChecked(false);
    EXPECT_EQ(s.PercussionCells[1][13].Hit, 0);
}

TEST_F(RhythmWindow, GridIsColouredByBeat)
{
    keyboard::Form1& f = startQuiet();
    const QColor red(255, 0, 0), yellow(255, 255, 0);
    // The beats are seen at a glance: a box is drawn red or yellow inside, not only at its edge.
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(f.BZC[i]->grab().toImage().pixelColor(6, 7), (i / 2) % 2 == 0 ? red : yellow) << i;
    for (int i : {0, 16}) {
        const QColor c = f.BZA[i]->palette().color(QPalette::Window);
        EXPECT_NE(c, red);
        EXPECT_NE(c, yellow);
    }
    for (int i = 0; i <= 16; ++i) EXPECT_FALSE(f.BZA[i]->isHidden()) << i;
}

// --- the free rhythm clock ---------------------------------------------------------------------

TEST_F(RhythmWindow, FreeRhythmPlaysAccentsAndHitsOverAFullPattern)
{
    keyboard::Form1& f = startQuiet();
    auto& s = midi::state();
    f.xuanyue->setCurrentIndex(0);   // percussion only
    for (QComboBox* voice : f.LblInst) voice->setCurrentIndex(1);
    f.BZA[0]->setChecked(true);
    f.BZA[6]->setChecked(true);
    f.BZB[7]->setChecked(true);
    f.Option1[1]->setChecked(true);   // 3/4: twelve steps
    s.ChordCount = 3;
    midi.clear();

    f.BzQd->setChecked(true);
    EXPECT_TRUE(f.BZDS->enabled());
    EXPECT_EQ(f.BZDS->interval(), 214);
    EXPECT_EQ(f.BzQd->text(), QStringLiteral("停止"));
    std::vector<int> accents, hitsAt;
    for (int tick = 0; tick < 24; ++tick) {
        midi.clear();
        f.BZDS->tick();
        for (uint32_t v : sentWithStatus(0xB9, 0xB9)) accents.push_back(dataByte2(v));
        for (size_t k = 0; k < sentWithStatus(0x99, 0x99).size(); ++k) hitsAt.push_back(tick / 2);
        if (tick % 2) {
            EXPECT_TRUE(sentWithStatus(0xB9, 0xB9).empty()) << tick;
        }
    }
    EXPECT_EQ(accents, (std::vector<int>{127, 90, 90, 90, 90, 127, 90, 90, 90, 90}));
    EXPECT_EQ(hitsAt, (std::vector<int>{0, 6, 7}));
    EXPECT_EQ(s.RhythmStep, 0);
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.ChordIndex, 3);   // two bars of chords went by without a chord instrument

    f.BzQd->setChecked(false);
    EXPECT_FALSE(f.BZDS->enabled());
    EXPECT_EQ(f.BzQd->text(), QStringLiteral("启动"));
}

TEST_F(RhythmWindow, PositionsLeftOutsideTheTablesCountAsTheStart)
{
    keyboard::Form1& f = startQuiet();
    auto& s = midi::state();
    f.BZA[0]->setChecked(true);
    f.LblInst[0]->setCurrentIndex(3);
    s.CurStep = 9000;   // the editor shares the step
    s.RhythmStep = 40;
    s.ChordIndex = 77;
    f.AccompanimentStep();
    EXPECT_EQ(sentWithStatus(0x99, 0x99), (std::vector<uint32_t>{uint32_t(midi::PercussionMsg(38, 100))}));
    EXPECT_EQ(s.CurStep, 1);
    EXPECT_EQ(s.RhythmStep, 1);
    EXPECT_EQ(s.ChordIndex, 1);

    s.ChordIndex = -5;
    s.CurStep = -2;
    f.AccompanimentStep();
    EXPECT_EQ(s.ChordIndex, 1);
    EXPECT_EQ(s.CurStep, 1);

    s.CurStep = 0;
    s.RhythmStep = 16;   // one past the grid's last step
    midi.clear();
    f.AccompanimentStep();
    EXPECT_EQ(sentWithStatus(0x99, 0x99), (std::vector<uint32_t>{uint32_t(midi::PercussionMsg(38, 100))}));
    EXPECT_EQ(s.RhythmStep, 1);
}

// --- tempo -----------------------------------------------------------------------------------

TEST_F(RhythmWindow, TempoListAndTypedTempos)
{
    keyboard::Form1& f = startQuiet();
    auto& s = midi::state();
    f.SD->setCurrentIndex(0);   // "40"
    EXPECT_EQ(s.StepMs, 188);
    EXPECT_EQ(f.Timer1->interval(), 188);
    EXPECT_EQ(f.BZDS->interval(), 376);

    for (const char* typed : {"", "141"}) {
        f.SD->setEditText(QString::fromLatin1(typed));
        f.SD_LostFocus();
        EXPECT_EQ(f.SD->currentText(), QStringLiteral("39")) << typed;   // the tempo 188 ms stands for
        EXPECT_EQ(s.StepMs, 188) << typed;
    }
    // Half retyped while its list drops down or another window is active: not yet a typed tempo.
    f.SD->setEditText(QString());
    for (Qt::FocusReason reason : {Qt::PopupFocusReason, Qt::ActiveWindowFocusReason}) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(f.SD, &out);
        EXPECT_TRUE(f.SD->currentText().isEmpty()) << reason;
    }
    f.SD->setEditText(QStringLiteral("135"));
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(f.SD, &out);
    EXPECT_EQ(s.StepMs, 56);
    EXPECT_EQ(f.Timer1->interval(), 56);

    // Another window may leave its own step behind: the clocks keep to the accepted tempo.
    s.StepMs = 0;
    f.BzQd->setChecked(true);
    EXPECT_EQ(f.BZDS->interval(), 112);
    f.BzQd->setChecked(false);
    f.Check6->setChecked(true);
    EXPECT_EQ(f.HXYS->interval(), 112);
    f.Check6->setChecked(false);
}

}  // namespace
