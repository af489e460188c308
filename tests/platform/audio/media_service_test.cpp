#include "disk_audio.h"
#include "platform/media_service.h"
#include "platform/wave_player.h"
#include "sound_check.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

using namespace platform;
using disk_audio::output;
using disk_audio::outputFrames;
using disk_audio::waitMs;

class MediaServiceTest : public ::testing::Test {
protected:
    void SetUp() override { SetWaveVolume(0xFFFFFFFF); }
    QString path(const char* name) const { return QDir(disk_audio::tempDir()).filePath(QString::fromUtf8(name)); }
    // Waits until playback ends; false after `limitMs`.
    bool waitForStop(int limitMs)
    {
        QElapsedTimer t;
        t.start();
        while (media->mode() == MediaMode::Playing) {
            if (t.elapsed() > limitMs) return false;
            waitMs(10);
        }
        return media->mode() == MediaMode::Stopped;
    }
    std::unique_ptr<MediaService> media = createSystemMediaService();
};

struct Format {
    int bits;
    int rate;
    int sfFormat;
};

TEST_F(MediaServiceTest, RecordStopSaveWritesTheCapturedToneAsWav)
{
    for (const Format f : {Format{16, 44100, SF_FORMAT_PCM_16}, Format{8, 22050, SF_FORMAT_PCM_U8}}) {
        SCOPED_TRACE(f.bits);
        ASSERT_TRUE(disk_audio::writeCaptureTone(1000, f.bits, f.rate, 3.0));
        media->close();
        ASSERT_TRUE(media->openRecording(f.bits, f.rate, 2));
        ASSERT_TRUE(media->record()) << media->lastError().toStdString();
        EXPECT_EQ(media->mode(), MediaMode::Recording);
        EXPECT_TRUE(media->record());   // pressed again: the take goes on
        // Record until the capture has delivered a good part of a second: on a loaded machine
        // the capture thread may start late or run slowly.
        for (int waited = 0; media->positionMs() < 300 && waited < 10000; waited += 10) waitMs(10);
        media->stop();
        EXPECT_EQ(media->mode(), MediaMode::Stopped);
        const int64_t recorded = media->lengthMs();
        EXPECT_GT(recorded, 100);
        EXPECT_LT(recorded, 2000);

        const QString file = path("我的 录音.wav");
        ASSERT_TRUE(media->save(file)) << media->lastError().toStdString();
        const sound_check::Sound s = sound_check::readSound(file);
        ASSERT_TRUE(s.ok);
        EXPECT_EQ(s.info.format, SF_FORMAT_WAV | f.sfFormat);
        EXPECT_EQ(s.info.samplerate, f.rate);
        EXPECT_EQ(s.info.channels, 2);
        EXPECT_NEAR(s.seconds() * 1000, double(recorded), 1.0);
        const std::vector<float> left = s.channel(0);
        EXPECT_GT(sound_check::rms(left), 0.3);
        EXPECT_NEAR(sound_check::dominantFrequency(left, f.rate, 200, 3000), 1000.0, 5.0);
    }
}

TEST_F(MediaServiceTest, SaveReportsWhatReallyHappened)
{
    EXPECT_FALSE(media->save(path("nothing.wav")));   // nothing open
    EXPECT_FALSE(media->lastError().isEmpty());
    ASSERT_TRUE(media->openRecording(16, 44100, 2));
    EXPECT_FALSE(media->save(path("empty.wav")));     // opened, never recorded
    EXPECT_FALSE(QFile::exists(path("empty.wav")));

    ASSERT_TRUE(disk_audio::writeCaptureTone(440, 16, 44100, 1.0));
    ASSERT_TRUE(media->record());
    // Record until the capture has delivered something: a loaded machine may start the capture
    // thread late, and an empty take is rightly refused.
    for (int waited = 0; media->positionMs() < 50 && waited < 5000; waited += 10) waitMs(10);
    media->stop();
    ASSERT_GT(media->lengthMs(), 0);
    EXPECT_FALSE(media->save(path("no such folder/take.wav")));
    EXPECT_FALSE(media->lastError().isEmpty());
    EXPECT_TRUE(media->save(path("take.wav")));       // the recording is still there
    media->close();
    EXPECT_EQ(media->mode(), MediaMode::NotOpen);
    EXPECT_FALSE(media->save(path("after-close.wav")));
    EXPECT_FALSE(media->record());
    EXPECT_FALSE(media->openRecording(12, 44100, 2));
}

