// The main window's controls: created in code and placed with fixed geometry, as designed.
//
// Client area 994 x 376 px. Left: the tab strip and its panels. Middle: title line, hint line,
// the keyboard map and the key catcher. Right: date and credit line, the score box, the score
// buttons, the recorder and the window buttons. Bottom: the damper strip and the 65 keys.
#include "forms/controls.h"
#include "forms/geometry.h"
#include "forms/option_button.h"
#include "keyboard/form1.h"
#include "keyboard/panel_texts.h"
#include "resources/pictures.h"

#include <QFont>
#include <QSignalBlocker>

namespace keyboard {
namespace {

constexpr int kClientWidth = 994;
constexpr int kClientHeight = 376;
constexpr int kKeysTop = 266;       // top of the on-screen keys
constexpr int kWhiteKeyWidth = 26;  // 38 white keys = 988 px
constexpr int kBlackKeyWidth = 16;
constexpr int kBlackKeyHeight = 64;

// Tabs, help topics and key selectors are option buttons drawn as buttons, their captions centred.
const char* const kTabStyle =
    "QRadioButton { border: 1px solid #8a8a8a; border-bottom: none; background: #d8d8d8; }"
    "QRadioButton:checked { background: #f4f4f4; font-weight: bold; }"
    "QRadioButton::indicator { image: none; border: none; width: 0px; height: 0px; margin: 0px; }";

const char* const kTopicStyle =
    "QRadioButton { border: 1px solid #9a9a9a; background: #e4e4e4; }"
    "QRadioButton:checked { background: #ffffff; font-weight: bold; }"
    "QRadioButton::indicator { image: none; border: none; width: 0px; height: 0px; margin: 0px; }";

// The key selectors look like small keys.
const char* const kKeyStyle =
    "QRadioButton { border: 1px solid #9a9a9a; background: #e4e4e4; }"
    "QRadioButton:checked { background: #ffffff; font-weight: bold; }"
    "QRadioButton::indicator { image: none; border: none; width: 0px; height: 0px; margin: 0px; }";

bool isBlackKey(int i)
{
    const int m = i % 12;
    return m == 1 || m == 3 || m == 6 || m == 8 || m == 10;
}

using forms::combo;
using forms::lineEdit;
using forms::numberItems;
using forms::placed;
constexpr auto label = placed<QLabel>;
constexpr auto button = placed<QPushButton>;
constexpr auto checkBox = placed<QCheckBox>;
constexpr auto option = placed<QRadioButton>;
constexpr auto buttonOption = placed<forms::DrawnAsButton<QRadioButton>>;

const QStringList kVelocities = {QStringLiteral("25"), QStringLiteral("40"), QStringLiteral("55"),
                                 QStringLiteral("70"), QStringLiteral("85"), QStringLiteral("100"),
                                 QStringLiteral("120")};

}  // namespace

void Form1::createControls()
{
    setWindowTitle(QStringLiteral("Velqor电子琴201411"));
    setFixedSize(kClientWidth, kClientHeight);
    QFont f(QStringLiteral("WenQuanYi Zen Hei"), 9);
    setFont(f);

    // ---- tab strip and panels (left column)
    const QString tabCaptions[6] = {QStringLiteral("旋 律"), QStringLiteral("和 弦"),
                                    QStringLiteral("节 奏"), QString(),
                                    QStringLiteral("帮 助"), QStringLiteral("设 置")};
    const QString tabHints[6] = {
        QStringLiteral("设置旋律演奏使用的乐器和音调等参数！"),
        QStringLiteral("设置和弦演奏使用的乐器和音量等参数！"),
        QStringLiteral("设置节奏演奏使用的乐器和音量等参数！"), QString(),
        QStringLiteral("软件的使用帮助！"),
        QStringLiteral("在这里设置F1到F12以及功能键和小键盘数字键所指定的各种快捷方式！")};
    auto* tabStrip = new QWidget(this);
    tabStrip->setGeometry(4, 4, 400, 26);
    tabStrip->setStyleSheet(QString::fromLatin1(kTabStyle));
    for (int i = 0, x = 0; i < 6; ++i) {
        Xxk[i] = buttonOption(tabStrip, tabCaptions[i], x, 2, 78, 24);
        Xxk[i]->setToolTip(tabHints[i]);
        Jiezhou[i] = new QFrame(this);
        Jiezhou[i]->setGeometry(4, 30, 400, 230);
        Jiezhou[i]->setFrameShape(QFrame::StyledPanel);
        Jiezhou[i]->setAutoFillBackground(true);
        Jiezhou[i]->setVisible(i == 0);
        if (i == 3) {
            Xxk[i]->setVisible(false);
        } else {
            x += 80;
        }
    }
    Xxk[0]->setChecked(true);

    // ---- melody panel
    QFrame* p = Jiezhou[0];
    label(p, QStringLiteral("设  备"), 10, 12, 50, 22);
    ComDevies = combo(p, 64, 12, 320, 24);
    label(p, QStringLiteral("音量"), 264, 42, 60, 18)->setAlignment(Qt::AlignCenter);
    const QString layerNames[3] = {QStringLiteral("乐器一"), QStringLiteral("乐器二"),
                                   QStringLiteral("乐器三")};
    const QString layerTips[3] = {
        QStringLiteral("主乐器最好使用本通道，演奏时本通道音乐声相将随音高的变化而变化！"),
        QStringLiteral("第二演奏乐器选择！"),
        QStringLiteral("本通道乐器采用复音的方法演奏，演奏时将同时发出演奏本身的音符与低八度音符！")};
    for (int j = 0; j < 3; ++j) {
        const int y = 62 + 32 * j;
        label(p, layerNames[j], 10, y, 50, 24);
        ComSounds[j] = combo(p, 64, y, 192, 24);
        ComSounds[j]->setToolTip(layerTips[j]);
        Zxlyl[j] = combo(p, 264, y, 60, 24, kVelocities);
        Check3[j] = checkBox(p, QStringLiteral("颤音"), 332, y, 60, 24);
        Check3[j]->setToolTip(QStringLiteral("按下本按钮在演奏时该乐器具有颤音效果！"));
    }
    label(p, QStringLiteral("速 度"), 10, 164, 50, 24);
    SD = combo(p, 64, 164, 64, 24, numberItems(40, 130, 5));
    label(p, QStringLiteral("拍/分钟"), 134, 164, 56, 24);
    label(p, QStringLiteral("音  调"), 200, 164, 50, 24);
    YD = combo(p, 254, 164, 64, 24,
               {QStringLiteral("C"), QStringLiteral("C#"), QStringLiteral("D"), QStringLiteral("D#"),
                QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("F#"), QStringLiteral("G"),
                QStringLiteral("G#"), QStringLiteral("A"), QStringLiteral("A#"), QStringLiteral("B")});
    Command2 = button(p, QStringLiteral("效果欣赏"), 10, 198, 100, 24);
    Command2->setToolTip(QStringLiteral("来听听用本软件演奏和编辑的音乐吧！"));

    // ---- chord panel
    p = Jiezhou[1];
    label(p, QStringLiteral("和弦乐器一"), 10, 12, 76, 24);
    Combo3 = combo(p, 90, 12, 176, 24);
    label(p, QStringLiteral("和弦乐器二"), 10, 42, 76, 24);
    Combo1 = combo(p, 90, 42, 176, 24);
    label(p, QStringLiteral("音量"), 276, 12, 40, 24);
    HxYL = combo(p, 316, 12, 72, 24, kVelocities);
    HxYL->setToolTip(QStringLiteral("和弦演奏音量！"));
    Check6 = checkBox(p, QStringLiteral("启 动"), 316, 42, 72, 24);
    Check6->setToolTip(QStringLiteral("启动或停止和弦试听！"));
    label(p, QStringLiteral("和弦顺序"), 10, 76, 76, 24);
    Text6 = lineEdit(p, 90, 76, 110, 24, 9);
    Text6->setToolTip(QStringLiteral("在此输入9位以下 1_6之间数字可以改变和弦循环顺序！"));
    QFont mono(QStringLiteral("WenQuanYi Zen Hei Mono"), 9);
    label(p, QStringLiteral("伴奏一"), 10, 108, 76, 24);
    Text4 = lineEdit(p, 90, 108, 298, 24, 32);
    Text4->setFont(mono);
    Text4->setToolTip(QStringLiteral(
        "此处使用1和弦中最低到最高音里的任意 135 音符或 CC和弦音符！对其他和弦软件会自动计算给出！同时本处音符为每小节发声！"));
    label(p, QStringLiteral("伴奏二"), 10, 140, 76, 24);
    Text5 = lineEdit(p, 90, 140, 298, 24, 32);
    Text5->setFont(mono);
    Text5->setToolTip(QStringLiteral(
        "此处使用1和弦中最低到最高音里的任意 135 音符或 CC和弦音符！对其他和弦软件会自动计算给出！同时本处音符为每两小节发声一次！"));
    Command3 = button(p, QStringLiteral("生成随机节奏"), 90, 178, 130, 28);
    Command3->setToolTip(QStringLiteral("在这里生成新的节奏模板和演奏顺序！"));
    Command4 = button(p, QStringLiteral("保 存"), 230, 178, 90, 28);

    // ---- rhythm panel
    p = Jiezhou[2];
    std::array<QCheckBox*, 17>* rows[3] = {&BZA, &BZB, &BZC};
    for (int r = 0; r < 3; ++r) {
        const int y = 10 + 28 * r;
        LblInst[r] = combo(p, 8, y, 142, 24);
        StepRows[r] = new QWidget(p);
        StepRows[r]->setGeometry(156, y + 3, 13 * 17 + 4, 18);
        auto* box = new QCheckBox(StepRows[r]);
        box->setGeometry(0, 2, 13, 14);
        box->setAutoFillBackground(true);
        (*rows[r])[0] = box;
    }
    Option1[0] = option(p, QStringLiteral("2/4"), 8, 98, 52, 22);
    Option1[1] = option(p, QStringLiteral("3/4"), 62, 98, 52, 22);
    Option1[2] = option(p, QStringLiteral("4/4"), 116, 98, 52, 22);
    Option1[0]->setChecked(true);
    label(p, QStringLiteral("音量"), 184, 98, 34, 22);
    VsbVol = combo(p, 218, 97, 64, 24, numberItems(50, 120, 10));
    BzQd = checkBox(p, QStringLiteral("启动"), 300, 98, 90, 22);
    label(p, QStringLiteral("和弦乐器"), 8, 130, 64, 24);
    xuanyue = combo(p, 74, 130, 170, 24);
    Check5 = checkBox(p, QStringLiteral("自动同步"), 300, 130, 90, 24);
    Text2 = lineEdit(p, 8, 162, 380, 24, 32);
    Text2->setFont(mono);
    Label11 = label(p, QStringLiteral("节奏模板"), 8, 196, 200, 24);
    Label11->setFrameShape(QFrame::Panel);
    Label11->setFrameShadow(QFrame::Sunken);
    Label11->setMouseTracking(true);
    Cmdcill[0] = button(p, QStringLiteral("删 除"), 226, 196, 76, 26);
    Cmdcill[1] = button(p, QStringLiteral("保 存"), 310, 196, 76, 26);
    // The pattern list pops up over the panel while the mouse explores the label. It reaches
    // down over the label's top edge: the pointer moving up from the label passes straight into
    // the list, never over the panel's background, which would hide it.
    File1 = new QListWidget(p);
    File1->setGeometry(8, 40, 200, 157);
    File1->setVisible(false);
    Jiezhou[2]->setMouseTracking(true);

    // ---- help panel
    p = Jiezhou[4];
    const QString topics[7] = {QStringLiteral("软件简介"), QStringLiteral("演奏旋律"),
                               QStringLiteral("自动演奏"), QStringLiteral("节奏设置"),
                               QStringLiteral("和弦设置"), QStringLiteral("迷你窗口"),
                               QStringLiteral("录音重放")};
    auto* topicColumn = new QWidget(p);
    topicColumn->setGeometry(6, 6, 84, 218);
    topicColumn->setStyleSheet(QString::fromLatin1(kTopicStyle));
    for (int i = 0; i < 7; ++i) Option2[i] = buttonOption(topicColumn, topics[i], 0, 31 * i, 84, 28);
    Text1 = new QPlainTextEdit(p);
    Text1->setGeometry(96, 6, 298, 218);
    Text1->setReadOnly(true);

    // ---- key settings panel
    p = Jiezhou[5];
    static const char* const keyNames[28] = {"F1", "F2", "F3", "F4", "F5", "F6", "F7",
                                             "F8", "F9", "F10", "F11", "F12", "0", "1",
                                             "2", "3", "4", "5", "6", "7", "8",
                                             "9", "Ins", "Hom", "Pup", "Del", "End", "Pdo"};
    // The key selectors look like small keys: three rows, function keys, keypad, editing keys.
    auto* keyRows = new QWidget(p);
    keyRows->setGeometry(6, 6, 388, 80);
    keyRows->setStyleSheet(QString::fromLatin1(kKeyStyle));
    for (int k = 0; k < 28; ++k) {
        int x, y, w = 30;
        if (k < 12) {
            x = 32 * k, y = 0;
        } else if (k < 22) {
            x = 32 * (k - 12), y = 27;
        } else {
            x = 42 * (k - 22), y = 54, w = 40;
        }
        Option3[k] = buttonOption(keyRows, QString::fromLatin1(keyNames[k]), x, y, w, 24);
    }
    for (int j = 0; j < 3; ++j) {
        YQSZLabel[j] = label(p, layerNames[j], 6, 92 + 30 * j, 50, 24);
        YQSZ[j] = combo(p, 58, 92 + 30 * j, 200, 24);
    }
    YQSZ[3] = combo(p, 58, 92, 200, 24);
    YQSZ[3]->setVisible(false);
    File2 = new QListWidget(p);
    File2->setGeometry(58, 92, 200, 130);
    File2->setVisible(false);
    Check1 = checkBox(p, QStringLiteral("静音设置"), 276, 92, 110, 24);
    Check2 = checkBox(p, QStringLiteral("循环播放"), 276, 122, 110, 24);
    SHUAXIN = button(p, QStringLiteral("停止"), 276, 158, 110, 26);
    BCSZ = button(p, QStringLiteral("保存"), 276, 192, 110, 26);

    // ---- middle column: title and hint lines, keyboard map, key catcher
    FJWZ = label(this, QString(), 412, 6, 170, 22);   // the first tab's title line (wirePanels)
    QFont bold = f;
    bold.setBold(true);
    FJWZ->setFont(bold);
    XSWB = label(this, QString(), 412, 30, 170, 118);
    XSWB->setWordWrap(true);
    XSWB->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    XSWB->setFrameShape(QFrame::Panel);
    XSWB->setFrameShadow(QFrame::Sunken);
    Picture2 = new QFrame(this);
    Picture2->setGeometry(408, 152, 175, 51);
    Picture2->setFrameShape(QFrame::Box);
    Image3 = new QLabel(Picture2);
    Image3->setGeometry(0, 0, 175, 51);
    Image3->setScaledContents(true);
    Label3 = label(this, QStringLiteral("点击图片查看键盘分布"), 408, 205, 175, 18);
    Label3->setAlignment(Qt::AlignCenter);
    SFYXYZ = button(this, QStringLiteral("键盘"), 412, 228, 168, 30);
    SFYXYZ->setFont(bold);

    // ---- right column: date, credit line, score box and buttons, recorder, window buttons
    Label8 = label(this, creditLine(), 592, 4, 250, 18);
    SjXs = label(this, QStringLiteral("2011-12-30 23-59-59"), 846, 4, 144, 18);
    SjXs->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Text3 = new ScoreBox(this);
    Text3->setGeometry(592, 24, 398, 128);
    Text3->setWordWrapMode(QTextOption::WrapAnywhere);
    Text3->setToolTip(
        QStringLiteral("在窗体空白处点击鼠标可以有效地缩小窗体，方便在桌面放置乐谱，再次点击即可恢复！"));
    const QString scoreCaptions[5] = {QStringLiteral("试听"), QStringLiteral("删除"),
                                      QStringLiteral("打开"), QStringLiteral("清空"),
                                      QStringLiteral("保存")};
    for (int i = 0; i < 5; ++i) Yuepu[i] = button(this, scoreCaptions[i], 592 + 67 * i, 158, 62, 28);
    XINJIAN = button(this, QStringLiteral("新建"), 927, 158, 63, 28);

    auto* recorder = new QFrame(this);
    recorder->setGeometry(592, 194, 230, 64);
    recorder->setFrameShape(QFrame::StyledPanel);
    for (int i = 0; i < 3; ++i) {
        Image1[i] = new QToolButton(recorder);
        Image1[i]->setGeometry(8 + 36 * i, 6, 32, 32);
        Image1[i]->setAutoRaise(true);
        Image1[i]->setIconSize(QSize(28, 28));
        Image1[i]->setIcon(res::LoadResPicture(res::PlayIdle + 2 * i));
    }
    Label12 = label(recorder, QStringLiteral("00:00"), 8, 40, 104, 20);
    Label12->setAlignment(Qt::AlignCenter);
    BcLY = button(recorder, QStringLiteral("保存"), 124, 10, 96, 28);
    BcLY->setEnabled(false);

    BJCK = button(this, QStringLiteral("编辑"), 836, 194, 74, 30);
    BJCK->setToolTip(QStringLiteral("使用音乐编辑窗口进行音乐编辑！"));
    Command1 = button(this, QStringLiteral("退出"), 916, 194, 74, 30);
    Command1->setToolTip(QStringLiteral("退出程序！"));

    // ---- the damper strip and the 65 keys: white keys side by side, black keys over them
    Label1 = label(this, QString(), 0, kKeysTop - 8, kClientWidth, kClientHeight - kKeysTop + 8);
    Label1->setToolTip(
        QStringLiteral("在窗体空白处点击鼠标可以有效地缩小窗体，方便在桌面放置乐谱，再次点击即可恢复！"));
    Label1->setAutoFillBackground(true);
    QPalette damper = Label1->palette();
    damper.setColor(QPalette::Window, QColor(96, 40, 40));
    Label1->setPalette(damper);
    Label1->setMouseTracking(true);
    int white = 0;
    for (int i = 0; i < 65; ++i) {
        auto* key = new QLabel(this);
        key->setScaledContents(true);
        key->setAutoFillBackground(true);
        QPalette pal = key->palette();
        if (isBlackKey(i)) {
            key->setGeometry(3 + kWhiteKeyWidth * white - kBlackKeyWidth / 2, kKeysTop, kBlackKeyWidth,
                             kBlackKeyHeight);
            pal.setColor(QPalette::Window, Qt::black);
        } else {
            key->setGeometry(3 + kWhiteKeyWidth * white, kKeysTop, kWhiteKeyWidth,
                             kClientHeight - kKeysTop);
            pal.setColor(QPalette::Window, Qt::white);
            ++white;
        }
        key->setPalette(pal);
        Picture1[i] = key;
    }
    for (int i = 0; i < 65; ++i)
        if (isBlackKey(i)) Picture1[i]->raise();
    Picture2->raise();   // the enlarged map covers the top of the window, never the keys

    // ---- timers (designed intervals; all off)
    Timer1 = new forms::FormTimer(this, 80, false);
    Timer2 = new forms::FormTimer(this, 1000, false);
    Timer3 = new forms::FormTimer(this, 20, false);
    BZDS = new forms::FormTimer(this, 0, false);
    HXYS = new forms::FormTimer(this, 0, false);
    Lyjsj = new forms::FormTimer(this, 1000, false);
}

void Form1::SetKeyPicture(int Index, int PictureId)
{
    // Pictures 102..105 drawn at the key sizes, once each.
    static std::array<QPixmap, 4> cache;
    const int slot = PictureId - res::WhiteKeyUp;
    if (slot < 0 || slot > 3) return;
    if (cache[slot].isNull()) {
        const bool black = PictureId == res::BlackKeyUp || PictureId == res::BlackKeyDown;
        const QSize size = black ? QSize(kBlackKeyWidth, kBlackKeyHeight)
                                 : QSize(kWhiteKeyWidth, kClientHeight - kKeysTop);
        cache[slot] = res::LoadResPicture(PictureId, size);
    }
    Picture1[Index]->setPixmap(cache[slot]);
    KeyPicture[Index] = PictureId;
}

}  // namespace keyboard
