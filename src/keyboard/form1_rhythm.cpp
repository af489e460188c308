// Rhythm accompaniment: the step grid, the percussion voices, tempo and metre, the free rhythm
// clock, the accompaniment step and the rhythm files.
#include "keyboard/form1.h"

#include <QEvent>

namespace keyboard {

void Form1::wireRhythm()
{
    for (int r = 0; r < 3; ++r) {
        wireStepBox(r, 0);
        connect(LblInst[r], &QComboBox::currentIndexChanged, this, [this, r] { LblInst_Click(r); });
        connect(LblInst[r]->lineEdit(), &QLineEdit::textEdited, this, [this, r] { LblInst_Change(r); });
    }
    connect(VsbVol, &QComboBox::currentIndexChanged, this, [this] { VsbVol_Click(); });
    connect(VsbVol->lineEdit(), &QLineEdit::textEdited, this, [this] { VsbVol_Change(); });
    for (int i = 0; i < 3; ++i)
        connect(Option1[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Option1_Click(i);
        });
    connect(SD, &QComboBox::currentIndexChanged, this, [this] { SD_Click(); });
    SD->installEventFilter(this);
    connect(BzQd, &QCheckBox::toggled, this, [this] { BzQd_Click(); });
    BZDS->onTick([this] { BZDS_Timer(); });
    // A change of the list's selection, by the user or by code, applies the file.
    connect(File1, &QListWidget::currentRowChanged, this, [this] { File1_Click(); });
    for (int i = 0; i < 2; ++i)
        connect(Cmdcill[i], &QPushButton::clicked, this, [this, i] { Cmdcill_Click(i); });
}

void Form1::wireStepBox(int row, int Index)
{
    std::array<QCheckBox*, 17>& boxes = row == 0 ? BZA : row == 1 ? BZB : BZC;
    connect(boxes[Index], &QCheckBox::toggled, this, [this, row, Index] {
        if (row == 0)
            BZA_Click(Index);
        else if (row == 1)
            BZB_Click(Index);
        else
            BZC_Click(Index);
    });
}

bool Form1::filterRhythm(QObject* watched, QEvent* event)
{
    if (watched == SD && event->type() == QEvent::FocusOut) SD_LostFocus();
    return false;
}

void Form1::BZA_Click(int Index) { (void)Index; }
void Form1::BZB_Click(int Index) { (void)Index; }
void Form1::BZC_Click(int Index) { (void)Index; }
void Form1::LblInst_Change(int Index) { (void)Index; }
void Form1::LblInst_Click(int Index) { (void)Index; }
void Form1::VsbVol_Change() {}
void Form1::VsbVol_Click() {}
void Form1::Option1_Click(int Index) { (void)Index; }
void Form1::SD_Click() {}
void Form1::SD_LostFocus() {}
void Form1::BzQd_Click() {}
void Form1::BZDS_Timer() {}
void Form1::File1_Click() {}
void Form1::Cmdcill_Click(int Index) { (void)Index; }
void Form1::AccompanimentStep() {}
void Form1::BZXS() {}
void Form1::SaveJZwj() {}
void Form1::OpenJZwj() {}

}  // namespace keyboard
