#pragma once
// Which focus events a control's got-focus and lost-focus handlers answer.
#include <QEvent>
#include <QFocusEvent>

namespace forms {

// True for a focus event that moves the focus between the controls of a window. The focus
// leaving or coming back with the whole window (another window or program activated) or for a
// popup (a context menu, a list's drop-down) is no such move: the control stays the window's
// focused control, and an edit in progress must not be applied or reset half-way.
inline bool isControlFocusChange(const QEvent* event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

}  // namespace forms
