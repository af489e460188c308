#pragma once
// The main window: the on-screen keyboard, the key catcher, the score box and buttons, the
// recorder and the tab strip with its panels (melody, chords, rhythm, help, key settings).
//
// Every control is a public member under the window's own name; control arrays are std::array
// members indexed like the window's arrays. The class is split by concern into several .cpp
// files (form1.cpp life cycle, form1_layout.cpp controls, form1_keys.cpp, form1_mouse.cpp,
// form1_record.cpp, form1_playback.cpp, form1_scorepanel.cpp, form1_rhythm.cpp,
// form1_chord.cpp, form1_recorder.cpp, form1_settings.cpp, form1_panels.cpp); each concern has
// its section below and a wire function that connects its controls to its handlers.
#include "forms/dialogs.h"
#include "forms/form_timer.h"
#include "keyboard/score_box.h"
#include "keyboard/score_player.h"
#include "midi/recorder_session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstdint>

namespace keyboard {

class Form3;
class YYLR;

using CommonDialog = forms::CommonDialog;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // ------------------------------------------------------------------ life cycle (form1.cpp)
    // Shows the window: runs the load step the first time, then shows it and runs the
    // activation step. The window registry's "main" entry calls this.
    void Show();
    void Form_Load();
    void Form_Activate();
    void QDCSH();
    void Command1_Click();
    void Form_Unload();
    void wireLifeCycle();

    bool Loaded = false;        // the load step has run
    bool Unloaded = false;      // the unload step has run
    bool WindowReady = false;   // the first-time set-up has run
    bool MiniWindow = false;    // small-window mode
    bool SettingsUnwritable = false;   // a damaged settings file could not be replaced

    QPushButton* Command1 = nullptr;   // "退出"
    CommonDialog CommonDialog1;
    Form3* Farewell = nullptr;         // the farewell window, shown by the unload step

    // ---------------------------------------------------------------------- layout (form1_layout.cpp)
    // Creates and places every control; the constructor calls it before the wire functions.
    void createControls();
    // Shows picture 102..105 on key Index (drawn once per picture for the key sizes).
    void SetKeyPicture(int Index, int PictureId);
    std::array<int, 65> KeyPicture{};   // the picture each key shows (0 before the set-up)

    // ------------------------------------------------------------ live keys (form1_keys.cpp)
    void SFYXYZ_KeyDown(int KeyCode, int Shift);
    // A key released on the key catcher: a key played along with a score is drawn released.
    void SFYXYZ_KeyUp(int KeyCode);
    void PlayEffectKey();
    void PlayChordKey();
    void PlaySoundEffectKey();
    void wireKeys();
    // Routes the key catcher's key events to SFYXYZ_KeyDown; true when the event is consumed.
    bool filterKeys(QObject* watched, QEvent* event);

    // Note-on of key `key` on every melody layer whose instrument sounds (channel 2 also an
    // octave lower).
    void LayersOn(int key);
    // The three melody layers take the instruments of group `group` (0..12) of PresetTable.
    void ApplyInstrumentGroup(int group);

    QPushButton* SFYXYZ = nullptr;   // "键盘", the key catcher
    QLabel* XSWB = nullptr;          // status and help line
    QLabel* FJWZ = nullptr;          // title line

    // ---------------------------------------------------- mouse and focus (form1_mouse.cpp)
    void Picture1_DragOver(int Index);
    void Label1_MouseMove();
    void SFYXYZ_Click();
    void SFYXYZ_GotFocus();
    void SFYXYZ_LostFocus();
    void YXYZ();
    void wireMouse();
    bool filterMouse(QObject* watched, QEvent* event);

    // The pressed picture of on-screen key `key`, by its colour.
    void PressKeyPicture(int key);

    std::array<QLabel*, 65> Picture1{};   // the on-screen keys, key i sounds BaseNote + i
    QLabel* Label1 = nullptr;             // the damper strip under the keys
    bool CatcherFocused = false;          // the key catcher holds the focus within the window

    // ------------------------------------------------- score recording (form1_record.cpp)
    void Timer1_Timer();
    void wireRecord();
    // Shows ScoreText in the score box (its change handling runs when the text changes).
    void ShowScoreText();
    // Ends a take being recorded without writing anything: the live clock and its notes stop.
    // The score buttons call it when they take the score away.
    void EndLiveTake();

    forms::FormTimer* Timer1 = nullptr;   // live clock
    int16_t SyncTick = 0;

