// The editor window's controls, made once at their designed places and set to their designed
// values at every opening, and the layout of the grid for the three time signatures.
//
// Client area 747 x 543 px at "2/4". Top line: flags, crescendo depth, the measure shown. Left:
// row captions and instruments; middle: the grid panel (seven melody rows, five rows of step
// boxes); right: volumes, the file and playback buttons, help and exit. Bottom: device list,
// measure bar and commands, key, tempo and time signature, the recorder panel, and two lines
// of text.
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "editor/score_model.h"
#include "editor/yybj.h"
#include "forms/controls.h"
#include "forms/dialogs.h"
#include "forms/geometry.h"
#include "forms/option_button.h"
#include "midi/state.h"

#include <QSignalBlocker>
#include <algorithm>
#include <memory>
#include <vector>

namespace editor {
namespace {

using forms::placed;
constexpr auto label = placed<QLabel>;
constexpr auto button = placed<QPushButton>;

constexpr int kClientHeight = 543;
constexpr int kFrameWidth = 6;        // outer width minus client width, in pixels
constexpr int kStepBoxSize = 20;
constexpr int kPicture3Gap = 175;     // Picture3's x = Picture1's width + 175
constexpr int kStepClockInterval = 100;

const QColor kBackground(64, 64, 64);
const QColor kCommandColour(192, 192, 255);
const QColor kFileColour(255, 192, 192);
const QColor kExitColour(128, 255, 255);

// The layout of one time signature.
struct StepsLayout {
    int steps;
    int rowWidth;      // YF1 width
    int gridWidth;     // Picture1 width
    int outerWidth;    // window, twips
    int left;          // window left, twips
};
constexpr StepsLayout kLayouts[3] = {
    {16, 325, 465, 11300, 1935},
    {24, 486, 490, 11670, 1735},
    {32, 648, 652, 14100, 635},
};

// The smallest layout that holds S steps: a piece of another step count (from an edit file) is
// shown whole in the layout of the next time signature up.
const StepsLayout* layoutFor(int S)
{
    for (const StepsLayout& l : kLayouts)
        if (l.steps >= S) return &l;
    return nullptr;
}

// The palette entry of step column i: the beat's colour, cycling over four beats.
int beatColour(int i)
{
    static const int colours[4] = {13, 10, 9, 14};
    return colours[(i / 4) % 4];
}

void setColour(QWidget* w, QPalette::ColorRole role, const QColor& c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

void setBackground(QWidget* w, const QColor& c)
{
    w->setAutoFillBackground(true);
    setColour(w, QPalette::Window, c);
}

// A list with nothing chosen and, when it can be typed into, no text.
void chooseNothing(QComboBox* c)
{
    c->setCurrentIndex(-1);
    if (c->isEditable()) c->setEditText(QString());
}

// A step box: a toggle button in its beat colour, darker and pressed in when ticked.
QToolButton* stepBox(QWidget* parent, int x, int y, int colour)
{
    auto* b = new QToolButton(parent);
    b->setCheckable(true);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setGeometry(x, y, kStepBoxSize, kStepBoxSize);
    const QColor c = forms::QBColor(colour);
    setColour(b, QPalette::Button, c);
    b->setStyleSheet(QStringLiteral("QToolButton { background: %1; border: 1px solid #303030; }"
                                    "QToolButton:checked { background: %2; border: 3px inset #000000; }")
                         .arg(c.name(), c.darker(220).name()));
    return b;
}

}  // namespace

QString verticalCaption(const QString& text)
{
    return text.split(QString(), Qt::SkipEmptyParts).join(QLatin1Char('\n'));
}

QString flatButtonStyle(const QColor& colour, const QString& face, const QString& selected)
{
    // An indicator of 0 px still draws its border as a dot: it has none.
    return QStringLiteral("QPushButton, QRadioButton, QCheckBox { background: %1; color: black;"
                          " border: 2px outset %2; %3 }"
                          "QPushButton:pressed, QRadioButton:checked, QCheckBox:checked { border: 2px inset %4; %5 }"
                          "QPushButton:disabled, QRadioButton:disabled, QCheckBox:disabled { color: rgb(128, 128, 128); }"
                          "QRadioButton::indicator, QCheckBox::indicator { width: 0px; height: 0px; border: none; }")
        .arg(colour.name(), colour.darker(120).name(), face, colour.darker(200).name(), selected);
}

void YYBJ::createControls()
{
    Surface = new QWidget(this);
    setBackground(Surface, kBackground);
    setColour(Surface, QPalette::WindowText, Qt::white);
    QFont f(QStringLiteral("WenQuanYi Zen Hei"), 9);
    Surface->setFont(f);
    QWidget* w = Surface;

    // ---- top line
    Picture4 = new QWidget(w);
    Picture4->setGeometry(0, 5, 81, 20);
    QFont small(f);
    small.setPointSize(8);
    Check1[0] = placed<QCheckBox>(Picture4, QStringLiteral("颤音"), 0, 0, 33, 20);
    Check1[1] = placed<QCheckBox>(Picture4, QStringLiteral("渐强弱"), 32, 0, 49, 20);
    Check1[0]->setToolTip(QStringLiteral("使第一声道的乐器产生颤音效果！"));
    Check1[1]->setToolTip(QStringLiteral(
        "在当前小节的开始或结尾使用渐强或减弱的声音效果(当深度刻度为正时是渐强，为负时是渐弱，建议数值为+10和-3)！"));
    QFont smaller(f);
    smaller.setPointSize(7);
    // Dark captions on the light face of a check box, readable on the dark window.
    for (QCheckBox* c : Check1) {
        c->setFont(smaller);
        c->setStyleSheet(QStringLiteral("QCheckBox { spacing: 1px; background: rgb(192, 192, 192); color: black; }"));
    }
    Label7 = label(w, QString(), 88, 2, 73, 17);
    setColour(Label7, QPalette::WindowText, QColor(255, 255, 0));
    Label7->setFont(small);
    HScroll3 = new QScrollBar(Qt::Horizontal, w);
    HScroll3->setGeometry(82, 16, 81, 9);
    HScroll3->setRange(-20, 20);
    XJXS = label(w, QStringLiteral("正在编辑软件第"), 208, 3, 132, 17);
    XJZS = forms::lineEdit(w, 344, 0, 49, 18, 4);
    Label4 = label(w, QStringLiteral("小节"), 400, 3, 40, 17);
    XJXSS = label(w, QString(), 455, 5, 180, 17);
    setColour(XJXSS, QPalette::WindowText, QColor(255, 192, 255));

    // ---- row captions and instruments
    static const int captionY[12] = {30, 62, 94, 126, 158, 190, 222, 250, 282, 315, 347, 380};
    static const int listY[12] = {29, 61, 93, 125, 158, 190, 222, 250, 282, 314, 346, 378};
    for (int i = 0; i < 12; ++i) {
        const QString caption = i == 0 ? QStringLiteral("含颤音") : QStringLiteral("乐器%1").arg(i + 1);
        QLabel* l = label(w, caption, 0, captionY[i], 62, 20);
        if (i < 10) Label1[i] = l;
        else if (i == 10) Label6 = l;
        else Label8 = l;
        SYYQ[i] = forms::combo(w, 64, listY[i], 97, 22);
        SYYQ[i]->setEditable(false);
    }

    // ---- the grid panel: melody rows and the designed column 0 of the step boxes
    Picture1 = new QFrame(w);
    Picture1->setGeometry(168, 24, 465, 381);
    setBackground(Picture1, kBackground);
    QFont rowFont(QStringLiteral("WenQuanYi Zen Hei Mono"));
    rowFont.setPointSizeF(14.25);
    for (int i = 0; i < 7; ++i) {
        YF1[i] = new MelodyRowEdit(Picture1);
        YF1[i]->setGeometry(0, 32 * i, 325, 27);
        YF1[i]->setFont(rowFont);
        setColour(YF1[i], QPalette::Text, Qt::white);
    }
    for (int r = 0; r < int(DJY.size()); ++r) DJY[r].assign(1, stepBox(Picture1, 0, 224 + 32 * r, 13));

    // ---- right-hand column
    Picture3 = new QWidget(w);
    Picture3->setGeometry(640, 24, 104, 473);
    setBackground(Picture3, kBackground);
    static const int volumeY[12] = {0, 33, 65, 98, 131, 163, 196, 224, 256, 288, 320, 352};
    const QStringList volumes = forms::numberItems(20, 120, 10);
    for (int i = 0; i < 12; ++i) YQYL[i] = forms::combo(Picture3, 0, volumeY[i], 49, 22, volumes);
    DRYP = button(Picture3, verticalCaption(QStringLiteral("导入记录乐谱")), 56, 0, 41, 84);
    DkBianji = button(Picture3, verticalCaption(QStringLiteral("打开编辑文件")), 56, 96, 41, 84);
    ST1 = placed<forms::DrawnAsButton<forms::OptionButton>>(Picture3, verticalCaption(QStringLiteral("试听本节效果")),
                                                             56, 192, 41, 84);
    ST2 = placed<forms::DrawnAsButton<QCheckBox>>(Picture3, QString(), 56, 288, 41, 84);
    // ST1 stands alone: a click only selects it, and the end of playback clears it.
    for (QWidget* b : std::initializer_list<QWidget*>{DRYP, DkBianji, ST1, ST2})
        b->setStyleSheet(flatButtonStyle(kCommandColour, QStringLiteral("font-size: 7pt;")));
    DRYP->setToolTip(QStringLiteral("导入用电子琴演奏或编辑的乐谱进行全新编辑！"));
    DkBianji->setToolTip(QStringLiteral("打开以前保存的编辑文件再次进行编辑或录音！"));
    ST1->setToolTip(QStringLiteral("只要有修改的小节都应试听以便软件记住你的修改！"));
    ST2->setToolTip(QStringLiteral("试听编辑的音乐效果，可以随时停止进行编辑！"));
    BCBJ = button(Picture3, QStringLiteral("保存编辑"), 0, 380, 97, 25);
    BZWJ = button(Picture3, QStringLiteral("帮  助"), 0, 410, 97, 25);
    TUICHU = button(Picture3, QStringLiteral("退出窗口"), 0, 440, 97, 25);
    BCBJ->setToolTip(QStringLiteral("保存正在编辑的音乐编辑，以备再次修改编辑！"));
    TUICHU->setToolTip(QStringLiteral("退出编辑窗口返回主电子琴界面！"));

    // ---- device list, measure bar and commands
    ComDevies = forms::combo(w, 4, 408, 197, 22);
    ComDevies->setEditable(false);
    HScroll1 = new QScrollBar(Qt::Horizontal, w);
    HScroll1->setGeometry(208, 409, 233, 20);
    HScroll1->setPageStep(1);   // a click beside the handle or a wheel notch: one measure
    ZDXJZS = button(w, QStringLiteral("设置"), 445, 409, 41, 20);
    CHARU = button(w, QStringLiteral("插入"), 494, 409, 41, 20);
    QinKong = button(w, QStringLiteral("清空"), 543, 409, 41, 20);
    BCBXJ = button(w, QStringLiteral("保存"), 592, 409, 41, 20);
    ZDXJZS->setToolTip(QStringLiteral("设置音乐所需小节总数，修改后自动演奏时将演奏到设定值！"));
    CHARU->setToolTip(QStringLiteral("在当前小节后插入新的小节！后面本来有的小节将被覆盖！"));
    BCBXJ->setToolTip(QStringLiteral("对于修改了乐器，音量等项目的小节请点击保存该小节的设置！"));
    QinKong->setToolTip(QStringLiteral("清空并重新编辑当前小节！"));
    // Flat in their table colours, like the tall buttons.
    for (QPushButton* b : {ZDXJZS, CHARU, QinKong, BCBXJ}) b->setStyleSheet(flatButtonStyle(kCommandColour));
    for (QPushButton* b : {BCBJ, BZWJ}) b->setStyleSheet(flatButtonStyle(kFileColour));
    TUICHU->setStyleSheet(flatButtonStyle(kExitColour));

    // ---- key, tempo and time signature
    Picture5 = new QWidget(w);
    Picture5->setGeometry(0, 432, 417, 41);
    setBackground(Picture5, kBackground);
    YINDIAO = label(Picture5, QStringLiteral("音调"), 0, 11, 32, 17);
    DQYD = forms::combo(Picture5, 32, 8, 40, 22,
                        {QStringLiteral("C"), QStringLiteral("C#"), QStringLiteral("D"), QStringLiteral("D#"),
                         QStringLiteral("E"), QStringLiteral("F"), QStringLiteral("F#"), QStringLiteral("G"),
                         QStringLiteral("G#"), QStringLiteral("A"), QStringLiteral("A#"), QStringLiteral("B")});
    DQYD->setEditable(false);
    DQYD->setToolTip(QStringLiteral("选择音乐使用的音调！"));
    SUDU = label(Picture5, QStringLiteral("速度"), 80, 11, 40, 17);
    DQSUDU = forms::combo(Picture5, 120, 8, 45, 22, forms::numberItems(60, 120, 5));
    DQSUDU->setStyleSheet(QStringLiteral("QComboBox { padding-left: 0px; }"));   // room for "255"
    DQSUDU->setToolTip(QStringLiteral("调整音乐演奏的速度，除选择已有的速度外允许自行填写50到255之间的正整数！"));
    Label5 = label(Picture5, QStringLiteral("拍/分钟"), 168, 10, 64, 17);
    JZLX = label(Picture5, QStringLiteral("节奏类型"), 240, 11, 64, 17);
    Picture2 = new QWidget(Picture5);
    Picture2->setGeometry(309, 0, 107, 37);
    static const char* const metres[3] = {"2/4", "3/4", "4/4"};
    for (int i = 0; i < 3; ++i) {
        JPFL[i] = placed<forms::DrawnAsButton<QRadioButton>>(Picture2, QString::fromLatin1(metres[i]), 35 * i, 0, 33, 33);
        JPFL[i]->setToolTip(QStringLiteral("选择音乐节奏类型为%1拍！").arg(QString::fromLatin1(metres[i])));
    }
    Picture2->setStyleSheet(flatButtonStyle(QColor(192, 192, 192), QString(),
                                            QStringLiteral("background: rgb(255, 255, 255); font-weight: bold;")));

    // ---- recorder panel and the two text lines
    Picture6 = new QWidget(w);
    Picture6->setGeometry(444, 432, 188, 65);
    setBackground(Picture6, kBackground);
    createRecorderPanel();
    Label2 = label(w, verticalCaption(QStringLiteral("录音机")), 423, 440, 25, 49);
    Label3 = label(w, QStringLiteral("欢迎使用音乐编辑器：逐个小节写下旋律和打击乐，试听满意后保存。"), 8, 480, 409, 17);
    Label9 = label(w, QStringLiteral(
        "    本电子琴用\"LWKHM\"分别代表最低;低;中;高;最高五个音区,使用\"CDEFGAB\"分别代表\"1234567\"七个唱名,"
        "把它们连起来组成一个音符(如(KC)代表中音\"1\",使用\"CC,DM,EM,FF,GM,AM\"分别代表"
        "\"135,246,357,461,572,613\"六个和弦并已经进行了转位,对于不同的音调软件自动进行转换,第一声道的乐器允许使用颤音,"
        "渐强渐弱全部有效,软件的每一个小节都允许更换乐器和调整音量,录音可以使用最好达到CD音质的选项。"),
        0, 500, 745, 41);
    Label9->setWordWrap(true);
    Label9->setFont(smaller);   // three lines within the window
    Label9->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // ---- timers (designed intervals; both off)
    YYDS = new forms::FormTimer(Surface, kStepClockInterval, false);
    Lyjsj = new forms::FormTimer(Surface, 1000, false);
    Surface->show();
}

void YYBJ::setDesignedValues()
{
    // The step columns beyond the first go before the controls are held quiet for the rest of
    // this function: a control must outlive its blocker.
    removeStepColumns();
    std::vector<std::unique_ptr<QSignalBlocker>> quiet;
    for (QWidget* panel : std::initializer_list<QWidget*>{Surface, Picture1, Picture2, Picture3, Picture4, Picture5, Picture6})
        for (QWidget* control : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            quiet.push_back(std::make_unique<QSignalBlocker>(control));

    // ---- top line
    for (QCheckBox* c : Check1) c->setChecked(false);
    Label7->setText(QStringLiteral("深度(-20_20)"));
    HScroll3->setValue(0);
    XJZS->setText(QStringLiteral("0"));
    XJXSS->setText(QStringLiteral("实际小节数是(1-2)小节"));

    // ---- rows: the instrument lists are filled by the first set-up; one column of step boxes
    for (QComboBox* c : SYYQ) c->clear();
    for (MelodyRowEdit* row : YF1) row->showText(QString());
    for (const auto& row : DJY) row[0]->setChecked(false);
    for (QComboBox* c : YQYL) chooseNothing(c);
    forms::unselectOption(ST1);
    ST1->setEnabled(true);
    ST2->setChecked(false);
    ST2->setEnabled(true);
    ST2->setText(verticalCaption(QStringLiteral("从开始处启动")));
    BZWJ->setEnabled(true);

    // ---- bottom: the device list is filled by the activation
    ComDevies->clear();
    HScroll1->setRange(0, 200);
    HScroll1->setValue(0);
    chooseNothing(DQYD);
    chooseNothing(DQSUDU);
    JPFL[0]->setChecked(true);
    setRecorderPanelDesigned();

    YYDS->setEnabled(false);
    YYDS->setInterval(kStepClockInterval);
    DuiHu = forms::CommonDialog{};
    if (QWidget* focused = focusWidget()) focused->clearFocus();
    layoutForSteps(16);
}

void YYBJ::JZXSGC()
{
    auto& f = fields();
    for (int i = 1; i <= f.GridLastStep; ++i)
        for (int r = 0; r < 5; ++r) {
            QToolButton* first = DJY[r][0];
            // Columns past the widest layout stand at column 0's place, in its colour.
            const bool placed = i < 32;
            QToolButton* box = stepBox(Picture1, placed ? 20 * i + i / 4 : first->x(), first->y(),
                                       placed ? beatColour(i) : 13);
            DJY[r].push_back(box);
            wireStepBox(r, i);
            box->setVisible(true);
        }
    f.GridLoadedSteps = f.GridLastStep;
}

void YYBJ::removeStepColumns()
{
    for (auto& row : DJY) {
        while (row.size() > 1) {
            delete row.back();
            row.pop_back();
        }
    }
}

void YYBJ::JPFL_Click(int Index)
{
    auto& f = fields();
    CommitEditedRow();
    const int oldS = Steps();
    const int newS = stepsForTimeSignature(Index);
    // The piece must fit the cells under the new time signature; otherwise the option goes back.
    if (!fitsStepsPerMeasure(oldS, newS)) {
        forms::MsgBox(QStringLiteral("乐曲太长，改为%1拍后超出了最多%2个软件小节，不能更改节奏类型！")
                          .arg(JPFL[Index]->text())
                          .arg(maxMeasureTotal(newS) + 1),
                      this);
        const int back = timeSignatureForSteps(oldS);
        if (back >= 0) {
            QSignalBlocker block(JPFL[back]);
            JPFL[back]->setChecked(true);
        }
        return;
    }
    EndPlayback();   // the measures change: what plays ends first
    changeStepsPerMeasure(oldS, newS);
    f.GridLastStep = int16_t(newS - 1);
    layoutForSteps(newS);
    removeStepColumns();
    JZXSGC();
    // The measure bar reaches every measure of the piece and none past the last one that fits,
    // and the measure shown is shown again as the new time signature cuts it.
    HScroll1->setMaximum(std::min(std::max(HScroll1->maximum(), piece().MeasureTotal), maxMeasureTotal(newS)));
    if (f.CurMeasure > maxMeasureTotal(newS)) f.CurMeasure = maxMeasureTotal(newS);
    ShowMeasure();
}

void YYBJ::layoutForSteps(int S)
{
    for (MelodyRowEdit* row : YF1) row->setTypingLimit(2 * S);
    const StepsLayout* l = layoutFor(S);
    if (!l) return;
    for (MelodyRowEdit* row : YF1) row->resize(l->rowWidth, row->height());
    Picture1->resize(l->gridWidth, Picture1->height());
    Picture3->move(Picture1->width() + kPicture3Gap, Picture3->y());
    const int clientWidth = forms::twipsToPx(l->outerWidth) - kFrameWidth;
    Surface->setGeometry(0, 0, clientWidth, kClientHeight);
    setFixedSize(clientWidth, kClientHeight);
    move(forms::twipsToPx(l->left), y());
}

}  // namespace editor
