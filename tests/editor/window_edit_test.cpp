// Editing in the window as the user does: typing rows, ticking steps, the measure bar, the
// commands, the time signatures and the settings controls.
#include "midi/percussion.h"
#include "midi/state.h"
#include "support/editor_fixture.h"

#include <QApplication>
#include <QFile>
#include <QWheelEvent>

using testing_support::EditorFixture;
using Msgs = std::vector<std::array<int, 3>>;

namespace {

class EditorEditing : public EditorFixture {
protected:
    // One notch of the mouse wheel on a control: down moves a scroll bar to its next value.
    static void wheelDown(QWidget* w)
    {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent ev(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &ev);
    }
    midi::SharedState& s() { return midi::state(); }
    editor::Piece& p() { return editor::piece(); }
};

TEST_F(EditorEditing, ARowTypedLandsInTheMeasureItWasTypedIn)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kckd");
    EXPECT_EQ(e.YF1[0]->text(), "kckd");   // upper case when committed
    wheelDown(e.HScroll1);                  // the bar takes no focus: the row is still being edited
    ASSERT_EQ(fields().CurMeasure, 1);      // one notch, one measure
    EXPECT_EQ(p().MeasureText[0][0], "KCKD" + QString(28, '-'));
    EXPECT_EQ(p().CellTokens[0][1], "KD");
    EXPECT_EQ(p().CellNotes[0][1], 26);
    EXPECT_TRUE(p().CellTokens[0][16].isEmpty());
    EXPECT_TRUE(e.YF1[0]->text().isEmpty());

    // Leaving the row for a step box commits into the measure shown now.
    typeRow(e, 4, "XZ");
    QTest::mouseClick(e.DJY[4][15], Qt::LeftButton);
    EXPECT_EQ(e.YF1[4]->text(), "XZ" + QString(30, '-'));
    EXPECT_EQ(p().CellNotes[4][16], 254);
    EXPECT_EQ(p().CellTokens[11][31], "O");
    EXPECT_EQ(p().MeasureTotal, 1);   // what was written in measure 1 belongs to the piece

    // Another window in front commits nothing; the edit goes on.
    typeRow(e, 5, "hc");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    EXPECT_EQ(e.YF1[5]->text(), "hc");
    EXPECT_TRUE(p().MeasureText[5][1].isEmpty());
}

TEST_F(EditorEditing, TypingIsHeldToTheRowWhileCodeShowsTextsWhole)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 1, QString("kc").repeated(20));
    QKeyEvent wide(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
    QApplication::sendEvent(QApplication::focusWidget(), &wide);
    EXPECT_EQ(e.YF1[1]->text(), QString("kc").repeated(16));
    e.YF1[1]->backspace();
    QApplication::sendEvent(QApplication::focusWidget(), &wide);
    EXPECT_EQ(e.YF1[1]->text(), QString("kc").repeated(15) + "k");
    const QString longer = QString("KD").repeated(20);
    p().MeasureText[1][2] = longer;
    e.HScroll1->setValue(2);
    EXPECT_EQ(e.YF1[1]->text(), longer);
    // Typing does not make it longer.
    QTest::mouseClick(e.YF1[1], Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), "ke");
    EXPECT_EQ(e.YF1[1]->text(), longer);
}

