// The recorder session against the fake media service: what failures leave on the device.
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

    media.saveResult = false;
    EXPECT_FALSE(rec.save(QStringLiteral("/x/take.wav")));
    EXPECT_FALSE(rec.error().isEmpty());
}

TEST_F(RecorderSessionTest, PollKeepsARecordingThatTheDeviceReportsStopped)
{
    RecorderSession rec;
    ASSERT_TRUE(rec.startRecording(8, 44100));
    media.clear();
    media.currentMode = MediaMode::Stopped;
    EXPECT_EQ(rec.poll(), RecorderSession::PollResult::Running);
    EXPECT_TRUE(media.ops.isEmpty());
}

}  // namespace
