#include "keyboard/accompaniment.h"

#include "forms/conv.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/state.h"

#include <algorithm>
#include <cmath>

namespace keyboard {

std::optional<int> accentFor(int rhythmStep, int metre)
{
    switch (rhythmStep) {
    case 0:
        return 127;
    case 4:
    case 12:
        return metre == 0 ? std::optional<int>(127) : std::nullopt;
    case 6:
        return metre == 1 ? std::optional<int>(127) : std::nullopt;
    case 8:
        return metre == 0 || metre == 2 ? std::optional<int>(127) : std::nullopt;
    default:
        return 90;
    }
}

std::optional<double> acceptTempo(const QString& text)
{
    const double v = forms::Val(text);
    if (!std::isfinite(v) || v < kMinTempo - 1 || v > kMaxTempo + 1) return std::nullopt;
    const int t = forms::CInt(v);
    if (t < kMinTempo || t > kMaxTempo) return std::nullopt;
    return v;
}

int stepMsForTempo(double tempo) { return forms::CInt(7500.0 / tempo); }

int tempoForStepMs(int stepMs) { return stepMs > 0 ? forms::Int(7500.0 / stepMs) : kStartTempo; }

void normaliseAccompanimentPositions()
{
    auto& s = midi::state();
    // A step beyond the metre's last one (the metre changed in the middle of a bar) still plays
    // and then ends the bar, so the progression stays in step; only steps outside the pattern
    // tables start again.
    if (s.CurStep < 0 || s.CurStep >= kPatternSteps) s.CurStep = 0;
    if (s.RhythmStep < 0 || s.RhythmStep >= 16) s.RhythmStep = 0;
    if (s.ChordIndex < 1 || s.ChordIndex > kLastChordPosition) s.ChordIndex = 1;
}

namespace {

int voiceChannel(int voice) { return voice == 1 ? 3 : 4; }

}  // namespace

void playChordVoice(int voice, const ChordPatternTable& table, bool singleNotes)
{
    auto& s = midi::state();
    const int channel = voiceChannel(voice);
    s.ChordChannel = int16_t(channel);
    s.TrackVolume[channel] = s.ChannelVelocity[3];

    // Positions that another window left outside the tables count as the start. The chord
    // position is bounded by the table, not by the progression's length: a chord key writes
    // its chord at the running position and makes the progression one chord long.
    const int index = s.ChordIndex >= 1 && s.ChordIndex <= kLastChordPosition ? s.ChordIndex : 1;
    const int step = s.CurStep >= 0 && s.CurStep < kPatternSteps ? s.CurStep : 0;
    int row = s.ChordDegrees[index];
    if (row < 0 || row >= int(table.size())) row = 1;
    const int code = table[row][step + (voice == 1 ? 0 : kPatternSteps)];

    if (code == midi::kHoldCode) return;
    endChordVoice(voice);
    auto& sounding = s.ChordVoiceSounding[voice];
    if (midi::isChordCode(code)) {
        s.ChordCode = int16_t(code);
        midi::PlayChord();
        s.ChordVoiceNote[voice] = int16_t(code);
        // The four notes the chord player just sent.
        for (int i = 1; i <= 4 && !s.ChordOffsets[i].isEmpty(); ++i)
            sounding.notes[sounding.count++] = int16_t(s.ChordOffsets[i].toInt() + s.BaseNote);
    } else if (code < 64) {
        if (singleNotes) {
            midi::NoteOn(int16_t(channel), int16_t(s.BaseNote + code), s.ChannelVelocity[3]);
            sounding.notes[sounding.count++] = int16_t(s.BaseNote + code);
        }
        s.ChordVoiceNote[voice] = int16_t(code);
    }
}

void endChordVoice(int voice)
{
    auto& s = midi::state();
    const int channel = voiceChannel(voice);
    const int last = s.ChordVoiceNote[voice];
    const bool chord = midi::isChordCode(last);
    if (chord) {
        for (int n = 0; n <= 64; ++n) midi::NoteOff(int16_t(channel), int16_t(s.BaseNote + n));
    } else {
        midi::NoteOff(int16_t(channel), int16_t(s.BaseNote + last));
    }
    // The notes the voice really started: after a key change they lie outside what the base
    // note reaches now, and would sound on.
    auto& sounding = s.ChordVoiceSounding[voice];
    for (int i = 0; i < sounding.count; ++i) {
        const int note = sounding.notes[i];
        const bool reached = chord ? note >= s.BaseNote && note <= s.BaseNote + 64 : note == s.BaseNote + last;
        if (!reached) midi::NoteOff(int16_t(channel), int16_t(note));
    }
    sounding.count = 0;
}

void releaseChordVoiceOutsideKeys(int voice)
{
    auto& s = midi::state();
    auto& sounding = s.ChordVoiceSounding[voice];
    for (int i = 0; i < sounding.count; ++i) {
        const int note = sounding.notes[i];
        if (note < s.BaseNote || note > s.BaseNote + 64) midi::NoteOff(int16_t(voiceChannel(voice)), int16_t(note));
    }
    sounding.count = 0;
}

}  // namespace keyboard
