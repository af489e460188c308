#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/midi_service.h"

#include <QFileInfo>
#include <cstdlib>
#include <fluidsynth.h>
#include <gtest/gtest.h>

namespace {

using namespace platform;

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

class SystemMidiService : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The small SoundFont keeps the tests fast; the synthesizer loads it once per process.
        if (QFileInfo::exists(kSmallSoundFont)) setenv("VELQOR_SOUNDFONT", kSmallSoundFont, 0);
    }
    void SetUp() override
    {
        if (findSoundFont().isEmpty()) GTEST_SKIP() << "no SoundFont installed";
    }

    void TearDown() override { AudioEngine::instance().setOutputPaused(false); }

    // Opens the synthesizer and holds the output device: only the test renders (render()), so
    // it alone uses the synthesizer and can read its state.
    uint32_t openSynth()
    {
        uint32_t h = 0;
        EXPECT_EQ(service->open(0, h), kMidiOk);
        AudioEngine::instance().setOutputPaused(true);
        render();   // what earlier tests left queued
        return h;
    }
    // Renders `buffers` buffers: the synthesizer takes the messages sent before.
    static void render(int buffers = 1)
    {
        float out[AudioEngine::kBufferFrames * AudioEngine::kChannels];
        for (int i = 0; i < buffers; ++i) AudioEngine::instance().render(out, AudioEngine::kBufferFrames);
    }
    static fluid_synth_t* synth() { return BuiltinSynth::instance().synth(); }

    std::unique_ptr<MidiService> service = createSystemMidiService();
};

TEST_F(SystemMidiService, ListsTheMapperAndTheSynthesizerFirst)
{
    const int count = service->deviceCount();
    ASSERT_GE(count, 1);
    QString mapper, synthName, none;
    EXPECT_EQ(service->deviceName(-1, mapper), kMidiOk);
    EXPECT_EQ(service->deviceName(0, synthName), kMidiOk);
    EXPECT_FALSE(mapper.isEmpty());
    EXPECT_FALSE(synthName.isEmpty());
    EXPECT_NE(mapper, synthName);
    EXPECT_EQ(service->deviceName(count, none), kMidiBadDeviceId);
    EXPECT_EQ(service->deviceName(-2, none), kMidiBadDeviceId);
    if (!QFileInfo::exists("/dev/snd/seq")) {
        EXPECT_EQ(count, 1);
    }
}

TEST_F(SystemMidiService, HandlesAreNonzeroIncreasingAndNeverReused)
{
    uint32_t mapper = 0, direct = 0, again = 0;
    ASSERT_EQ(service->open(-1, mapper), kMidiOk);
    ASSERT_EQ(service->open(0, direct), kMidiOk);
    EXPECT_NE(mapper, 0u);
    EXPECT_GT(direct, mapper);

    EXPECT_EQ(service->close(mapper), kMidiOk);
    EXPECT_EQ(service->close(mapper), kMidiInvalidHandle);
    EXPECT_EQ(service->shortMsg(mapper, 0x00643C90), kMidiInvalidHandle);
    EXPECT_EQ(service->shortMsg(0, 0x00643C90), kMidiInvalidHandle);
    EXPECT_EQ(service->close(0), kMidiInvalidHandle);

    ASSERT_EQ(service->open(-1, again), kMidiOk);
    EXPECT_GT(again, direct);
    EXPECT_EQ(fluid_synth_sfcount(synth()), 1) << "every open after the first uses the SoundFont loaded";
    EXPECT_EQ(service->shortMsg(direct, 0x00003C80), kMidiOk);   // the other handle lives on
    service->close(again);
    service->close(direct);
}

TEST_F(SystemMidiService, UnknownDevicesDoNotOpen)
{
    uint32_t h = 77;
    EXPECT_EQ(service->open(service->deviceCount(), h), kMidiBadDeviceId);
    EXPECT_EQ(h, 0u);
    EXPECT_EQ(service->open(-2, h), kMidiBadDeviceId);
    EXPECT_EQ(h, 0u);
}

