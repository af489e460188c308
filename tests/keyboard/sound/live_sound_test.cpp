// A key of the computer keyboard heard end to end: the key catcher, the MIDI module, the
// built-in synthesizer and the audio output.
#include "disk_audio.h"
#include "midi/midi_out.h"
#include "sound_check.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class LiveSound : public testing_support::MainWindowFixture {
protected:
    ~LiveSound() override { midi::CloseMidiDevice(); }
};

TEST_F(LiveSound, KeyGSoundsMiddleC)
{
    platform::setMidiService(nullptr);   // the system's service: the built-in synthesizer
    keyboard::Form1& f = start();
    if (midi::state().MidiOutHandle == 0) {
        ASSERT_TRUE(midi::OpenMidiDevice(-1));
    }
    dialogs.messages.clear();
    // Group 1 of the default settings: one piano on layer 0, layers 1 and 2 silent.
    QTest::keyClick(f.SFYXYZ, Qt::Key_F1);
    ASSERT_EQ(f.ComSounds[1]->currentIndex(), 0);
    ASSERT_EQ(f.ComSounds[2]->currentIndex(), 0);
    const size_t mark = disk_audio::settledMark();
    QTest::keyClick(f.SFYXYZ, Qt::Key_G);
    disk_audio::waitFrames(19200);
    const std::vector<float> left = disk_audio::output(mark);
    const long onset = disk_audio::firstSound(left);
    ASSERT_GE(onset, 0) << "the key made no sound";
    ASSERT_GT(left.size(), size_t(onset) + 12000);
    const std::vector<float> steady(left.begin() + onset + 1500, left.begin() + onset + 11100);
    EXPECT_NEAR(sound_check::dominantFrequency(steady, 48000, 100, 2000), 261.6, 3.0);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();
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
