// The editor's playback heard end to end: a row typed in the window, the step clock, the MIDI
// module, the built-in synthesizer and the audio output.
#include "disk_audio.h"
#include "midi/midi_out.h"
#include "sound_check.h"
#include "support/editor_fixture.h"

#include <QApplication>
#include <QTest>

namespace {

class EditorSound : public testing_support::EditorFixture {
protected:
    ~EditorSound() override { midi::CloseMidiDevice(); }
};

TEST_F(EditorSound, KCOnTheFirstRowSoundsMiddleC)
{
    platform::setMidiService(nullptr);   // the system's service: the built-in synthesizer
    editor::YYBJ& e = open();
    QApplication::setActiveWindow(&e);
    ASSERT_NE(midi::state().MidiOutHandle, 0) << "the editor opened no device";
    e.SYYQ[0]->setCurrentIndex(3);   // the piano of the main window's first group
    for (int r = 1; r < 7; ++r) e.SYYQ[r]->setCurrentIndex(0);   // the other rows silent
    QTest::mouseClick(e.YF1[0], Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "kc");
    dialogs.messages.clear();

    const size_t mark = disk_audio::settledMark();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    ASSERT_TRUE(e.YYDS->enabled());
    disk_audio::waitFrames(24000);
    const std::vector<float> left = disk_audio::output(mark);
    const long onset = disk_audio::firstSound(left);
    ASSERT_GE(onset, 0) << "playback made no sound";
    ASSERT_GT(left.size(), size_t(onset) + 12000);
    const std::vector<float> steady(left.begin() + onset + 1500, left.begin() + onset + 11100);
    EXPECT_NEAR(sound_check::dominantFrequency(steady, 48000, 100, 2000), 261.6, 3.0);
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.messages.join('|').toStdString();

    // Playback runs to its end on the real clock and leaves the row silent.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e.YYDS->enabled(); }, 10000));
    disk_audio::waitMs(300);
    const size_t quiet = disk_audio::settledMark();
    disk_audio::waitFrames(9600);
    EXPECT_LT(sound_check::rms(disk_audio::output(quiet)), 1e-3);
}

}  // namespace
