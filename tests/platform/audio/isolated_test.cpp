// Tests that need a process of their own (each has its own CTest entry).
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/media_service.h"
#include "platform/midi_service.h"
#include "disk_audio.h"
#include "sound_check.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace platform;

// Runs with an audio driver that does not exist.
TEST(IsolatedNoDevice, EverythingFailsCleanlyOrPlaysSilently)
{
    if (AudioEngine::instance().outputOpen()) GTEST_SKIP() << "needs a process without audio";
    EXPECT_FALSE(AudioEngine::instance().ensureOutput());
    EXPECT_FALSE(AudioEngine::instance().outputError().isEmpty());

    // The built-in synthesizer still opens and takes notes.
    auto midi = createSystemMidiService();
    uint32_t h = 0;
    if (!findSoundFont().isEmpty()) {
        ASSERT_EQ(midi->open(0, h), kMidiOk);
        EXPECT_EQ(midi->shortMsg(h, 0x00643C90), kMidiOk);
        EXPECT_EQ(midi->close(h), kMidiOk);
    }

    auto media = createSystemMediaService();
    ASSERT_TRUE(media->openRecording(8, 44100, 2));
    EXPECT_FALSE(media->record());
    EXPECT_TRUE(media->lastError().contains(QStringLiteral("录音设备")));
    EXPECT_EQ(media->mode(), MediaMode::Stopped);

    const QString file = QDir(disk_audio::tempDir()).filePath("t.wav");
    ASSERT_TRUE(sound_check::writeSound(file, sound_check::tone(600, 44100, 2, 0.1), 44100, 2,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    ASSERT_TRUE(media->openFile(file));
    EXPECT_FALSE(media->play());
    EXPECT_FALSE(media->lastError().isEmpty());
    EXPECT_EQ(media->mode(), MediaMode::Stopped);
}

// Runs with a SoundFont file that is not one.
TEST(IsolatedBadSoundFont, OpeningTheSynthesizerFailsWithAClearText)
{
    if (BuiltinSynth::instance().loaded()) GTEST_SKIP() << "needs a process of its own";
    const QString bad = QDir(disk_audio::tempDir()).filePath("bad.sf2");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("this is not a SoundFont");
    f.close();
    qputenv("VELQOR_SOUNDFONT", QFile::encodeName(bad));

    auto midi = createSystemMidiService();
    for (int id : {-1, 0}) {
        uint32_t h = 5;
        EXPECT_EQ(midi->open(id, h), kMidiNoDriver);
        EXPECT_EQ(h, 0u);
    }
    const QString text = midi->errorText(kMidiNoDriver);
    EXPECT_TRUE(text.contains(QStringLiteral("音色库"))) << text.toStdString();
    EXPECT_TRUE(text.contains(bad)) << text.toStdString();
}

}  // namespace
