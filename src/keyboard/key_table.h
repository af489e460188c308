#pragma once
// The live keyboard's key tables: which action each key code stands for, and the rows of the
// note, effect, chord and WAV-effect keys.
#include <QString>
#include <array>

namespace keyboard {

// What a key press does on the key catcher, in the order the dispatcher tries the rows.
enum class KeyAction {
    StopWaveEffect,    // keypad "."
    WaveEffect,        // Ins, Home, PgUp, Del, End, PgDn
    InstrumentGroup,   // F1..F12
    Stop,              // Space
    Rest,              // Backspace
    Chord,             // R D E F C X
    Effect,            // A Q S W Z
    PadDrum,           // keypad 0..9
    RhythmOn,          // keypad "+"
    RhythmOff,         // keypad "-"
    Note,              // the 33 note keys
    Other,             // shows its key code in the score box
};

KeyAction keyAction(int keyCode);

// A note key: semitones above the base note, its score token and the string id of its help.
struct NoteKey {
    int keyCode;
    int offset;
    const char* token;
    int helpId;
};
const std::array<NoteKey, 33>& noteKeys();
// The note key of a key code, or nullptr.
const NoteKey* noteKeyFor(int keyCode);

// A special-effect key on the effect channel: program (0-based), note above the base note, name.
struct EffectKey {
    int keyCode;
    int program;
    int noteAbove;
    const char* name;
};
const EffectKey* effectKeyFor(int keyCode);

// A chord key: the scale degree of its chord and the chord's name (its three scale notes).
struct ChordKey {
    int keyCode;
    int degree;
    const char* name;
};
const ChordKey* chordKeyFor(int keyCode);

// The index into the WAV effect names of a WAV key, or -1.
int waveEffectIndex(int keyCode);

}  // namespace keyboard
