#include "platform/audio_file.h"
#include "sound_check.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(EffectSounds, BuildWritesSixShortSoundsUnderTheDefaultNames)
{
    const QDir dir(QString::fromUtf8(VELQOR_EFFECT_DIR));
    for (const char* name : {"玻璃1.wav", "雷声3.WAV", "刹车2.wav", "瓦碎.wav", "开门声.wav", "关门声1.wav"}) {
        const QString path = dir.filePath(QString::fromUtf8(name));
        SCOPED_TRACE(name);
        const sound_check::Sound s = sound_check::readSound(path);
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        EXPECT_TRUE(s.info.samplerate == 22050 || s.info.samplerate == 44100);
        EXPECT_GE(s.seconds(), 0.5);
        EXPECT_LE(s.seconds(), 2.0);
        EXPECT_GT(sound_check::rms(s.samples), 0.02);   // audible, not a silent file
        float peak = 0;
        for (float v : s.samples) peak = std::max(peak, std::abs(v));
        EXPECT_LT(peak, 0.99f);   // not clipped

        // The wave player's decoder takes it, converted to 48 kHz stereo.
        auto reader = platform::openSndfileReader(path, nullptr);
        ASSERT_TRUE(reader);
        const double frames48 = double(platform::decodeAll(*reader).size() / 2);
        EXPECT_NEAR(frames48, s.seconds() * 48000, 200);
    }
}

}  // namespace
