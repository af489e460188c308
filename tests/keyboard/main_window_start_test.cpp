// Start-up of the main window: settings, lists, start values, keys and the first programs.
#include "support/main_window_fixture.h"

#include <QFile>

using testing_support::MainWindowFixture;

namespace {

class MainWindowStart : public MainWindowFixture {};

// The program changes sent, as (channel, program) pairs in order.
std::vector<std::pair<int, int>> programChanges(const platform::CaptureMidiService& midi)
{
    std::vector<std::pair<int, int>> out;
    for (const auto& e : midi.events)
        if (e.kind == platform::CaptureMidiService::Kind::Send && (e.value & 0xF0) == 0xC0)
            out.emplace_back(int(e.value & 0x0F), int((e.value >> 8) & 0xFF));
    return out;
}

TEST_F(MainWindowStart, LoadListsTheDevicesAndSetsThePanTable)
{
    keyboard::Form1& f = start();
    ASSERT_GE(f.ComDevies->count(), 1);
    EXPECT_EQ(f.ComDevies->currentIndex(), 0);
    EXPECT_EQ(f.ComDevies->itemData(0).toInt(), -1);   // the mapper comes first
    const int16_t pans[8] = {64, 40, 88, 20, 108, 30, 98, 64};
    for (int c = 0; c < 16; ++c) EXPECT_EQ(midi::state().ChannelPan[c], c < 8 ? pans[c] : 0) << c;
    EXPECT_EQ(midi::state().AppFolder, appFolder);
}

TEST_F(MainWindowStart, FirstActivationBuildsTheKeysAndStepBoxes)
{
    keyboard::Form1& f = start();
    EXPECT_TRUE(f.WindowReady);
    EXPECT_TRUE(f.Timer2->enabled());
    int white = 0;
    for (int i = 0; i < 65; ++i) white += midi::state().KeyIsWhite[i] == -1;
    EXPECT_EQ(white, 38);
    for (int i : {0, 2, 4, 5, 7, 9, 11, 12, 64}) EXPECT_EQ(midi::state().KeyIsWhite[i], -1) << i;
    for (int i : {1, 3, 6, 8, 10, 61, 63}) EXPECT_EQ(midi::state().KeyIsWhite[i], 0) << i;
    for (int i = 1; i <= 16; ++i) {
        ASSERT_NE(f.BZA[i], nullptr);
        ASSERT_NE(f.BZC[i], nullptr);
        EXPECT_EQ(f.BZB[i]->x(), 13 * i);
        EXPECT_EQ(f.BZB[i]->parentWidget(), f.BZB[0]->parentWidget());
    }
}

TEST_F(MainWindowStart, FirstActivationEndsWithTheStartPrograms)
{
    start();
    const auto programs = programChanges(midi);
    ASSERT_GE(programs.size(), 5u);
    const std::vector<std::pair<int, int>> last(programs.end() - 5, programs.end());
    const std::vector<std::pair<int, int>> expected = {{0, 51}, {1, 14}, {2, 78}, {3, 24}, {4, 1}};
    EXPECT_EQ(last, expected);
}

}  // namespace
