#pragma once
// The score editor window "音乐编辑器": one software measure at a time, seven melody rows of
// two-character tokens and five percussion rows of step boxes, with per-row instruments and
// volumes, key, tempo, time signature, vibrato and crescendo.
//
// The window object lives for the whole run (main() creates it and registers it as the editor
// window), and so do its controls, made and wired once with it: a handler never meets a control
// that is gone. Every opening sets the controls back to their designed values, so every opening
// starts from the designed window. What outlasts a closing is kept in editor::fields() and
// midi::state(). The class is split by concern: yybj.cpp life cycle,
// yybj_layout.cpp controls and grid, yybj_measure.cpp rows, steps and measure commands,
// yybj_settings.cpp the settings controls, yybj_sequencer.cpp audition and playback,
// yybj_recorder.cpp the recorder panel.
#include "editor/melody_row_edit.h"
#include "editor/score_import.h"
#include "forms/dialogs.h"
#include "forms/form_timer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstdint>
#include <vector>

namespace editor {

// A caption written top to bottom, for the tall narrow buttons of the right-hand column.
QString verticalCaption(const QString& text);

// The style of buttons drawn flat in their face colour: push buttons, and option and check boxes
// drawn as buttons (forms::DrawnAsButton: no indicator, the caption centred). Raised, pressed in
// while held or selected, a grey caption while disabled. `face` and `selected` add to the rules of
// the face and of the pressed or selected button.
QString flatButtonStyle(const QColor& colour, const QString& face = QString(), const QString& selected = QString());

// The window's controls, made with it and kept for the run.
struct YYBJControls {
    QWidget* Surface = nullptr;   // holds every control

    // ---- top line: flags, crescendo depth, the measure shown
    QWidget* Picture4 = nullptr;
    std::array<QCheckBox*, 2> Check1{};       // "颤音" vibrato, "渐强弱" crescendo
    QLabel* Label7 = nullptr;                 // "深度(..)"
    QScrollBar* HScroll3 = nullptr;           // crescendo depth -20..20
    QLabel* XJXS = nullptr;                   // "正在编辑软件第"
    QLineEdit* XJZS = nullptr;                // number of the measure shown
    QLabel* Label4 = nullptr;                 // "小节"
    QLabel* XJXSS = nullptr;                  // "实际小节数是(1-2)小节"

    // ---- rows: captions, instruments, the grid panel, volumes
    std::array<QLabel*, 10> Label1{};         // captions of rows 0..9
    QLabel* Label6 = nullptr;                 // caption of row 10
    QLabel* Label8 = nullptr;                 // caption of row 11
    std::array<QComboBox*, 12> SYYQ{};        // instrument per row
    QFrame* Picture1 = nullptr;               // the grid panel
    std::array<MelodyRowEdit*, 7> YF1{};      // melody rows 0..6
    // Step boxes of percussion rows 7..11: DJY[0] is DJY1 (row 7) .. DJY[4] is DJY5 (row 11);
    // element i is the box of step i. Column 0 is designed, the others are built by JZXSGC.
    std::array<std::vector<QToolButton*>, 5> DJY;
    QWidget* Picture3 = nullptr;              // right-hand column
    std::array<QComboBox*, 12> YQYL{};        // volume per row
    QPushButton* DRYP = nullptr;              // "导入记录乐谱"
    QPushButton* DkBianji = nullptr;          // "打开编辑文件"
    QRadioButton* ST1 = nullptr;              // "试听本节效果"
    QCheckBox* ST2 = nullptr;                 // "从开始处启动"
    QPushButton* BCBJ = nullptr;              // "保存编辑"
    QPushButton* BZWJ = nullptr;              // "帮  助"
    QPushButton* TUICHU = nullptr;            // "退出窗口"

