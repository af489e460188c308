#include "keyboard/key_table.h"

#include "forms/keycodes.h"

#include <algorithm>

namespace keyboard {

namespace {

constexpr std::array<NoteKey, 33> kNoteKeys{{
    {54, 0, "LC", 401},  {55, 2, "LD", 402},  {56, 4, "LE", 403},  {57, 5, "LF", 404},
    {48, 7, "LG", 405},  {189, 9, "LA", 406}, {187, 11, "LB", 407},
    {84, 12, "WC", 408}, {89, 14, "WD", 409}, {85, 16, "WE", 410}, {73, 17, "WF", 411},
    {79, 19, "WG", 412}, {80, 21, "WA", 413}, {219, 23, "WB", 414},
    {71, 24, "KC", 415}, {72, 26, "KD", 416}, {74, 28, "KE", 417}, {75, 29, "KF", 418},
    {76, 31, "KG", 419}, {186, 33, "KA", 420}, {222, 35, "KB", 421},
    {86, 36, "HC", 422}, {66, 38, "HD", 423}, {78, 40, "HE", 424}, {77, 41, "HF", 425},
    {188, 43, "HG", 426}, {190, 45, "HA", 427}, {191, 47, "HB", 428},
    {49, 48, "MC", 429}, {50, 50, "MD", 430}, {51, 52, "ME", 431}, {52, 53, "MF", 432},
    {53, 55, "MG", 433},
}};

constexpr std::array<EffectKey, 5> kEffectKeys{{
    {65, 122, 24, "海浪声"},
    {81, 47, 12, "铜钹"},
    {83, 123, 24, "鸟鸣"},
    {87, 115, 24, "木鱼"},
    {90, 14, 12, "编钟"},
}};

constexpr std::array<ChordKey, 6> kChordKeys{{
    {82, 1, "1.3.5"}, {68, 2, "2.4.6"}, {69, 3, "3.5.7"},
    {70, 4, "4.6.1"}, {67, 5, "5.7.2"}, {88, 6, "6.1.3"},
}};

constexpr std::array<int, 6> kWaveKeys{forms::vk::Insert, forms::vk::Home,  forms::vk::PageUp,
                                       forms::vk::Delete, forms::vk::End, forms::vk::PageDown};

template <class Row, size_t N>
const Row* findRow(const std::array<Row, N>& rows, int keyCode)
{
    auto it = std::find_if(rows.begin(), rows.end(),
                           [keyCode](const Row& r) { return r.keyCode == keyCode; });
    return it == rows.end() ? nullptr : &*it;
}

}  // namespace

const std::array<NoteKey, 33>& noteKeys() { return kNoteKeys; }
const NoteKey* noteKeyFor(int keyCode) { return findRow(kNoteKeys, keyCode); }
const EffectKey* effectKeyFor(int keyCode) { return findRow(kEffectKeys, keyCode); }
const ChordKey* chordKeyFor(int keyCode) { return findRow(kChordKeys, keyCode); }

int waveEffectIndex(int keyCode)
{
    auto it = std::find(kWaveKeys.begin(), kWaveKeys.end(), keyCode);
    return it == kWaveKeys.end() ? -1 : int(it - kWaveKeys.begin());
}

KeyAction keyAction(int keyCode)
{
    using namespace forms::vk;
    if (keyCode == Decimal) return KeyAction::StopWaveEffect;
    if (waveEffectIndex(keyCode) >= 0) return KeyAction::WaveEffect;
    if (keyCode >= F1 && keyCode <= F12) return KeyAction::InstrumentGroup;
    if (keyCode == Space) return KeyAction::Stop;
    if (keyCode == Back) return KeyAction::Rest;
    if (chordKeyFor(keyCode)) return KeyAction::Chord;
    if (effectKeyFor(keyCode)) return KeyAction::Effect;
    if (keyCode >= Numpad0 && keyCode <= Numpad0 + 9) return KeyAction::PadDrum;
    if (keyCode == Add) return KeyAction::RhythmOn;
    if (keyCode == Subtract) return KeyAction::RhythmOff;
    if (noteKeyFor(keyCode)) return KeyAction::Note;
    return KeyAction::Other;
}

}  // namespace keyboard
