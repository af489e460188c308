#pragma once
// The MIDI output service: a device list, one handle per open device, packed short messages and
// an error text per result code, with the contract of a classic OS MIDI output API.
#include <QString>
#include <cstdint>
#include <memory>

namespace platform {

// Result codes of the service (0 = success).
enum MidiResult : uint32_t {
    kMidiOk = 0,
    kMidiError = 1,          // unspecified failure
    kMidiBadDeviceId = 2,    // no device with that id
    kMidiAllocated = 4,      // device already in use by another program
    kMidiInvalidHandle = 5,  // zero or stale handle
    kMidiNoDriver = 6,       // the device's driver or sound bank is missing
    kMidiNoMemory = 7,
    kMidiInvalidParam = 11,
    kMidiNotReady = 67,      // the device is busy
    kMidiNoDevice = 68,      // the port has gone away
};

class MidiService {
public:
    virtual ~MidiService() = default;
    // Number of devices with ids 0..count-1 (the mapper, id -1, is not counted).
    virtual int deviceCount() = 0;
    // Product name of device `id` (-1 = the mapper); a nonzero result when it cannot be read.
    virtual uint32_t deviceName(int id, QString& name) = 0;
    // Opens device `id` (-1 = the mapper); on success `handle` is nonzero.
    virtual uint32_t open(int id, uint32_t& handle) = 0;
    virtual uint32_t close(uint32_t handle) = 0;
    // Sends one packed message: status + 256 * data1 + 65536 * data2.
    virtual uint32_t shortMsg(uint32_t handle, uint32_t packed) = 0;
    // Text for a result code; never empty.
    virtual QString errorText(uint32_t code) = 0;
};

// The service in use: the system's unless a test installed another.
MidiService& midiService();
// Installs `service` (not owned) in place of the system's; nullptr restores the system's.
void setMidiService(MidiService* service);

// A new instance of the system's service (the mapper, the built-in synthesizer and the system's
// ports); midiService() holds one for the run.
std::unique_ptr<MidiService> createSystemMidiService();

// The Chinese text for a result code, shared by every implementation.
QString midiErrorText(uint32_t code);

// The wire rule: a packed value is sent only when it is valid MIDI. Returns false when the value
// must be dropped silently; otherwise `bytes` holds the message (1..3 bytes, count in `length`),
// with data bytes above 127 clamped to 127.
bool wireMessage(uint32_t packed, uint8_t bytes[3], int& length);

}  // namespace platform
