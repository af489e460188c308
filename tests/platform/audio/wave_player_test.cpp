#include "disk_audio.h"
#include "platform/wave_player.h"
#include "sound_check.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using namespace platform;
using disk_audio::firstSound;
using disk_audio::output;
using disk_audio::outputFrames;
using disk_audio::settledMark;
using disk_audio::waitFrames;

QString beep(double freq, double seconds, const char* name)
{
    const QString path = QDir(disk_audio::tempDir()).filePath(QString::fromUtf8(name));
    EXPECT_TRUE(sound_check::writeSound(path, sound_check::tone(freq, 22050, 1, seconds), 22050, 1,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    return path;
}

class WavePlayer : public ::testing::Test {
protected:
    void SetUp() override { SetWaveVolume(0xFFFFFFFF); }
    void TearDown() override
    {
        PlaySoundFile(QString(), 0);
        SetWaveVolume(0xFFFFFFFF);
    }
};

TEST_F(WavePlayer, LoopsUntilAnEmptyNameStopsIt)
{
    const QString path = beep(1000, 0.15, "环 beep.wav");
    const size_t mark = settledMark();
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync | kSoundNoDefault | kSoundLoop));
    waitFrames(24000);
    const std::vector<float> left = output(mark);
    const long onset = firstSound(left);
    ASSERT_GE(onset, 0);
    ASSERT_GT(left.size(), size_t(onset) + 19200);
    // Still sounding at 0.3 s, twice the file's length, with the file's pitch.
    const std::vector<float> late(left.begin() + onset + 14400, left.begin() + onset + 19200);
    EXPECT_GT(sound_check::rms(late), 0.2);
    EXPECT_NEAR(sound_check::dominantFrequency(late, 48000, 200, 3000), 1000.0, 10.0);

    EXPECT_FALSE(PlaySoundFile(QString(), 0));
    const size_t after = settledMark();
    waitFrames(7200);
    EXPECT_LT(sound_check::rms(output(after)), 1e-4);
}

TEST_F(WavePlayer, PlaysOnceAtTheWaveVolume)
{
    const QString path = beep(700, 0.1, "once.WAV");
    SetWaveVolume(0x0000FFFF);   // left full, right off
    const size_t mark = settledMark();
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync));
    waitFrames(14400);
    const std::vector<float> left = output(mark, 0);
    const std::vector<float> right = output(mark, 1);
    const long onset = firstSound(left);
    ASSERT_GE(onset, 0);
    EXPECT_GT(sound_check::rms(left, size_t(onset), size_t(onset) + 4000), 0.2);
    EXPECT_LT(sound_check::rms(right), 1e-4);
    // Over after its 0.1 s.
    EXPECT_LT(sound_check::rms(left, size_t(onset) + 6000), 1e-4);
}

TEST_F(WavePlayer, NewSoundReplacesTheOldAndAMissingFileStopsIt)
{
    const QString low = beep(500, 0.2, "low.wav");
    const QString high = beep(1500, 0.2, "high.wav");
    ASSERT_TRUE(PlaySoundFile(low, kSoundAsync | kSoundLoop));
    waitFrames(4800);
    ASSERT_TRUE(PlaySoundFile(high, kSoundAsync | kSoundLoop));
    size_t mark = settledMark();
    waitFrames(9600);
    std::vector<float> left = output(mark);
    ASSERT_GT(left.size(), 4800u);
    const std::vector<float> part(left.begin(), left.begin() + 4800);
    EXPECT_NEAR(sound_check::dominantFrequency(part, 48000, 200, 3000), 1500.0, 15.0);
    EXPECT_LT(sound_check::powerAt(sound_check::windowed(part), 48000, 500),
              sound_check::powerAt(sound_check::windowed(part), 48000, 1500) / 1000);

    EXPECT_FALSE(PlaySoundFile(QDir(disk_audio::tempDir()).filePath("none.wav"), kSoundAsync));
    mark = settledMark();
    waitFrames(7200);
    EXPECT_LT(sound_check::rms(output(mark)), 1e-4);
}

TEST_F(WavePlayer, DecodesAFileOnceUntilItChanges)
{
    const QString path = beep(600, 0.2, "once-decoded.wav");
    const int before = SoundFileDecodes();
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync | kSoundNoDefault));
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync));   // started again at once: no second decode
    EXPECT_EQ(SoundFileDecodes(), before + 1);
    waitFrames(4800);
    const QString other = beep(900, 0.2, "other.wav");
    ASSERT_TRUE(PlaySoundFile(other, kSoundAsync));
    waitFrames(4800);
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync));
    EXPECT_EQ(SoundFileDecodes(), before + 2);

    // The file is written again with another sound: the next press plays the new one. The old
    // sound is stopped first, so that a late test thread cannot find its tail after the mark.
    beep(1200, 0.3, "once-decoded.wav");
    PlaySoundFile(QString(), 0);
    const size_t mark = settledMark();
    ASSERT_TRUE(PlaySoundFile(path, kSoundAsync | kSoundLoop));
    EXPECT_EQ(SoundFileDecodes(), before + 3);
    waitFrames(9600);
    const std::vector<float> left = output(mark);
    const long onset = firstSound(left);
    ASSERT_GE(onset, 0);
    ASSERT_GT(left.size(), size_t(onset) + 4800);
    const std::vector<float> part(left.begin() + onset, left.begin() + onset + 4800);
    EXPECT_NEAR(sound_check::dominantFrequency(part, 48000, 200, 3000), 1200.0, 15.0);
}

TEST_F(WavePlayer, AFileThatIsNoSoundPlaysNothing)
{
    const QString path = QDir(disk_audio::tempDir()).filePath("broken.wav");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, 'x'));
    f.close();
    const int before = SoundFileDecodes();
    EXPECT_FALSE(PlaySoundFile(path, kSoundAsync | kSoundLoop));
    EXPECT_FALSE(PlaySoundFile(path, kSoundAsync | kSoundLoop));
    EXPECT_EQ(SoundFileDecodes(), before);
    const size_t mark = settledMark();
    waitFrames(4800);
    EXPECT_LT(sound_check::rms(output(mark)), 1e-4);
}

TEST_F(WavePlayer, ASoundTooLongToHoldPlaysNothing)
{
    // Two hours of 44.1 kHz stereo (1.4 GB, a sparse file): decoded it would take 2.8 GB.
    const QString path = QDir(disk_audio::tempDir()).filePath("two hours.wav");
    ASSERT_TRUE(sound_check::writeSound(path, sound_check::tone(440, 44100, 2, 0.1), 44100, 2,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 data = qint64(44100) * 4 * 7200;
    ASSERT_TRUE(f.resize(44 + data));
    f.seek(4);
    const uint32_t riff = qToLittleEndian(uint32_t(36 + data)), size = qToLittleEndian(uint32_t(data));
    f.write(reinterpret_cast<const char*>(&riff), 4);
    f.seek(40);
    f.write(reinterpret_cast<const char*>(&size), 4);
    f.close();
    const int before = SoundFileDecodes();
    EXPECT_FALSE(PlaySoundFile(path, kSoundAsync));
    EXPECT_EQ(SoundFileDecodes(), before);
    QFile::remove(path);
}

}  // namespace
