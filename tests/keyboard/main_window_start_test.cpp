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
    // Selecting the mapper opened it at load, before any message was sent.
    ASSERT_FALSE(midi.events.empty());
    EXPECT_EQ(midi.events[0].kind, platform::CaptureMidiService::Kind::Open);
    EXPECT_EQ(midi.events[0].device, -1);
    EXPECT_EQ(uint32_t(midi::state().MidiOutHandle), midi.openHandle);
    EXPECT_NE(midi::state().MidiOutHandle, 0);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(MainWindowStart, FirstActivationBuildsTheKeysAndStepBoxes)
{
    keyboard::Form1& f = start();
    EXPECT_TRUE(f.WindowReady);
    EXPECT_TRUE(f.Timer2->enabled());
    int white = 0;
    for (int i = 0; i < 65; ++i) white += midi::state().KeyIsWhite[i] == -1;
    EXPECT_EQ(white, 38);
    for (int i : {0, 2, 4, 5, 7, 9, 11, 12, 64}) {
        EXPECT_EQ(midi::state().KeyIsWhite[i], -1) << i;
        EXPECT_EQ(f.KeyPicture[i], 102) << i;
    }
    for (int i : {1, 3, 6, 8, 10, 61, 63}) {
        EXPECT_EQ(midi::state().KeyIsWhite[i], 0) << i;
        EXPECT_EQ(f.KeyPicture[i], 104) << i;
    }
    for (int i = 0; i < 65; ++i) EXPECT_FALSE(f.Picture1[i]->pixmap().isNull()) << i;
    for (int i = 1; i <= 16; ++i) {
        ASSERT_NE(f.BZA[i], nullptr);
        ASSERT_NE(f.BZC[i], nullptr);
        EXPECT_EQ(f.BZB[i]->x(), 13 * i);
        EXPECT_EQ(f.BZB[i]->parentWidget(), f.BZB[0]->parentWidget());
    }
}

TEST_F(MainWindowStart, FirstActivationSetsTheStartValues)
{
    keyboard::Form1& f = start();
    const auto& s = midi::state();
    EXPECT_EQ(f.ComSounds[0]->currentText(), QStringLiteral("52.合成弦乐2"));
    EXPECT_EQ(f.ComSounds[1]->currentText(), QStringLiteral("15.编钟"));
    EXPECT_EQ(f.ComSounds[2]->currentText(), QStringLiteral("79.口哨"));
    EXPECT_EQ(f.xuanyue->currentText(), QStringLiteral("25.尼龙弦吉它"));
    EXPECT_EQ(f.Combo3->currentText(), QStringLiteral("25.尼龙弦吉它"));
    EXPECT_EQ(f.Combo1->currentText(), QStringLiteral("2.电钢琴 "));
    EXPECT_EQ(f.HxYL->currentText(), QStringLiteral("55"));
    EXPECT_EQ(f.Zxlyl[0]->currentText(), QStringLiteral("70"));
    EXPECT_EQ(f.Zxlyl[1]->currentText(), QStringLiteral("55"));
    EXPECT_EQ(f.Zxlyl[2]->currentText(), QStringLiteral("55"));
    EXPECT_EQ(f.YD->currentText(), QStringLiteral("C"));
    EXPECT_EQ(f.SD->currentText(), QStringLiteral("70"));
    EXPECT_EQ(f.VsbVol->currentText(), QStringLiteral("100"));
    for (QComboBox* c : {f.Combo1, f.Combo3, f.xuanyue, f.ComSounds[0], f.YQSZ[0], f.YQSZ[2]})
        EXPECT_EQ(c->count(), 129);
    for (QComboBox* c : {f.LblInst[0], f.LblInst[2], f.YQSZ[3]}) {
        EXPECT_EQ(c->count(), 47);
        EXPECT_EQ(c->itemText(46), QStringLiteral("三角铃-开音"));
    }
    EXPECT_EQ(f.ComSounds[2]->itemText(128), QStringLiteral("128.枪声"));
    EXPECT_EQ(s.ChannelProgram[0], 52);
    EXPECT_EQ(s.ChannelProgram[1], 15);
    EXPECT_EQ(s.ChannelProgram[2], 79);
    EXPECT_EQ((std::array<int16_t, 4>{s.ChannelVelocity[0], s.ChannelVelocity[1], s.ChannelVelocity[2],
                                      s.ChannelVelocity[3]}),
              (std::array<int16_t, 4>{70, 55, 55, 55}));
    EXPECT_EQ(s.BaseNote, 36);
    EXPECT_EQ(s.StepMs, 107);
    EXPECT_EQ(f.Timer1->interval(), 107);
    EXPECT_EQ(s.RhythmLastStep, 15);
    EXPECT_TRUE(s.ScoreText.isEmpty());
    EXPECT_EQ(s.HoldTicks, 0);
    EXPECT_EQ(f.XSWB->text(), QStringLiteral(
        "    当键盘演奏无声时请将输入法切换为英语(美国)输入方式，演奏当中可用空格键终止演奏！"));
    // The first tab is shown selected, and the title line is its own, as after a click on it.
    EXPECT_TRUE(f.Xxk[0]->isChecked());
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("旋律调整。。。"));
    // The settings file was read by the activation.
    EXPECT_EQ(s.PresetTable[4][2], 101);
    EXPECT_EQ(s.KeypadDrums[0], 3);
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
