#pragma once
// The arithmetic of the accompaniment step that the main window's clocks perform: the bar
// accent, the tempo, the shared positions and the two chord voices.
#include "keyboard/chord_patterns.h"

#include <QString>
#include <optional>

namespace keyboard {

constexpr int kMinTempo = 40;
constexpr int kMaxTempo = 140;
constexpr int kStartTempo = 70;

// The expression value sent on the percussion channel before rhythm step `rhythmStep` in the
// metre `metre` (0 = 2/4, 1 = 3/4, 2 = 4/4): 127 on the first eighth of a bar, 90 on the other
// steps, nothing (nullopt) on steps 4, 6, 8 and 12 that do not start a bar in that metre.
std::optional<int> accentFor(int rhythmStep, int metre);

// A tempo text as the tempo box takes it: its leading number when that rounds to 40..140
// beats per minute; nullopt for an empty, non-numeric, zero or out-of-range text.
std::optional<double> acceptTempo(const QString& text);
// One eighth of a beat at an accepted tempo: CInt(7500 / tempo) milliseconds (halves to even).
int stepMsForTempo(double tempo);
// The tempo a step stands for, as the tempo box shows it when it puts a typed text back:
// Int(7500 / stepMs).
int tempoForStepMs(int stepMs);

// The chord positions of a progression: 1..9.
constexpr int kLastChordPosition = 9;

// Brings the shared positions back into the tables: a CurStep or a RhythmStep outside 0..15
// becomes 0, a ChordIndex outside 1..9 becomes 1. A step beyond the metre's
// last one stays: it plays, and the bar ends after it.
void normaliseAccompanimentPositions();

// One step of chord voice 1 (channel 3, pattern steps 0..15) or voice 2 (channel 4, steps
// 16..31) at CurStep in the chord at ChordIndex; single notes sound only when `singleNotes`.
void playChordVoice(int voice, const ChordPatternTable& table, bool singleNotes);
// Ends what voice 1 or 2 sounds: the whole range above the base note after a chord, else its
// last note, and every note the voice really started that these do not reach (the base note
// changed since).
void endChordVoice(int voice);
// For stops that silence the 65 keys above the base note on the chord channels themselves: ends
// the notes voice 1 or 2 really started outside those keys, and forgets what the voice sounds.
void releaseChordVoiceOutsideKeys(int voice);

}  // namespace keyboard