TEST_F(EditorEditing, ClearAndInsertThroughTheButtons)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kckdke");
    QTest::mouseClick(e.DJY[1][3], Qt::LeftButton);
    EXPECT_EQ(p().MeasureText[8][0], "---O------------");
    QTest::mouseClick(e.QinKong, Qt::LeftButton);   // "清空"
    EXPECT_TRUE(e.YF1[0]->text().isEmpty());
    EXPECT_FALSE(e.DJY[1][3]->isChecked());
    EXPECT_EQ(p().CellTokens[0][0], "--");
    EXPECT_EQ(p().CellNotes[0][0], 255);
    EXPECT_EQ(p().CellTokens[8][3], "-");

    // "插入" moves on to an emptied measure 1; measure 0 keeps its hit and the row just typed.
    QTest::mouseClick(e.DJY[2][7], Qt::LeftButton);
    p().CellTokens[0][16] = "KC";
    typeRow(e, 3, "hc");
    QTest::mouseClick(e.CHARU, Qt::LeftButton);
    EXPECT_EQ(p().MeasureText[3][0], "HC" + QString(30, '-'));
    EXPECT_TRUE(e.YF1[3]->text().isEmpty());
    EXPECT_EQ(fields().CurMeasure, 1);
    EXPECT_EQ(e.XJZS->text(), "1");
    EXPECT_EQ(p().MeasureTotal, 2);
    EXPECT_EQ(e.HScroll1->maximum(), 2);
    EXPECT_FALSE(e.DJY[2][7]->isChecked());
    EXPECT_EQ(p().CellTokens[9][7], "O");
    EXPECT_EQ(p().CellTokens[0][16], "--");

    // At the last measure that fits, "插入" is refused with a message.
    dialogs.inputs.push_back(QString("624"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    ASSERT_EQ(e.HScroll1->maximum(), 624);
    e.HScroll1->setValue(624);
    QTest::mouseClick(e.CHARU, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList{"已经到了最后一个软件小节（最多625个），不能再插入新的小节！"});
    EXPECT_EQ(fields().CurMeasure, 624);
    EXPECT_EQ(p().MeasureTotal, 624);
}

TEST_F(EditorEditing, MeasureCountAnswers)
{
    editor::YYBJ& e = openActive();
    e.JPFL[1]->click();
    dialogs.inputs = {QString("3"), std::nullopt, QString("abc"), QString("0"), QString("-1"), QString("416")};
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 3);
    EXPECT_EQ(fields().LastStep, 95);
    EXPECT_EQ(e.HScroll1->maximum(), 3);
    for (int i = 0; i < 3; ++i) QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    for (int i = 0; i < 2; ++i) QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages, QStringList(2, "小节总数只能是1到415之间的整数！"));
    EXPECT_EQ(p().MeasureTotal, 3);
    EXPECT_EQ(e.HScroll1->maximum(), 3);
}

