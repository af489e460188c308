#pragma once
// The editor's playback step, free of the window: the crescendo and beat-accent arithmetic, what
// a melody cell does to its row, the preparation of the playback tables and the sounding of one
// cell of every row. The window's step clock (yybj_sequencer.cpp) runs these in the order of a
// step; tests call them directly against the capture MIDI service. None of them reads a control:
// each row plays its instrument in the piece's TrackInstrument at its velocity in TrackVolume, both
// written by the handlers of the row's lists.
//
// A melody row remembers the MIDI notes it really started (a note, or the four notes of a
// chord), so that releasing the row ends exactly those, also after the key has changed.
#include "editor/grid_limits.h"

#include <QString>
#include <array>
#include <cstdint>

namespace editor {

// What a melody cell does to its row when its step sounds.
enum class CellAction {
    Note,      // codes below 64 ("TZ" excepted): release, then the note
    Chord,     // codes 65..79: release, then the chord
    Release,   // the rest "XZ" and the stop "TZ": the row's sound ends
    Hold,      // anything else ("--", unknown tokens, code 64): the row's sound goes on
};
CellAction cellAction(int code, const QString& token);

// The crescendo level sent on channels 0..4 for the step at `curStep`, from the level of the step
// before. With the crescendo box ticked a rising depth adds itself on every step, a falling depth
// on the steps of the second half of software measure `measure` only (the measure played before
// this step); otherwise, or on the first half of a falling measure, the level is 120. The result
// stays within 0..120.
int16_t stepCrescendoLevel(int16_t level, bool crescendoOn, int crescStep, int32_t curStep, int S, int32_t measure);

// The level a start and an end leave: 0 for a rising depth, which then climbs, else 120.
int16_t restingCrescendoLevel(int crescStep);

// The beat accent on channels 5, 6 and 9: 80 on the beats of a software measure other than the
// first beat of each of its two musical measures, 120 elsewhere; at 4/4 the crescendo level on
// every step while it is below 120.
int16_t beatAccentLevel(int S, int stepInMeasure, int16_t crescLevel);

// Expression of one step: the crescendo level on channels 0..4, the accent on 5, 6 and 9.
void sendStepExpression(int16_t crescLevel, int16_t accentLevel);

// Prepares the tables a playback reads, from the tokens of measures 0..lastMeasure of S steps
// (the piece, and an auditioned measure beyond it, whose cells may still hold the codes of an
// earlier piece): the code of every melody cell, the hit of every percussion cell, and the
// percussion messages of the cells of measure `shownMeasure` from the rows' instruments and
// volumes. False, with nothing changed, when those measures lie beyond the cells.
bool preparePlayback(int S, int32_t shownMeasure, int32_t lastMeasure);

// Rebuilds the prepared message of the five percussion rows at `cell` from the instrument and
// volume each row has now; the hits stay. False when `cell` lies beyond the cells.
bool preparePercussionStep(int32_t cell);

// Sounds cell CurStep: the percussion hits, then each melody row's note, chord, release or hold.
// A note or a chord on a silent row sounds nothing but still becomes the row's last code. False,
// with nothing sent, when CurStep lies beyond the cells.
bool soundStep();

// Releases melody row `row`: after a chord the 65 notes from BaseNote, else the row's last note
// above BaseNote; and every note the row really started that these missed.
void releaseRow(int row);

// Releases every melody row: the 65 notes from BaseNote on channels 0..6, and every note a row
// really started that these missed.
void allMelodyNotesOff();

// Ends the notes row `row` really started, except those in from..to that the caller has just
// turned off; afterwards the row holds none.
void releaseStartedNotes(int row, int from, int to);

}  // namespace editor