    // ------------------------------------------------------- playback (form1_playback.cpp)
    void YSCX();
    void Timer3_Timer();
    void wirePlayback();
    // Note-off of the note sounding (LastKey) on the three melody channels, and its lower octave.
    void NoteOffLastKey();
    // NoteOffLastKey and both chord voices off.
    void SilenceScoreNote();
    // Note-off of every on-screen key on channels 0..lastChannel (a rest or the end of a score).
    void SilenceMelodyRange(int16_t lastChannel);
    // The stop of the space bar and of "TZ": every key on channels 0..4, and the chord voices'
    // notes outside the keys.
    void SilenceEveryKey();
    // Ends what keys leave sounding beside the melody: the effect note, and the chord clock
    // with both chord voices. Every stop runs it.
    void EndKeysPlayedAlong();
    // Selection of the score box at read position `readAt`.
    void ShowScorePosition(int64_t readAt);
    // Caption "试听", Auditioning False, the score box open for typing again, and what keys
    // played along left sounding ended.
    void EndScorePlayback();
    // A score is playing (or halted at a tempo it cannot take, until it is stopped).
    bool ScorePlaying() const;

    forms::FormTimer* Timer3 = nullptr;   // score clock
    ScorePlayer Player;                   // the read position and the counts of the score
    bool Auditioning = false;
    int32_t PlaybackTicks = 0;   // ticks of the score clock since playback started (title line)

    // --------------------------------------------------- score panel (form1_scorepanel.cpp)
    // A click on score button Index runs its command.
    void Yuepu_Click(int Index);
    void PlayOrStopScore();   // "试听" / "停止"
    void DeleteScoreFile();   // "删除"
    void OpenScoreFile();     // "打开": the file chosen plays at once
    void ClearScore();        // "清空"
    void SaveScoreFile();     // "保存"
    void Yuepu_MouseDown(int Index);
    void XINJIAN_Click();
    void Text3_Change();
    void Label11_MouseMove();
    void Jiezhou_MouseMove(int Index);
    void wireScorePanel();
    bool filterScorePanel(QObject* watched, QEvent* event);

    ScoreBox* Text3 = nullptr;              // the score box
    std::array<QPushButton*, 5> Yuepu{};    // "试听" "删除" "打开" "清空" "保存"
    QPushButton* XINJIAN = nullptr;         // "新建"
    QString LastFilePath;
    // The end of playback: score clock off, notes and chord voices off, caption "试听",
    // Auditioning False; the free rhythm goes on.
    void HaltScorePlayback();
    // The stop of "停止": HaltScorePlayback and the free rhythm off.
    void StopScorePlayback();
    // From the first character: Auditioning True, caption "停止", the playing hint, then the
    // first token.
    void StartScorePlayback();
    // ScoreText from the score box (upper-cased for playing); a key code shown in the box
    // gives way to the recorded score.
    void TakeScoreFromBox(bool upperCase);
    // The released picture of on-screen key `key`, by its colour.
    void ReleaseKeyPicture(int key);
    // Every on-screen key drawn pressed gets its released picture.
    void ReleasePressedKeys();

    QString ScoreFilePath;              // the score file "打开" last read or "保存" last wrote
    bool PressStoppedPlayback = false;  // the last press on "试听"/"停止" stopped playback
    YYLR* ScoreEntry = nullptr;         // the score-entry dialog

    // --------------------------------------------------------------- rhythm (form1_rhythm.cpp)
    void BZA_Click(int Index);
    void BZB_Click(int Index);
    void BZC_Click(int Index);
    void LblInst_Click(int Index);   // the percussion lists cannot be typed into
    void VsbVol_Change();
    void VsbVol_Click();
    void Option1_Click(int Index);
    void SD_Click();
    void SD_LostFocus();
    void BzQd_Click();
    void BZDS_Timer();
    void File1_Click();
    void Cmdcill_Click(int Index);
    void AccompanimentStep();
    void BZXS();
    void SaveJZwj();
    void OpenJZwj();
    // A rhythm file's text applied: RhythmFileText takes it and OpenJZwj applies it. A text that
    // is no rhythm pattern shows the one error box and changes nothing; false then.
    bool ApplyRhythmText(const QString& text);
    void wireRhythm();
    bool filterRhythm(QObject* watched, QEvent* event);
    // Connects step box Index of row 0 (BZA), 1 (BZB) or 2 (BZC) to its click handler.
    void wireStepBox(int row, int Index);

