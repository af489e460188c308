// The main window's clocks against their schedule: the live clock counts each note from its
// key, the score clock keeps one grid through the tokens and commands of a score.
#include "live_support.h"

#include <QElapsedTimer>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Time = forms::TickSchedule::Time;

class ClockSchedule : public live_test::LiveFixture {};

TEST_F(ClockSchedule, EveryNoteAndRestKeyCountsTheLiveClockFromItself)
{
    keyboard::Form1& f = play();
    key(Qt::Key_G);
    ASSERT_TRUE(f.Timer1->running());
    const Time first = f.Timer1->nextTick();
    key(Qt::Key_H);
    const Time second = f.Timer1->nextTick();
    EXPECT_GT(second, first);
    key(Qt::Key_Backspace);
    EXPECT_GT(f.Timer1->nextTick(), second);
}

// True when `later` lies a whole number of `interval`s after `earlier`.
bool onGrid(Time earlier, Time later, std::chrono::milliseconds interval)
{
    return later > earlier && (later - earlier) % interval == 0ns;
}

TEST_F(ClockSchedule, ScoreClockKeepsItsGridThroughTokensCommandsAndTempoChanges)
{
    keyboard::Form1& f = play();
    f.SD->setCurrentIndex(f.SD->findText(QStringLiteral("130")));   // 58 ms a tick
    std::vector<Time> due;
    f.Timer3->onTick([&] {
        f.Timer3_Timer();
        if (f.Timer3->running()) due.push_back(f.Timer3->nextTick());
    });
    // Each note lasts one tick, so every tick reads the next token; "YQ2" passes through
    // interval 0, "VS18" changes the step to 60 ms.
    f.Text3->setPlainText(QStringLiteral("KC1KD1YQ2KE1VS18KF1KG1TZ"));
    f.Yuepu[0]->click();
    QElapsedTimer clock;
    clock.start();
    while (f.Auditioning && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    f.Timer3->onTick([&f] { f.Timer3_Timer(); });
    ASSERT_FALSE(f.Auditioning);
    ASSERT_EQ(due.size(), 4u);
    EXPECT_TRUE(onGrid(due[0], due[1], 58ms));                                  // KD1, then YQ2
    EXPECT_TRUE(due[2] - due[1] == 60ms || onGrid(due[1], due[2] - 60ms, 58ms));   // VS18: 60 ms from its tick
    EXPECT_TRUE(onGrid(due[2], due[3], 60ms));
}

}  // namespace
