// The editor window's life cycle: opening (load, activation, first set-up), help and closing.
#include "editor/yybj.h"

#include "editor/edit_file.h"
#include "editor/editor_fields.h"
#include "editor/score_model.h"
#include "editor/step_sequencer.h"
#include "forms/dialogs.h"
#include "forms/geometry.h"
#include "forms/windows.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/wave_player.h"
#include "resources/strings.h"

#include <QCloseEvent>
#include <QSignalBlocker>
#include <memory>
#include <utility>
#include <vector>

namespace editor {
namespace {

const QString kRecordFolder = QStringLiteral("演奏记录");

// The instruments each row starts with: list indexes (rows 0..6 program + 1, rows 7..11
// percussion key - 35).
constexpr int kDefaultInstruments[12] = {2, 52, 79, 83, 5, 5, 5, 1, 3, 4, 41, 17};
constexpr int kDefaultVolumeItem = 5;   // "70"
constexpr int kDefaultTempoItem = 4;    // "80"

}  // namespace

YYBJ::YYBJ(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("音乐编辑器"));
    createControls();
    wireControls();
    forms::registerWindow(forms::window::Editor,
                          {[this] { Show(); }, [this] { hide(); }, [this] { return isVisible(); }});
}

YYBJ::~YYBJ() { forms::unregisterWindow(forms::window::Editor); }

bool YYBJ::eventFilter(QObject* watched, QEvent* event)
{
    if (filterMeasure(watched, event)) return true;
    if (filterSettings(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

void YYBJ::Show()
{
    // One opening at a time: a window already open is only brought to the front.
    if (isOpen()) {
        raise();
        activateWindow();
        return;
    }
    open_ = true;
    setDesignedValues();
    Form_Load();
    show();
    activateWindow();
    Form_Activate();
}

void YYBJ::wireControls()
{
    connect(BZWJ, &QPushButton::clicked, this, [this] { BZWJ_Click(); });
    connect(TUICHU, &QPushButton::clicked, this, [this] { TUICHU_Click(); });
    wireMeasure();
    wireSettings();
    wireFiles();
    wireSequencer();
    wireRecorder();
}

void YYBJ::Form_Load()
{
    auto& f = fields();
    f.RecBits = QStringLiteral("8");
    f.RecRate = QStringLiteral("44100");
    yinzi->setCurrentIndex(1);   // "好音质": its handler sets the same two values
    f.EditorReady = false;
    // The depth bar is a fresh control at 0, the vibrato, crescendo and start boxes are fresh and
    // unticked: what the steps play starts there too.
    f.CrescStep = 0;
    piece().Vibrato = false;
    piece().Crescendo = false;
    f.PlayingPiece = false;
    DuiHu.InitDir = midi::state().AppFolder + kRecordFolder + QLatin1Char('/');
}

void YYBJ::Form_Activate()
{
    auto& f = fields();
    if (!f.EditorReady) {
        f.CurMeasure = 0;
        f.GridLastStep = 15;
        setWindowTitle(QStringLiteral("音乐编辑器"));
        BJQD();
    }
    // Every opening reopens the first device of the list (normally the mapper).
    midi::ListMidiDevicesAndSelectFirst(ComDevies);
    platform::SetWaveVolume(0x70007000);   // 0x7000 on both channels
    editor::QKYP();
    f.GridLoadedSteps = 15;
    f.CrescLevel = 120;
    midi::SendShortMsg(0xB0, 11, f.CrescLevel);
    for (int16_t c = 0; c < 3; ++c) midi::SendShortMsg(int16_t(0xB0 + c), 1, 0);
    f.EditorReady = true;
    RememberSavedPiece();   // the empty piece of the opening
}

void YYBJ::BJQD()
{
    auto& s = midi::state();
    auto& f = fields();
    f.GridLastStep = 15;
    for (int i = 0; i < 7; ++i) {
        YF1[i]->setTypingLimit(2 * Steps());
        QPalette p = YF1[i]->palette();
        p.setColor(QPalette::Base, forms::QBColor(i + 1));
        YF1[i]->setPalette(p);
    }
    JZXSGC();

    // The instrument lists, filled with their signals blocked; none selected.
    {
        std::vector<std::unique_ptr<QSignalBlocker>> blocks;
        for (QComboBox* c : SYYQ) blocks.push_back(std::make_unique<QSignalBlocker>(c));
        const QStringList instruments = res::instrumentNames();
        const QStringList percussion = res::percussionNames();
        for (int i = 0; i < 12; ++i) {
            SYYQ[i]->addItems(i < 7 ? instruments : percussion);
            SYYQ[i]->setCurrentIndex(-1);
        }
    }
    // Default selections; each runs its list's handler as the user's choice would.
    for (int i = 0; i < 12; ++i) SYYQ[i]->setCurrentIndex(kDefaultInstruments[i]);
    for (int i = 0; i < 12; ++i) {
        YQYL[i]->setCurrentIndex(kDefaultVolumeItem);
        s.TrackVolume[i] = 70;
    }
    DQYD->setCurrentIndex(0);
    DQSUDU->setCurrentIndex(kDefaultTempoItem);
    s.BaseNote = int16_t(36 + DQYD->currentIndex());
    s.StepMs = 188;
    for (int i = 0; i < 7; ++i) midi::ProgramChange(int16_t(i), 0, int16_t(SYYQ[i]->currentIndex() - 1));
}

void YYBJ::BZWJ_Click() { forms::MsgBox(res::LoadResString(res::EditorHelp), this); }

void YYBJ::AllNotesOff() { allMelodyNotesOff(); }

void YYBJ::RememberSavedPiece()
{
    savedPiece_ = linesAsSaved(fields(), piece().MeasureTotal, Steps());
}

bool YYBJ::MayClose()
{
    // The row being typed into counts; it is shown again as typed when the window stays open.
    const int row = melodyRowOf(focusWidget());
    const QString typed = row >= 0 ? YF1[row]->text() : QString();
    const int cursor = row >= 0 ? YF1[row]->cursorPosition() : 0;
    CommitEditedRow();
    if (linesAsSaved(fields(), piece().MeasureTotal, Steps()) == savedPiece_) return true;
    const forms::Answer answer =
        forms::AskYesNoCancel(QStringLiteral("正在编辑的音乐已经修改，还没有保存。退出前要保存编辑吗？"), this);
    if (answer == forms::Answer::No || (answer == forms::Answer::Yes && BCBJWJ())) return true;
    if (row >= 0) {
        YF1[row]->showText(typed);
        YF1[row]->setCursorPosition(cursor);
    }
    return false;
}

void YYBJ::TUICHU_Click()
{
    if (!MayClose()) return;
    StopStepClock();   // no step may sound after the rows fell silent
    AllNotesOff();
    closeAnswered_ = true;
    close();   // runs the unload step, which shows the main window
}

void YYBJ::Form_Unload()
{
    if (!isOpen()) return;   // a close of the closed window: its close step ran already
    StopStepClock();
    CommitEditedRow();
    AllNotesOff();
    // The window's timers stop; its controls and fields stay for the next opening.
    for (forms::FormTimer* t : Surface->findChildren<forms::FormTimer*>()) t->setEnabled(false);
    open_ = false;
    hide();
    forms::showWindow(forms::window::Main);
}

void YYBJ::closeEvent(QCloseEvent* event)
{
    const bool answered = std::exchange(closeAnswered_, false);
    if (isOpen() && !answered && !MayClose()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

}  // namespace editor