TEST_F(MediaServiceTest, TheTakeStreamsIntoItsFolderAndTheSaveMovesItIntoPlace)
{
    using testing_support::folderEntries;
    QTemporaryDir records;
    ASSERT_TRUE(disk_audio::writeCaptureTone(700, 8, 44100, 3.0));
    ASSERT_TRUE(media->openRecording(8, 44100, 2, records.path()));
    ASSERT_TRUE(media->record());
    waitMs(300);
    // While it runs the take is a hidden file of its own in the folder, and it grows.
    const QStringList during = folderEntries(records.path());
    ASSERT_EQ(during.size(), 1);
    EXPECT_TRUE(during[0].startsWith('.'));
    const QString take = QDir(records.path()).filePath(during[0]);
    const qint64 early = QFileInfo(take).size();
    waitMs(300);
    EXPECT_GT(QFileInfo(take).size(), early);
    media->stop();
    const int64_t recorded = media->lengthMs();

    // A failed save keeps the take for another try.
    EXPECT_FALSE(media->save(QDir(records.path()).filePath(QStringLiteral("no such folder/a.wav"))));
    EXPECT_TRUE(QFileInfo::exists(take));

    const QString saved = QDir(records.path()).filePath(QStringLiteral("我的录音.wav"));
    ASSERT_TRUE(media->save(saved)) << media->lastError().toStdString();
    EXPECT_EQ(folderEntries(records.path()), QStringList{QStringLiteral("我的录音.wav")});
    const sound_check::Sound s = sound_check::readSound(saved);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_U8);
    EXPECT_NEAR(s.seconds() * 1000, double(recorded), 1.0);
    EXPECT_NEAR(sound_check::dominantFrequency(s.channel(1), 44100, 200, 3000), 700.0, 5.0);
    EXPECT_FALSE(media->record());   // the saved file is the user's: nothing is appended to it

    // A take closed without saving leaves nothing behind, not even an open descriptor.
    media->close();
    const int descriptors = folderEntries(QStringLiteral("/proc/self/fd")).size();
    ASSERT_TRUE(media->openRecording(8, 44100, 2, records.path()));
    ASSERT_TRUE(media->record());
    waitMs(100);
    media->close();
    EXPECT_EQ(media->mode(), MediaMode::NotOpen);
    EXPECT_EQ(folderEntries(records.path()), QStringList{QStringLiteral("我的录音.wav")});
    EXPECT_EQ(folderEntries(QStringLiteral("/proc/self/fd")).size(), descriptors);
}

TEST_F(MediaServiceTest, AFullDiskKeepsTheOldRecordingAndTheSaveFails)
{
    ASSERT_TRUE(disk_audio::writeCaptureTone(440, 16, 44100, 1.0));
    ASSERT_TRUE(media->openRecording(16, 44100, 2));
    ASSERT_TRUE(media->record());
    waitMs(300);
    media->stop();
    // A first save moves the take into place, which writes nothing; a save after it copies the
    // recording, and that copy meets the full disk.
    ASSERT_TRUE(media->save(path("first save.wav")));
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("take.wav"));
    const QByteArray old("RIFF an older recording");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    // The new recording holds tens of KB; the disk takes 4 KB more.
    EXPECT_EQ(testing_support::writeUnderFileSizeLimit(4096, [&] { return media->save(file); }),
              std::optional<bool>(false));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(testing_support::folderEntries(folder.path()), QStringList{"take.wav"});
    EXPECT_TRUE(media->save(file));   // with room on the disk the recording is still there
}

TEST_F(MediaServiceTest, WavPlaysToTheEndThroughTheMix)
{
    const QString file = path("Tone A.WAV");
    ASSERT_TRUE(sound_check::writeSound(file, sound_check::tone(600, 44100, 2, 0.3), 44100, 2,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    ASSERT_TRUE(media->openFile(file)) << media->lastError().toStdString();
    EXPECT_EQ(media->mode(), MediaMode::Stopped);
    EXPECT_NEAR(double(media->lengthMs()), 300.0, 1.0);
    media->seekToStart();
    const size_t mark = disk_audio::settledMark();
    ASSERT_TRUE(media->play());
    EXPECT_EQ(media->mode(), MediaMode::Playing);
    ASSERT_TRUE(waitForStop(3000));
    EXPECT_NEAR(double(media->positionMs()), 300.0, 10.0);

    disk_audio::waitFrames(2400);
    const std::vector<float> left = output(mark);
    const long onset = disk_audio::firstSound(left);
    ASSERT_GE(onset, 0);
    const std::vector<float> part(left.begin() + onset + 2400, left.begin() + onset + 12000);
    EXPECT_NEAR(sound_check::dominantFrequency(part, 48000, 200, 3000), 600.0, 6.0);
    EXPECT_LT(sound_check::rms(left, size_t(onset) + 14800), 1e-4);   // nothing after the end

    // Played again after the end: from the start.
    ASSERT_TRUE(media->play());
    EXPECT_EQ(media->mode(), MediaMode::Playing);
    media->stop();
    EXPECT_EQ(media->mode(), MediaMode::Stopped);
}

TEST_F(MediaServiceTest, Mp3PlaysToTheEnd)
{
    SF_INFO probe{};
    probe.samplerate = 44100;
    probe.channels = 2;
    probe.format = SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    if (!sf_format_check(&probe)) GTEST_SKIP() << "this libsndfile cannot write MP3";
    const QString file = path("tone b.Mp3");
    ASSERT_TRUE(sound_check::writeSound(file, sound_check::tone(800, 44100, 2, 0.3), 44100, 2, probe.format));
    ASSERT_TRUE(media->openFile(file)) << media->lastError().toStdString();
    EXPECT_NEAR(double(media->lengthMs()), 300.0, 60.0);
    media->seekToStart();
    ASSERT_TRUE(media->play());
    ASSERT_TRUE(waitForStop(3000));
    EXPECT_NEAR(double(media->positionMs()), double(media->lengthMs()), 10.0);
}

TEST_F(MediaServiceTest, FilesThatCannotPlayAreRefused)
{
    const QString other = path("tone.ogg");
    ASSERT_TRUE(sound_check::writeSound(other, sound_check::tone(600, 44100, 2, 0.1), 44100, 2,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    EXPECT_FALSE(media->openFile(other));
    EXPECT_FALSE(media->lastError().isEmpty());
    EXPECT_FALSE(media->openFile(path("missing.wav")));
    QFile junk(path("junk.wav"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a sound file");
    junk.close();
    EXPECT_FALSE(media->openFile(path("junk.wav")));
    EXPECT_FALSE(media->play());
    EXPECT_EQ(media->mode(), MediaMode::NotOpen);
}

}  // namespace
