// The key settings panel: instrument groups of F1..F12, keypad drums and effect sounds.
#include "forms/dialogs.h"
#include "forms/option_button.h"
#include "forms/textfile.h"
#include "keyboard/file_list.h"
#include "keyboard/form1.h"
#include "keyboard/settings_file.h"
#include "midi/percussion.h"
#include "midi/state.h"
#include "platform/wave_player.h"

#include <QFileInfo>

namespace keyboard {

namespace {

constexpr int kFirstPadSelector = 12;     // Option3(12..21): keypad 0..9
constexpr int kFirstEffectSelector = 22;  // Option3(22..27): Ins Hom Pup Del End Pdo
constexpr int kSelectors = 28;
constexpr int kPercussionList = 3;        // YQSZ(3)

// The first sentence of the message about an effect name the settings file cannot hold: the
// name and its character `bad`.
QString unsavableNameText(const QString& name, const QString& bad)
{
    return QStringLiteral("音效文件名“%1”中的字符%2不能写入设置文件。").arg(name, forms::charForBox(bad));
}

}  // namespace

QString Form1::effectFolder() const { return forms::joinPath(midi::state().AppFolder, QStringLiteral("音效/")); }

void Form1::wireSettings()
{
    // A click on the key already selected shows and previews it again.
    for (int k = 0; k < kSelectors; ++k) forms::onOptionClick(Option3[k], this, [this, k] { Option3_Click(k); });
    for (int j = 0; j < 4; ++j) {
        // The lists only offer their items: a typed text would stand for no instrument.
        YQSZ[j]->setEditable(false);
        connect(YQSZ[j], &QComboBox::currentIndexChanged, this, [this, j] { YQSZ_Click(j); });
    }
    connect(File2, &QListWidget::itemClicked, this, [this] { File2_Click(); });
    connect(SHUAXIN, &QPushButton::clicked, this, [this] { SHUAXIN_Click(); });
    connect(BCSZ, &QPushButton::clicked, this, [this] { BCSZ_Click(); });
}

void Form1::showEffectFiles()
{
    File2Path = effectFolder();
    RefreshFileList(File2, File2Path, QStringLiteral("*"));
}

void Form1::Option3_Click(int Index)
{
    auto& s = midi::state();
    // The layer labels name the instrument lists only; beside the percussion list or the effect
    // files they would name nothing.
    for (QLabel* label : YQSZLabel) label->setVisible(Index >= 0 && Index < kFirstPadSelector);
    if (Index >= 0 && Index < kFirstPadSelector) {
        for (int v = 0; v < 3; ++v) YQSZ[v]->setVisible(true);
        YQSZ[kPercussionList]->setVisible(false);
        File2->setVisible(false);
        for (int v = 0; v < 3; ++v) YQSZ[v]->setCurrentIndex(s.PresetTable[Index][v]);
    } else if (Index >= kFirstPadSelector && Index < kFirstEffectSelector) {
        const int d = Index - kFirstPadSelector;
        for (int v = 0; v < 3; ++v) YQSZ[v]->setVisible(false);
        File2->setVisible(false);
        YQSZ[kPercussionList]->setVisible(true);
        YQSZ[kPercussionList]->setCurrentIndex(s.KeypadDrums[d]);
        if (!Check1->isChecked()) {
            s.PadIndex = int16_t(d);
            midi::PlayPadDrum();
        }
    } else if (Index >= kFirstEffectSelector && Index < kSelectors) {
        const int e = Index - kFirstEffectSelector;
        for (int v = 0; v < 4; ++v) YQSZ[v]->setVisible(false);
        File2->setVisible(true);
        SelectListedFile(File2, s.EffectWavNames[e]);
        const QString path = EffectFilePath(s.AppFolder, s.EffectWavNames[e]);
        if (!Check1->isChecked() && QFileInfo(path).isFile()) {
            LastFilePath = path;
            bool played = false;
            if (Check2->isChecked()) {
                played = platform::PlaySoundFile(path, platform::kSoundAsync | platform::kSoundNoDefault | platform::kSoundLoop);
            } else {
                platform::PlaySoundFile(path, platform::kSoundAsync | platform::kSoundNoDefault);
                played = platform::PlaySoundFile(path, platform::kSoundAsync);
            }
            XSWB->setText(EffectStatusText(s.EffectWavNames[e], !played));
        }
    }
}

void Form1::ShowSelectedKeySettings()
{
    const auto& s = midi::state();
    FillingSettingsLists = true;
    for (int k = 0; k < kSelectors; ++k) {
        if (!Option3[k]->isChecked()) continue;
        if (k < kFirstPadSelector) {
            for (int v = 0; v < 3; ++v) YQSZ[v]->setCurrentIndex(s.PresetTable[k][v]);
        } else if (k < kFirstEffectSelector) {
            YQSZ[kPercussionList]->setCurrentIndex(s.KeypadDrums[k - kFirstPadSelector]);
        } else {
            SelectListedFile(File2, s.EffectWavNames[k - kFirstEffectSelector]);
        }
    }
    FillingSettingsLists = false;
}

void Form1::YQSZ_Click(int Index)
{
    // The settings tab fills the instrument lists for show; that stores nothing.
    if (FillingSettingsLists) return;
    auto& s = midi::state();
    const int item = YQSZ[Index]->currentIndex();
    for (int k = 0; k < kSelectors; ++k) {
        if (!Option3[k]->isChecked()) continue;
        // Each list stores only into the kind of key it belongs to.
        if (k < kFirstPadSelector && Index < kPercussionList) {
            s.PresetTable[k][Index] = int16_t(item);
        } else if (k >= kFirstPadSelector && k < kFirstEffectSelector && Index == kPercussionList) {
            const int d = k - kFirstPadSelector;
            s.KeypadDrums[d] = int16_t(item);
            s.PercussionCells[5][d].Msg = midi::PercussionMsg(item + 35, RhythmVelocity());
            s.PadIndex = int16_t(d);
            if (!Check1->isChecked()) midi::PlayPadDrum();
        }
    }
    YXYZ();
}

void Form1::File2_Click()
{
    auto& s = midi::state();
    File2Path = effectFolder();
    const QListWidgetItem* item = File2->currentItem();
    if (!item) return;
    const QString name = item->text();
    const QString path = forms::joinPath(File2Path, name);
    // A name the settings file cannot hold would be saved as "?" and never found again.
    bool storing = false;
    for (int e = 0; e < 6; ++e) storing = storing || Option3[kFirstEffectSelector + e]->isChecked();
    if (const QString bad = forms::charOutsideGbk(name); storing && !bad.isEmpty()) {
        ShowSelectedKeySettings();   // the list shows the file the key keeps
        forms::MsgBox(unsavableNameText(name, bad) + QStringLiteral("请先给这个文件改名。"), this);
        YXYZ();
        return;
    }
    if (!Check1->isChecked()) {
        const bool played = platform::PlaySoundFile(path, platform::kSoundAsync);
        XSWB->setText(EffectStatusText(name, !played && QFileInfo(path).isFile()));
    }
    for (int e = 0; e < 6; ++e)
        if (Option3[kFirstEffectSelector + e]->isChecked()) s.EffectWavNames[e] = name;
    YXYZ();
}

void Form1::SHUAXIN_Click()
{
    platform::PlaySoundFile(QString(), 0);
    // Every selector but "End" and "Pdo" is cleared; an exclusive option button can only be
    // cleared with its exclusivity off for the moment.
    for (int i = 0; i <= 25; ++i) {
        if (!Option3[i]->isChecked()) continue;
        Option3[i]->setAutoExclusive(false);
        Option3[i]->setChecked(false);
        Option3[i]->setAutoExclusive(true);
    }
}

void Form1::BCSZ_Click()
{
    const auto& s = midi::state();
    // Nothing is written when a name would be saved as "?": the old file stays as it was.
    for (const QString& name : s.EffectWavNames) {
        if (const QString bad = forms::charOutsideGbk(name); !bad.isEmpty()) {
            forms::MsgBox(unsavableNameText(name, bad) + QStringLiteral("设置没有保存。"), this);
            FJWZ->setText(QStringLiteral("保存设置失败！"));
            return;
        }
    }
    if (WriteSettingsFile(s.AppFolder, s))
        FJWZ->setText(QStringLiteral("成功保存本次设置"));
    else
        FJWZ->setText(QStringLiteral("保存设置失败！"));
}

}  // namespace keyboard