    // The step boxes; element 0 of each row is created with the window, 1..16 by QDCSH.
    std::array<QCheckBox*, 17> BZA{};
    std::array<QCheckBox*, 17> BZB{};
    std::array<QCheckBox*, 17> BZC{};
    std::array<QWidget*, 3> StepRows{};        // the containers of BZA, BZB, BZC
    std::array<QComboBox*, 3> LblInst{};       // percussion voice of each row
    QComboBox* VsbVol = nullptr;               // rhythm velocity "50".."120"
    std::array<QRadioButton*, 3> Option1{};    // "2/4" "3/4" "4/4"
    QComboBox* SD = nullptr;                   // tempo "40".."130"
    QCheckBox* BzQd = nullptr;                 // "启动" / "停止"
    QCheckBox* Check5 = nullptr;               // "自动同步"
    QListWidget* File1 = nullptr;              // rhythm files "*.bin" of the record folder
    QString File1Path;                         // the folder File1 lists
    bool File1ChangedByPress = false;          // the press being handled changed File1's row
    QLabel* Label11 = nullptr;                 // name of the pattern applied
    std::array<QPushButton*, 2> Cmdcill{};     // "删 除" "保 存"
    QComboBox* xuanyue = nullptr;              // chord instrument
    QLineEdit* Text2 = nullptr;                // copy of the voice 1 pattern
    forms::FormTimer* BZDS = nullptr;          // free rhythm clock

    // The tempo the tempo box last accepted (40..140 beats per minute).
    double AcceptedTempo = 70;
    // One eighth of a beat, in milliseconds, at the tempo in the box when the box takes it, else
    // at the tempo accepted last: the step of every clock of the window.
    int16_t TempoStepMs() const;
    // Index of the ticked metre option (0 "2/4", 1 "3/4", 2 "4/4"); -1 when none is.
    int Metre() const;
    // The rhythm velocity that the velocity list's text stands for.
    int RhythmVelocity() const;
    // Rebuilds the prepared percussion messages of grid row `row`, steps 0..15, from the row's
    // voice and the velocity list.
    void RebuildRhythmRow(int row);
    QString DeletePath;                        // the rhythm file the delete button removes

    // ---------------------------------------------------------------- chord (form1_chord.cpp)
    void CSHX();
    void Command3_Click();
    void HXCSH();
    void HXYPSB();
    void ZDHXSC();
    void BZHX();
    void BZHX2();
    void HX1K();
    void HX2K();
    void Check6_Click();
    void HXYS_Timer();
    void Text6_GotFocus();
    void Text6_LostFocus();
    void Text4_LostFocus();
    void Text5_LostFocus();
    void Command4_Click();
    // The instrument lists cannot be typed into, so they have no change handlers.
    void Combo3_Click();
    void Combo1_Click();
    void xuanyue_Click();
    void HxYL_Change();
    void HxYL_Click();
    void wireChord();
    bool filterChord(QObject* watched, QEvent* event);

    QLineEdit* Text6 = nullptr;          // chord order, up to 9 digits 1..6
    QLineEdit* Text4 = nullptr;          // voice 1 pattern, 32 characters
    QLineEdit* Text5 = nullptr;          // voice 2 pattern, 32 characters
    QPushButton* Command3 = nullptr;     // "生成随机节奏"
    QPushButton* Command4 = nullptr;     // "保 存"
    QCheckBox* Check6 = nullptr;         // "启 动"
    QComboBox* Combo3 = nullptr;         // voice 1 instrument
    QComboBox* Combo1 = nullptr;         // voice 2 instrument
    QComboBox* HxYL = nullptr;           // chord velocity
    forms::FormTimer* HXYS = nullptr;    // chord clock

    std::array<std::array<int32_t, 65>, 8> ChordPattern{};
    std::array<QString, 7> ChordProgressions;   // entries 1..6
    QStringList PatternLines;                   // the pattern file's lines, all of them
    int PatternLineIndex = 0;
    int PatternLineLast = 0;
    QString SavedChordOrder;
    // Sets the progression from a text of digits 1..6 that has been checked.
    void SetProgression(const QString& digits);

    // ---------------------------------------------------------- recorder (form1_recorder.cpp)
    void Image1_Click(int Index);
    void BcLY_Click();
    void Lyjsj_Timer();
    void wireRecorder();

    std::array<QToolButton*, 3> Image1{};   // play, stop, record
    QLabel* Label12 = nullptr;              // recorder clock "00:00"
    QPushButton* BcLY = nullptr;            // "保存"
    forms::FormTimer* Lyjsj = nullptr;      // recorder clock
    bool IsRecording = false;
    bool IsPlaying = false;
    int16_t RecMinutes = 0;
    int16_t RecSeconds = 0;
    QString PlayPath;
    std::array<int, 3> Image1Picture{107, 109, 111};   // the picture id each button shows
    midi::RecorderSession Recorder;                     // this panel's use of the media device

    void showRecorderPicture(int Index, int pictureId);
    void recorderToIdle();
    void recorderStopped();
    void recorderCut();
    void recorderFailed(const QString& shortText);

