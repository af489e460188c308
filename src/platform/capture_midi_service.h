#pragma once
// An in-memory MIDI service for tests: records every open, close and raw packed value, and can
// be told to refuse calls with a given result code.
#include "platform/midi_service.h"

#include <QStringList>
#include <vector>

namespace platform {

class CaptureMidiService : public MidiService {
public:
    enum class Kind { Open, Close, Send };
    struct Event {
        Kind kind;
        int device = 0;        // Open: the device id
        uint32_t handle = 0;   // Close/Send: the handle passed
        uint32_t value = 0;    // Send: the packed value
        uint32_t result = 0;   // what the call returned
    };

    CaptureMidiService();

    // Devices 0..n-1; `unreadable` ids fail their name query.
    QStringList devices{QStringLiteral("Velqor Synth")};
    QString mapperName = QStringLiteral("MIDI Mapper");
    bool mapperReadable = true;
    std::vector<int> unreadable;

    // Nonzero codes make the matching calls fail.
    uint32_t refuseOpen = 0;
    uint32_t refuseClose = 0;
    uint32_t refuseSend = 0;
    std::vector<int> refuseOpenIds;   // ids that fail to open with kMidiBadDeviceId
    std::vector<uint32_t> refuseValues;   // packed values refused with kMidiNotReady

    std::vector<Event> events;
    uint32_t openHandle = 0;   // the last handle opened and not yet closed

    // Packed values sent, in order.
    std::vector<uint32_t> sent() const;
    void clear() { events.clear(); }

    int deviceCount() override;
    uint32_t deviceName(int id, QString& name) override;
    uint32_t open(int id, uint32_t& handle) override;
    uint32_t close(uint32_t handle) override;
    uint32_t shortMsg(uint32_t handle, uint32_t packed) override;
    QString errorText(uint32_t code) override;

private:
    uint32_t nextHandle_ = 0x100;
    std::vector<uint32_t> live_;
};

}  // namespace platform
