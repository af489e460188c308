// A key of the computer keyboard heard end to end: the key catcher, the MIDI module, the
// built-in synthesizer and the audio output.
#include "disk_audio.h"
#include "midi/midi_out.h"
#include "platform/audio_engine.h"
#include "sound_check.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class LiveSound : public testing_support::MainWindowFixture {
protected:
    ~LiveSound() override { midi::CloseMidiDevice(); }

    // The main window playing on the built-in synthesizer, group 1 (one piano) chosen.
    keyboard::Form1& startOnSynth()
    {
        platform::setMidiService(nullptr);   // the system's service: the built-in synthesizer
        keyboard::Form1& f = start();
        if (midi::state().MidiOutHandle == 0) midi::OpenMidiDevice(-1);
        EXPECT_NE(midi::state().MidiOutHandle, 0);
        dialogs.messages.clear();
        QTest::keyClick(f.SFYXYZ, Qt::Key_F1);
        return f;
    }

    // `left` begins a sound whose steady part is middle C.
    static void expectMiddleC(const std::vector<float>& left)
    {
        const long onset = disk_audio::firstSound(left);
        ASSERT_GE(onset, 0) << "the key made no sound";
        ASSERT_GT(left.size(), size_t(onset) + 12000);
        const std::vector<float> steady(left.begin() + onset + 1500, left.begin() + onset + 11100);
        EXPECT_NEAR(sound_check::dominantFrequency(steady, 48000, 100, 2000), 261.6, 3.0);
    }
};

TEST_F(LiveSound, KeyGSoundsMiddleC)
{
    keyboard::Form1& f = startOnSynth();
    ASSERT_EQ(f.ComSounds[1]->currentIndex(), 0);
    ASSERT_EQ(f.ComSounds[2]->currentIndex(), 0);
    const size_t mark = disk_audio::settledMark();
    QTest::keyClick(f.SFYXYZ, Qt::Key_G);
    disk_audio::waitFrames(19200);
    expectMiddleC(disk_audio::output(mark));
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
}

// Keys played along with a score, 20 a second, among them an effect key and chord keys, then the
// space bar: from 1.5 s on the output stays below -60 dBFS, and a key after the stop sounds.
TEST_F(LiveSound, SpaceEndsAScoreAndTheKeysPlayedAlongSilently)
{
    keyboard::Form1& f = startOnSynth();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Text3->setPlainText(QStringLiteral("KC8KD8KE8KF8KG8KA8KB8HC8TZ"));
    QTest::mouseClick(f.Yuepu[0], Qt::LeftButton);
    for (char key : std::string("ghjrklatyxuidopvbfnm")) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QTest::qWait(50);
    }
    ASSERT_TRUE(f.Auditioning);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    // 3.5 s rendered on, the clocks running (or less: a quiet output rests).
    const size_t stop = disk_audio::outputFrames();
    auto& engine = platform::AudioEngine::instance();
    ASSERT_TRUE(QTest::qWaitFor([&] { return disk_audio::outputFrames() >= stop + 168000 || engine.resting(); }, 15000));
    const std::vector<float> after = disk_audio::output(stop);
    for (size_t at = 72000; at + 4800 <= after.size(); at += 4800)   // 100 ms windows
        ASSERT_LT(sound_check::rms(after, at, at + 4800), 1e-3) << "at " << at / 48 << " ms";

    const size_t mark = disk_audio::outputFrames();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_G);
    ASSERT_TRUE(QTest::qWaitFor([&] { return disk_audio::outputFrames() >= mark + 19200; }, 10000));
    expectMiddleC(disk_audio::output(mark));
}

TEST_F(LiveSound, WaveEffectKeySoundsItsFile)
{
    keyboard::Form1& f = start();
    // A WAV of a few seconds under "音效", played once by the key Ins.
    const QString name = midi::state().EffectWavNames[0];
    ASSERT_TRUE(sound_check::writeSound(appFolder + QStringLiteral("音效/") + name,
                                        sound_check::tone(880, 44100, 2, 3.0), 44100, 2,
                                        SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    f.Check2->setChecked(false);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.SFYXYZ->setFocus();
    const size_t mark = disk_audio::settledMark();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    disk_audio::waitFrames(24000);
    const std::vector<float> left = disk_audio::output(mark);
    const long onset = disk_audio::firstSound(left);
    ASSERT_GE(onset, 0) << "the key made no sound";
    ASSERT_GT(left.size(), size_t(onset) + 9600);
    const std::vector<float> part(left.begin() + onset + 2400, left.begin() + onset + 9600);
    EXPECT_NEAR(sound_check::dominantFrequency(part, 48000, 200, 3000), 880.0, 10.0);
    // The keypad's "." ends it.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Period, Qt::KeypadModifier);
    const size_t after = disk_audio::settledMark();
    disk_audio::waitFrames(4800);
    EXPECT_LT(sound_check::rms(disk_audio::output(after)), 1e-4);
}

}  // namespace
