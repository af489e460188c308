#include "platform/midi_service.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<int> wire(uint32_t packed)
{
    uint8_t bytes[3] = {0xEE, 0xEE, 0xEE};
    int length = 0;
    if (!platform::wireMessage(packed, bytes, length)) return {};
    return std::vector<int>(bytes, bytes + length);
}

TEST(WireRule, DropsWhatIsNotAChannelMessage)
{
    EXPECT_TRUE(wire(0x00000000).empty());   // an unprepared percussion cell
    EXPECT_TRUE(wire(0x00003C7F).empty());   // running-status data byte
    EXPECT_TRUE(wire(0x000000F0).empty());   // system messages
    EXPECT_TRUE(wire(0x000000F8).empty());
    EXPECT_TRUE(wire(0x000000FF).empty());
}

TEST(WireRule, DropsProgramMinusOneOnEveryChannel)
{
    for (uint32_t ch = 0; ch < 16; ++ch) EXPECT_TRUE(wire(0xFFFFFFC0u + ch).empty()) << ch;
    EXPECT_TRUE(wire(0x000080C3).empty());
    EXPECT_EQ(wire(0x00007FC3), (std::vector<int>{0xC3, 0x7F}));
}

TEST(WireRule, LengthFollowsTheMessageKind)
{
    EXPECT_EQ(wire(0x00643C90), (std::vector<int>{0x90, 0x3C, 0x64}));
    EXPECT_EQ(wire(0x00003C82), (std::vector<int>{0x82, 0x3C, 0x00}));
    EXPECT_EQ(wire(0x00000FC4), (std::vector<int>{0xC4, 0x0F}));
    EXPECT_EQ(wire(0x000040D1), (std::vector<int>{0xD1, 0x40}));
    EXPECT_EQ(wire(0x00400AB1), (std::vector<int>{0xB1, 0x0A, 0x40}));
    EXPECT_EQ(wire(0x00402000 | 0xE5), (std::vector<int>{0xE5, 0x20, 0x40}));
}

TEST(WireRule, ClampsDataBytesAndIgnoresTheTopByte)
{
    // A note-on packed from a negative note: the sign fills data1, data2 and the top byte.
    EXPECT_EQ(wire(0xFFFFFF90), (std::vector<int>{0x90, 0x7F, 0x7F}));
    EXPECT_EQ(wire(0x00FF07B0), (std::vector<int>{0xB0, 0x07, 0x7F}));
    EXPECT_EQ(wire(0x0000FFD2), (std::vector<int>{0xD2, 0x7F}));
    EXPECT_EQ(wire(0x12643C90), (std::vector<int>{0x90, 0x3C, 0x64}));
}

}  // namespace
