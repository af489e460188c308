// The wave recorder panel: play, stop and record buttons, the recorder clock and saving.
#include "keyboard/form1.h"

namespace keyboard {

void Form1::wireRecorder()
{
    for (int i = 0; i < 3; ++i)
        connect(Image1[i], &QToolButton::clicked, this, [this, i] { Image1_Click(i); });
    connect(BcLY, &QPushButton::clicked, this, [this] { BcLY_Click(); });
    Lyjsj->onTick([this] { Lyjsj_Timer(); });
}

void Form1::Image1_Click(int Index) { (void)Index; }
void Form1::BcLY_Click() {}
void Form1::Lyjsj_Timer() {}

}  // namespace keyboard