    // ------------------------------------------------------ settings panel (form1_settings.cpp)
    void Option3_Click(int Index);
    void YQSZ_Click(int Index);   // the lists cannot be typed into
    void File2_Click();
    void SHUAXIN_Click();
    void BCSZ_Click();
    void wireSettings();
    // The effect folder AppFolder & "音效\", and File2 pointed at it (regular files only).
    QString effectFolder() const;
    void showEffectFiles();

    std::array<QRadioButton*, 28> Option3{};   // F1..F12, 0..9, Ins Hom Pup Del End Pdo
    std::array<QComboBox*, 4> YQSZ{};          // 0..2 instruments, 3 percussion
    QListWidget* File2 = nullptr;              // WAV files of the effect folder
    QString File2Path;                         // the folder File2 lists
    QCheckBox* Check1 = nullptr;               // "静音设置" / "有声设置"
    QCheckBox* Check2 = nullptr;               // "循环播放"
    QPushButton* SHUAXIN = nullptr;            // "停止"
    QPushButton* BCSZ = nullptr;               // "保存"
    std::array<QLabel*, 3> YQSZLabel{};        // "乐器一" .. "乐器三" beside YQSZ(0..2)
    bool FillingSettingsLists = false;         // the lists are being filled for show
    // The lists and the effect files show what the key selected has (nothing is stored, nothing
    // previewed): after the settings file was read again, or a file name was refused.
    void ShowSelectedKeySettings();

    // --------------------------------------------------------------- panels (form1_panels.cpp)
    void Xxk_Click(int Index);
    void Option2_Click(int Index);
    void Timer2_Timer();
    void Image3_Click();
    void Jiezhou_Click(int Index);
    void Form_Click();
    void Command2_Click();
    void Check1_Click();
    void Check3_Click(int Index);
    // The device, instrument and key lists cannot be typed into: they have no change handlers.
    void ComDevies_Click();
    void ComSounds_Click(int Index);
    void YD_Click();
    void Zxlyl_Click(int Index);
    void Zxlyl_Change(int Index);
    void wirePanels();
    bool filterPanels(QObject* watched, QEvent* event);

    // Tabs and panels 0, 1, 2, 4, 5; index 3 is not used by the window and stays hidden.
    std::array<QRadioButton*, 6> Xxk{};
    std::array<QFrame*, 6> Jiezhou{};
    std::array<QRadioButton*, 7> Option2{};    // help topics
    QPlainTextEdit* Text1 = nullptr;           // help text
    QComboBox* ComDevies = nullptr;            // MIDI output devices, item data = device id
    std::array<QComboBox*, 3> ComSounds{};     // melody layer instruments
    std::array<QComboBox*, 3> Zxlyl{};         // melody layer velocities
    std::array<QCheckBox*, 3> Check3{};        // "颤音"
    QComboBox* YD = nullptr;                   // key "C".."B"
    QPushButton* Command2 = nullptr;           // "效果欣赏"
    QPushButton* BJCK = nullptr;               // "编辑"
    QLabel* SjXs = nullptr;                    // date and time
    QLabel* Label8 = nullptr;                  // scrolling credit line
    QFrame* Picture2 = nullptr;                // keyboard map frame
    QLabel* Image3 = nullptr;                  // keyboard map picture
    QLabel* Label3 = nullptr;                  // "点击图片查看键盘分布"
    forms::FormTimer* Timer2 = nullptr;        // one-second clock
    bool MapExpanded = false;

    // ------------------------------------------------- the score editor (form1_editor.cpp)
    void BJCK_Click();
    // Ends what the window plays before the editor takes the shared state and channels over.
    void StopForEditor();
    // After the editor: this window's own device, instruments, controllers, key, step and
    // rhythm cells again.
    void ReapplyOwnSound();
    bool LeftForEditor = false;   // "编辑" hid the window; its next activation follows the editor

private:
    // Live keys and mouse playing (form1_keys.cpp, form1_mouse.cpp).

    // A note key: its notes first, then its pictures, its help in the status line and its token
    // in the score box.
    void playNoteKey(const QString& token, int helpId);
    // The pressed key's picture (CurKey), the released one's and the key's help.
    void showNoteKey(int released, int helpId);
    // Ends the note of the last effect key (rest, stop, the next effect key).
    void endEffectNote();
    int16_t EffectNote = -1;       // the note the last effect key sounds on channel 6, -1 none
    void restKey();
    void stopKey();
    void selectInstrumentGroup(int group);
    int keyUnderPointer(const QPointF& globalPos) const;
    int DragKey = -1;              // the key the held mouse button is over, -1 none
    bool MouseDragging = false;    // the left button went down on a key and is held

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace keyboard
