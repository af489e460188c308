// The system MIDI service: the mapper and the built-in synthesizer, plus the system's MIDI
// output ports when the ALSA sequencer exists.
#include "platform/builtin_synth.h"
#include "platform/midi_service.h"

#include <QFileInfo>
#include <RtMidi.h>
#include <map>
#include <memory>
#include <vector>

namespace platform {
namespace {

constexpr int kMapperId = -1;
constexpr int kSynthId = 0;

class SystemMidiService : public MidiService {
public:
    int deviceCount() override
    {
        refreshPorts();
        return 1 + int(portNames_.size());
    }

    uint32_t deviceName(int id, QString& name) override
    {
        if (id == kMapperId) { name = QStringLiteral("Velqor MIDI 映射器"); return kMidiOk; }
        if (id == kSynthId) { name = QStringLiteral("Velqor 内置合成器"); return kMidiOk; }
        if (id < 0 || id > int(portNames_.size())) return kMidiBadDeviceId;
        name = portNames_[id - 1];
        return kMidiOk;
    }

    uint32_t open(int id, uint32_t& handle) override
    {
        handle = 0;
        Open entry{id, nullptr};
        if (id == kMapperId || id == kSynthId) {
            if (!BuiltinSynth::instance().load()) return kMidiNoDriver;
        } else {
            if (id < 0 || id > int(portNames_.size())) return kMidiBadDeviceId;
            try {
                auto port = std::make_unique<RtMidiOut>();
                port->setErrorCallback(&ignoreWarning, nullptr);
                // The port list may have changed since it was read: open by name.
                const std::string wanted = portNames_[id - 1].toStdString();
                unsigned index = port->getPortCount();
                for (unsigned i = 0; i < port->getPortCount(); ++i)
                    if (port->getPortName(i) == wanted) { index = i; break; }
                if (index == port->getPortCount()) return kMidiNoDevice;
                port->openPort(index, "Velqor");
                if (!port->isPortOpen()) return kMidiAllocated;
                entry.port = std::move(port);
            } catch (const RtMidiError&) {
                return kMidiAllocated;
            }
        }
        handle = nextHandle_++;
        open_.emplace(handle, std::move(entry));
        return kMidiOk;
    }

    uint32_t close(uint32_t handle) override
    {
        auto it = open_.find(handle);
        if (it == open_.end()) return kMidiInvalidHandle;
        uint32_t result = kMidiOk;
        if (RtMidiOut* port = it->second.port.get()) {
            try {
                for (uint8_t ch = 0; ch < 16; ++ch) {
                    const uint8_t soundOff[3] = {uint8_t(0xB0 | ch), 120, 0};
                    const uint8_t notesOff[3] = {uint8_t(0xB0 | ch), 123, 0};
                    port->sendMessage(soundOff, 3);
                    port->sendMessage(notesOff, 3);
                }
                port->closePort();
            } catch (const RtMidiError&) {
                result = kMidiNoDevice;
            }
        } else {
            BuiltinSynth::instance().allSoundOff();
        }
        open_.erase(it);   // the handle is gone whatever the port said
        return result;
    }

    uint32_t shortMsg(uint32_t handle, uint32_t packed) override
    {
        auto it = open_.find(handle);
        if (it == open_.end()) return kMidiInvalidHandle;
        uint8_t bytes[3];
        int length = 0;
        if (!wireMessage(packed, bytes, length)) return kMidiOk;
        if (RtMidiOut* port = it->second.port.get()) {
            try {
                port->sendMessage(bytes, size_t(length));
            } catch (const RtMidiError&) {
                return kMidiNoDevice;
            }
        } else {
            BuiltinSynth::instance().send(bytes, length);
        }
        return kMidiOk;
    }

    QString errorText(uint32_t code) override
    {
        // The only missing "driver" here is the built-in synthesizer's SoundFont: say which.
        if (code == kMidiNoDriver && !BuiltinSynth::instance().error().isEmpty())
            return BuiltinSynth::instance().error();
        return midiErrorText(code);
    }

private:
    struct Open {
        int id;
        std::unique_ptr<RtMidiOut> port;   // null for the built-in synthesizer
    };

    static void ignoreWarning(RtMidiError::Type, const std::string&, void*) {}

    // Re-reads the system's output ports (none without the ALSA sequencer).
    void refreshPorts()
    {
        portNames_.clear();
        if (!QFileInfo::exists(QStringLiteral("/dev/snd/seq"))) return;
        try {
            RtMidiOut probe;
            probe.setErrorCallback(&ignoreWarning, nullptr);
            for (unsigned i = 0; i < probe.getPortCount(); ++i)
                portNames_.push_back(QString::fromStdString(probe.getPortName(i)));
        } catch (const RtMidiError&) {
            portNames_.clear();
        }
    }

    std::vector<QString> portNames_;
    std::map<uint32_t, Open> open_;
    uint32_t nextHandle_ = 1;
};

}  // namespace

std::unique_ptr<MidiService> createSystemMidiService() { return std::make_unique<SystemMidiService>(); }

}  // namespace platform
