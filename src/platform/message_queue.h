#pragma once
// Short MIDI messages from one sending thread to one receiving thread, without locks: neither
// side ever waits for the other. The queue holds a fixed number of messages; a message that
// finds it full is not taken, and is counted.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

struct QueuedMessage {
    uint8_t bytes[3] = {};
    uint8_t length = 0;
};

class MessageQueue {
public:
    // Room for `capacity` messages (rounded up to a power of two).
    explicit MessageQueue(size_t capacity);

    // The sender's side: adds `message` behind the others; false when the queue is full (the
    // message is dropped and counted in overflows()).
    bool push(const QueuedMessage& message);
    // The receiver's side: takes the oldest message into `message`; false when there is none.
    bool pop(QueuedMessage& message);

    // Messages waiting; exact on the receiver's side, at most this many on the sender's.
    size_t size() const;
    size_t capacity() const { return mask_ + 1; }
    // Messages dropped because the queue was full.
    uint64_t overflows() const { return overflows_.load(std::memory_order_relaxed); }

private:
    const size_t mask_;
    std::unique_ptr<QueuedMessage[]> slots_;
    // Counters that only grow: a message's slot is its number modulo the capacity. Each has a
    // cache line of its own, so that the two sides do not slow each other down.
    alignas(64) std::atomic<uint64_t> taken_{0};   // written by the receiver
    alignas(64) std::atomic<uint64_t> added_{0};   // written by the sender
    std::atomic<uint64_t> overflows_{0};
};

}  // namespace platform
