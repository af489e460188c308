// The wave recorder panel: play, stop and record buttons, the recorder clock and saving.
// The device work is the recorder session's; this file keeps the panel's pictures, texts,
// flags and clock in step with it.
#include "forms/dialogs.h"
#include "keyboard/form1.h"
#include "resources/pictures.h"

namespace keyboard {

namespace {

constexpr int kHelpButtonFlag = 16;
constexpr int kOverwritePromptFlag = 2;
constexpr int kRecordBits = 8;
constexpr int kRecordRate = 44100;

const QString kStoppedText = QStringLiteral("录音机已停止。。。");
const QString kSavedText = QStringLiteral("成功保存录音。。。");
const QString kCutText = QStringLiteral("录音已中断（磁盘已满）。。。");
const QString kNotSavedText = QStringLiteral("没有保存录音。。。");
const QString kPlayFailedText = QStringLiteral("无法播放录音。。。");
const QString kRecordFailedText = QStringLiteral("无法录音。。。");

}  // namespace

void Form1::wireRecorder()
{
    for (int i = 0; i < 3; ++i) {
        connect(Image1[i], &QToolButton::clicked, this, [this, i] { Image1_Click(i); });
        showRecorderPicture(i, Image1Picture[i]);
    }
    connect(BcLY, &QPushButton::clicked, this, [this] { BcLY_Click(); });
    Lyjsj->onTick([this] { Lyjsj_Timer(); });
}

void Form1::showRecorderPicture(int Index, int pictureId)
{
    Image1Picture[Index] = pictureId;
    Image1[Index]->setIcon(res::LoadResPicture(pictureId));
}

// Back at rest: no flag, clock off and at zero, play and record buttons idle.
void Form1::recorderToIdle()
{
    IsRecording = false;
    IsPlaying = false;
    Lyjsj->setEnabled(false);
    Label12->setText(QString::fromLatin1(midi::kRecorderClockZero));
    RecMinutes = 0;
    RecSeconds = 0;
    showRecorderPicture(0, res::PlayIdle);
    showRecorderPicture(2, res::RecordIdle);
}

// A failed play, record or save: the title line has room for a short text only, the box shows
// the whole reason.
void Form1::recorderFailed(const QString& shortText)
{
    FJWZ->setText(shortText);
    forms::MsgBox(Recorder.error(), this);
}

// The recorder stopped, by the stop button or by the end of what it played.
void Form1::recorderStopped()
{
    showRecorderPicture(1, res::StopActive);
    recorderToIdle();
    FJWZ->setText(kStoppedText);
}

// A full disk cut the take: the clock stops where it stands, and the recording can be saved.
void Form1::recorderCut()
{
    IsRecording = false;
    Lyjsj->setEnabled(false);
    showRecorderPicture(2, res::RecordIdle);
    FJWZ->setText(kCutText);
    forms::MsgBox(Recorder.cutText(), this);
}

void Form1::Image1_Click(int Index)
{
    switch (Index) {
    case 0: {   // play
        if (IsRecording) {
            showRecorderPicture(0, res::PlayIdle);
            return;
        }
        showRecorderPicture(0, res::PlayActive);
        showRecorderPicture(1, res::StopIdle);
        // The device is closed only once a file was chosen: a cancel keeps what it holds,
        // a playback going on or a recording not yet saved.
        const auto choice =
            forms::ShowOpen({midi::kRecorderPlayFilter, CommonDialog1.InitDir, kHelpButtonFlag, {}}, this);
        if (!choice || choice->path.isEmpty()) {
            showRecorderPicture(0, IsPlaying ? res::PlayActive : res::PlayIdle);
            return;
        }
        CommonDialog1.FileName = choice->path;
        CommonDialog1.FileTitle = choice->title;
        LastFilePath = choice->path;
        PlayPath = choice->path;
        if (!Recorder.startPlaying(PlayPath)) {
            recorderToIdle();
            BcLY->setEnabled(false);
            recorderFailed(kPlayFailedText);
            return;
        }
        IsPlaying = true;
        RecMinutes = 0;
        RecSeconds = 0;
        XSWB->setText(QStringLiteral("当录音重放无声时请按帮助文档中的方法设置系统音量属性！"));
        FJWZ->setText(QStringLiteral("正在播放录音。。。"));
        Lyjsj->setEnabled(true);
        BcLY->setEnabled(false);
        return;
    }
    case 1:   // stop; the device keeps a recording so that it can still be saved
        showRecorderPicture(1, res::StopActive);
        Recorder.stop();
        recorderStopped();
        return;
    case 2:   // record
        if (IsPlaying) {
            showRecorderPicture(2, res::RecordIdle);
            return;
        }
        if (IsRecording) return;   // the take goes on
        showRecorderPicture(2, res::RecordActive);
        showRecorderPicture(1, res::StopIdle);
        if (!Recorder.startRecording(kRecordBits, kRecordRate)) {
            showRecorderPicture(2, res::RecordIdle);
            BcLY->setEnabled(false);
            recorderFailed(kRecordFailedText);
            return;
        }
        IsRecording = true;
        XSWB->setText(
            QStringLiteral("当录音重放出现沙哑杂音失真等情况时请适当调整系统音量中的各音源音量大小！"));
        FJWZ->setText(QStringLiteral("录音中,请安静。。"));
        BcLY->setEnabled(true);
        Lyjsj->setEnabled(true);   // the clock goes on from where it stands
        return;
    default:
        return;
    }
}

void Form1::BcLY_Click()
{
    const auto choice =
        forms::ShowSave({midi::kRecorderSaveFilter, CommonDialog1.InitDir, kOverwritePromptFlag, {}}, this);
    if (!choice || choice->path.isEmpty()) {
        FJWZ->setText(kNotSavedText);
        return;
    }
    CommonDialog1.FileName = choice->path;
    CommonDialog1.FileTitle = choice->title;
    LastFilePath = choice->path;
    const bool wasRunning = IsRecording || IsPlaying;
    const bool incomplete = Recorder.takeCut();
    if (!Recorder.save(LastFilePath)) {
        // The take was stopped for the save; it stays in the device and can be saved elsewhere.
        if (wasRunning) recorderToIdle();
        recorderFailed(kNotSavedText);
        return;
    }
    recorderToIdle();
    BcLY->setEnabled(false);
    FJWZ->setText(incomplete ? midi::kCutTakeSavedText : kSavedText);
}

void Form1::Lyjsj_Timer()
{
    Label12->setText(midi::RecorderClockText(RecMinutes, RecSeconds));
    switch (Recorder.poll()) {
    case midi::RecorderSession::PollResult::Running:
        break;
    case midi::RecorderSession::PollResult::Cut:
        recorderCut();
        return;
    default:
        recorderStopped();
        break;
    }
    // The tick that saw the end still counts: the clock then stands at one second.
    int minutes = RecMinutes, seconds = RecSeconds;
    midi::AdvanceRecorderClock(minutes, seconds);
    RecMinutes = int16_t(minutes);
    RecSeconds = int16_t(seconds);
}

}  // namespace keyboard
