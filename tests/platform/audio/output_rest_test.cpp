// The output rests after a quiet spell and wakes for whatever sounds next: a note, a WAV
// effect, a file played by the recorder, a recording.
#include "disk_audio.h"
#include "platform/audio_engine.h"
#include "platform/media_service.h"
#include "platform/midi_service.h"
#include "platform/wave_player.h"
#include "sound_check.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

using namespace platform;
using namespace std::chrono_literals;
using disk_audio::firstSound;
using disk_audio::output;
using disk_audio::outputFrames;
using disk_audio::waitFrames;
using disk_audio::waitMs;

class OutputRest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetWaveVolume(0xFFFFFFFF);
        engine.setRestAfter(100ms);
    }
    void TearDown() override { engine.setRestAfter(2000ms); }

    // Waits until the output rests and its last buffer has been written; the frame count then.
    size_t restingMark()
    {
        for (int i = 0; i < 2000 && !engine.resting(); ++i) waitMs(5);
        EXPECT_TRUE(engine.resting());
        waitMs(30);
        return outputFrames();
    }
    QString tone(double freq, const char* name) const
    {
        const QString file = QDir(disk_audio::tempDir()).filePath(QString::fromUtf8(name));
        EXPECT_TRUE(sound_check::writeSound(file, sound_check::tone(freq, 44100, 2, 0.3), 44100, 2,
                                            SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        return file;
    }
    // The first sound written since `mark` (frames after it), waiting for up to `frames`.
    long soundSince(size_t mark, size_t frames = 9600)
    {
        waitFrames(frames);
        return firstSound(output(mark));
    }

    AudioEngine& engine = AudioEngine::instance();
};

TEST_F(OutputRest, NothingIsWrittenWhileRestingAndANoteWakesIt)
{
    auto midi = createSystemMidiService();
    uint32_t h = 0;
    ASSERT_EQ(midi->open(-1, h), kMidiOk) << midi->errorText(kMidiNoDriver).toStdString();
    midi->shortMsg(h, 0x000000C0);   // piano
    const size_t mark = restingMark();
    waitMs(60);
    EXPECT_EQ(outputFrames(), mark) << "a resting output renders nothing";

    midi->shortMsg(h, 0x00644590);   // note 69
    const long onset = soundSince(mark);
    midi->shortMsg(h, 0x00004580);
    EXPECT_FALSE(engine.resting());
    midi->close(h);
    EXPECT_GE(onset, 0) << "the note after the rest made no sound";
}

// What counts is the synthesizer's sound, not the time since its last message: a note held
// through several quiet spells goes on sounding.
TEST_F(OutputRest, AHeldNoteKeepsTheOutputAwake)
{
    auto midi = createSystemMidiService();
    uint32_t h = 0;
    ASSERT_EQ(midi->open(-1, h), kMidiOk) << midi->errorText(kMidiNoDriver).toStdString();
    midi->shortMsg(h, 0x000013C1);   // organ on channel 1: it sustains
    midi->shortMsg(h, 0x00643C91);
    waitMs(400);
    const size_t mark = outputFrames();
    EXPECT_TRUE(waitFrames(4800)) << "the output rested under a held note";
    EXPECT_GT(sound_check::rms(output(mark)), 0.005);
    midi->shortMsg(h, 0x00003C81);
    midi->close(h);
}

TEST_F(OutputRest, WaveEffectAndRecorderPlaybackSoundAfterTheRest)
{
    const QString effect = tone(800, "effect.wav");
    size_t mark = restingMark();
    ASSERT_TRUE(PlaySoundFile(effect, kSoundAsync | kSoundNoDefault));
    EXPECT_GE(soundSince(mark), 0) << "the WAV effect after the rest made no sound";

    auto media = createSystemMediaService();
    ASSERT_TRUE(media->openFile(tone(500, "recording.wav")));
    mark = restingMark();
    ASSERT_TRUE(media->play()) << media->lastError().toStdString();
    EXPECT_GE(soundSince(mark), 0) << "the recorder's file after the rest made no sound";
    media->close();
}

TEST_F(OutputRest, RecordingAfterTheRestCapturesTheInput)
{
    ASSERT_TRUE(disk_audio::writeCaptureTone(1000, 16, 44100, 3.0));
    restingMark();
    auto media = createSystemMediaService();
    ASSERT_TRUE(media->openRecording(16, 44100, 2));
    ASSERT_TRUE(media->record()) << media->lastError().toStdString();
    waitMs(400);
    media->stop();
    const QString file = QDir(disk_audio::tempDir()).filePath(QStringLiteral("after rest.wav"));
    ASSERT_TRUE(media->save(file)) << media->lastError().toStdString();
    const sound_check::Sound s = sound_check::readSound(file);
    ASSERT_TRUE(s.ok);
    EXPECT_GT(sound_check::rms(s.channel(0)), 0.3);
}

}  // namespace
