#include "platform/fake_media_service.h"

#include <gtest/gtest.h>

namespace {

using platform::FakeMediaService;
using platform::MediaMode;

TEST(FakeMediaService, InstalledServiceRecordsOperationsAndFollowsMode)
{
    FakeMediaService fake;
    platform::setMediaService(&fake);
    auto& media = platform::mediaService();
    media.close();
    EXPECT_TRUE(media.openRecording(16, 44100, 2));
    EXPECT_TRUE(media.record());
    EXPECT_EQ(media.mode(), MediaMode::Recording);
    media.stop();
    EXPECT_TRUE(media.save(QStringLiteral("/tmp/a b.wav")));
    media.close();
    EXPECT_EQ(media.mode(), MediaMode::NotOpen);
    EXPECT_EQ(fake.ops, (QStringList{"close", "open-recording 16 44100 2", "record", "stop",
                                     "save /tmp/a b.wav", "close"}));
    EXPECT_EQ(fake.modeQueries, 2);
    platform::setMediaService(nullptr);
    EXPECT_NE(&platform::mediaService(), &fake);
}

TEST(FakeMediaService, RefusedCallsKeepModeAndGiveErrorText)
{
    FakeMediaService fake;
    fake.openFileResult = false;
    EXPECT_FALSE(fake.openFile(QStringLiteral("x.mp3")));
    EXPECT_EQ(fake.mode(), MediaMode::NotOpen);
    EXPECT_FALSE(fake.lastError().isEmpty());
}

}  // namespace
