// Measure headers and edit files: "保存" packs the settings of the measure shown into its header,
// which comes back whenever that measure is shown; "保存编辑" writes the whole piece as an edit
// file (".lnk"); "打开编辑文件" reads one, checks it and only then replaces the piece.
#include "editor/edit_file.h"
#include "editor/editor_fields.h"
#include "editor/grid_limits.h"
#include "editor/measure_header.h"
#include "editor/score_model.h"
#include "editor/yybj.h"
#include "forms/conv.h"
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/state.h"

#include <QSignalBlocker>
#include <algorithm>

namespace editor {
namespace {

constexpr int kHelpButtonFlag = 16;
constexpr int kOverwritePromptFlag = 2;
const QString kSaveFilter = QStringLiteral("乐谱编辑|*.lnk");
const QString kOpenFilter = QStringLiteral("编辑记录|*.lnk");

// Sets an editable combo's text; its handler runs only when the text changes.
void setComboText(QComboBox* combo, const QString& text)
{
    if (combo->currentText() != text) combo->setEditText(text);
}

}  // namespace

void YYBJ::wireFiles()
{
    connect(BCBXJ, &QPushButton::clicked, this, [this] { BCBXJ_Click(); });
    connect(BCBJ, &QPushButton::clicked, this, [this] { BCBJ_Click(); });
    connect(DkBianji, &QPushButton::clicked, this, [this] { DkBianji_Click(); });
    connect(DRYP, &QPushButton::clicked, this, [this] { DRYP_Click(); });
}

void YYBJ::BCBXJ_Click() { BCXJ(); }

void YYBJ::BCXJ()
{
    auto& s = midi::state();
    auto& f = fields();
    MeasureSettings settings;
    for (int i = 0; i < kRows; ++i) {
        settings.instrumentIndex[i] = SYYQ[i]->currentIndex();
        settings.volume[i] = RowVolume(i);
    }
    settings.depth = HScroll3->value();
    settings.vibrato = Check1[0]->isChecked() ? 1 : 0;
    settings.crescendo = Check1[1]->isChecked() ? 1 : 0;
    settings.key = DQYD->currentIndex();
    settings.tempo = forms::CInt(std::clamp(forms::Val(DQSUDU->currentText()), 0.0, 1000.0));

    const PackedHeader packed = packMeasureHeader(f.CurMeasure, settings);
    storeMeasureHeader(f, f.CurMeasure, packed);
    reachHeaderMeasure(f.CurMeasure, Steps());
    for (int i = 0; i < kRows; ++i) {
        s.TrackVolume[i] = int16_t(packed.trackVolume[i]);
        piece().TrackInstrument[i] = packed.trackInstrument[i];
    }
}

void YYBJ::CXTSB()
{
    auto& s = midi::state();
    auto& p = piece();
    auto& f = fields();
    const int32_t m = f.CurMeasure;
    if (m < 0 || m >= kMeasureSlots) return;
    const HeaderFields h = parseMeasureHeader(f.MeasureHeaders[m]);

    // Per row the volume, then the instrument; each control's handler runs as it changes.
    for (int i = 0; i < kRows; ++i) {
        if (h.volume[i]) {
            s.TrackVolume[i] = int16_t(std::min(*h.volume[i], 127));
            setComboText(YQYL[i], QString::number(*h.volume[i]));
        }
        if (const auto index = h.instrumentIndex[i]) {
            p.TrackInstrument[i] = trackInstrumentForIndex(i, *index);
            SYYQ[i]->setCurrentIndex(*index);
        }
    }
    f.MeasureKey[m] = h.keyText;
    f.MeasureTempo[m] = h.tempoText;
    if (h.key) DQYD->setCurrentIndex(*h.key);
    if (h.tempo) setComboText(DQSUDU, QString::number(*h.tempo));
    if (h.depth) HScroll3->setValue(*h.depth);
    if (h.vibrato) {
        p.Vibrato = *h.vibrato == 1;
        Check1[0]->setChecked(p.Vibrato);
    }
    if (h.crescendo) {
        p.Crescendo = *h.crescendo == 1;
        Check1[1]->setChecked(p.Crescendo);
    }

    // The rows' instruments go out again, and the measure's percussion hits take the rows'
    // keys and volumes.
    for (int i = 0; i < kMelodyRows; ++i) {
        const int program = p.TrackInstrument[i];
        if (program >= 0) midi::ProgramChange(int16_t(i), 0, int16_t(program));
    }
    const int S = Steps();
    if (pieceFits(m, S))
        for (int i = kMelodyRows; i < kRows; ++i) {
            const int32_t msg = midi::PercussionMsg(p.TrackInstrument[i] + 35, s.TrackVolume[i]);
            for (int c = m * S; c < m * S + S; ++c) s.PercussionCells[i - kMelodyRows][c].Msg = msg;
        }
    if (h.tempo) s.StepMs = int16_t(15000 / *h.tempo);
}

void YYBJ::BCBJ_Click() { BCBJWJ(); }

bool YYBJ::BCBJWJ()
{
    CommitEditedRow();
    auto& p = piece();
    auto& f = fields();
    // The piece is made whole before the dialog: every empty cell written out, every measure
    // without a header numbered.
    normaliseForSaving(p, f, p.MeasureTotal, Steps());
    const QStringList lines = editFileLines(p, f, p.MeasureTotal, Steps());
    // A character the edit file's encoding lacks would be written as "?": nothing is written,
    // and the user is told which character it is.
    if (const QString bad = forms::charOutsideGbk(lines.join(QString())); !bad.isEmpty()) {
        forms::MsgBox(QStringLiteral("编辑中的字符%1不能写入编辑文件，编辑没有保存。请先修改这个字符。").arg(forms::charForBox(bad)), this);
        return false;
    }
    const auto choice = forms::ShowSave({kSaveFilter, DuiHu.InitDir, kOverwritePromptFlag, {}}, this);
    if (!choice) return false;
    f.EditFileName = choice->path;
    if (!writeEditFile(choice->path, lines)) {
        forms::MsgBox(QStringLiteral("编辑文件保存失败，请检查文件夹和磁盘空间！"), this);
        return false;
    }
    savedPiece_ = lines;
    return true;
}

void YYBJ::DkBianji_Click()
{
    CommitEditedRow();
    auto& f = fields();
    const auto choice = forms::ShowOpen({kOpenFilter, DuiHu.InitDir, kHelpButtonFlag, {}}, this);
    if (!choice) return;   // cancelled: the piece stays
    f.EditFileName = choice->path;
    // Read and checked first: a file that cannot be loaded leaves the piece as it was.
    const EditFileResult read = readEditFile(choice->path);
    if (!read.piece) {
        forms::MsgBox(editFileErrorText(read.error), this);
        return;
    }
    EndPlayback();   // the piece is replaced: what plays ends first
    editor::QKYP();
    loadEditPiece(*read.piece, piece(), f);
    DKBJ();
    RememberSavedPiece();
}

void YYBJ::DKBJ()
{
    auto& f = fields();
    const int S = f.StepsPerMeasure;
    for (MelodyRowEdit* row : YF1) {
        row->setTypingLimit(2 * S);
        row->showText(QString());
    }
    f.GridLastStep = int16_t(S - 1);
    f.CurMeasure = 0;
    DKJZWJ();
    {
        QSignalBlocker block(HScroll1);
        HScroll1->setMaximum(piece().MeasureTotal);
        HScroll1->setValue(0);
    }
    // Measure 0 shown afresh: its header, rows, step boxes and captions.
    if (hasHeader(f.MeasureHeaders[0])) CXTSB();
    ShowMeasure();
    f.LastStep = piece().MeasureTotal * S + S - 1;
}

void YYBJ::DKJZWJ()
{
    const int S = Steps();
    // The option of a standard step count is selected without converting the piece: its cells
    // are already laid out at S steps. Other step counts keep the option and are shown in the
    // smallest layout that holds them.
    const int option = timeSignatureForSteps(S);
    if (option >= 0) {
        QSignalBlocker block(JPFL[option]);
        JPFL[option]->setChecked(true);
    }
    layoutForSteps(S);
    removeStepColumns();
    JZXSGC();
}

}  // namespace editor