    // ---- bottom: device, measure bar and commands, key, tempo, time signature
    QComboBox* ComDevies = nullptr;           // MIDI output devices, item data = device id
    QScrollBar* HScroll1 = nullptr;           // the software measure shown
    QPushButton* ZDXJZS = nullptr;            // "设置"
    QPushButton* CHARU = nullptr;             // "插入"
    QPushButton* QinKong = nullptr;           // "清空"
    QPushButton* BCBXJ = nullptr;             // "保存"
    QWidget* Picture5 = nullptr;
    QLabel* YINDIAO = nullptr;                // "音调"
    QComboBox* DQYD = nullptr;                // key "C".."B"
    QLabel* SUDU = nullptr;                   // "速度"
    QComboBox* DQSUDU = nullptr;              // tempo, beats per minute
    QLabel* Label5 = nullptr;                 // "拍/分钟"
    QLabel* JZLX = nullptr;                   // "节奏类型"
    QWidget* Picture2 = nullptr;
    std::array<QRadioButton*, 3> JPFL{};      // "2/4" "3/4" "4/4"
    QWidget* Picture6 = nullptr;              // the recorder panel
    // "播放" "停止" "录音" "保存录音": one group of option buttons in Picture6
    std::array<QRadioButton*, 4> LUYINJI{};
    QLabel* LYSJ = nullptr;                   // recorder time "当前: m:s"
    QComboBox* yinzi = nullptr;               // recording quality
    QLabel* Label2 = nullptr;                 // "录音机"
    QLabel* Label3 = nullptr;                 // welcome line
    QLabel* Label9 = nullptr;                 // how the notes are written

    forms::FormTimer* YYDS = nullptr;         // step clock of playback
    forms::FormTimer* Lyjsj = nullptr;        // recorder clock
    forms::CommonDialog DuiHu;                // the editor's file dialog
};

class YYBJ : public QWidget, public YYBJControls {
    Q_OBJECT
public:
    explicit YYBJ(QWidget* parent = nullptr);
    ~YYBJ() override;

    // ------------------------------------------------------------------ life cycle (yybj.cpp)
    // Shows the window: sets its controls to their designed values and runs the load step when
    // it is closed, then the activation. The window registry's "editor" entry calls this.
    void Show();
    void Form_Load();
    void Form_Activate();
    void BJQD();
    void BZWJ_Click();
    void TUICHU_Click();
    void Form_Unload();
    // Whether the window may close: at once when the piece is as last opened, saved or imported;
    // otherwise after the question whether to save it ("是" saves first, "取消" keeps it open).
    bool MayClose();
    // The piece as "保存编辑" would write it now is the one opened, saved or imported last.
    void RememberSavedPiece();
    // From an opening to its close.
    bool isOpen() const { return open_; }
    // Connects the controls to their handlers, once for the run; each concern adds its wire
    // function.
    void wireControls();
    // Note-off of the 65 notes from BaseNote on channels 0..6, and of every note playback
    // started that these miss.
    void AllNotesOff();

    // ------------------------------------------------------ controls and grid (yybj_layout.cpp)
    void createControls();
    // Every value a use of the window can change, as designed, set without running a handler:
    // texts, ticks, lists, scroll bars, the step columns, the clocks, the window's size, no
    // control holding the focus.
    void setDesignedValues();
    void JZXSGC();
    void JPFL_Click(int Index);
    // Lays out rows, panels and the window for S steps: the layout of 16, 24 or 32 steps, the
    // smallest that holds S (up to 32).
    void layoutForSteps(int S);
    // Removes step columns 1..GridLoadedSteps.
    void removeStepColumns();

    // ---------------------------------------------- rows, steps and measures (yybj_measure.cpp)
    void YF1_LostFocus(int Index);
    void DJY1_Click(int Index) { DJY_Click(0, Index); }
    void DJY2_Click(int Index) { DJY_Click(1, Index); }
    void DJY3_Click(int Index) { DJY_Click(2, Index); }
    void DJY4_Click(int Index) { DJY_Click(3, Index); }
    void DJY5_Click(int Index) { DJY_Click(4, Index); }
    void DJY_Click(int box, int Index);
    // Connects step box Index of DJY[box] to its click handler.
    void wireStepBox(int box, int Index);
    void HScroll1_Change();
    // Shows the measure the bar stands at, with its header: the bar's change after the row being
    // typed into is committed.
    void ShowBarMeasure();
    void QinKong_Click();
    void CHARU_Click();
    void ZDXJZS_Click();
    // Commits the melody row that holds the focus, into the measure it was typed in. Everything
    // that changes the measure shown or reads the tables calls this first.
    void CommitEditedRow();
    // The melody row a control is, or -1.
    int melodyRowOf(const QObject* control) const;
    // Shows measure CurMeasure: its rows, its step boxes (ticked for "O") and its captions.
    void ShowMeasure();
    // Ticks the step boxes of the measure shown where its cells hold "O", without running their
    // click handlers: showing a measure leaves the piece as it is.
    void ShowStepBoxes();
    // Steps of one software measure: GridLastStep + 1.
    int Steps() const;

