#include "platform/midi_service.h"

#include <memory>

namespace platform {

namespace {
MidiService* g_override = nullptr;
}

MidiService& midiService()
{
    if (g_override) return *g_override;
    static std::unique_ptr<MidiService> system = createSystemMidiService();
    return *system;
}

void setMidiService(MidiService* service) { g_override = service; }

QString midiErrorText(uint32_t code)
{
    switch (code) {
    case kMidiOk: return QStringLiteral("操作成功。");
    case kMidiError: return QStringLiteral("MIDI 设备出现未知错误。");
    case kMidiBadDeviceId: return QStringLiteral("指定的 MIDI 设备编号不存在。");
    case kMidiAllocated: return QStringLiteral("MIDI 设备正被其他程序占用。");
    case kMidiInvalidHandle: return QStringLiteral("MIDI 设备没有打开（无效的设备句柄）。");
    case kMidiNoDriver: return QStringLiteral("没有找到 MIDI 设备的驱动程序或音色库。");
    case kMidiNoMemory: return QStringLiteral("内存不足，无法使用 MIDI 设备。");
    case kMidiInvalidParam: return QStringLiteral("传给 MIDI 设备的参数无效。");
    case kMidiNotReady: return QStringLiteral("MIDI 设备正忙，请稍后再试。");
    case kMidiNoDevice: return QStringLiteral("MIDI 设备已断开。");
    default: return QStringLiteral("MIDI 设备出错（错误代码 %1）。").arg(code);
    }
}

bool wireMessage(uint32_t packed, uint8_t bytes[3], int& length)
{
    const uint32_t status = packed & 0xFF;
    if (status < 0x80 || status > 0xEF) return false;
    const uint32_t d1 = (packed >> 8) & 0xFF;
    const uint32_t d2 = (packed >> 16) & 0xFF;
    const uint32_t kind = status & 0xF0;
    bytes[0] = uint8_t(status);
    if (kind == 0xC0 || kind == 0xD0) {
        // Program change with data byte 0x80 or more (program -1, "silence") is not sent.
        if (kind == 0xC0 && d1 >= 0x80) return false;
        bytes[1] = uint8_t(d1 > 127 ? 127 : d1);
        length = 2;
        return true;
    }
    bytes[1] = uint8_t(d1 > 127 ? 127 : d1);
    bytes[2] = uint8_t(d2 > 127 ? 127 : d2);
    length = 3;
    return true;
}

}  // namespace platform
