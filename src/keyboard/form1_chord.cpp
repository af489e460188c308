// Chord accompaniment: progressions, voice patterns, the chord clock and the pattern file.
#include "keyboard/form1.h"

#include <QEvent>

namespace keyboard {

void Form1::wireChord()
{
    connect(Check6, &QCheckBox::toggled, this, [this] { Check6_Click(); });
    HXYS->onTick([this] { HXYS_Timer(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Combo3, &QComboBox::currentIndexChanged, this, [this] { Combo3_Click(); });
    connect(Combo3->lineEdit(), &QLineEdit::textEdited, this, [this] { Combo3_Change(); });
    connect(Combo1, &QComboBox::currentIndexChanged, this, [this] { Combo1_Click(); });
    connect(Combo1->lineEdit(), &QLineEdit::textEdited, this, [this] { Combo1_Change(); });
    connect(xuanyue, &QComboBox::currentIndexChanged, this, [this] { xuanyue_Click(); });
    connect(xuanyue->lineEdit(), &QLineEdit::textEdited, this, [this] { xuanyue_Change(); });
    connect(HxYL, &QComboBox::currentIndexChanged, this, [this] { HxYL_Click(); });
    connect(HxYL->lineEdit(), &QLineEdit::textEdited, this, [this] { HxYL_Change(); });
    Text4->installEventFilter(this);
    Text5->installEventFilter(this);
    Text6->installEventFilter(this);
}

bool Form1::filterChord(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn && watched == Text6) {
        Text6_GotFocus();
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == Text6) Text6_LostFocus();
        if (watched == Text4) Text4_LostFocus();
        if (watched == Text5) Text5_LostFocus();
    }
    return false;
}

void Form1::CSHX() {}
void Form1::Command3_Click() {}
void Form1::HXCSH() {}
void Form1::HXYPSB() {}
void Form1::ZDHXSC() {}
void Form1::BZHX() {}
void Form1::BZHX2() {}
void Form1::HX1K() {}
void Form1::HX2K() {}
void Form1::Check6_Click() {}
void Form1::HXYS_Timer() {}
void Form1::Text6_GotFocus() {}
void Form1::Text6_LostFocus() {}
void Form1::Text4_LostFocus() {}
void Form1::Text5_LostFocus() {}
void Form1::Command4_Click() {}
void Form1::Combo3_Change() {}
void Form1::Combo3_Click() {}
void Form1::Combo1_Change() {}
void Form1::Combo1_Click() {}
void Form1::xuanyue_Change() {}
void Form1::xuanyue_Click() {}
void Form1::HxYL_Change() {}
void Form1::HxYL_Click() {}

}  // namespace keyboard
