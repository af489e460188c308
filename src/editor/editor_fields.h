#pragma once
// The score editor's own fields and the piece it edits: everything the editor window keeps
// besides what it shares with the main window in midi::state(). Every opening sets the window's
// controls back to their designed values, but these keep what they hold for the whole run, so a
// piece, its headers, flags and the recorder's choices outlast a close and reopen. One heap instance of each; tests
// start from fresh ones.
#include "editor/grid_limits.h"
#include "midi/recorder_session.h"
#include "midi/state.h"

#include <QString>
#include <array>
#include <cstdint>

namespace editor {

constexpr int kMeasureSlots = 10000;   // per software measure tables: measures 0..9999
constexpr int kRowSlots = 17;          // per row tables: rows 0..16 (0..11 in use)

struct EditorFields {
    // ---- window life cycle
    bool EditorReady = false;        // the first-activation set-up ran during this opening
    int16_t GridLastStep = 0;        // S - 1: 15, 23 or 31; the highest step column of the grid
    int16_t GridLoadedSteps = 0;     // highest step column that exists besides column 0
    int32_t CurMeasure = 0;          // the software measure shown (and being played), 0-based

    // ---- score model
    int16_t StepsPerMeasure = 0;     // S of a piece read from an edit file
    int32_t LastStep = 0;            // last cell of the piece (or of the auditioned measure)
    // The piece's length in cells when it ends within its last measure, so that time-signature
    // changes neither grow nor cut it; 0 when it fills measures 0..MeasureTotal.
    int32_t PieceCells = 0;
    QString CurToken;                // the token handed to the token converter
    std::array<int16_t, kRowSlots> PrevNote{};   // per melody row, the last code playback started
    int16_t CrescLevel = 0;          // crescendo level 0..120, expression of channels 0..4
    int16_t CrescStep = 0;           // crescendo change per step, -20..20 (the depth bar)

    // ---- per software measure: the header and its parts
    // A header of 4 characters or fewer counts as no header.
    std::array<QString, kMeasureSlots> MeasureHeaders;
    std::array<QString, kMeasureSlots> MeasureKey;     // key, 2 decimal digits "00".."11"
    std::array<QString, kMeasureSlots> MeasureTempo;   // tempo, 2 hexadecimal digits
    std::array<QString, kMeasureSlots> MeasureDepth;   // crescendo depth + 20, 2 decimal digits
    std::array<QString, kMeasureSlots> MeasureFlags;   // vibrato and crescendo flags, "00".."11"
    QString EditFileName;            // the file chosen in the editor's last file dialog

    // ---- playback
    int16_t AppliedMeasure = 0;      // the measure current at the end of the last sounded step
    int16_t AccentLevel = 0;         // beat accent, expression of channels 5, 6 and 9
    bool PlayingPiece = false;       // the piece plays from its start ("从开始处启动"), not a measure
    // Per melody row 0..6, the MIDI notes playback really started and has not ended yet (a note,
    // or the four of a chord), so that a release reaches them whatever BaseNote is by then.
    std::array<midi::SharedState::SoundingNotes, 7> StartedNotes{};

    // ---- score import
    int32_t ScorePos = 0;            // 1-based read position in ScoreText
    int32_t ScoreLength = 0;         // length of ScoreText when the walk starts
    int32_t TokenDuration = 0;       // the last length read, in eighths of a beat

    // ---- recorder panel
    QString RecBits;                 // bits per sample, "8" or "16"
    QString RecRate;                 // samples per second, "44100" or "22050"
    int16_t RecMinutes = 0;          // the recorder clock
    int16_t RecSeconds = 0;          // 0..59
    // The panel's hold on the shared media device, kept for the run: a recording goes on while
    // the editor is closed and can be saved when it is opened again.
    midi::RecorderSession Recorder;
};

// The piece being edited, in software measures of S steps: cell = measure x S + step in every
// row (rows 0..6 two-character tokens, rows 7..11 "O" or "-"). Only the editor reads it.
struct Piece {
    int32_t MeasureTotal = 0;        // the piece's last software measure
    // Per row: each cell's token, each measure's row text and each cell's token code.
    std::array<std::array<QString, kCells>, kRowSlots> CellTokens;
    std::array<std::array<QString, kMeasureSlots>, kRowSlots> MeasureText;
    std::array<std::array<int16_t, kCells>, kRowSlots> CellNotes{};
    int16_t TokenNote = 0;           // the code the token converter gave last
    // Per row, the instrument its steps play, as the row's instrument list was last set: rows
    // 0..6 the GM program (-1 for the silent "0.无声"), rows 7..11 the percussion list index
    // (key - 35). The rows' velocities are the shared TrackVolume, which chords also use.
    std::array<int32_t, 16> TrackInstrument{};
    // What the steps play on channel 0 and channels 0..4, as the "颤音" and "渐强弱" boxes were
    // last set: vibrato (controller 1) and the crescendo.
    bool Vibrato = false;
    bool Crescendo = false;
};

// The run's one instance of each (created on first use).
EditorFields& fields();
Piece& piece();

// Replaces the fields and the piece with fresh ones (every field 0, empty or false). For tests.
void resetFields();
// Replaces the piece alone with a fresh one. For tests.
void resetPiece();

}  // namespace editor
