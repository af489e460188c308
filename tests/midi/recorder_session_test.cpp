// The recorder session against the fake media service: operation order, failures and which
// session may end what on the shared device.
#include "midi/recorder_session.h"
#include "platform/fake_media_service.h"

#include <gtest/gtest.h>

using midi::RecorderSession;
using platform::MediaMode;

namespace {

class RecorderSessionTest : public ::testing::Test {
protected:
    RecorderSessionTest() { platform::setMediaService(&media); }
    ~RecorderSessionTest() override { platform::setMediaService(nullptr); }

    platform::FakeMediaService media;
};

TEST(RecorderClock, TextHasNoPaddingAndSecondsWrapIntoMinutes)
{
    EXPECT_EQ(QString::fromLatin1(midi::kRecorderClockZero), QStringLiteral("00:00"));
    int m = 0, s = 58;
    midi::AdvanceRecorderClock(m, s);
    EXPECT_EQ(midi::RecorderClockText(m, s), QStringLiteral("0:59"));
    midi::AdvanceRecorderClock(m, s);
    EXPECT_EQ(midi::RecorderClockText(m, s), QStringLiteral("1:0"));
    m = 12, s = 59;
    midi::AdvanceRecorderClock(m, s);
    EXPECT_EQ(midi::RecorderClockText(m, s), QStringLiteral("13:0"));
}

TEST_F(RecorderSessionTest, RecordStopSaveRunInOrderAndKeepTheTakeUntilSaved)
{
    RecorderSession rec;
    ASSERT_TRUE(rec.startRecording(16, 22050));
    rec.stop();
    ASSERT_TRUE(rec.save(QStringLiteral("/tmp/my take.wav")));
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 16 22050 2", "record", "stop",
                                      "stop", "save /tmp/my take.wav", "close"}));
    EXPECT_EQ(rec.started(), RecorderSession::Started::Nothing);
    EXPECT_FALSE(rec.ownsDevice());
}

TEST_F(RecorderSessionTest, PlayPassesThePathUnchanged)
{
    RecorderSession rec;
    ASSERT_TRUE(rec.startPlaying(QStringLiteral("/music/Old Song.Mp3")));
    EXPECT_EQ(media.ops, QStringList({"close", "open /music/Old Song.Mp3", "seek", "play"}));
    EXPECT_EQ(rec.started(), RecorderSession::Started::Playback);
    EXPECT_TRUE(rec.ownsDevice());
}

TEST_F(RecorderSessionTest, FailedStartsCloseTheDeviceAndSayWhy)
{
    RecorderSession rec;
    media.recordResult = false;   // no capture device
    EXPECT_FALSE(rec.startRecording(8, 44100));
    EXPECT_EQ(media.ops, QStringList({"close", "open-recording 8 44100 2", "record", "close"}));
    EXPECT_FALSE(rec.error().isEmpty());
    EXPECT_EQ(rec.started(), RecorderSession::Started::Nothing);

    media.clear();
    media.openFileResult = false;
    EXPECT_FALSE(rec.startPlaying(QStringLiteral("/x/broken.wav")));
    EXPECT_EQ(media.ops, QStringList({"close", "open /x/broken.wav", "close"}));

    media.clear();
    media.openFileResult = true;
    media.playResult = false;
    media.error.clear();   // a service without a text still gives the panel one
    EXPECT_FALSE(rec.startPlaying(QStringLiteral("/x/a.wav")));
    EXPECT_EQ(media.ops, QStringList({"close", "open /x/a.wav", "seek", "play", "close"}));
    EXPECT_FALSE(rec.error().isEmpty());
    EXPECT_EQ(rec.poll(), RecorderSession::PollResult::Running);
}

TEST_F(RecorderSessionTest, FailedSaveKeepsTheRecordingForAnotherTry)
{
    RecorderSession rec;
    ASSERT_TRUE(rec.startRecording(8, 44100));
    media.clear();
    media.saveResult = false;
    EXPECT_FALSE(rec.save(QStringLiteral("/readonly/a.wav")));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /readonly/a.wav"}));
    EXPECT_FALSE(rec.error().isEmpty());
    EXPECT_TRUE(rec.ownsDevice());

    media.clear();
    media.saveResult = true;
    EXPECT_TRUE(rec.save(QStringLiteral("/home/a.wav")));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /home/a.wav", "close"}));
}

TEST_F(RecorderSessionTest, PollEndsOnlyItsOwnFinishedPlayback)
{
    RecorderSession rec;
    ASSERT_TRUE(rec.startPlaying(QStringLiteral("/a.wav")));
    media.clear();
    EXPECT_EQ(rec.poll(), RecorderSession::PollResult::Running);
    EXPECT_TRUE(media.ops.isEmpty());
    media.currentMode = MediaMode::Stopped;   // the file has ended
    EXPECT_EQ(rec.poll(), RecorderSession::PollResult::Ended);
    EXPECT_EQ(media.ops, QStringList({"stop", "close"}));
    EXPECT_EQ(media.modeQueries, 2);

    // A recording that the device reports stopped is kept for saving.
    ASSERT_TRUE(rec.startRecording(8, 44100));
    media.clear();
    media.currentMode = MediaMode::Stopped;
    EXPECT_EQ(rec.poll(), RecorderSession::PollResult::Running);
    EXPECT_TRUE(media.ops.isEmpty());
}

TEST_F(RecorderSessionTest, PollNeverEndsWhatAnotherSessionOpened)
{
    RecorderSession mainPanel, editorPanel;
    ASSERT_TRUE(mainPanel.startPlaying(QStringLiteral("/a.wav")));
    ASSERT_TRUE(editorPanel.startRecording(8, 44100));
    editorPanel.stop();   // the device now reads stopped, holding the editor's take
    media.clear();

    EXPECT_EQ(mainPanel.poll(), RecorderSession::PollResult::Superseded);
    EXPECT_TRUE(media.ops.isEmpty());
    EXPECT_EQ(mainPanel.poll(), RecorderSession::PollResult::Running);   // once only

    EXPECT_TRUE(editorPanel.ownsDevice());
    EXPECT_TRUE(editorPanel.save(QStringLiteral("/take.wav")));
    EXPECT_EQ(media.ops, QStringList({"stop", "save /take.wav", "close"}));
}

}  // namespace
