#include "disk_audio.h"
#include "platform/audio_engine.h"
#include "platform/midi_service.h"
#include "sound_check.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

using namespace platform;
using disk_audio::firstSound;
using disk_audio::output;
using disk_audio::outputFrames;
using disk_audio::settledMark;
using disk_audio::waitFrames;

class SynthOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(service->open(-1, handle), kMidiOk) << service->errorText(kMidiNoDriver).toStdString();
    }
    void TearDown() override { service->close(handle); }
    std::unique_ptr<MidiService> service = createSystemMidiService();
    uint32_t handle = 0;
};

TEST_F(SynthOutput, NoteOnThroughTheMapperSoundsItsPitch)
{
    service->shortMsg(handle, 0x000000C0);   // piano on channel 0
    const size_t mark = settledMark();
    service->shortMsg(handle, 0x00644590);   // note 69 (440 Hz), velocity 100
    waitFrames(19200);
    service->shortMsg(handle, 0x00004580);
    const std::vector<float> left = output(mark);
    const long onset = firstSound(left);
    ASSERT_GE(onset, 0) << "the note made no sound";
    ASSERT_GT(left.size(), size_t(onset) + 12000);
    const std::vector<float> steady(left.begin() + onset + 1500, left.begin() + onset + 11100);
    EXPECT_NEAR(sound_check::dominantFrequency(steady, 48000, 100, 2000), 440.0, 5.0);
}

TEST_F(SynthOutput, DrumsSoundOnChannelNineAndCloseSilencesEverything)
{
    service->shortMsg(handle, 0x000013C1);   // organ on channel 1: it sustains
    service->shortMsg(handle, 0x00643C91);
    service->shortMsg(handle, 0x00642699);   // snare on the percussion channel
    waitFrames(12000);
    const std::vector<float> playing = output(outputFrames() - 4800);
    EXPECT_GT(sound_check::rms(playing), 0.005);

    service->close(handle);
    ASSERT_EQ(service->open(-1, handle), kMidiOk);
    waitFrames(14400);   // let the reverb tail die away
    const size_t mark = outputFrames();
    waitFrames(9600);
    EXPECT_LT(sound_check::rms(output(mark)), sound_check::rms(playing) / 100);
}

}  // namespace

namespace {

// With the sound output running, terminating or interrupting the program still ends it: the
// signals keep their default action.
TEST(AudioEngineSignals, SoundOutputLeavesTerminationSignalsAlone)
{
    ASSERT_TRUE(platform::AudioEngine::instance().initAudio());
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction current {};
        ASSERT_EQ(sigaction(sig, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << sig;
    }
}

}  // namespace
