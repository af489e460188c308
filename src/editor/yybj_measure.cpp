// The measure shown: melody rows and step boxes committed into the tables, the measure bar,
// and the commands "清空", "插入" and "设置".
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "editor/measure_header.h"
#include "editor/score_model.h"
#include "editor/yybj.h"
#include "forms/dialogs.h"
#include "forms/focus.h"
#include "midi/state.h"

#include <QIntValidator>
#include <QSignalBlocker>
#include <algorithm>

namespace editor {

void YYBJ::wireMeasure()
{
    for (MelodyRowEdit* row : YF1) row->installEventFilter(this);
    for (int r = 0; r < 5; ++r) wireStepBox(r, 0);
    // The number box takes digits only: what it holds is a measure number.
    XJZS->setValidator(new QIntValidator(0, kMeasureSlots - 1, XJZS));
    connect(HScroll1, &QScrollBar::valueChanged, this, [this] { HScroll1_Change(); });
    connect(QinKong, &QPushButton::clicked, this, [this] { QinKong_Click(); });
    connect(CHARU, &QPushButton::clicked, this, [this] { CHARU_Click(); });
    connect(ZDXJZS, &QPushButton::clicked, this, [this] { ZDXJZS_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(JPFL[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) JPFL_Click(i);
        });
}

void YYBJ::wireStepBox(int box, int Index)
{
    connect(DJY[box][Index], &QToolButton::toggled, this, [this, box, Index] { DJY_Click(box, Index); });
}

bool YYBJ::filterMeasure(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::FocusOut || !forms::isControlFocusChange(event)) return false;
    if (const int row = melodyRowOf(watched); row >= 0) YF1_LostFocus(row);
    return false;
}

int YYBJ::melodyRowOf(const QObject* control) const
{
    if (!control) return -1;
    const auto it = std::find(YF1.begin(), YF1.end(), control);
    return it == YF1.end() ? -1 : int(it - YF1.begin());
}

int YYBJ::Steps() const { return fields().GridLastStep + 1; }

void YYBJ::YF1_LostFocus(int Index)
{
    const QString shown = commitMelodyRow(Index, fields().CurMeasure, YF1[Index]->text(), Steps());
    if (YF1[Index]->text() != shown) YF1[Index]->showText(shown);
}

void YYBJ::DJY_Click(int box, int Index)
{
    commitPercussionStep(kMelodyRows + box, fields().CurMeasure, Index, DJY[box][Index]->isChecked(), Steps());
}

void YYBJ::CommitEditedRow()
{
    // The window's focused control, also while another window or a box is in front.
    if (const int row = melodyRowOf(focusWidget()); row >= 0) YF1_LostFocus(row);
}

void YYBJ::HScroll1_Change()
{
    CommitEditedRow();
    ShowBarMeasure();
}

void YYBJ::ShowBarMeasure()
{
    auto& f = fields();
    f.CurMeasure = HScroll1->value();
    // A measure with a header of its own brings its settings; any other leaves them as they are.
    if (f.CurMeasure < kMeasureSlots && hasHeader(f.MeasureHeaders[f.CurMeasure])) CXTSB();
    ShowMeasure();
}

void YYBJ::ShowMeasure()
{
    auto& f = fields();
    const auto& p = piece();
    // No measure past the cells is ever shown.
    f.CurMeasure = std::clamp(f.CurMeasure, 0, maxMeasureTotal(Steps()));
    const int32_t m = f.CurMeasure;
    XJZS->setText(QString::number(m));
    XJXSS->setText(QStringLiteral("实际小节数是(%1-%2)小节").arg(2 * m + 1).arg(2 * m + 2));
    for (int i = 0; i < 7; ++i) YF1[i]->showText(p.MeasureText[i][m]);
    ShowStepBoxes();
}

void YYBJ::ShowStepBoxes()
{
    const auto& p = piece();
    const int S = Steps();
    const int32_t m = fields().CurMeasure;
    if (!pieceFits(m, S)) return;
    // The boxes show the cells; their click handler, which records a user's click into the
    // piece, does not run.
    for (int r = 0; r < 5; ++r)
        for (int k = 0; k < std::min<int>(S, int(DJY[r].size())); ++k) {
            const QSignalBlocker block(DJY[r][k]);
            DJY[r][k]->setChecked(p.CellTokens[kMelodyRows + r][m * S + k] == QLatin1String("O"));
        }
}

// The command buttons take the focus when clicked: a row being edited has been committed into
// its measure before their handlers run.

void YYBJ::QinKong_Click()
{
    clearMeasure(fields().CurMeasure, Steps());
    for (MelodyRowEdit* row : YF1) row->showText(QString());
    ShowStepBoxes();
}

void YYBJ::CHARU_Click()
{
    const int S = Steps();
    if (!canInsertMeasure(S)) {
        forms::MsgBox(QStringLiteral("已经到了最后一个软件小节（最多%1个），不能再插入新的小节！")
                          .arg(maxMeasureTotal(S) + 1),
                      this);
        return;
    }
    // The piece changes shape: what plays ends first.
    EndPlayback();
    insertMeasure(S);
    // The measure left keeps its hits: the boxes show the new, empty measure.
    for (MelodyRowEdit* row : YF1) row->showText(QString());
    ShowStepBoxes();
    XJZS->setText(QString::number(fields().CurMeasure));
    HScroll1->setMaximum(piece().MeasureTotal);
}

void YYBJ::ZDXJZS_Click()
{
    const int S = Steps();
    const auto answer = forms::InputBox(
        QStringLiteral("请输入音乐需要的小节总数\r\n     （音乐每两小节为软件的一小节）"),
        QStringLiteral("选择小节总数"), QString(), this);
    const MeasureCountResult r = measureCountAnswer(answer, S);
    if (r.kind == MeasureCountResult::OutOfRange)
        forms::MsgBox(QStringLiteral("小节总数只能是1到%1之间的整数！").arg(r.highest), this);
    if (r.kind != MeasureCountResult::Set) return;
    EndPlayback();   // the piece changes length: what plays ends first
    setMeasureTotal(r.measureTotal, S);
    HScroll1->setMaximum(piece().MeasureTotal);
}

}  // namespace editor
