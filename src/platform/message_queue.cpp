#include "platform/message_queue.h"

#include <bit>

namespace platform {

MessageQueue::MessageQueue(size_t capacity)
    : mask_(std::bit_ceil(capacity < 1 ? size_t(1) : capacity) - 1), slots_(new QueuedMessage[mask_ + 1])
{
}

bool MessageQueue::push(const QueuedMessage& message)
{
    const uint64_t added = added_.load(std::memory_order_relaxed);
    if (added - taken_.load(std::memory_order_acquire) > mask_) {
        overflows_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    slots_[added & mask_] = message;
    // The receiver sees the slot written once it sees the new count.
    added_.store(added + 1, std::memory_order_release);
    return true;
}

bool MessageQueue::pop(QueuedMessage& message)
{
    const uint64_t taken = taken_.load(std::memory_order_relaxed);
    if (taken == added_.load(std::memory_order_acquire)) return false;
    message = slots_[taken & mask_];
    // The sender reuses the slot only once it sees it taken.
    taken_.store(taken + 1, std::memory_order_release);
    return true;
}

size_t MessageQueue::size() const
{
    const uint64_t taken = taken_.load(std::memory_order_acquire);
    return size_t(added_.load(std::memory_order_acquire) - taken);
}

}  // namespace platform
