#pragma once
// The keyboard map: a drawing of which computer key plays which note, drawn from the key table.
#include <QPixmap>
#include <QString>

namespace keyboard {

// The key cap text of a note key's key code ("6", "T", "[", ";" ...); empty for other codes.
QString keyCapText(int keyCode);

// The map drawn at `width` x `height` pixels: the 33 white keys of the note keys from the lowest
// "哆" up, grouped by register, each with its computer key and score token.
QPixmap drawKeyboardMap(int width, int height);

}  // namespace keyboard