TEST_F(SystemMidiService, SynthesizerGetsWireValidMessagesOnly)
{
    const uint32_t h = openSynth();
    int sfont = 0, bank = 0, preset = 0, value = 0;
    ASSERT_EQ(service->shortMsg(h, 0x000005C3), kMidiOk);   // program 5 on channel 3
    EXPECT_EQ(service->shortMsg(h, 0xFFFFFFC3), kMidiOk);   // program -1: not sent, no error
    EXPECT_EQ(service->shortMsg(h, 0x00000000), kMidiOk);
    render();
    fluid_synth_get_program(synth(), 3, &sfont, &bank, &preset);
    EXPECT_EQ(preset, 5);

    ASSERT_EQ(service->shortMsg(h, 0x00FF07B2), kMidiOk);   // volume 255 arrives clamped
    render();
    fluid_synth_get_cc(synth(), 2, 7, &value);
    EXPECT_EQ(value, 127);
    // A note-off that matches no voice is not a refusal.
    EXPECT_EQ(service->shortMsg(h, 0x00001182), kMidiOk);
    service->close(h);
}

TEST_F(SystemMidiService, ClosingSilencesTheSynthesizer)
{
    const uint32_t h = openSynth();
    service->shortMsg(h, 0x00000000 | 0xC0);
    service->shortMsg(h, 0x00643C90);
    service->shortMsg(h, 0x00642699);   // a drum on channel 9
    render();
    EXPECT_GT(fluid_synth_get_active_voice_count(synth()), 0);
    EXPECT_EQ(service->close(h), kMidiOk);
    // The voices are released by the renderer on its next buffers.
    for (int i = 0; i < 400 && fluid_synth_get_active_voice_count(synth()) > 0; ++i) render();
    EXPECT_EQ(fluid_synth_get_active_voice_count(synth()), 0);
}

TEST_F(SystemMidiService, NotesFasterThanTheOutputRendersLeaveStderrQuiet)
{
    const uint32_t h = openSynth();
    if (!AudioEngine::instance().outputOpen()) GTEST_SKIP() << "needs an output device to hold";
    // All of them reach the synthesizer before one buffer, so it runs out of voices and its
    // event queue fills: it complains per note, which must not reach the terminal.
    testing::internal::CaptureStderr();
    for (int i = 0; i < 1500; ++i) service->shortMsg(h, 0x00640090u + uint32_t(i % 9) + uint32_t((30 + i % 60) << 8));
    render();
    const std::string noise = testing::internal::GetCapturedStderr();
    service->close(h);
    EXPECT_EQ(noise.find("fluidsynth: warning"), std::string::npos) << noise.substr(0, 300);
}

// While nothing renders, the queue to the synthesizer fills: the sender goes on, and what
// finds no room is counted; what was queued before plays, in order.
TEST_F(SystemMidiService, MessagesBeyondAFullQueueAreCountedNotPlayed)
{
    const uint32_t h = openSynth();
    if (!AudioEngine::instance().outputOpen()) GTEST_SKIP() << "needs an output device to hold";
    BuiltinSynth& builtin = BuiltinSynth::instance();
    const uint64_t before = builtin.overflows();
    service->shortMsg(h, 0x000005C3);   // program 5 on channel 3
    for (uint32_t i = 1; i < BuiltinSynth::kQueueCapacity; ++i) service->shortMsg(h, 0x00000083 | (i % 128) << 8);
    EXPECT_EQ(builtin.overflows(), before);
    EXPECT_EQ(service->shortMsg(h, 0x000007C3), kMidiOk);   // program 7: no room
    EXPECT_EQ(service->shortMsg(h, 0x000009C3), kMidiOk);
    EXPECT_EQ(builtin.overflows(), before + 2);
    render();
    int sfont = 0, bank = 0, preset = 0;
    fluid_synth_get_program(synth(), 3, &sfont, &bank, &preset);
    EXPECT_EQ(preset, 5);
    // The render made room again.
    service->shortMsg(h, 0x000007C3);
    render();
    fluid_synth_get_program(synth(), 3, &sfont, &bank, &preset);
    EXPECT_EQ(preset, 7);
    EXPECT_EQ(builtin.overflows(), before + 2);
    service->close(h);
}

TEST(SoundFontChoice, EnvironmentOverridesAndMissingFilesAreSkipped)
{
    const QByteArray saved = qgetenv("VELQOR_SOUNDFONT");
    if (QFileInfo::exists(kSmallSoundFont)) {
        qputenv("VELQOR_SOUNDFONT", kSmallSoundFont);
        EXPECT_EQ(findSoundFont(), QString::fromLatin1(kSmallSoundFont));
    }
    qputenv("VELQOR_SOUNDFONT", "/nonexistent/none.sf2");
    EXPECT_NE(findSoundFont(), QStringLiteral("/nonexistent/none.sf2"));
    if (saved.isNull())
        qunsetenv("VELQOR_SOUNDFONT");
    else
        qputenv("VELQOR_SOUNDFONT", saved);
}

}  // namespace
