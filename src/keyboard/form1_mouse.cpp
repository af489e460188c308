// Mouse playing on the on-screen keys, the damper strip, and the keyboard focus of the key
// catcher.
#include "keyboard/form1.h"

#include <QFocusEvent>

namespace keyboard {

void Form1::wireMouse()
{
    connect(SFYXYZ, &QPushButton::clicked, this, [this] { SFYXYZ_Click(); });
    SFYXYZ->installEventFilter(this);
}

bool Form1::filterMouse(QObject* watched, QEvent* event)
{
    if (watched == SFYXYZ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        // Window switches and popups are not the key catcher's own focus changes.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return false;
        if (event->type() == QEvent::FocusIn)
            SFYXYZ_GotFocus();
        else
            SFYXYZ_LostFocus();
    }
    return false;
}

void Form1::Picture1_DragOver(int Index) { (void)Index; }
void Form1::Label1_MouseMove() {}
void Form1::SFYXYZ_Click() {}
void Form1::SFYXYZ_GotFocus() {}
void Form1::SFYXYZ_LostFocus() {}
void Form1::YXYZ() {}

}  // namespace keyboard
