// The tab strip and its melody and help panels, the clock line, the keyboard map, the small
// window mode and the editor button.
#include "forms/dialogs.h"
#include "forms/geometry.h"
#include "forms/option_button.h"
#include "forms/windows.h"
#include "keyboard/form1.h"
#include "keyboard/keyboard_map.h"
#include "keyboard/panel_texts.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/system_services.h"
#include "resources/strings.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMouseEvent>

namespace keyboard {

namespace {

constexpr int kSettingsTab = 5;
constexpr int kHelpTab = 4;
constexpr int kPanelTabs[] = {0, 1, 2, 4, 5};
constexpr int kFirstHelpText = 500;

struct TabTexts {
    const char* title;
    const char* hint;
};
// Title and hint lines of each tab; tab 3 is not used.
const TabTexts kTabTexts[6] = {
    {"旋律调整。。。", "选择即将使用的乐器以及旋律的音调音量等参数！"},
    {"和弦调整。。。", "选择即将使用的乐器以及音量等参数！"},
    {"节奏调整。。。", "选择即将使用的乐器以及设置节奏类型音量等参数！"},
    {nullptr, nullptr},
    {"查看帮助。。。", "了解本软件的各种功能及使用技巧等！"},
    {"键位设置。。。", "设置常用的快速切换按键值，保存以后下次使用本软件时将自动加载最后的设置！"},
};

// Keyboard map geometry, small and large.
const QRect kMapSmall(408, 152, 175, 51);
const QRect kMapLarge(0, 0, 988, 204);

// Window sizes in twips: full and small.
constexpr int kFullWidth = 14910, kFullHeight = 5640;
constexpr int kMiniWidth = 6210, kMiniHeight = 3510;

}  // namespace

void Form1::wirePanels()
{
    // Every click on a tab or a help topic runs its handler, also on the one already shown: the
    // keys come back to the key catcher.
    for (int i = 0; i < int(Xxk.size()); ++i) forms::onOptionClick(Xxk[i], this, [this, i] { Xxk_Click(i); });
    for (int i = 0; i < int(Option2.size()); ++i)
        forms::onOptionClick(Option2[i], this, [this, i] { Option2_Click(i); });
    Timer2->onTick([this] { Timer2_Timer(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    connect(Check1, &QCheckBox::toggled, this, [this] { Check1_Click(); });
    for (int i = 0; i < 3; ++i) {
        connect(Check3[i], &QCheckBox::toggled, this, [this, i] { Check3_Click(i); });
        // The instrument, device and key lists only offer their items: a typed text would stand
        // for no instrument, device or key. The velocities may be typed.
        ComSounds[i]->setEditable(false);
        connect(ComSounds[i], &QComboBox::currentIndexChanged, this, [this, i] { ComSounds_Click(i); });
        connect(Zxlyl[i], &QComboBox::currentIndexChanged, this, [this, i] { Zxlyl_Click(i); });
        connect(Zxlyl[i]->lineEdit(), &QLineEdit::textEdited, this, [this, i] { Zxlyl_Change(i); });
    }
    // Ticking the chord start or the automatic synchronisation gives the keys back at once, as a
    // tab does; when a clock or a key ticks them, the focus stays where it is.
    for (QCheckBox* box : {Check6, Check5}) connect(box, &QCheckBox::clicked, this, [this] { YXYZ(); });
    ComDevies->setEditable(false);
    connect(ComDevies, &QComboBox::currentIndexChanged, this, [this] { ComDevies_Click(); });
    YD->setEditable(false);
    connect(YD, &QComboBox::currentIndexChanged, this, [this] { YD_Click(); });
    connect(BJCK, &QPushButton::clicked, this, [this] { BJCK_Click(); });
    Image3->setPixmap(drawKeyboardMap(kMapSmall.width(), kMapSmall.height()));
    Image3->installEventFilter(this);
    // The window opens on the first tab, shown selected: the title line is its own from the
    // start, as after a click on it.
    FJWZ->setText(QString::fromUtf8(kTabTexts[0].title));
    for (QFrame* panel : Jiezhou) panel->installEventFilter(this);
    installEventFilter(this);   // clicks on the window's empty area
}

bool Form1::filterPanels(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonRelease) return false;
    auto* e = static_cast<QMouseEvent*>(event);
    if (e->button() != Qt::LeftButton) return false;
    // A click on a child that ignores the mouse reaches its parents too. Each click is handled
    // once, by the first of them that takes it: the map, a panel, the window. So a click on the
    // map does not reach the window, whose blank place it finds under the map just shrunk.
    if (watched == Image3) {
        Image3_Click();
        return true;
    }
    // Only clicks on a blank place count: the window's or the panel's own area, or a bare
    // container of controls.
    const QPoint at = e->position().toPoint();
    auto blank = [at](QWidget* w) {
        const QWidget* child = w->childAt(at);
        return !child || child->metaObject() == &QWidget::staticMetaObject;
    };
    if (watched == this) {
        if (blank(this)) Form_Click();
        return false;
    }
    for (int i = 0; i < int(Jiezhou.size()); ++i) {
        if (watched == Jiezhou[i] && blank(Jiezhou[i])) {
            Jiezhou_Click(i);
            return true;
        }
    }
    return false;
}

void Form1::Xxk_Click(int Index)
{
    if (Index >= 0 && Index < int(std::size(kTabTexts)) && kTabTexts[Index].title) {
        for (int i : kPanelTabs) Jiezhou[i]->setVisible(i == Index);
        FJWZ->setText(QString::fromUtf8(kTabTexts[Index].title));
        XSWB->setText(QString::fromUtf8(kTabTexts[Index].hint));
        if (Index == kHelpTab) Option2[0]->setChecked(true);
        if (Index == kSettingsTab) {
            // The panel shows F1's instruments with F1 selected, so that a change goes where
            // the lists show it.
            if (Option3[0]->isChecked())
                Option3_Click(0);
            else
                Option3[0]->setChecked(true);
            showEffectFiles();
        }
    }
    SFYXYZ->setEnabled(true);
    SFYXYZ->setFocus();
}

void Form1::Option2_Click(int Index)
{
    if (Index >= 0 && Index < int(Option2.size())) Text1->setPlainText(res::LoadResString(kFirstHelpText + Index));
    YXYZ();
}

void Form1::Timer2_Timer()
{
    SjXs->setText(clockText(QDateTime::currentDateTime()));
    Label8->setText(rotateLeft(Label8->text()));
}

void Form1::Image3_Click()
{
    const QRect r = MapExpanded ? kMapSmall : kMapLarge;
    Picture2->setGeometry(r);
    Image3->setGeometry(0, 0, r.width(), r.height());
    Image3->setPixmap(drawKeyboardMap(r.width(), r.height()));
    Label3->setText(MapExpanded ? QStringLiteral("点击图片查看键盘分布") : QStringLiteral("点击图片收回键盘分布"));
    MapExpanded = !MapExpanded;
}

void Form1::Jiezhou_Click(int Index)
{
    (void)Index;
    // The small window shows little but its panel: a click on the panel's background restores it,
    // as a click on any blank place of the window does.
    if (MiniWindow) Form_Click();
    YXYZ();
}

void Form1::Form_Click()
{
    MiniWindow = !MiniWindow;
    // The window keeps its place and its controls; the small window shows its top left part.
    if (MiniWindow)
        setFixedSize(forms::twipsToPx(kMiniWidth), forms::twipsToPx(kMiniHeight));
    else
        setFixedSize(forms::twipsToPx(kFullWidth), forms::twipsToPx(kFullHeight));
}

void Form1::Command2_Click()
{
    const QString page = showcasePath();
    if (!QFileInfo(page).isFile() || !platform::openInBrowser(page))
        forms::MsgBox(QStringLiteral("打开网页出错，请检查网络连接！"), this);
}

void Form1::Check1_Click()
{
    Check1->setText(Check1->isChecked() ? QStringLiteral("有声设置") : QStringLiteral("静音设置"));
}

void Form1::Check3_Click(int Index)
{
    const int16_t v = Check3[Index]->isChecked() ? 120 : 0;
    midi::SendShortMsg(int16_t(0xB0 + Index), 1, v);    // modulation
    midi::SendShortMsg(int16_t(0xB0 + Index), 91, v);   // effects depth
    YXYZ();
}

void Form1::ComDevies_Click()
{
    const int item = ComDevies->currentIndex();
    if (item < 0) return;   // no device listed: nothing to open
    midi::OpenMidiDevice(int16_t(ComDevies->itemData(item).toInt()));
    const auto& s = midi::state();
    for (int i = 0; i < 3; ++i) midi::ProgramChange(int16_t(i), 0, int16_t(s.ChannelProgram[i] - 1));
    YXYZ();
}

void Form1::ComSounds_Click(int Index)
{
    auto& s = midi::state();
    const int k = ComSounds[Index]->currentIndex();
    if (k >= 1) {
        s.ChannelProgram[Index] = int16_t(k);
        midi::ProgramChange(int16_t(Index), 0, int16_t(k - 1));
    } else {
        // "0.无声": the layer's sounding note ends; its program stays for when it sounds again.
        midi::NoteOff(int16_t(Index), int16_t(s.LastKey + s.BaseNote));
    }
    YXYZ();
}

void Form1::YD_Click()
{
    auto& s = midi::state();
    // The sounding note is turned off with the base note it was started with, or it would hang:
    // the next note turns off its predecessor with the new base note. Before the first key is
    // chosen the base note is 0 and nothing sounds.
    if (s.BaseNote > 0) {
        const int16_t note = int16_t(s.LastKey + s.BaseNote);
        for (int16_t c = 0; c < 3; ++c) midi::NoteOff(c, note);
        midi::NoteOff(2, int16_t(note - 12));
        // The chord voices end too; a running clock starts them again in the new key.
        HX1K();
        HX2K();
    }
    if (YD->currentIndex() >= 0) s.BaseNote = int16_t(36 + YD->currentIndex());
    YXYZ();
}

void Form1::Zxlyl_Click(int Index)
{
    Zxlyl_Change(Index);
    YXYZ();
}

void Form1::Zxlyl_Change(int Index)
{
    midi::state().ChannelVelocity[Index] = velocityFromText(Zxlyl[Index]->currentText());
}

}  // namespace keyboard
