#include "midi/percussion.h"

#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/midi_service.h"

namespace midi {

namespace {

const std::array<std::array<int, 4>, 6> kChordTable = {{
    {7, 12, 16, 19},    // 65: I
    {9, 14, 17, 21},    // 66: ii
    {11, 16, 19, 23},   // 67: iii
    {12, 17, 21, 24},   // 68: IV
    {14, 19, 23, 26},   // 69: V
    {9, 12, 16, 21},    // 70: vi
}};

void playStep(int step)
{
    auto& s = state();
    if (step < 0 || step >= kSteps) return;
    uint32_t result = 0;
    for (int column = 0; column <= 4; ++column) {
        const PercussionCell& cell = s.PercussionCells[column][step];
        if (cell.Hit != -1) continue;
        // The step's one box reports its last refusal, even when a later message went through.
        const uint32_t r = platform::midiService().shortMsg(uint32_t(s.MidiOutHandle), uint32_t(cell.Msg));
        if (r != 0) result = r;
    }
    if (result != 0) ShowMidiError(result);
}

}  // namespace

int32_t PercussionMsg(int note, int volume) { return volume * 65536 + note * 256 + 0x99; }

const std::array<int, 4>& chordOffsets(int chordCode) { return kChordTable.at(chordCode - 65); }

void PlayCurStep() { playStep(state().CurStep); }

void PlayRhythmStep() { playStep(state().RhythmStep); }

void PlayPadDrum()
{
    auto& s = state();
    if (s.PadIndex < 0 || s.PadIndex >= kSteps) return;
    const uint32_t result = platform::midiService().shortMsg(
        uint32_t(s.MidiOutHandle), uint32_t(s.PercussionCells[5][s.PadIndex].Msg));
    if (result != 0) ShowMidiError(result);
}

void PlayChord()
{
    auto& s = state();
    if (s.ChordCode >= 65 && s.ChordCode <= 70) {
        const auto& offsets = kChordTable[s.ChordCode - 65];
        for (int i = 0; i < 4; ++i) s.ChordOffsets[i + 1] = QString::number(offsets[i]);
    }
    if (s.ChordChannel < 0 || s.ChordChannel > 15) return;
    for (int i = 1; i <= 4; ++i) {
        if (s.ChordOffsets[i].isEmpty()) return;   // no chord played yet: nothing to repeat
        const int note = s.ChordOffsets[i].toInt() + s.BaseNote;
        SendShortMsg(int16_t(0x90 + s.ChordChannel), int16_t(note), s.TrackVolume[s.ChordChannel]);
    }
}

}  // namespace midi
