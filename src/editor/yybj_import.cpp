// "导入记录乐谱": a score file of the keyboard's notation becomes a new piece in melody rows 0
// and 1. The file is chosen and read first; only a text file that could be read and holds a
// note, a rest or a stop replaces the shared score text and the piece.
#include "editor/editor_fields.h"
#include "editor/score_import.h"
#include "editor/score_model.h"
#include "editor/yybj.h"
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "midi/score_notation.h"
#include "midi/state.h"

#include <QSignalBlocker>

namespace editor {
namespace {

constexpr int kHelpButtonFlag = 16;
const QString kScoreFilter = QStringLiteral("编辑记录txt|*.txt");

}  // namespace

void YYBJ::DRYP_Click()
{
    CommitEditedRow();
    auto& s = midi::state();
    auto& f = fields();
    const auto choice = forms::ShowOpen({kScoreFilter, DuiHu.InitDir, kHelpButtonFlag, {}}, this);
    if (!choice) return;   // cancelled: the piece and the score text stay
    f.EditFileName = choice->path;
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto text = midi::readScoreFile(choice->path, &why);
    if (!text) {
        forms::MsgBox(midi::scoreFileRefusalText(why), this);
        return;
    }
    if (!holdsScore(*text)) {
        forms::MsgBox(QStringLiteral("这个文件里没有乐谱（没有音符、休止或停止记号），不能导入！"), this);
        return;
    }

    EndPlayback();   // the piece is replaced: what plays ends first
    // The walk starts at the first character and cell 0 of an empty piece; the rows are shown
    // afresh when it has ended.
    s.ScoreText = *text;
    editor::QKYP();
    const ImportWalk walk = YUEPUSB();
    DrYpsb();
    RememberSavedPiece();
    if (walk.cut) forms::MsgBox(importCutText(walk.cutMeasure), this);
}

ImportWalk YYBJ::YUEPUSB()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int S = Steps();
    const ImportWalk walk = walkScore(s.ScoreText, S, f, p, s);
    p.MeasureTotal = walk.measureTotal;
    {
        QSignalBlocker block(HScroll1);
        HScroll1->setMaximum(walk.measureTotal);
        HScroll1->setValue(0);
    }
    f.CurMeasure = HScroll1->value();
    return walk;
}

void YYBJ::DrYpsb()
{
    auto& p = piece();
    const int S = Steps();
    rebuildImportedRows(p, p.MeasureTotal, S);
    // Measure 0 is shown from the tables even when the bar already stood there: the boxes must
    // not keep the old piece's hits.
    ShowMeasure();
    fields().LastStep = S * p.MeasureTotal + S - 1;
}

}  // namespace editor
