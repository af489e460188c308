#pragma once
// The score import: a score in the keyboard's notation turned into an editor piece. Each note,
// "MA", rest "XZ" and stop "TZ" is written into melody rows 0 and 1 at the step where it starts
// (one step = a sixteenth note, so a length of d eighths moves Int(d / 2) steps); "VS", "YQ",
// "YX", "JP" and "HX" are skipped with their digits, which still set the current length; any
// other pair writes "--" without moving. The walk ends at the end of the text or after "TZ".
#include "editor/editor_fields.h"
#include "midi/state.h"

#include <QString>
#include <cstdint>

namespace editor {

struct ImportWalk {
    int measureTotal = 0;    // the software measure that holds the write position, within the limit
    bool cut = false;        // the score reached past the last cell a piece can have
    int cutMeasure = 0;      // the software measure it was cut at (the last one kept)
};

// True when the walk of `text` meets a note, a rest "XZ" or a stop "TZ": the text holds a score
// to import. Nothing is written.
bool holdsScore(const QString& text);

// Walks `text` from its first character into the cell tables at S steps (1 or more) per
// software measure, starting at cell 0. `TokenDuration` is the current length carried from
// token to token and from one import to the next; `ScoreLength` and `ScorePos` follow the walk.
// Writing stops at the last cell a piece of S steps can use; the shared `CurStep` ends on the
// write position, never past that cell. Then, as the end of the walk: codes 0 in rows 0..6 of
// cells 0..CurStep become 255.
ImportWalk walkScore(const QString& text, int steps, EditorFields& f, Piece& p, midi::SharedState& s);

// Rebuilds the imported piece's row texts: empty cells of rows 0 and 1 of measures
// 0..measureTotal become "--", and each row text of rows 0..6 is its S cells joined.
void rebuildImportedRows(Piece& p, int measureTotal, int steps);

// The message that says where a score too long for the editor was cut.
QString importCutText(int measure);

}  // namespace editor