    // ------------------------------------------------------ settings (yybj_settings.cpp)
    void DQSUDU_Change();
    void DQSUDU_Click() { DQSUDU_Change(); }
    void DQSUDU_LostFocus();
    void DQYD_Change();
    void DQYD_Click() { DQYD_Change(); }
    void YQYL_Change(int Index);
    void YQYL_Click(int Index) { YQYL_Change(Index); }
    void HScroll3_Change();
    void Check1_Click(int Index);
    void SYYQ_Change(int Index);
    void SYYQ_Click(int Index) { SYYQ_Change(Index); }
    void ComDevies_Change();
    void ComDevies_Click() { ComDevies_Change(); }
    // The velocity row `row` plays at: the integer part of its volume text, 0..127.
    int16_t RowVolume(int row) const;

    // ---------------------------------- measure headers and edit files (yybj_files.cpp)
    void BCBXJ_Click();
    // Packs the settings of the measure shown into its header; also TrackVolume and
    // TrackInstrument of every row.
    void BCXJ();
    // Applies the header of the measure shown to the controls, field by field, each control's
    // handler running as it changes; a damaged field leaves its control alone.
    void CXTSB();
    void BCBJ_Click();
    // Writes the piece as an edit file; true when it was written.
    bool BCBJWJ();
    void DkBianji_Click();
    // Shows a piece just read from an edit file: its step count, measure 0.
    void DKBJ();
    // Lays the window out for the edit file's step count.
    void DKJZWJ();

    // --------------------------------------------------- score import (yybj_import.cpp)
    void DRYP_Click();
    // The token walk of ScoreText into rows 0 and 1 from its start, then the size of the piece.
    ImportWalk YUEPUSB();
    // Rebuilds the imported rows' texts and shows measure 0.
    void DrYpsb();

    // ------------------------------------------- audition and playback (yybj_sequencer.cpp)
    void ST1_Click();
    void ST2_Click();
    void YYDS_Timer();
    // The work of one step. False when it met a cell or a measure beyond the tables.
    bool YYSB();
    // Sounds cell CurStep of every row, then moves CurStep on; nothing when CurStep lies beyond
    // the cells.
    void XJFS();
    // Commits the measure shown from the window (rows, volumes, instruments, step boxes) and
    // sounds one step. No control calls it.
    void STBXJYY();
    // Stops the step clock; closing the window does it before the rows fall silent.
    void StopStepClock();
    // Ends an audition or a playback through the stop path (every melody note off, the buttons
    // idle); nothing while the step clock is off. The commands that reshape or replace the piece
    // run it before they change the piece.
    void EndPlayback();

    // ------------------------------------------------------ recorder panel (yybj_recorder.cpp)
    // Builds the panel's controls into Picture6.
    void createRecorderPanel();
    // The panel's part of setDesignedValues: no button selected, the clock at rest, no quality
    // chosen.
    void setRecorderPanelDesigned();
    void LUYINJI_Click(int Index);
    void Lyjsj_Timer();
    void yinzi_Change();
    void yinzi_Click() { yinzi_Change(); }

private:
    bool open_ = false;
    // The piece as it was last opened, saved or imported, in the lines of its edit file.
    QStringList savedPiece_;
    // The close question was answered by "退出窗口": the close it starts asks no more.
    bool closeAnswered_ = false;

    void wireMeasure();
    void wireSettings();
    void wireFiles();
    void wireSequencer();
    void wireRecorder();
    // Playback refuses to start without a device or with a piece beyond the cells; true when it
    // may start.
    bool MayStartPlayback();
    // The end of a playback through the clock's trap: all notes off, the controls idle.
    void StepClockTrap();
    // The stop path: the clock off, the buttons idle, every melody note off.
    void PlaybackToRest();
    // The measure being played shown in the number box and the measure bar.
    void ShowPlayedMeasure(int32_t measure);
    // The recorder panel back at rest: no button selected, the clock off and at zero.
    void RecorderToRest();
    // Unselects recorder buttons 0 (play), 2 (record) and 3 (save).
    void UnselectRecorderButtons();
    // A failed recorder action: its reason in a box, the panel at rest.
    void RecorderFailed(const QString& why);
    // The file a recorder dialog returned, kept as the editor's last choice; nullopt, with play,
    // record and save unselected, when the dialog was cancelled.
    std::optional<QString> RecorderFileChosen(const std::optional<forms::FileChoice>& choice);
    bool filterMeasure(QObject* watched, QEvent* event);
    bool filterSettings(QObject* watched, QEvent* event);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace editor
