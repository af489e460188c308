#pragma once
// Prepared percussion hits and the four-note chord player.
#include <array>
#include <cstdint>

namespace midi {

// The ready note-on for a percussion key at a velocity: volume * 65536 + note * 256 + 0x99.
int32_t PercussionMsg(int note, int volume);

// Sends the prepared message of each of columns 0..4 at step CurStep whose Hit is -1; one error
// box at most, for the last message sent.
void PlayCurStep();
// The same at step RhythmStep.
void PlayRhythmStep();
// Sends the prepared keypad message of column 5 at PadIndex, whatever its Hit.
void PlayPadDrum();
// Four note-ons of chord ChordCode (65..70) above BaseNote on ChordChannel at
// TrackVolume(ChordChannel); another code repeats the last chord.
void PlayChord();

// Semitone offsets of the chords 65..70 (I, ii, iii, IV, V, vi).
const std::array<int, 4>& chordOffsets(int chordCode);

}  // namespace midi
