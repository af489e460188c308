#pragma once
// The MIDI module: the one road from the program to the MIDI output device. Lists devices,
// opens and closes the shared device, packs and sends short messages, shows device errors.
#include <QString>
#include <cstdint>
#include <vector>

class QComboBox;

namespace midi {

// A list target for ListMidiDevices: anything with clear / add-item / item-data.
class ItemList {
public:
    virtual ~ItemList() = default;
    virtual void Clear() = 0;
    virtual void AddItem(const QString& text) = 0;
    virtual int NewIndex() const = 0;
    virtual void SetItemData(int index, int data) = 0;
};

// A combo box as list target (fills it with its signals blocked).
class ComboItemList : public ItemList {
public:
    explicit ComboItemList(QComboBox* combo) : combo_(combo) {}
    void Clear() override;
    void AddItem(const QString& text) override;
    int NewIndex() const override;
    void SetItemData(int index, int data) override;

private:
    QComboBox* combo_;
};

// A plain list in memory.
class PlainItemList : public ItemList {
public:
    struct Item { QString text; int data = 0; };
    std::vector<Item> items;
    void Clear() override { items.clear(); }
    void AddItem(const QString& text) override { items.push_back({text, 0}); }
    int NewIndex() const override { return int(items.size()) - 1; }
    void SetItemData(int index, int data) override { items.at(index).data = data; }
};

bool ListMidiDevices(ItemList& list);
// Fills a device list (its signals blocked) and selects its first item anew, so that the list's
// selection handler opens that device even when item 0 was selected before. An empty list
// selects nothing.
void ListMidiDevicesAndSelectFirst(QComboBox* combo);
bool OpenMidiDevice(int16_t deviceId);
void CloseMidiDevice();
void SendShortMsg(int16_t status, int16_t data1, int16_t data2);
void NoteOn(int16_t channel, int16_t note, int16_t velocity);
void NoteOff(int16_t channel, int16_t note);
void ControlChange(int16_t channel, int16_t controller, int16_t value);
void ProgramChange(int16_t channel, int16_t bank, int16_t program);
void ShowMidiError(uint32_t code);

// The packed message: data2 * 65536 + data1 * 256 + status in signed arithmetic, data1 * 256
// taken as a 16-bit product (so data1 -1 packs as 0xFF00 with its sign).
int32_t PackShortMsg(int16_t status, int16_t data1, int16_t data2);

// Sends an already packed message on the shared handle; a refusal shows the error box.
// Returns the service's result.
uint32_t SendPacked(int32_t message);

}  // namespace midi
