// Mouse playing on the on-screen keys, the damper strip and the key catcher's focus.
#include "live_support.h"

#include <QMenu>

using live_test::LiveFixture;
using Strings = std::vector<std::string>;

namespace {

class LiveMouse : public LiveFixture {
protected:
    // A point of key `to` in the coordinates of key `from` (the key that holds the mouse): by
    // default a black key's centre, or a white key's lower end, where no black key covers it.
    QPoint pointOf(int to, int from, QPoint within = QPoint(-1, -1)) const
    {
        const QRect r = form->Picture1[to]->geometry();
        if (within.x() < 0) within = midi::state().KeyIsWhite[to] ? QPoint(4, 100) : r.center() - r.topLeft();
        return form->Picture1[from]->mapFrom(form.get(), r.topLeft() + within);
    }
    void press(int k) { QTest::mousePress(form->Picture1[k], Qt::LeftButton, {}, pointOf(k, k)); }
    void moveTo(int k, int holder, QPoint within = QPoint(-1, -1))
    {
        QTest::mouseMove(form->Picture1[holder], pointOf(k, holder, within));
    }
    void release(int holder) { QTest::mouseRelease(form->Picture1[holder], Qt::LeftButton); }
    void hoverDamper()
    {
        QMouseEvent e(QEvent::MouseMove, QPointF(5, 5), form->Label1->mapToGlobal(QPointF(5, 5)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->Label1, &e);
    }
};

TEST_F(LiveMouse, DragFromAWhiteKeyOntoABlackKey)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    press(0);   // entering key 0
    EXPECT_EQ(count("on 0 36 70"), 1);
    moveTo(0, 0, {6, 90});   // moving within it sounds it again
    EXPECT_EQ(count("on 0 36 70"), 2);
    midi.clear();
    moveTo(1, 0, {4, 20});   // leaving key 0 sounds it once more, then key 1 sounds
    // Each sounding ends the last note and both chord voices first.
    EXPECT_EQ(sent(), (Strings{"off 0 36", "off 1 36", "off 2 36", "off 2 24", "off 3 36", "off 4 36",
                               "pan 0 64", "on 0 36 70", "pan 1 20", "on 1 36 55",
                               "pan 2 88", "on 2 36 55", "pan 2 88", "on 2 24 55",
                               "off 0 36", "off 1 36", "off 2 36", "off 2 24", "off 3 36", "off 4 36",
                               "pan 0 64", "on 0 37 70", "pan 1 20", "on 1 37 55",
                               "pan 2 88", "on 2 37 55", "pan 2 88", "on 2 25 55"}));
    EXPECT_EQ(f.KeyPicture[1], 105);
    EXPECT_EQ(f.KeyPicture[0], 102);
    EXPECT_EQ(s.LastKey, 1);

    // Releasing ends the drag; the note keeps sounding and nothing is written.
    midi.clear();
    release(0);
    moveTo(2, 0);
    EXPECT_TRUE(midi.sent().empty());
    EXPECT_TRUE(s.ScoreText.isEmpty());
    EXPECT_FALSE(f.Timer1->enabled());

    // Off the keys the drag sounds nothing until it reaches a key again.
    press(4);
    midi.clear();
    QTest::mouseMove(f.Picture1[4], f.Picture1[4]->mapFrom(&f, QPoint(5, 5)));
    EXPECT_EQ(count("on 0 40 70"), 1);   // leaving key 4
    midi.clear();
    QTest::mouseMove(f.Picture1[4], f.Picture1[4]->mapFrom(&f, QPoint(6, 6)));
    EXPECT_TRUE(midi.sent().empty());
    moveTo(5, 4);
    EXPECT_EQ(count("on 0 41 70"), 1);
    release(4);
}

TEST_F(LiveMouse, SilentLayersStillMoveTheKeys)
{
    keyboard::Form1& f = play();
    for (QComboBox* c : f.ComSounds) c->setCurrentIndex(0);
    midi.clear();
    press(5);
    release(5);
    for (const auto& m : sent()) EXPECT_NE(m.substr(0, 3), "on ") << m;
    EXPECT_EQ(count("off 0 36"), 1);
    EXPECT_EQ(f.KeyPicture[5], 103);
    EXPECT_EQ(midi::state().LastKey, 5);
    // The first instrument of the lists sounds: only "0.无声" is silent.
    for (QComboBox* c : f.ComSounds) c->setCurrentIndex(1);
    midi.clear();
    press(6);
    EXPECT_EQ(count("on 0 42 70") + count("on 2 30 55"), 2);
}

TEST_F(LiveMouse, DamperSilencesTheMouseNote)
{
    keyboard::Form1& f = play();
    press(1);
    release(1);
    EXPECT_EQ(f.KeyPicture[1], 105);
    midi.clear();
    hoverDamper();
    EXPECT_EQ(sent(), (Strings{"off 0 37", "off 1 37", "off 2 37", "off 2 25"}));
    EXPECT_EQ(f.KeyPicture[1], 104);
    EXPECT_EQ(midi::state().LastKey, 1);
    hoverDamper();   // every move over the strip repeats the note-offs
    EXPECT_EQ(midi.sent().size(), 8u);
}

TEST_F(LiveMouse, KeysPlayOnlyWhileTheCatcherHasTheFocus)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    s.CurStep = 5;
    s.RhythmStep = 5;
    f.Text3->setFocus();
    EXPECT_FALSE(f.Picture1[3]->isEnabled());
    EXPECT_FALSE(f.Label1->isVisible());
    press(3);
    moveTo(4, 3);
    release(3);
    EXPECT_TRUE(midi.sent().empty());

    f.YXYZ();
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    EXPECT_TRUE(f.Picture1[3]->isEnabled());
    EXPECT_TRUE(f.Label1->isVisible());
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.RhythmStep, 5);   // only the click resets the rhythm position
    EXPECT_EQ(s.ChordIndex, 1);
    press(3);
    release(3);
    EXPECT_EQ(count("on 0 39 70"), 1);
}

TEST_F(LiveMouse, OtherWindowsAndPopupsKeepPlayingMode)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    s.CurStep = 5;

    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(f.Picture1[0]->isEnabled());
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);

    QMenu menu(&f);
    menu.addAction("x");
    menu.popup(f.mapToGlobal(QPoint(10, 10)));
    QTest::qWait(20);
    menu.close();
    QTest::qWait(20);
    EXPECT_TRUE(f.Picture1[0]->isEnabled());
    EXPECT_TRUE(f.Label1->isVisible());
    EXPECT_EQ(s.CurStep, 5);   // none of this counted as the focus coming back either
}

TEST_F(LiveMouse, ClickingTheCatcherResumesPlaying)
{
    keyboard::Form1& f = play();
    auto& s = midi::state();
    f.Text3->setFocus();
    f.FJWZ->setText("x");
    s.RhythmStep = 3;
    QTest::mouseClick(f.SFYXYZ, Qt::LeftButton);
    EXPECT_EQ(f.FJWZ->text(), "现在允许演奏。。。");
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    EXPECT_TRUE(f.Picture1[0]->isEnabled());
    EXPECT_EQ(s.RhythmStep, 0);
}

TEST_F(LiveMouse, FocusKeeperBeforeTheWindowIsShown)
{
    form = std::make_unique<keyboard::Form1>();
    form->SFYXYZ->setEnabled(false);
    form->BJCK->setEnabled(false);
    form->YXYZ();
    EXPECT_TRUE(form->SFYXYZ->isEnabled());
    EXPECT_TRUE(form->BJCK->isEnabled());
    EXPECT_FALSE(form->SFYXYZ->hasFocus());
}

}  // namespace
