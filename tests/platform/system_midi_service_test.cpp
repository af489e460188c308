#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/midi_service.h"

#include <QFileInfo>
#include <QThread>
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

    uint32_t openSynth()
    {
        uint32_t h = 0;
        EXPECT_EQ(service->open(0, h), kMidiOk);
        return h;
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
    fluid_synth_get_program(synth(), 3, &sfont, &bank, &preset);
    EXPECT_EQ(preset, 5);

    ASSERT_EQ(service->shortMsg(h, 0x00FF07B2), kMidiOk);   // volume 255 arrives clamped
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
    EXPECT_GT(fluid_synth_get_active_voice_count(synth()), 0);
    EXPECT_EQ(service->close(h), kMidiOk);
    // The voices are released by the renderer on its next buffers: the output device's when
    // it is open (only one thread may render), else ours.
    for (int i = 0; i < 400 && fluid_synth_get_active_voice_count(synth()) > 0; ++i) {
        if (AudioEngine::instance().outputOpen()) {
            QThread::msleep(5);
        } else {
            float l[256], r[256];
            BuiltinSynth::instance().render(l, r, 256);
        }
    }
    EXPECT_EQ(fluid_synth_get_active_voice_count(synth()), 0);
}

TEST_F(SystemMidiService, NotesFasterThanTheOutputRendersLeaveStderrQuiet)
{
    const uint32_t h = openSynth();
    if (!AudioEngine::instance().outputOpen()) GTEST_SKIP() << "needs an output device to hold";
    // With the output held nothing renders, so the synthesizer runs out of voices and its event
    // queue fills: it complains per note, which must not reach the terminal.
    AudioEngine::instance().setOutputPaused(true);
    testing::internal::CaptureStderr();
    for (int i = 0; i < 1500; ++i) service->shortMsg(h, 0x00640090u + uint32_t(i % 9) + uint32_t((30 + i % 60) << 8));
    const std::string noise = testing::internal::GetCapturedStderr();
    service->close(h);
    AudioEngine::instance().setOutputPaused(false);
    EXPECT_EQ(noise.find("fluidsynth: warning"), std::string::npos) << noise.substr(0, 300);
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
