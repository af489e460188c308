// The score panel: the score box, the score buttons and the score-entry dialog button.
#include "keyboard/form1.h"

#include <QMouseEvent>

namespace keyboard {

void Form1::wireScorePanel()
{
    for (int i = 0; i < 5; ++i) {
        connect(Yuepu[i], &QPushButton::clicked, this, [this, i] { Yuepu_Click(i); });
        connect(Yuepu[i], &QPushButton::pressed, this, [this, i] { Yuepu_MouseDown(i); });
    }
    connect(XINJIAN, &QPushButton::clicked, this, [this] { XINJIAN_Click(); });
    connect(Text3, &QPlainTextEdit::textChanged, this, [this] { Text3_Change(); });
    Label11->installEventFilter(this);
    for (QFrame* panel : Jiezhou) panel->installEventFilter(this);
}

bool Form1::filterScorePanel(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseMove) return false;
    if (watched == Label11) {
        Label11_MouseMove();
        return false;
    }
    // Moves over the panel's children reach the panel too; only its own area counts.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    for (int i = 0; i < int(Jiezhou.size()); ++i)
        if (watched == Jiezhou[i] && !Jiezhou[i]->childAt(at)) Jiezhou_MouseMove(i);
    return false;
}

void Form1::Yuepu_Click(int Index) { (void)Index; }
void Form1::Yuepu_MouseDown(int Index) { (void)Index; }
void Form1::XINJIAN_Click() {}
void Form1::Text3_Change() {}
void Form1::Label11_MouseMove() {}
void Form1::Jiezhou_MouseMove(int Index) { (void)Index; }

}  // namespace keyboard
