// The tab strip and its melody and help panels, the clock line, the keyboard map, the small
// window mode and the editor button.
#include "keyboard/form1.h"

#include <QMouseEvent>

namespace keyboard {

void Form1::wirePanels()
{
    for (int i = 0; i < int(Xxk.size()); ++i)
        connect(Xxk[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Xxk_Click(i);
        });
    for (int i = 0; i < int(Option2.size()); ++i)
        connect(Option2[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Option2_Click(i);
        });
    Timer2->onTick([this] { Timer2_Timer(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    for (int i = 0; i < 3; ++i) {
        connect(Check3[i], &QCheckBox::toggled, this, [this, i] { Check3_Click(i); });
        connect(ComSounds[i], &QComboBox::currentIndexChanged, this, [this, i] { ComSounds_Click(i); });
        connect(ComSounds[i]->lineEdit(), &QLineEdit::textEdited, this, [this, i] { ComSounds_Change(i); });
        connect(Zxlyl[i], &QComboBox::currentIndexChanged, this, [this, i] { Zxlyl_Click(i); });
        connect(Zxlyl[i]->lineEdit(), &QLineEdit::textEdited, this, [this, i] { Zxlyl_Change(i); });
    }
    connect(ComDevies, &QComboBox::currentIndexChanged, this, [this] { ComDevies_Click(); });
    connect(ComDevies->lineEdit(), &QLineEdit::textEdited, this, [this] { ComDevies_Change(); });
    connect(YD, &QComboBox::currentIndexChanged, this, [this] { YD_Click(); });
    connect(YD->lineEdit(), &QLineEdit::textEdited, this, [this] { YD_Change(); });
    connect(BJCK, &QPushButton::clicked, this, [this] { BJCK_Click(); });
    Image3->installEventFilter(this);
    for (QFrame* panel : Jiezhou) panel->installEventFilter(this);
    installEventFilter(this);   // clicks on the window's empty area
}

bool Form1::filterPanels(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease) return false;
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() != Qt::LeftButton) return false;
    if (watched == Image3) {
        Image3_Click();
        return false;
    }
    // A click on a child that ignores the mouse reaches its parent too; only clicks on the
    // window's or the panel's own area count.
    const QPoint at = e->position().toPoint();
    if (watched == this) {
        if (!childAt(at)) Form_Click();
        return false;
    }
    for (int i = 0; i < int(Jiezhou.size()); ++i)
        if (watched == Jiezhou[i] && !Jiezhou[i]->childAt(at)) Jiezhou_Click(i);
    return false;
}

void Form1::Xxk_Click(int Index) { (void)Index; }
void Form1::Option2_Click(int Index) { (void)Index; }
void Form1::Timer2_Timer() {}
void Form1::Image3_Click() {}
void Form1::Jiezhou_Click(int Index) { (void)Index; }
void Form1::Form_Click() {}
void Form1::Command2_Click() {}
void Form1::Check1_Click() {}
void Form1::Check3_Click(int Index) { (void)Index; }
void Form1::ComDevies_Click() {}
void Form1::ComDevies_Change() {}
void Form1::ComSounds_Click(int Index) { (void)Index; }
void Form1::ComSounds_Change(int Index) { (void)Index; }
void Form1::YD_Click() {}
void Form1::YD_Change() {}
void Form1::Zxlyl_Click(int Index) { (void)Index; }
void Form1::Zxlyl_Change(int Index) { (void)Index; }
void Form1::BJCK_Click() {}

}  // namespace keyboard
