// Prepared percussion cells and the chord player.
#include "midi/percussion.h"
#include "midi/state.h"
#include "support/midi_fixture.h"

using testing_support::MidiFixture;

namespace {

class PercussionTest : public MidiFixture {};

TEST_F(PercussionTest, StepSendsOnlyCellsWithHitMinusOne)
{
    openDevice();
    auto& s = midi::state();
    s.CurStep = 3;
    s.PercussionCells[0][3] = {-1, 36, 100, midi::PercussionMsg(36, 100)};
    s.PercussionCells[1][3] = {1, 38, 100, midi::PercussionMsg(38, 100)};   // 1 is not a hit
    s.PercussionCells[4][3] = {-1, 42, 90, midi::PercussionMsg(42, 90)};
    midi::PlayCurStep();
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x00642499, 0x005A2A99}));

    midi.clear();
    s.RhythmStep = 4;   // all silent
    midi::PlayRhythmStep();
    EXPECT_TRUE(midi.events.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PercussionTest, StepShowsAtMostOneBoxForTheLastMessage)
{
    auto& s = midi::state();
    s.CurStep = 0;
    for (int c = 0; c < 5; ++c) s.PercussionCells[c][0] = {-1, 36, 100, midi::PercussionMsg(36, 100)};
    midi::PlayCurStep();   // no device: five refusals, one box
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(PercussionTest, RefusalFollowedBySuccessStillShowsItsBox)
{
    openDevice();
    auto& s = midi::state();
    s.RhythmStep = 2;
    s.PercussionCells[0][2] = {-1, 36, 100, midi::PercussionMsg(36, 100)};
    s.PercussionCells[1][2] = {-1, 38, 100, midi::PercussionMsg(38, 100)};
    midi.refuseValues = {uint32_t(midi::PercussionMsg(36, 100))};
    midi::PlayRhythmStep();
    afterHandler();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], platform::midiErrorText(platform::kMidiNotReady));
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x00642699}));
}

TEST_F(PercussionTest, PadDrumSendsWhateverItsHit)
{
    openDevice();
    auto& s = midi::state();
    s.PadIndex = 0;
    s.PercussionCells[5][0].Msg = midi::PercussionMsg(3 + 35, 100);
    midi::PlayPadDrum();
    s.PadIndex = 7;   // never prepared: sends 0, which the wire drops
    midi::PlayPadDrum();
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{0x00642699, 0}));
}

TEST_F(PercussionTest, ChordTableAndRepeat)
{
    openDevice();
    auto& s = midi::state();
    s.BaseNote = 36;
    s.ChordChannel = 3;
    s.TrackVolume[3] = 55;
    s.ChordCode = 68;
    midi::PlayChord();
    const std::vector<uint32_t> iv{0x00373093, 0x00373593, 0x00373993, 0x00373C93};
    EXPECT_EQ(midi.sent(), iv);
    midi.clear();
    s.ChordCode = 254;   // not a chord: the last chord again
    midi::PlayChord();
    EXPECT_EQ(midi.sent(), iv);
}

TEST_F(PercussionTest, ChordWithNothingPlayedYetSendsNothing)
{
    openDevice();
    midi::state().ChordCode = 0;
    midi::PlayChord();
    EXPECT_TRUE(midi.events.empty());
}

}  // namespace
