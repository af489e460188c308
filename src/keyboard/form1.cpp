// The main window's life cycle: load, activation, first-time set-up, exit and unload.
#include "keyboard/form1.h"

#include "forms/conv.h"
#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/file_list.h"
#include "keyboard/form3.h"
#include "keyboard/program.h"
#include "keyboard/rhythm_file.h"
#include "keyboard/settings_file.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "platform/media_service.h"
#include "platform/wave_player.h"
#include "resources/pictures.h"
#include "resources/strings.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QSignalBlocker>
#include <memory>
#include <vector>

namespace keyboard {
namespace {

constexpr int kInstrumentCount = 129;    // strings 201..329
constexpr int kPercussionCount = 47;     // strings 335..381

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent)
{
    createControls();
    wireLifeCycle();
    wireKeys();
    wireMouse();
    wireRecord();
    wirePlayback();
    wireScorePanel();
    wireRhythm();
    wireChord();
    wireRecorder();
    wireSettings();
    wirePanels();
    forms::registerWindow(forms::window::Main,
                          {[this] { Show(); }, [this] { hide(); }, [this] { return isVisible(); }});
}

Form1::~Form1()
{
    forms::unregisterWindow(forms::window::Main);
    delete Farewell;
}

void Form1::wireLifeCycle()
{
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (filterKeys(watched, event)) return true;
    if (filterMouse(watched, event)) return true;
    if (filterScorePanel(watched, event)) return true;
    if (filterRhythm(watched, event)) return true;
    if (filterChord(watched, event)) return true;
    if (filterPanels(watched, event)) return true;
    return QWidget::eventFilter(watched, event);
}

void Form1::Show()
{
    if (Unloaded) return;
    if (!Loaded) {
        Loaded = true;
        Form_Load();
    }
    show();
    activateWindow();
    Form_Activate();
}

void Form1::Form_Load()
{
    auto& s = midi::state();
    s.AppFolder = ProgramFolder();
    WindowReady = false;
    platform::SetWaveVolume(0x70007000);   // 0x7000 on both channels
    // Selecting the first device opens it.
    midi::ListMidiDevicesAndSelectFirst(ComDevies);
    const int16_t pans[8] = {64, 40, 88, 20, 108, 30, 98, 64};
    for (int c = 0; c < 8; ++c) s.ChannelPan[c] = pans[c];
}

void Form1::Form_Activate()
{
    auto& s = midi::state();
    // A damaged settings file is kept beside it, replaced by the defaults, and the program
    // starts again.
    if (ReadSettingsFile(s.AppFolder, s) == SettingsRead::Damaged) {
        if (!KeepDamagedSettings(s.AppFolder) || !WriteDefaultSettings(s.AppFolder)) {
            // The damaged file cannot be kept, or nothing can be written: it stays as it is, the
            // program goes on with the default settings in memory and says so once, not at
            // every activation.
            if (!SettingsUnwritable) forms::MsgBox(QStringLiteral("无法写入设置文件，本次使用默认设置！"), this);
            SettingsUnwritable = true;
            ApplySettingsLines(forms::splitLines(DefaultSettingsText()), s);
        } else {
            forms::MsgBox(QStringLiteral("读取设置文件出错，软件需重新启动!\n原来的设置文件已保存为 %1")
                              .arg(QDir::toNativeSeparators(DamagedSettingsPath(s.AppFolder))),
                          this);
            EndProgram();
            return;
        }
    }
    // The settings panel shows what the file holds now, not a discarded edit.
    if (WindowReady) ShowSelectedKeySettings();
    if (Text3->toPlainText() != s.ScoreText) Text3->setPlainText(s.ScoreText);
    if (!WindowReady) QDCSH();
    if (LeftForEditor) ReapplyOwnSound();
    Text3->setFocus();
    SFYXYZ->setEnabled(true);
    SFYXYZ->setFocus();
    WindowReady = true;
    Timer2->setEnabled(true);
    MiniWindow = false;
}

void Form1::QDCSH()
{
    auto& s = midi::state();
    s.RhythmLastStep = 15;

    // Step boxes 1..16 of each row: copies of box 0, side by side.
    std::array<QCheckBox*, 17>* rows[3] = {&BZA, &BZB, &BZC};
    for (int i = 1; i <= 16; ++i) {
        for (int r = 0; r < 3; ++r) {
            QCheckBox* first = (*rows[r])[0];
            auto* box = new QCheckBox(first->parentWidget());
            box->setGeometry(13 * i, first->y(), first->width(), first->height());
            box->setAutoFillBackground(first->autoFillBackground());
            box->setPalette(first->palette());
            box->setToolTip(first->toolTip());
            box->setChecked(first->isChecked());
            (*rows[r])[i] = box;
            wireStepBox(r, i);
            box->setVisible(true);
        }
    }
    BZXS();

    XSWB->setText(QStringLiteral(
        "    当键盘演奏无声时请将输入法切换为英语(美国)输入方式，演奏当中可用空格键终止演奏！"));

    // The on-screen keys: released pictures and the mouse-playing cursor.
    const QCursor playing = res::LoadResCursor(res::PlayingCursor);
    for (int i = 0; i <= 64; ++i) {
        const int m = i % 12;
        const bool black = m == 1 || m == 3 || m == 6 || m == 8 || m == 10;
        SetKeyPicture(i, black ? res::BlackKeyUp : res::WhiteKeyUp);
        s.KeyIsWhite[i] = black ? 0 : -1;
        Picture1[i]->setCursor(playing);
    }

    // The instrument and percussion lists, filled with their signals blocked; none selected.
    QComboBox* instrumentLists[] = {Combo1,  Combo3,  xuanyue,      ComSounds[0], YQSZ[0],
                                    ComSounds[1], YQSZ[1], ComSounds[2], YQSZ[2]};
    QComboBox* percussionLists[] = {LblInst[0], LblInst[1], LblInst[2], YQSZ[3]};
    {
        std::vector<std::unique_ptr<QSignalBlocker>> blocks;
        for (QComboBox* c : instrumentLists) blocks.push_back(std::make_unique<QSignalBlocker>(c));
        for (QComboBox* c : percussionLists) blocks.push_back(std::make_unique<QSignalBlocker>(c));
        for (int k = 0; k < kInstrumentCount; ++k) {
            const QString name = res::LoadResString(201 + k);
            for (QComboBox* c : instrumentLists) c->addItem(name);
        }
        for (int k = 0; k < kPercussionCount; ++k) {
            const QString name = res::LoadResString(335 + k);
            for (QComboBox* c : percussionLists) c->addItem(name);
        }
        for (QComboBox* c : instrumentLists) c->setCurrentIndex(-1);
        for (QComboBox* c : percussionLists) c->setCurrentIndex(-1);
    }

    // Default selections; each raises its list's handler as the user's choice would.
    ComSounds[0]->setCurrentIndex(52);
    ComSounds[1]->setCurrentIndex(15);
    ComSounds[2]->setCurrentIndex(79);
    xuanyue->setCurrentIndex(25);
    HxYL->setCurrentIndex(2);
    s.ChannelProgram[0] = 52;
    s.ChannelProgram[1] = 15;
    s.ChannelProgram[2] = 79;
    Combo1->setCurrentIndex(2);
    Combo3->setCurrentIndex(25);
    Zxlyl[0]->setCurrentIndex(3);
    Zxlyl[1]->setCurrentIndex(2);
    Zxlyl[2]->setCurrentIndex(2);
    YD->setCurrentIndex(0);
    SD->setCurrentIndex(6);

    s.BaseNote = int16_t(36 + YD->currentIndex());
    s.StepMs = 107;
    Timer1->setInterval(s.StepMs);
    s.ChannelVelocity[0] = 70;
    s.ChannelVelocity[1] = 55;
    s.ChannelVelocity[2] = 55;
    s.ChannelVelocity[3] = 55;
    midi::ProgramChange(0, 0, int16_t(ComSounds[0]->currentIndex() - 1));
    midi::ProgramChange(1, 0, int16_t(ComSounds[1]->currentIndex() - 1));
    midi::ProgramChange(2, 0, int16_t(ComSounds[2]->currentIndex() - 1));
    midi::ProgramChange(3, 0, int16_t(Combo3->currentIndex() - 1));
    midi::ProgramChange(4, 0, int16_t(Combo1->currentIndex() - 1));
    VsbVol->setCurrentIndex(5);

    // The rhythm files of the record folder; the first one listed is applied.
    File1Path = midi::RecordFolder();
    QDir().mkpath(File1Path);   // a missing record folder is created, not a failure
    RefreshFileList(File1, File1Path, QStringLiteral("*.bin"));
    if (File1->count() > 0) {
        const QString name = File1->item(0)->text();
        // An unreadable first file is simply not applied; an oversized one is refused as damaged.
        // A refused file is reported and not shown as the pattern in force.
        if (const auto text = readRhythmFileText(forms::joinPath(File1Path, name)))
            if (ApplyRhythmText(*text)) Label11->setText(forms::Str(1) + QStringLiteral("★") + name);
    }

    CSHX();
    s.ScoreText.clear();
    s.HoldTicks = 0;
    CommonDialog1.InitDir = midi::RecordFolder() + QLatin1Char('/');
}

void Form1::Command1_Click()
{
    midi::CloseMidiDevice();
    close();   // runs the unload step, which shows the farewell window
}

void Form1::Form_Unload()
{
    if (Unloaded) return;
    Unloaded = true;
    midi::CloseMidiDevice();
    platform::mediaService().close();
    for (forms::FormTimer* t : {Timer1, Timer2, Timer3, BZDS, HXYS, Lyjsj}) t->setEnabled(false);
    hide();
    if (!Farewell) Farewell = new Form3;
    Farewell->Show();
}

void Form1::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

}  // namespace keyboard
