#include "platform/audio_engine.h"
#include "platform/audio_file.h"
#include "sound_check.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

TEST(SoundFiles, TheWavReaderTakesOnlyWavFiles)
{
    // An MP3 or AIFF named .wav is not handed to the decoder's guesswork (a fuzzing finding: MP3
    // frames read through it did not rewind to the same samples); every WAV layout still opens.
    QTemporaryDir dir;
    const std::vector<float> tone = sound_check::tone(440, 22050, 1, 0.1);
    const std::pair<const char*, int> files[] = {
        {"pcm.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},
        {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"adpcm.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM},
        {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
        {"rf64.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16},
        {"aiff.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
    };
    for (const auto& [name, format] : files) {
        SCOPED_TRACE(name);
        const QString path = dir.filePath(QString::fromUtf8(name));
        ASSERT_TRUE(sound_check::writeSound(path, tone, 22050, 1, format));
        QString why;
        const bool wav = (format & SF_FORMAT_TYPEMASK) != SF_FORMAT_AIFF;
        EXPECT_EQ(platform::openSndfileReader(path, &why) != nullptr, wav);
        EXPECT_EQ(why.isEmpty(), wav);
    }
    QByteArray mp3;
    for (int frame = 0; frame < 4; ++frame) mp3 += QByteArray("\xFF\xFB\x90\xC0", 4) + QByteArray(413, '\0');
    const QString path = dir.filePath("frames.wav");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(mp3);
    f.close();
    QString why;
    EXPECT_EQ(platform::openSndfileReader(path, &why), nullptr);
    EXPECT_FALSE(why.isEmpty());
    EXPECT_NE(platform::openMp3Reader(path, &why), nullptr);   // the MP3 reader takes it
}

TEST(SoundFiles, ADamagedMp3PlaysTheSameAgainAndClaimsNoLongerLengthThanItPlays)
{
    // A fuzzing finding: the decoder counted ten times the frames this damaged file plays.
    auto reader = platform::openMp3Reader(QStringLiteral(VELQOR_AUDIO_CORPUS_DIR "/finding_damaged_mp3_length.mp3"), nullptr);
    ASSERT_TRUE(reader);
    const std::vector<float> first = platform::decodeAll(*reader);
    ASSERT_TRUE(reader->rewind());
    EXPECT_EQ(platform::decodeAll(*reader), first);   // played again, it starts and ends as the first time
    EXPECT_LE(reader->frames() * platform::AudioEngine::kRate / reader->rate(), int64_t(first.size() / 2));
}

}  // namespace
