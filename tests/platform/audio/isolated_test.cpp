// Tests that need a process of their own (each has its own CTest entry).
#include "platform/audio_engine.h"
#include "platform/builtin_synth.h"
#include "platform/media_service.h"
#include "platform/midi_service.h"
#include "disk_audio.h"
#include "sound_check.h"

#include <QDir>
#include <fluidsynth.h>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

namespace {

using namespace platform;

// Runs with an audio driver that does not exist.
TEST(IsolatedNoDevice, EverythingFailsCleanlyOrPlaysSilently)
{
    if (AudioEngine::instance().outputOpen()) GTEST_SKIP() << "needs a process without audio";
    EXPECT_FALSE(AudioEngine::instance().ensureOutput());
    EXPECT_FALSE(AudioEngine::instance().outputError().isEmpty());

    // The built-in synthesizer still opens and takes any number of notes without complaint,
    // more than its queue holds: with no output device rendering, the sender hands them over.
    auto midi = createSystemMidiService();
    uint32_t h = 0;
    if (!findSoundFont().isEmpty()) {
        static int warnings = 0;
        fluid_set_log_function(FLUID_WARN, [](int, const char*, void*) { ++warnings; }, nullptr);
        ASSERT_EQ(midi->open(0, h), kMidiOk);
        for (int i = 0; i < 2100; ++i) {
            EXPECT_EQ(midi->shortMsg(h, 0x00640090 + uint32_t(i % 9) + uint32_t((40 + i % 40) << 8)), kMidiOk);
            midi->shortMsg(h, 0x00000080 + uint32_t(i % 9) + uint32_t((40 + (i + 20) % 40) << 8));
        }
        EXPECT_EQ(midi->close(h), kMidiOk);
        EXPECT_EQ(warnings, 0);
        EXPECT_EQ(BuiltinSynth::instance().overflows(), 0u);
        fluid_set_log_function(FLUID_WARN, fluid_default_log_function, nullptr);
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

// Runs where files cannot grow past a limit, as on a disk that fills during the take (the limit
// holds for the whole process, so the test has one of its own).
TEST(IsolatedFullDisk, TheTakeIsCutWhereTheDiskFilledAndWhatWasWrittenSaves)
{
    ASSERT_TRUE(disk_audio::writeCaptureTone(440, 16, 44100, 3.0));
    auto media = createSystemMediaService();
    const QString folder = disk_audio::tempDir();
    ASSERT_TRUE(media->openRecording(16, 44100, 2, folder));
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    signal(SIGXFSZ, SIG_IGN);
    const rlimit full{44 + 4 * 22050, old.rlim_max};   // room for half a second
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    ASSERT_TRUE(media->record());
    QElapsedTimer waited;
    waited.start();
    while (!media->takeCut() && waited.elapsed() < 10000) disk_audio::waitMs(10);
    EXPECT_TRUE(media->takeCut());
    EXPECT_EQ(media->mode(), MediaMode::Stopped);
    // Room on the disk again: the take stays cut where it was, with no gap after it.
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &old), 0);
    disk_audio::waitMs(300);
    EXPECT_EQ(media->lengthMs(), 500);
    media->stop();
    const QString file = QDir(folder).filePath("cut.wav");
    ASSERT_TRUE(media->save(file)) << media->lastError().toStdString();
    const sound_check::Sound s = sound_check::readSound(file);
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.info.frames, 22050);
    // A new take is whole again.
    ASSERT_TRUE(media->openRecording(16, 44100, 2, folder));
    EXPECT_FALSE(media->takeCut());
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

    // Loaded in the background from the start, as the program does: the first open waits for
    // that load and reports its failure, the next tries again.
    BuiltinSynth::instance().startLoading();
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

// The SoundFont loading in the background when the synthesizer is opened and played at once:
// the open waits for it, and the first notes sound.
TEST(IsolatedPreload, FirstNotesPlayedWhileTheSoundFontLoadsSound)
{
    if (BuiltinSynth::instance().loaded()) GTEST_SKIP() << "needs a process of its own";
    // The large SoundFont where there is one, so that the load is still going on.
    const QString large = QStringLiteral("/usr/share/sounds/sf2/FluidR3_GM.sf2");
    if (QFile::exists(large)) qputenv("VELQOR_SOUNDFONT", QFile::encodeName(large));
    BuiltinSynth::instance().startLoading();
    auto midi = createSystemMidiService();
    uint32_t h = 0;
    ASSERT_EQ(midi->open(-1, h), kMidiOk) << midi->errorText(kMidiNoDriver).toStdString();
    EXPECT_TRUE(BuiltinSynth::instance().loaded());
    const size_t mark = disk_audio::outputFrames();
    midi->shortMsg(h, 0x000000C0);   // piano
    midi->shortMsg(h, 0x00644590);   // note 69
    disk_audio::waitFrames(9600);
    midi->shortMsg(h, 0x00004580);
    EXPECT_GE(disk_audio::firstSound(disk_audio::output(mark)), 0) << "the first note made no sound";
    midi->close(h);
}

}  // namespace
