#include "platform/message_queue.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using platform::MessageQueue;
using platform::QueuedMessage;

QueuedMessage numbered(int n) { return {{uint8_t(0x90), uint8_t(n & 0x7F), uint8_t(n >> 7 & 0x7F)}, 3}; }
int number(const QueuedMessage& m) { return m.bytes[1] | m.bytes[2] << 7; }

// Messages come out in the order they went in, however often the queue wraps round; a message
// that finds it full is counted, and those inside stay as they were.
TEST(MessageQueue, KeepsTheOrderAndCountsWhatFindsItFull)
{
    MessageQueue queue(6);
    ASSERT_EQ(queue.capacity(), 8u);
    QueuedMessage m;
    EXPECT_FALSE(queue.pop(m));
    std::vector<int> out;
    int next = 0;
    for (int round = 0; round < 50; ++round) {
        // At most 3 left over and 5 added: never full.
        for (int i = 0; i < 1 + round % 5; ++i) ASSERT_TRUE(queue.push(numbered(next++)));
        while (queue.size() > size_t(round % 4) && queue.pop(m)) out.push_back(number(m));
    }
    while (queue.pop(m)) out.push_back(number(m));
    ASSERT_EQ(int(out.size()), next);
    for (int i = 0; i < next; ++i) ASSERT_EQ(out[size_t(i)], i);
    EXPECT_EQ(queue.overflows(), 0u);

    for (int i = 0; i < 8; ++i) ASSERT_TRUE(queue.push(numbered(1000 + i)));
    EXPECT_EQ(queue.size(), 8u);
    EXPECT_FALSE(queue.push(numbered(2000)));
    EXPECT_FALSE(queue.push(numbered(2001)));
    EXPECT_EQ(queue.overflows(), 2u);
    for (int i = 0; i < 8; ++i) {
        ASSERT_TRUE(queue.pop(m));
        EXPECT_EQ(number(m), 1000 + i);
        EXPECT_EQ(m.length, 3);
    }
    EXPECT_FALSE(queue.pop(m));
    EXPECT_TRUE(queue.push(numbered(3000)));
}

}  // namespace
