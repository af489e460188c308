// A key of the computer keyboard heard end to end: the key catcher, the MIDI module, the
// built-in synthesizer and the audio output.
#include "disk_audio.h"
#include "midi/midi_out.h"
#include "sound_check.h"
#include "support/main_window_fixture.h"

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

}  // namespace
