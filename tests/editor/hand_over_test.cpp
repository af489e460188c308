// Between the main window and the editor: "编辑" ends what the main window plays, and the main
// window sounds as its own controls say when the editor hands back.
#include "forms/windows.h"
#include "midi/percussion.h"
#include "midi/state.h"
#include "support/editor_fixture.h"

#include <QApplication>

using testing_support::EditorFixture;

namespace {

class HandOver : public EditorFixture {
protected:
    bool sent(std::array<int, 3> m) const
    {
        for (const auto& x : messages())
            if (x == m) return true;
        return false;
    }
};

TEST_F(HandOver, EditingEndsWhatTheMainWindowPlays)
{
    keyboard::Form1& f = start();
    QApplication::setActiveWindow(&f);
    f.BzQd->click();
    ASSERT_TRUE(f.BZDS->enabled());
    f.Check6->click();
    ASSERT_TRUE(f.HXYS->enabled());
    QTest::keyClick(f.SFYXYZ, Qt::Key_G);   // a live take under way
    ASSERT_TRUE(f.Timer1->enabled());
    f.Lyjsj->setEnabled(true);               // the recorder's clock
    const QString score = midi::state().ScoreText;
    midi.clear();

    open();
    EXPECT_FALSE(f.BZDS->enabled());
    EXPECT_FALSE(f.BzQd->isChecked());
    EXPECT_FALSE(f.HXYS->enabled());
    EXPECT_FALSE(f.Check6->isChecked());
    EXPECT_FALSE(f.Timer1->enabled());
    EXPECT_TRUE(f.Lyjsj->enabled());
    EXPECT_TRUE(sent({0x80, 60, 0}));                 // the held G ends
    EXPECT_EQ(midi::state().ScoreText, score);        // nothing written into the score
    EXPECT_FALSE(f.isVisible());
}

TEST_F(HandOver, BackInTheMainWindowItSoundsAsItsControlsSay)
{
    keyboard::Form1& f = start();
    auto& s = midi::state();
    f.LblInst[0]->setCurrentIndex(1);   // key 36 on the first rhythm row, step 0
    f.BZA[0]->setChecked(true);
    f.Check3[1]->setChecked(true);      // vibrato on the second layer
    f.ComDevies->setCurrentIndex(1);    // a device other than the one the editor opens
    const int device = f.ComDevies->itemData(1).toInt();
    editor::YYBJ& e = open();
    QApplication::setActiveWindow(&e);
    e.DQYD->setCurrentIndex(7);          // key G
    e.DQSUDU->setEditText("100");
    e.SYYQ[0]->setCurrentIndex(41);      // another instrument on channel 0
    e.HScroll3->setValue(10);
    e.YQYL[0]->setEditText("90");        // expression 0 on channel 0
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);   // vibrato on channel 0
    QTest::mouseClick(e.DJY[3][0], Qt::LeftButton);
    // As the editor's playback leaves its cells.
    s.PercussionCells[0][0].Msg = midi::PercussionMsg(76, 20);
    s.PercussionCells[3][0] = {-1, 52, 70, midi::PercussionMsg(52, 70)};
    s.PercussionCells[4][4].Hit = -1;
    s.PercussionCells[0][2].Hit = -1;
    s.CurStep = 10000;
    midi.clear();
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);
    ASSERT_TRUE(f.isVisible());

    ASSERT_FALSE(midi.events.empty());
    const auto& last = midi.events.back();
    bool reopened = false;
    for (const auto& ev : midi.events) reopened |= ev.kind == platform::CaptureMidiService::Kind::Open && ev.device == device;
    EXPECT_TRUE(reopened);
    EXPECT_EQ(last.handle, midi.openHandle);
    EXPECT_EQ(s.BaseNote, 36);
    EXPECT_EQ(s.StepMs, 107);
    // The layers' and chord voices' programs of the first bank, in channel order, and each
    // layer's vibrato.
    std::vector<std::array<int, 3>> programs;
    for (const auto& m : messages())
        if ((m[0] & 0xF0) == 0xC0 || ((m[0] & 0xF0) == 0xB0 && m[1] == 0)) programs.push_back(m);
    EXPECT_EQ(programs, (std::vector<std::array<int, 3>>{{0xB0, 0, 0}, {0xC0, 51, 0}, {0xB1, 0, 0}, {0xC1, 14, 0},
                                                         {0xB2, 0, 0}, {0xC2, 78, 0}, {0xB3, 0, 0}, {0xC3, 24, 0},
                                                         {0xB4, 0, 0}, {0xC4, 1, 0}, {0xB5, 0, 0}, {0xC5, 1, 0}}));
    EXPECT_TRUE(sent({0xB0, 1, 0}));
    EXPECT_TRUE(sent({0xB1, 1, 120}));
    EXPECT_TRUE(sent({0xB1, 91, 120}));
    EXPECT_TRUE(sent({0xB2, 91, 0}));
    for (int c : {0, 1, 2, 3, 4, 5, 6, 9}) EXPECT_TRUE(sent({0xB0 + c, 11, 127})) << c;
    for (int r = 0; r < 3; ++r)
        for (int step = 0; step <= 16; ++step) {
            const QCheckBox* box = (r == 0 ? f.BZA : r == 1 ? f.BZB : f.BZC)[step];
            EXPECT_EQ(s.PercussionCells[r][step].Hit, box->isChecked() ? -1 : 0) << r << " " << step;
        }
    EXPECT_EQ(s.PercussionCells[3][0].Hit, 0);
    EXPECT_EQ(s.PercussionCells[4][4].Hit, 0);

    // G sounds the main window's own note at its velocity.
    midi.clear();
    QTest::keyClick(f.SFYXYZ, Qt::Key_G);
    EXPECT_TRUE(sent({0x90, 60, 70}));
    EXPECT_EQ(f.Timer1->interval(), 107);
    // Its rhythm plays its own grid from its own step.
    f.BzQd->click();
    EXPECT_EQ(f.BZDS->interval(), 214);
    midi.clear();
    f.BZDS->tick();
    std::vector<std::array<int, 3>> hits;
    for (const auto& m : messages())
        if (m[0] == 0x99) hits.push_back(m);
    EXPECT_EQ(hits, (std::vector<std::array<int, 3>>{{0x99, 36, 100}}));

    // A later activation (the score-entry dialog handing back) leaves the sound alone.
    f.BzQd->click();
    midi.clear();
    forms::showWindow(forms::window::Main);
    EXPECT_TRUE(messages().empty());
}

TEST_F(HandOver, ReturningFromTheScoreEntryDialogKeepsTheSoundAsItIs)
{
    keyboard::Form1& f = start();
    midi.clear();
    f.Form_Activate();   // an activation without the editor
    EXPECT_TRUE(messages().empty());
}

}  // namespace
