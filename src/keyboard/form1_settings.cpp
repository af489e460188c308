// The key settings panel: instrument groups of F1..F12, keypad drums and effect sounds.
#include "keyboard/form1.h"

namespace keyboard {

void Form1::wireSettings()
{
    for (int k = 0; k < 28; ++k)
        connect(Option3[k], &QRadioButton::toggled, this, [this, k](bool on) {
            if (on) Option3_Click(k);
        });
    for (int j = 0; j < 4; ++j) {
        connect(YQSZ[j], &QComboBox::currentIndexChanged, this, [this, j] { YQSZ_Click(j); });
        connect(YQSZ[j]->lineEdit(), &QLineEdit::textEdited, this, [this, j] { YQSZ_Change(j); });
    }
    connect(File2, &QListWidget::currentRowChanged, this, [this] { File2_Click(); });
    connect(SHUAXIN, &QPushButton::clicked, this, [this] { SHUAXIN_Click(); });
    connect(BCSZ, &QPushButton::clicked, this, [this] { BCSZ_Click(); });
}

void Form1::Option3_Click(int Index) { (void)Index; }
void Form1::YQSZ_Change(int Index) { (void)Index; }
void Form1::YQSZ_Click(int Index) { (void)Index; }
void Form1::File2_Click() {}
void Form1::SHUAXIN_Click() {}
void Form1::BCSZ_Click() {}

}  // namespace keyboard
