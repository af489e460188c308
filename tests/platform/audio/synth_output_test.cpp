#include "disk_audio.h"
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/midi_service.h"
#include "sound_check.h"

#include <algorithm>
#include <csignal>
#include <fluidsynth.h>
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
    EXPECT_NEAR(firstSound(output(mark, 1)), onset, 480) << "the right channel should sound with the left";
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

// Voices of `key` on `channel` still held (not released).
int heldVoices(fluid_synth_t* synth, int channel, int key)
{
    fluid_voice_t* voices[512] = {};
    fluid_synth_get_voicelist(synth, voices, 512, -1);
    int held = 0;
    for (fluid_voice_t* v : voices)
        if (v && fluid_voice_is_on(v) && fluid_voice_get_channel(v) == channel && fluid_voice_get_key(v) == key) ++held;
    return held;
}

// When the voices run out, released ones are taken: a held note keeps sounding through a fast
// run of bell notes that go on ringing, and the voices in use stay within the polyphony.
TEST_F(SynthOutput, HeldNoteOutlastsAFastRunOfRingingNotes)
{
    AudioEngine& engine = AudioEngine::instance();
    engine.setOutputPaused(true);   // only this test renders, so the synthesizer's time is known
    fluid_synth_t* synth = BuiltinSynth::instance().synth();
    std::vector<float> out(AudioEngine::kBufferFrames * AudioEngine::kChannels);
    auto render = [&](int buffers) {
        for (int i = 0; i < buffers; ++i) engine.render(out.data(), AudioEngine::kBufferFrames);
    };
    service->shortMsg(handle, 0x000030C0);   // string ensemble on channel 0
    service->shortMsg(handle, 0x00000EC1);   // tubular bells on channel 1
    service->shortMsg(handle, 0x00503C90);   // note 60 held on channel 0
    render(375);                             // two seconds
    const int held = heldVoices(synth, 0, 60);
    ASSERT_GT(held, 0);
    int most = 0, fewestHeld = held;
    for (int i = 0; i < 300; ++i) {
        const uint32_t key = uint32_t(48 + i % 24) << 8;
        service->shortMsg(handle, 0x00640091 | key);
        service->shortMsg(handle, 0x00000081 | key);
        render(1);
        most = std::max(most, fluid_synth_get_active_voice_count(synth));
        fewestHeld = std::min(fewestHeld, heldVoices(synth, 0, 60));
    }
    EXPECT_EQ(most, fluid_synth_get_polyphony(synth)) << "the run should use up the voices";
    EXPECT_EQ(fewestHeld, held);
    service->shortMsg(handle, 0x00003C80);
    BuiltinSynth::instance().allSoundOff();
    render(10);
    engine.setOutputPaused(false);
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
