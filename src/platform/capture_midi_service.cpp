#include "platform/capture_midi_service.h"

#include <algorithm>

namespace platform {

CaptureMidiService::CaptureMidiService() = default;

std::vector<uint32_t> CaptureMidiService::sent() const
{
    std::vector<uint32_t> out;
    for (const auto& e : events)
        if (e.kind == Kind::Send && e.result == kMidiOk) out.push_back(e.value);
    return out;
}

int CaptureMidiService::deviceCount() { return int(devices.size()); }

uint32_t CaptureMidiService::deviceName(int id, QString& name)
{
    if (id == -1) {
        if (!mapperReadable) return kMidiBadDeviceId;
        name = mapperName;
        return kMidiOk;
    }
    if (id < 0 || id >= devices.size()) return kMidiBadDeviceId;
    if (std::find(unreadable.begin(), unreadable.end(), id) != unreadable.end()) return kMidiError;
    name = devices[id];
    return kMidiOk;
}

uint32_t CaptureMidiService::open(int id, uint32_t& handle)
{
    uint32_t result = kMidiOk;
    if (refuseOpen)
        result = refuseOpen;
    else if (id < -1 || id >= devices.size()
             || std::find(refuseOpenIds.begin(), refuseOpenIds.end(), id) != refuseOpenIds.end())
        result = kMidiBadDeviceId;
    if (result == kMidiOk) {
        handle = nextHandle_++;
        live_.push_back(handle);
        openHandle = handle;
    }
    events.push_back({Kind::Open, id, result == kMidiOk ? handle : 0, 0, result});
    return result;
}

uint32_t CaptureMidiService::close(uint32_t handle)
{
    uint32_t result = refuseClose;
    auto it = std::find(live_.begin(), live_.end(), handle);
    if (!result && it == live_.end()) result = kMidiInvalidHandle;
    if (it != live_.end() && !refuseClose) live_.erase(it);
    if (!result && openHandle == handle) openHandle = 0;
    events.push_back({Kind::Close, 0, handle, 0, result});
    return result;
}

uint32_t CaptureMidiService::shortMsg(uint32_t handle, uint32_t packed)
{
    uint32_t result = refuseSend;
    if (!result && std::find(refuseValues.begin(), refuseValues.end(), packed) != refuseValues.end())
        result = kMidiNotReady;
    if (!result && std::find(live_.begin(), live_.end(), handle) == live_.end())
        result = kMidiInvalidHandle;
    events.push_back({Kind::Send, 0, handle, packed, result});
    return result;
}

QString CaptureMidiService::errorText(uint32_t code) { return midiErrorText(code); }

}  // namespace platform
