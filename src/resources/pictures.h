#pragma once
// Pictures and the cursor of the program, drawn in code so that they are crisp at any size and
// screen scale.
#include <QCursor>
#include <QPixmap>
#include <QSize>

namespace res {

// Ids of the pictures.
enum PictureId : int {
    WhiteKeyUp = 102,
    WhiteKeyDown = 103,
    BlackKeyUp = 104,
    BlackKeyDown = 105,
    StartupPicture = 106,  // the start-up window's background
    PlayIdle = 107,        // recorder buttons: the active picture shows the symbol smaller
    PlayActive = 108,
    StopIdle = 109,
    StopActive = 110,
    RecordIdle = 111,
    RecordActive = 112,
};

// Id of the cursor shown over the on-screen keys (mouse playing).
enum CursorId : int { PlayingCursor = 501 };

// The size a picture is drawn at by LoadResPicture(id): keys 15 x 60, the start-up picture
// 400 x 290, recorder buttons 28 x 28. Empty for an id without a picture.
QSize pictureSize(int id);

// The picture at its own size; a null pixmap for an id without a picture.
QPixmap LoadResPicture(int id);
// The picture drawn for `size` (logical pixels) at the screen's pixel ratio.
QPixmap LoadResPicture(int id, const QSize& size);

// The cursor with that id; the arrow for an id without a cursor.
QCursor LoadResCursor(int id);

}  // namespace res
