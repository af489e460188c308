// Rhythm accompaniment: the step grid, the percussion voices, tempo and metre, the free rhythm
// clock, the accompaniment step and the rhythm files.
#include "forms/dialogs.h"
#include "forms/focus.h"
#include "forms/textfile.h"
#include "keyboard/accompaniment.h"
#include "keyboard/file_list.h"
#include "keyboard/form1.h"
#include "keyboard/panel_texts.h"
#include "keyboard/rhythm_file.h"
#include "midi/midi_out.h"
#include "midi/percussion.h"
#include "midi/state.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>

namespace keyboard {

void Form1::wireRhythm()
{
    for (int r = 0; r < 3; ++r) {
        wireStepBox(r, 0);
        // The percussion lists only offer their items: a typed text would stand for no drum.
        LblInst[r]->setEditable(false);
        connect(LblInst[r], &QComboBox::currentIndexChanged, this, [this, r] { LblInst_Click(r); });
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
    connect(File1, &QListWidget::currentRowChanged, this, [this] {
        File1ChangedByPress = QGuiApplication::mouseButtons() != Qt::NoButton;
        File1_Click();
    });
    // A press on the entry that is already selected applies it again, as a click on a file
    // list does (to undo edits of the grid, or to close the list).
    connect(File1, &QListWidget::itemPressed, this, [this] {
        if (!File1ChangedByPress) File1_Click();
        File1ChangedByPress = false;
    });
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
    if (watched == SD && event->type() == QEvent::FocusOut && forms::isControlFocusChange(event))
        SD_LostFocus();
    return false;
}

namespace {

const QString kRhythmPattern = QStringLiteral("*.bin");
const QString kOpenError = QStringLiteral("打开节奏文件出错，请检查！");

midi::PercussionCell& cell(int column, int step) { return midi::state().PercussionCells[column][step]; }

// The pattern the rhythm tab shows. A list without a chosen entry has no value for its field, so
// the record would lose its layout: nullopt then.
std::optional<RhythmPattern> patternOfControls(const Form1& f)
{
    RhythmPattern p;
    p.velocityIndex = f.VsbVol->currentIndex();
    p.metre = f.Metre();
    for (int r = 0; r < kRhythmRows; ++r) p.voices[r] = f.LblInst[r]->currentIndex();
    bool complete = p.velocityIndex >= 0 && p.velocityIndex < kRhythmVelocities && p.metre >= 0;
    for (int v : p.voices) complete = complete && v >= 0 && v < kRhythmVoices;
    if (!complete) return std::nullopt;
    for (int box = 0; box < kRhythmBoxes; ++box) {
        p.ticked[0][box] = f.BZA[box] && f.BZA[box]->isChecked();
        p.ticked[1][box] = f.BZB[box] && f.BZB[box]->isChecked();
        p.ticked[2][box] = f.BZC[box] && f.BZC[box]->isChecked();
    }
    return p;
}

}  // namespace

// ---- tempo, metre, velocity ----------------------------------------------------------------

int16_t Form1::TempoStepMs() const
{
    // A text the tempo box takes counts as soon as it stands there; an emptied box, a text being
    // typed or a number out of range leaves the tempo accepted last.
    const auto typed = acceptTempo(SD->currentText());
    return int16_t(stepMsForTempo(typed ? *typed : AcceptedTempo));
}

int Form1::Metre() const
{
    for (int i = 0; i < 3; ++i)
        if (Option1[i]->isChecked()) return i;
    return -1;
}

int Form1::RhythmVelocity() const { return velocityFromText(VsbVol->currentText()); }

void Form1::RebuildRhythmRow(int row)
{
    const int index = LblInst[row]->currentIndex();
    const int note = index >= 0 ? index + 35 : cell(row, 0).Note;
    const int volume = RhythmVelocity();
    for (int step = 0; step < kRhythmSounding; ++step) {
        midi::PercussionCell& c = cell(row, step);
        c.Note = int16_t(note);
        c.Volume = int16_t(volume);
        c.Msg = midi::PercussionMsg(note, volume);
    }
}

// ---- the grid ---------------------------------------------------------------------------------

void Form1::BZA_Click(int Index) { cell(0, Index).Hit = BZA[Index]->isChecked() ? -1 : 0; }
void Form1::BZB_Click(int Index) { cell(1, Index).Hit = BZB[Index]->isChecked() ? -1 : 0; }
void Form1::BZC_Click(int Index) { cell(2, Index).Hit = BZC[Index]->isChecked() ? -1 : 0; }

void Form1::LblInst_Click(int Index)
{
    const int index = LblInst[Index]->currentIndex();
    if (index < 0) return;   // no voice chosen: the row keeps its messages
    const int volume = RhythmVelocity();
    for (int step = 0; step < kRhythmSounding; ++step) {
        midi::PercussionCell& c = cell(Index, step);
        c.Note = int16_t(index + 35);
        c.Msg = midi::PercussionMsg(index + 35, volume);
    }
}

void Form1::VsbVol_Change() { VsbVol_Click(); }

void Form1::VsbVol_Click()
{
    // Every sounding step of every metre, so that a later metre change finds no stale velocity.
    const int volume = RhythmVelocity();
    for (int row = 0; row < kRhythmRows; ++row)
        for (int step = 0; step < kRhythmSounding; ++step) {
            midi::PercussionCell& c = cell(row, step);
            c.Volume = int16_t(volume);
            c.Msg = midi::PercussionMsg(c.Note, volume);
        }
}

void Form1::Option1_Click(int Index)
{
    (void)Index;   // the options themselves say which metre is ticked
    const int metre = Metre();
    if (metre < 0) return;
    const bool fourBeats = metre != Metre34;
    midi::state().RhythmLastStep = fourBeats ? 15 : 11;
    for (auto* row : {&BZA, &BZB, &BZC})
        for (int i = 12; i <= 15; ++i)
            if ((*row)[i]) (*row)[i]->setVisible(fourBeats);
}

void Form1::BZXS()
{
    for (auto* row : {&BZA, &BZB, &BZC}) {
        for (int i = 12; i <= 14; ++i)
            if ((*row)[i]) (*row)[i]->setVisible(true);
        // Boxes coloured by beat: red on the first beat of each pair of eighths, yellow on the second.
        // The box itself takes the colour, not only its edge, so the beats are seen at a glance.
        for (int i = 1; i <= 15; ++i) {
            QCheckBox* box = (*row)[i];
            if (!box) continue;
            const QColor beat = (i / 2) % 2 == 0 ? QColor(255, 0, 0) : QColor(255, 255, 0);
            QPalette pal = box->palette();
            pal.setColor(QPalette::Window, beat);
            pal.setColor(QPalette::Base, beat);
            box->setPalette(pal);
            box->setAutoFillBackground(true);
        }
    }
}

// ---- tempo -------------------------------------------------------------------------------------

void Form1::SD_Click()
{
    const auto tempo = acceptTempo(SD->currentText());
    if (!tempo) {
        SD->setEditText(QString::number(tempoForStepMs(TempoStepMs())));
        return;
    }
    AcceptedTempo = *tempo;
    auto& s = midi::state();
    s.StepMs = int16_t(TempoStepMs());
    BZDS->setInterval(2 * s.StepMs);
    Timer1->setInterval(s.StepMs);
    YXYZ();
}

void Form1::SD_LostFocus()
{
    if (!acceptTempo(SD->currentText())) {
        SD->setEditText(QString::number(tempoForStepMs(TempoStepMs())));
        return;
    }
    SD_Click();
}

// ---- the free rhythm clock and the accompaniment step ----------------------------------------

void Form1::BzQd_Click()
{
    auto& s = midi::state();
    BZDS->setInterval(2 * TempoStepMs());
    if (BzQd->isChecked()) {
        s.CurStep = 0;
        s.RhythmStep = 0;
        s.ChordIndex = 1;
        BZDS->setEnabled(true);
        BzQd->setText(QStringLiteral("停止"));
    } else {
        BZDS->setEnabled(false);
        BzQd->setText(QStringLiteral("启动"));
        HX1K();
        HX2K();
    }
    YXYZ();
}

void Form1::BZDS_Timer()
{
    if (forms::midiErrorBoxOpen()) return;
    QCoreApplication::processEvents();
    if (!BZDS->enabled()) return;   // stopped by an event handled just now
    AccompanimentStep();
}

void Form1::AccompanimentStep()
{
    auto& s = midi::state();
    normaliseAccompanimentPositions();
    if (xuanyue->currentIndex() >= 1) BZHX();
    if (xuanyue->currentIndex() >= 1) BZHX2();
    if (s.CurStep % 2 == 0) {
        if (const auto accent = accentFor(s.RhythmStep, Metre()))
            midi::SendShortMsg(0xB9, 11, int16_t(*accent));
        midi::PlayRhythmStep();
        if (++s.RhythmStep > s.RhythmLastStep) s.RhythmStep = 0;
    }
    if (++s.CurStep > s.RhythmLastStep) {
        HX2K();   // voice 2 ends with the bar; voice 1 goes on
        if (++s.ChordIndex > s.ChordCount) s.ChordIndex = 1;
        s.CurStep = 0;
    }
}

// ---- rhythm files --------------------------------------------------------------------------------

void Form1::SaveJZwj()
{
    // The save button has refused an incomplete pattern before its dialog.
    const auto p = patternOfControls(*this);
    if (!p) return;
    if (!forms::writeLines(CommonDialog1.FileName, {rhythmRecord(*p, CommonDialog1.FileTitle)}))
        FJWZ->setText(QStringLiteral("节奏文件保存失败！"));
}

void Form1::OpenJZwj()
{
    const auto pattern = parseRhythmRecord(midi::state().RhythmFileText);
    if (!pattern) {
        forms::MsgBox(kOpenError, this);
        return;
    }
    // Each change runs the control's own handler, as the user's change would.
    VsbVol->setCurrentIndex(pattern->velocityIndex);
    Option1[pattern->metre]->setChecked(true);
    for (int r = 0; r < kRhythmRows; ++r) LblInst[r]->setCurrentIndex(pattern->voices[r]);
    std::array<QCheckBox*, 17>* rows[kRhythmRows] = {&BZA, &BZB, &BZC};
    const int stored[kRhythmRows] = {16, 16, 17};
    for (int r = 0; r < kRhythmRows; ++r)
        for (int box = 0; box < stored[r]; ++box)
            if (QCheckBox* b = (*rows[r])[box]) b->setChecked(pattern->ticked[r][box]);

    // The whole grid from the controls: the editor may have left other cells in these columns.
    for (int r = 0; r < kRhythmRows; ++r) {
        RebuildRhythmRow(r);
        for (int step = 0; step < kRhythmSounding; ++step) cell(r, step).Hit = pattern->ticked[r][step] ? -1 : 0;
    }
    cell(2, 16).Hit = pattern->ticked[2][16] ? -1 : 0;
    for (int column = 3; column <= 4; ++column)
        for (int step = 0; step < kRhythmSounding; ++step) cell(column, step).Hit = 0;
}

bool Form1::ApplyRhythmText(const QString& text)
{
    if (!parseRhythmRecord(text)) {
        forms::MsgBox(kOpenError, this);
        return false;
    }
    midi::state().RhythmFileText = text;
    OpenJZwj();
    return true;
}

void Form1::File1_Click()
{
    const int row = File1->currentRow();
    if (row < 0) return;
    const QString name = File1->item(row)->text();
    const auto text = readRhythmFileText(forms::joinPath(File1Path, name));
    // The label names the pattern in force: a file that is refused leaves it as it was.
    if (ApplyRhythmText(text ? forms::splitLines(*text).value(0) : QString()))
        Label11->setText(QString::number(row + 1) + QStringLiteral("★") + name);
    File1->setVisible(false);
}

void Form1::Cmdcill_Click(int Index)
{
    if (Index == 0) {
        QListWidgetItem* selected = File1->currentItem();
        if (!selected) {
            FJWZ->setText(QStringLiteral("没有选中要删除的节奏文件！"));
            return;
        }
        DeletePath = forms::joinPath(File1Path, selected->text());
        switch (DeleteFileAsked(DeletePath, QStringLiteral("节奏文件"), this)) {
        case DeleteResult::Kept: return;
        case DeleteResult::NoFile:
        case DeleteResult::Failed: FJWZ->setText(QStringLiteral("节奏文件无法删除！")); return;
        case DeleteResult::Deleted: break;
        }
        RefreshFileList(File1, File1Path, kRhythmPattern);
        if (File1->count() == 0) return;   // the grid keeps the deleted pattern
        const QString first = File1->item(0)->text();
        const auto text = readRhythmFileText(forms::joinPath(File1Path, first));
        if (ApplyRhythmText(text.value_or(QString()))) Label11->setText(first);
        return;
    }

    // A pattern that cannot be saved is refused before a name is asked for.
    if (!patternOfControls(*this)) {
        forms::MsgBox(QStringLiteral("请先为三行节奏选择打击乐器，再保存节奏文件！"), this);
        return;
    }
    forms::FileRequest request;
    request.filter = QStringLiteral("节奏bin|*.bin");
    request.initialDir = CommonDialog1.InitDir;
    request.flags = 2;
    const auto choice = forms::ShowSave(request, this);
    if (!choice) return;
    CommonDialog1.FileName = choice->path;
    CommonDialog1.FileTitle = choice->title;
    LastFilePath = choice->path;
    SaveJZwj();
}

}  // namespace keyboard
