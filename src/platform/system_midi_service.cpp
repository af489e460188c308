// Placeholder system service until the built-in synthesizer lands: lists the mapper and the
// built-in synthesizer and accepts every message without sound.
#include "platform/midi_service.h"

#include <memory>
#include <set>

namespace platform {
namespace {
class SilentMidiService : public MidiService {
public:
    int deviceCount() override { return 1; }
    uint32_t deviceName(int id, QString& name) override
    {
        if (id == -1) { name = QStringLiteral("Velqor MIDI 映射器"); return kMidiOk; }
        if (id == 0) { name = QStringLiteral("Velqor 内置合成器"); return kMidiOk; }
        return kMidiBadDeviceId;
    }
    uint32_t open(int id, uint32_t& handle) override
    {
        if (id < -1 || id > 0) return kMidiBadDeviceId;
        handle = next_++;
        live_.insert(handle);
        return kMidiOk;
    }
    uint32_t close(uint32_t handle) override { return live_.erase(handle) ? kMidiOk : kMidiInvalidHandle; }
    uint32_t shortMsg(uint32_t handle, uint32_t) override { return live_.count(handle) ? kMidiOk : kMidiInvalidHandle; }
    QString errorText(uint32_t code) override { return midiErrorText(code); }

private:
    uint32_t next_ = 1;
    std::set<uint32_t> live_;
};
}  // namespace

std::unique_ptr<MidiService> createSystemMidiService() { return std::make_unique<SilentMidiService>(); }

}  // namespace platform