TEST_F(EditorEditing, TimeSignatureChangesKeepTheCellsAndShowThemAnew)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    e.HScroll1->setValue(1);
    typeRow(e, 0, "----kd");
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);   // 4/4: measures 0 and 1 of 2/4 make measure 0
    EXPECT_EQ(fields().GridLastStep, 31);
    EXPECT_EQ(fields().CurMeasure, 1);
    EXPECT_TRUE(e.YF1[0]->text().isEmpty());        // measure 1 of 4/4 holds nothing
    e.HScroll1->setValue(0);
    EXPECT_EQ(e.YF1[0]->text(), "KC" + QString(30, '-') + "----KD" + QString(26, '-'));
    EXPECT_EQ(p().MeasureTotal, 0);
    EXPECT_EQ(p().CellTokens[0][18], "KD");
    // Entering and leaving the row writes back what it shows: the cells stay as they are.
    QTest::mouseClick(e.YF1[0], Qt::LeftButton);
    QTest::mouseClick(e.YF1[1], Qt::LeftButton);
    EXPECT_EQ(p().CellTokens[0][0], "KC");
    EXPECT_EQ(p().CellTokens[0][18], "KD");
    EXPECT_EQ(p().CellTokens[0][16], "--");

    // Back to 2/4: the piece still reaches its last cell.
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 1);
    EXPECT_EQ(e.YF1[0]->text(), "KC" + QString(30, '-'));

    // A piece that would not fit 3/4 keeps 2/4.
    dialogs.inputs.push_back(QString("624"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(e.JPFL[0]->isChecked());
    EXPECT_FALSE(e.JPFL[1]->isChecked());
    EXPECT_EQ(fields().GridLastStep, 15);
    EXPECT_EQ(e.DJY[0].size(), 16u);
    EXPECT_EQ(p().MeasureTotal, 624);

    // The measure bar never passes the last measure a time signature can hold.
    dialogs.inputs.push_back(QString("300"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    dialogs.inputs.push_back(QString("400"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    e.HScroll1->setValue(400);
    p().MeasureTotal = 100;
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    EXPECT_EQ(e.HScroll1->maximum(), 311);
    EXPECT_EQ(fields().CurMeasure, 311);
}

TEST_F(EditorEditing, TheMeasureBarReachesEveryMeasureOfThePieceAfterEveryChange)
{
    editor::YYBJ& e = openActive();
    // The bar covers 0..MeasureTotal within the cells, and its last measure is shown when asked.
    auto expectReach = [&](const char* change) {
        SCOPED_TRACE(change);
        EXPECT_GE(e.HScroll1->maximum(), p().MeasureTotal);
        EXPECT_LE(e.HScroll1->maximum(), 10000 / (fields().GridLastStep + 1) - 1);
        e.HScroll1->setValue(p().MeasureTotal);
        EXPECT_EQ(fields().CurMeasure, p().MeasureTotal);
    };
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    dialogs.inputs.push_back(QString("1"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    expectReach("设置");
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 3);
    expectReach("2/4");
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    expectReach("3/4");
    QTest::mouseClick(e.CHARU, Qt::LeftButton);
    expectReach("插入");

    // A note written past the end of the last measure at 4/4 reaches into measure 9 at 2/4.
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    dialogs.inputs.push_back(QString("8"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    ASSERT_EQ(p().MeasureTotal, 4);
    e.HScroll1->setValue(4);
    typeRow(e, 3, QString(40, '-') + "kc");   // cell 4 x 32 + 20
    QTest::mouseClick(e.YF1[4], Qt::LeftButton);
    expectReach("a commit");
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    expectReach("2/4 after the commit");
    EXPECT_EQ(p().MeasureTotal, 9);
    EXPECT_EQ(e.YF1[3]->text(), QString(8, '-') + "KC" + QString(22, '-'));

    // Opening and import.
    const QString path = recordFolder() + "/x.lnk";
    dialogs.saveFiles.push_back(testing_support::ScriptedDialogs::file(path));
    QTest::mouseClick(e.BCBJ, Qt::LeftButton);
    dialogs.inputs.push_back(QString("2"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    dialogs.openFiles.push_back(testing_support::ScriptedDialogs::file(path));
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    ASSERT_EQ(p().MeasureTotal, 9);
    expectReach("打开编辑文件");
    QFile score(recordFolder() + "/x.txt");
    ASSERT_TRUE(score.open(QIODevice::WriteOnly) && score.write("KC99KD99KE99KF99") > 0);
    score.close();
    dialogs.openFiles.push_back(testing_support::ScriptedDialogs::file(score.fileName()));
    QTest::mouseClick(e.DRYP, Qt::LeftButton);
    ASSERT_EQ(p().MeasureTotal, 12);
    expectReach("导入记录乐谱");
}

TEST_F(EditorEditing, TimeSignaturesChangedBackAndForthGiveThePieceBack)
{
    editor::YYBJ& e = openActive();
    auto save = [&] {
        const QString path = recordFolder() + "/piece.lnk";
        dialogs.saveFiles.push_back(testing_support::ScriptedDialogs::file(path));
        QTest::mouseClick(e.BCBJ, Qt::LeftButton);
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    dialogs.inputs.push_back(QString("8"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    e.HScroll1->setValue(8);
    typeRow(e, 0, QString(30, '-') + "kc");   // the piece's last cell, 143
    const QByteArray before = save();
    const std::vector<std::vector<int>> trips = {{2, 1, 0}, {1, 2, 0}, {1, 0}, {2, 0}, {2, 1, 2, 1, 0}};
    for (const auto& trip : trips)
        for (int option : trip) {
            QTest::mouseClick(e.JPFL[option], Qt::LeftButton);
            // The last written cell stays in the piece, played and within the bar's reach.
            EXPECT_GE(fields().LastStep, 143) << option;
            EXPECT_GE(e.HScroll1->maximum(), 143 / (fields().GridLastStep + 1)) << option;
        }
    EXPECT_EQ(p().MeasureTotal, 8);
    EXPECT_EQ(fields().LastStep, 143);
    EXPECT_EQ(save(), before);

    // Nine measures of 2/4 take five of 4/4; four measures set at 4/4 take six of 3/4, eight of
    // 2/4, and come back.
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 4);
    dialogs.inputs.push_back(QString("3"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 5);
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 7);
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 3);
}

TEST_F(EditorEditing, ShowingAMeasureLeavesThePieceAsItWas)
{
    editor::YYBJ& e = openActive();
    auto tables = [&] {
        QStringList t{QString::number(p().MeasureTotal), QString::number(fields().PieceCells)};
        for (int r = 0; r < 12; ++r)
            for (int m = 0; m < 6; ++m) t << p().MeasureText[r][m];
        for (int r = 0; r < 12; ++r)
            for (int c = 0; c < 96; ++c) t << p().CellTokens[r][c] + QString::number(p().CellNotes[r][c]);
        return t.join('|').toStdString();
    };
    QTest::mouseClick(e.DJY[0][2], Qt::LeftButton);   // a hit in measure 0
    dialogs.inputs.push_back(QString("2"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    const std::string before = tables();
    wheelDown(e.HScroll1);
    EXPECT_FALSE(e.DJY[0][2]->isChecked());   // measure 1 shown, its empty steps untouched
    wheelDown(e.HScroll1);
    e.HScroll1->setValue(0);
    EXPECT_TRUE(e.DJY[0][2]->isChecked());
    EXPECT_EQ(tables(), before);

    // A hit left behind the piece's end by "设置" is shown by 3/4 without joining the piece:
    // back at 2/4 the piece has the measures it had.
    e.HScroll1->setValue(2);
    QTest::mouseClick(e.DJY[1][5], Qt::LeftButton);   // cell 2 x 16 + 5
    dialogs.inputs.push_back(QString("1"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    ASSERT_EQ(fields().CurMeasure, 1);
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    EXPECT_TRUE(e.DJY[1][13]->isChecked());
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 1);
}

TEST_F(EditorEditing, TempoTypedAndLeft)
{
    editor::YYBJ& e = openActive();
    QLineEdit* box = e.DQSUDU->lineEdit();
    auto typeTempo = [&](const char* text) {
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    };
    auto leave = [&] { QTest::mouseClick(e.YF1[6], Qt::LeftButton); };

    // "1" completes to a listed tempo; the completion deleted, the longest step follows.
    typeTempo("1");
    EXPECT_EQ(e.DQSUDU->currentText(), "100");
    QTest::keyClick(box, Qt::Key_Delete);
    EXPECT_EQ(s().StepMs, 15000);
    typeTempo("3");
    EXPECT_EQ(s().StepMs, 5000);
    QTest::keyClicks(box, "0");
    EXPECT_EQ(s().StepMs, 500);
    leave();
    EXPECT_EQ(e.DQSUDU->currentText(), "30");
    EXPECT_EQ(s().StepMs, 500);

    typeTempo("20000");
    EXPECT_EQ(s().StepMs, 7);   // 15000 / 20000 gives no step
    leave();
    EXPECT_EQ(e.DQSUDU->currentText(), "255");
    EXPECT_EQ(s().StepMs, 58);

    typeTempo("300");
    leave();
    EXPECT_EQ(e.DQSUDU->currentText(), "255");

    typeTempo("");
    EXPECT_EQ(s().StepMs, 58);
    leave();
    EXPECT_EQ(e.DQSUDU->currentText(), "255");   // the tempo of the step, at most 255
    typeTempo("100");
    leave();
    EXPECT_EQ(s().StepMs, 150);

    // The shortest step a typed tempo gives, then the box emptied: leaving it shows 255.
    typeTempo("10000");
    EXPECT_EQ(s().StepMs, 1);
    typeTempo("");
    leave();
    EXPECT_EQ(e.DQSUDU->currentText(), "255");
    EXPECT_EQ(s().StepMs, 58);
}

TEST_F(EditorEditing, VolumesKeyDepthAndFlags)
{
    editor::YYBJ& e = openActive();
    openDevice();
    // Volumes are whole numbers 0..127, for the notes and for the hits alike.
    e.YQYL[8]->setEditText("200");
    EXPECT_EQ(s().TrackVolume[8], 127);
    e.SYYQ[8]->setCurrentIndex(6);
    EXPECT_EQ(s().PercussionCells[1][0].Msg, midi::PercussionMsg(41, 127));
    EXPECT_EQ(s().PercussionCells[1][15].Note, 41);
    e.YQYL[8]->setEditText("-5");
    EXPECT_EQ(s().TrackVolume[8], 0);
    e.YQYL[2]->setEditText("85.9");
    EXPECT_EQ(s().TrackVolume[2], 85);

    e.DQYD->setCurrentIndex(7);
    EXPECT_EQ(s().BaseNote, 43);

    // A positive depth starts the crescendo from silence, a negative one at full level; the
    // flags and the row volumes send that level on channel 0.
    e.HScroll3->setValue(-3);
    EXPECT_EQ(e.Label7->text(), "深度(-3)");
    midi.clear();
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    EXPECT_EQ(messages(), (Msgs{{0xB0, 1, 0}, {0xB0, 11, 120}}));
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    e.HScroll3->setValue(10);
    EXPECT_EQ(e.Label7->text(), "深度(10)");
    EXPECT_EQ(fields().CrescStep, 10);
    midi.clear();
    e.YQYL[0]->setEditText("90");
    EXPECT_EQ(messages(), (Msgs{{0xB0, 11, 0}}));
    // A volume chosen from the list runs its handler once.
    midi.clear();
    e.YQYL[5]->setCurrentIndex(9);
    EXPECT_EQ(messages(), (Msgs{{0xB0, 11, 0}}));
    EXPECT_EQ(s().TrackVolume[5], 110);

    // Both flags: "11" for the measure shown, vibrato on channel 0.
    e.HScroll1->setValue(4);
    midi.clear();
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    EXPECT_EQ(fields().MeasureFlags[4], "11");
    EXPECT_EQ(messages(), (Msgs{{0xB0, 1, 120}, {0xB0, 11, 0}, {0xB0, 1, 120}, {0xB0, 11, 0}}));
    midi.clear();
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    EXPECT_EQ(fields().MeasureFlags[4], "01");
    EXPECT_EQ(messages(), (Msgs{{0xB0, 1, 0}, {0xB0, 11, 0}}));
}

TEST_F(EditorEditing, AnInstrumentEndsTheRowsHeldNoteOnlyWithinTheCells)
{
    editor::YYBJ& e = openActive();
    openDevice();
    fields().PrevNote[3] = 24;
    s().CurStep = 10000;   // where playback leaves it
    e.SYYQ[3]->setCurrentIndex(20);
    EXPECT_EQ(messages(), (Msgs{{0xB3, 0, 0}, {0xC3, 19, 0}}));
    midi.clear();
    s().CurStep = 5;
    p().CellNotes[3][5] = 255;
    e.SYYQ[3]->setCurrentIndex(0);   // "0.无声": no program, the held note ends
    EXPECT_EQ(messages(), (Msgs{{0x83, 60, 0}}));
    // The notes of a chord the row started end with the held one, each once.
    fields().StartedNotes[3].notes = {48, 52, 55, 60};
    fields().StartedNotes[3].count = 4;
    midi.clear();
    e.SYYQ[3]->setCurrentIndex(20);
    EXPECT_EQ(messages(), (Msgs{{0xB3, 0, 0}, {0xC3, 19, 0}, {0x83, 60, 0}, {0x83, 48, 0}, {0x83, 52, 0}, {0x83, 55, 0}}));
    midi.clear();
    e.SYYQ[3]->setCurrentIndex(21);   // nothing is left sounding
    EXPECT_EQ(messages(), (Msgs{{0xB3, 0, 0}, {0xC3, 20, 0}, {0x83, 60, 0}}));
}

TEST_F(EditorEditing, AWheelOverAListWithoutTheFocusChangesNothing)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 3, "kc");   // the focus is in a melody row
    QComboBox* const lists[] = {e.SYYQ[0], e.SYYQ[9], e.YQYL[2], e.DQYD, e.DQSUDU, e.ComDevies, e.yinzi};
    midi.clear();
    for (QComboBox* list : lists) {
        const QString before = list->currentText();
        ASSERT_TRUE(wheelOver(list)) << before.toStdString();
        EXPECT_EQ(list->currentText(), before);
    }
    EXPECT_TRUE(midi.events.empty());
    EXPECT_EQ(QApplication::focusWidget(), e.YF1[3]);   // the wheel took no focus either
    EXPECT_EQ(e.YF1[3]->text(), "kc");

    // The list being typed into follows the wheel.
    QTest::mouseClick(e.DQSUDU->lineEdit(), Qt::LeftButton);
    ASSERT_TRUE(wheelOver(e.DQSUDU));
    EXPECT_EQ(e.DQSUDU->currentText(), "85");
}

}  // namespace
