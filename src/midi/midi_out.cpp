#include "midi/midi_out.h"

#include "forms/dialogs.h"
#include "midi/state.h"
#include "platform/midi_service.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>

namespace midi {

void ComboItemList::Clear()
{
    QSignalBlocker block(combo_);
    combo_->clear();
}

void ComboItemList::AddItem(const QString& text)
{
    QSignalBlocker block(combo_);
    combo_->addItem(text);
}

int ComboItemList::NewIndex() const { return combo_->count() - 1; }

void ComboItemList::SetItemData(int index, int data) { combo_->setItemData(index, data); }

bool ListMidiDevices(ItemList& list)
{
    auto& svc = platform::midiService();
    list.Clear();
    bool added = false;
    QString name;
    if (svc.deviceName(-1, name) == platform::kMidiOk) {
        list.AddItem(name.left(31));
        list.SetItemData(list.NewIndex(), -1);
        added = true;
    }
    const int count = svc.deviceCount();
    for (int id = 0; id < count; ++id) {
        if (svc.deviceName(id, name) != platform::kMidiOk) continue;   // unreadable: left out
        list.AddItem(name.left(31));
        list.SetItemData(list.NewIndex(), id);
        added = true;
    }
    return added;
}

void ListMidiDevicesAndSelectFirst(QComboBox* combo)
{
    ComboItemList devices(combo);
    ListMidiDevices(devices);
    if (combo->count() == 0) return;
    {
        QSignalBlocker block(combo);
        combo->setCurrentIndex(-1);
    }
    combo->setCurrentIndex(0);
}

bool OpenMidiDevice(int16_t deviceId)
{
    CloseMidiDevice();
    uint32_t handle = 0;
    const uint32_t result = platform::midiService().open(deviceId, handle);
    if (result != platform::kMidiOk) {
        state().MidiOutHandle = 0;
        ShowMidiError(result);
    } else {
        state().MidiOutHandle = int32_t(handle);
    }
    return state().MidiOutHandle != 0;
}

void CloseMidiDevice()
{
    auto& s = state();
    if (s.MidiOutHandle == 0) return;
    const uint32_t result = platform::midiService().close(uint32_t(s.MidiOutHandle));
    s.MidiOutHandle = 0;
    if (result != platform::kMidiOk) ShowMidiError(result);
}

int32_t PackShortMsg(int16_t status, int16_t data1, int16_t data2)
{
    const int16_t d1 = int16_t(uint16_t(data1) << 8);   // data1 * 256 as a 16-bit product
    return int32_t(uint32_t(int32_t(data2)) << 16) + int32_t(d1) + int32_t(status);
}

uint32_t SendPacked(int32_t message)
{
    const uint32_t result =
        platform::midiService().shortMsg(uint32_t(state().MidiOutHandle), uint32_t(message));
    if (result != platform::kMidiOk) ShowMidiError(result);
    return result;
}

void SendShortMsg(int16_t status, int16_t data1, int16_t data2)
{
    // data1 * 256 must fit 16 bits; no caller passes more, and such a call is dropped unsent.
    if (data1 < -128 || data1 > 127) return;
    SendPacked(PackShortMsg(status, data1, data2));
}

void NoteOn(int16_t channel, int16_t note, int16_t velocity)
{
    auto& s = state();
    const int pan = std::clamp((note - s.BaseNote) * 3 - 8, 20, 107);
    if (channel == 1)
        SendShortMsg(0xB1, 10, int16_t(pan));
    else if (channel >= 0 && channel < 16)
        SendShortMsg(int16_t(0xB0 + channel), 10, s.ChannelPan[channel]);
    else
        return;   // no channel outside 0..15 is ever addressed
    SendShortMsg(int16_t(0x90 + channel), note, velocity);
}

void NoteOff(int16_t channel, int16_t note) { SendShortMsg(int16_t(0x80 + channel), note, 0); }

void ControlChange(int16_t channel, int16_t controller, int16_t value)
{
    SendShortMsg(int16_t(0xB0 + channel), controller, value);
}

void ProgramChange(int16_t channel, int16_t bank, int16_t program)
{
    ControlChange(channel, 0, bank);
    SendShortMsg(int16_t(0xC0 + channel), program, 0);
}

void ShowMidiError(uint32_t code)
{
    QString text = platform::midiService().errorText(code);
    if (text.isEmpty()) text = platform::midiErrorText(code);
    forms::MidiErrorBox(text);
}

}  // namespace midi
