// Mouse playing on the on-screen keys, the damper strip, and the keyboard focus of the key
// catcher.
#include "keyboard/form1.h"
#include "midi/state.h"
#include "resources/pictures.h"

#include <QApplication>
#include <QMouseEvent>

namespace keyboard {

void Form1::wireMouse()
{
    connect(SFYXYZ, &QPushButton::clicked, this, [this] { SFYXYZ_Click(); });
    // Only a move of the focus to another control of this window takes it from the key catcher:
    // activation changes, message boxes, popups and other windows leave playing mode as it is.
    // The connection lives with the key catcher, so it ends before the keys are destroyed.
    connect(qApp, &QApplication::focusChanged, SFYXYZ, [this](QWidget*, QWidget* now) {
        if (!now) return;
        if (now == SFYXYZ) {
            if (!CatcherFocused) {
                CatcherFocused = true;
                SFYXYZ_GotFocus();
            }
        } else if (CatcherFocused && now->window() == this) {
            CatcherFocused = false;
            SFYXYZ_LostFocus();
        }
    });
    for (QLabel* key : Picture1) key->installEventFilter(this);
    Label1->setMouseTracking(true);
    Label1->installEventFilter(this);
}

int Form1::keyUnderPointer(const QPointF& globalPos) const
{
    QWidget* w = childAt(mapFromGlobal(globalPos).toPoint());
    for (int i = 0; i < int(Picture1.size()); ++i)
        if (Picture1[i] == w) return w->isEnabled() ? i : -1;
    return -1;
}

bool Form1::filterMouse(QObject* watched, QEvent* event)
{
    if (watched == Label1) {
        if (event->type() == QEvent::MouseMove) Label1_MouseMove();
        return false;
    }
    const auto type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    auto* key = qobject_cast<QLabel*>(watched);
    if (!key || std::find(Picture1.begin(), Picture1.end(), key) == Picture1.end()) return false;
    auto* e = static_cast<QMouseEvent*>(event);

    // Pressing the left button on a key starts a drag of it; while the button is held, the key
    // keeps the mouse and every move sounds the key under the pointer: entering a key, moving
    // within it and leaving it each sound that key again.
    if (type == QEvent::MouseButtonPress) {
        if (e->button() != Qt::LeftButton) return true;
        DragKey = keyUnderPointer(e->globalPosition());
        MouseDragging = DragKey >= 0;   // a disabled key starts no drag
        if (MouseDragging) Picture1_DragOver(DragKey);
        return true;
    }
    if (type == QEvent::MouseButtonRelease) {
        // Ending the drag does nothing else: the last note keeps sounding.
        if (e->button() == Qt::LeftButton) MouseDragging = false;
        return true;
    }
    if (!MouseDragging || !(e->buttons() & Qt::LeftButton)) return false;
    const int under = keyUnderPointer(e->globalPosition());
    if (under == DragKey) {
        if (under >= 0) Picture1_DragOver(under);
    } else {
        if (DragKey >= 0) Picture1_DragOver(DragKey);
        DragKey = under;
        if (under >= 0) Picture1_DragOver(under);
    }
    return true;
}

void Form1::Picture1_DragOver(int Index)
{
    auto& s = midi::state();
    SilenceScoreNote();
    LayersOn(Index);
    PressKeyPicture(Index);
    if (s.LastKey != Index) ReleaseKeyPicture(s.LastKey);
    s.LastKey = int16_t(Index);
}

void Form1::Label1_MouseMove()
{
    NoteOffLastKey();
    ReleaseKeyPicture(midi::state().LastKey);
}

void Form1::PressKeyPicture(int key)
{
    if (key < 0 || key >= int(Picture1.size())) return;
    const bool white = midi::state().KeyIsWhite[size_t(key)] != 0;
    SetKeyPicture(key, white ? res::WhiteKeyDown : res::BlackKeyDown);
}

void Form1::SFYXYZ_Click()
{
    auto& s = midi::state();
    SFYXYZ->setEnabled(true);
    FJWZ->setText(QStringLiteral("现在允许演奏。。。"));
    SFYXYZ->setFocus();
    s.CurStep = 0;
    s.RhythmStep = 0;
    s.ChordIndex = 1;
}

void Form1::SFYXYZ_GotFocus()
{
    auto& s = midi::state();
    for (QLabel* key : Picture1) key->setEnabled(true);
    Label1->setVisible(true);
    s.CurStep = 0;
    s.ChordIndex = 1;
}

void Form1::SFYXYZ_LostFocus()
{
    for (QLabel* key : Picture1) key->setEnabled(false);
    Label1->setVisible(false);
}

void Form1::YXYZ()
{
    SFYXYZ->setEnabled(true);
    BJCK->setEnabled(true);
    // Before the window is shown (its load step), the focus is given at the first activation.
    if (isVisible()) SFYXYZ->setFocus();
}

}  // namespace keyboard
