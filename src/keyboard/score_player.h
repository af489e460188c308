#pragma once
// The main window's score player, free of the window: it walks the score text token by token
// with the read position, the current length and the ticks of the token running, and says what
// each token and each tick of the score clock asks for. The window's reader YSCX and its score
// clock (form1_playback.cpp) carry that out on the controls, the clock and the MIDI channels;
// tests drive the player directly.
#include <QString>
#include <cstdint>

namespace keyboard {

// What a token read asks the window to do.
enum class ScoreAction {
    // Commands: the window carries them out, calls passCommand() and reads the next token at once
    // (Halt excepted).
    Tempo,           // "VS" 1..19: tempo list entry `index`
    RhythmFile,      // "JP" 1..98: rhythm file `index` of the list, when the list has it
    RhythmSyncOff,   // "JP99": automatic synchronisation off
    Instruments,     // "YQ" 1..13: instrument group `index`
    Nothing,         // "JP" or "YQ" with another number, or none: nothing changes
    Halt,            // "VS" with another number: the clock halts and playback does not end
    // The others end the reading: the score clock runs the token or playback ends.
    Note,            // the note ScoreKey sounds for the token's length
    LastNote,        // a note that ends the text: playback ends without sounding it
    Rest,            // all melody notes off for the token's length
    Stop,            // "TZ": playback ends and the read position is back at the start
    Error,           // anything else, also the end of the text: the score error
};

// True for the commands, Tempo to Halt: the window carries them out, then calls passCommand().
bool isScoreCommand(ScoreAction action);

struct ScoreStep {
    ScoreAction action = ScoreAction::Error;
    int index = -1;        // tempo entry, rhythm file or instrument group, 0-based; -1 otherwise
    int64_t readAt = 1;    // the read position the token was read at (1-based)
    bool atEnd = false;    // it was one of the text's last two characters: the keys are given back
};

// What one tick of the score clock does, in this order.
struct ScoreTick {
    bool soundKey = false;    // the token's first tick: the note ScoreKey starts
    bool accompany = false;   // ticks 0, 2, 4, ... of the token: an accompaniment step
    bool readNext = false;    // the token's length has passed: the next token is read
};

class ScorePlayer {
public:
    // Playback starts at the first character. The current length stays from the playback before.
    void rewind() { ScorePos = 1; }

    // Reads the token at ScorePos (a position below 1 counts as 1) from `score`. Its digits
    // become the current length. The read position stays on the token's last letter or digit
    // for a command until passCommand(); it moves to the next token behind a note or a rest,
    // back to 1 at "TZ", and stays at the faulty place at the score error. Any token but a
    // command starts its tick count at 0.
    ScoreStep read(const QString& score);

    // After the window has carried out a command: the read position moves to the token behind
    // it. Until then the clock, ticking under a box the command opened (a refused rhythm file),
    // finds the player as the token before left it.
    void passCommand();

    // One tick of the score clock while a note or a rest runs. A length of 0 never passes.
    ScoreTick tick();

    // The window reads these; only the functions above change them.
    int64_t ScorePos = 0;     // 1-based position of the next token's first letter
    int16_t TokenTicks = 0;   // the current length, kept by tokens without digits
    int32_t NoteTick = 0;     // ticks the current token has run
    int16_t ScoreKey = 0;     // the note the clock sounds (offset above the base note); 254 rest, 255 stop
};

}  // namespace keyboard
