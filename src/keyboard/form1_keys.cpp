// Live playing from the computer keyboard: the key catcher "键盘" and its key-down handler.
#include "forms/keycodes.h"
#include "keyboard/form1.h"

#include <QKeyEvent>

namespace keyboard {

void Form1::wireKeys()
{
    // The key catcher receives every key: no input method, no shortcut, no focus movement.
    SFYXYZ->setAttribute(Qt::WA_InputMethodEnabled, false);
    SFYXYZ->installEventFilter(this);
}

bool Form1::filterKeys(QObject* watched, QEvent* event)
{
    if (watched != SFYXYZ) return false;
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claiming the override turns a would-be shortcut into a plain key press for the catcher.
        event->accept();
        return true;
    case QEvent::KeyPress: {
        auto* e = static_cast<QKeyEvent*>(event);
        const int shift = (e->modifiers() & Qt::ShiftModifier ? 1 : 0) |
                          (e->modifiers() & Qt::ControlModifier ? 2 : 0) |
                          (e->modifiers() & Qt::AltModifier ? 4 : 0);
        SFYXYZ_KeyDown(forms::keyCode(e), shift);
        // The button keeps its own handling of the space bar (a click on release); every other
        // key ends here, so Tab and the arrows never move the focus away.
        return e->key() != Qt::Key_Space;
    }
    default:
        return false;
    }
}

void Form1::SFYXYZ_KeyDown(int KeyCode, int Shift)
{
    (void)KeyCode;
    (void)Shift;
}

void Form1::PlayEffectKey() {}
void Form1::PlayChordKey() {}
void Form1::PlaySoundEffectKey() {}

}  // namespace keyboard
