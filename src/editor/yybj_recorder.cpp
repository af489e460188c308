// The editor's recorder panel: "播放", "停止", "录音" and "保存录音" as one group of option
// buttons, the recording quality and the recorder clock "当前: m:s". It records the sound card
// while the editor plays, and plays WAV and MP3 files, on the media device the main window's
// recorder uses too; the device work is the recorder session kept in the editor's fields.
#include "editor/editor_fields.h"
#include "editor/yybj.h"
#include "forms/controls.h"
#include "forms/dialogs.h"
#include "forms/option_button.h"
#include "midi/recorder_session.h"

namespace editor {
namespace {

constexpr int kHelpButtonFlag = 16;
constexpr int kOverwritePromptFlag = 2;
const QString kClockPrefix = QStringLiteral("当前: ");

enum Button { Play = 0, Stop = 1, Record = 2, Save = 3 };

// Bits and rate of each quality: "CD音质", "好音质", "普通音质".
struct Quality {
    const char* bits;
    const char* rate;
};
constexpr Quality kQualities[3] = {{"16", "44100"}, {"8", "44100"}, {"8", "22050"}};

QString clockText(int minutes, int seconds) { return kClockPrefix + midi::RecorderClockText(minutes, seconds); }
QString restingClockText() { return kClockPrefix + QString::fromLatin1(midi::kRecorderClockZero); }

}  // namespace

void YYBJ::createRecorderPanel()
{
    static const char* const captions[4] = {"播放", "停止", "录音", "保存录音"};
    static const int xs[4] = {0, 43, 86, 129};
    static const int widths[4] = {42, 42, 42, 58};
    for (int i = 0; i < 4; ++i)
        LUYINJI[i] = forms::placed<forms::DrawnAsButton<QRadioButton>>(Picture6, QString::fromUtf8(captions[i]), xs[i], 4,
                                                                       widths[i], 26);
    LUYINJI[Play]->setToolTip(QStringLiteral("播放电子琴演奏或本编辑软件录制的wav格式音频文件或MP3音乐文件！"));
    LUYINJI[Stop]->setToolTip(QStringLiteral("停止当前的放音或录音！"));
    LUYINJI[Save]->setToolTip(QStringLiteral("保存最新的音频记录为wav格式音频文件！"));
    Picture6->setStyleSheet(flatButtonStyle(QColor(192, 192, 255), QString(), QStringLiteral("font-weight: bold;")));
    LYSJ = forms::placed<QLabel>(Picture6, QString(), 2, 38, 88, 22);
    yinzi = forms::combo(Picture6, 92, 38, 94, 22,
                         {QStringLiteral("CD音质"), QStringLiteral("好音质"), QStringLiteral("普通音质")});
    yinzi->setEditable(false);
    yinzi->setToolTip(QStringLiteral("根据需要选择适应的录音音质！"));
}

void YYBJ::setRecorderPanelDesigned()
{
    for (QRadioButton* b : LUYINJI) forms::unselectOption(b);
    Lyjsj->setEnabled(false);
    LYSJ->setText(restingClockText());
    yinzi->setCurrentIndex(-1);
}

void YYBJ::wireRecorder()
{
    for (int i = 0; i < 4; ++i) forms::onOptionClick(LUYINJI[i], this, [this, i] { LUYINJI_Click(i); });
    connect(yinzi, &QComboBox::currentIndexChanged, this, [this] { yinzi_Change(); });
    Lyjsj->onTick([this] { Lyjsj_Timer(); });
}

void YYBJ::yinzi_Change()
{
    const int item = yinzi->currentIndex();
    if (item < 0 || item > 2) return;
    fields().RecBits = QString::fromLatin1(kQualities[item].bits);
    fields().RecRate = QString::fromLatin1(kQualities[item].rate);
}

void YYBJ::UnselectRecorderButtons()
{
    for (int i : {Play, Record, Save}) forms::unselectOption(LUYINJI[i]);
}

void YYBJ::RecorderToRest()
{
    auto& f = fields();
    for (QRadioButton* b : LUYINJI) forms::unselectOption(b);
    Lyjsj->setEnabled(false);
    LYSJ->setText(restingClockText());
    f.RecMinutes = 0;
    f.RecSeconds = 0;
}

void YYBJ::RecorderFailed(const QString& why)
{
    RecorderToRest();
    forms::MsgBox(why, this);
}

std::optional<QString> YYBJ::RecorderFileChosen(const std::optional<forms::FileChoice>& choice)
{
    if (!choice) {
        UnselectRecorderButtons();
        return std::nullopt;
    }
    DuiHu.FileName = choice->path;
    DuiHu.FileTitle = choice->title;
    fields().EditFileName = choice->path;
    return choice->path;
}

void YYBJ::LUYINJI_Click(int Index)
{
    auto& f = fields();
    midi::RecorderSession& recorder = f.Recorder;
    switch (Index) {
    case Play: {
        // The device is closed only once a file was chosen: a cancel keeps what it holds, a
        // playback going on or a recording not yet saved.
        const auto path = RecorderFileChosen(
            forms::ShowOpen({midi::kRecorderPlayFilter, DuiHu.InitDir, kHelpButtonFlag, {}}, this));
        if (!path || path->isEmpty()) return;
        if (!recorder.startPlaying(*path)) {
            RecorderFailed(recorder.error());
            return;
        }
        f.RecMinutes = 0;
        f.RecSeconds = 0;
        Lyjsj->setEnabled(true);
        return;
    }
    case Stop:
        recorder.stop();
        Lyjsj->setEnabled(false);
        f.RecMinutes = 0;
        f.RecSeconds = 0;
        LYSJ->setText(restingClockText());
        return;
    case Record:
        // Pressed again while this panel records: the take goes on (a new one would drop it).
        if (recorder.started() == midi::RecorderSession::Started::Recording && recorder.ownsDevice()) return;
        if (!recorder.startRecording(f.RecBits.toInt(), f.RecRate.toInt())) {
            RecorderFailed(recorder.error());
            return;
        }
        Lyjsj->setEnabled(true);   // the clock goes on from where it stands
        return;
    case Save: {
        const auto path = RecorderFileChosen(
            forms::ShowSave({midi::kRecorderSaveFilter, DuiHu.InitDir, kOverwritePromptFlag, {}}, this));
        if (!path) return;
        // A failed save leaves the recording in the device for another try.
        const bool incomplete = recorder.takeCut();
        if (!recorder.save(*path)) {
            RecorderFailed(recorder.error());
            return;
        }
        Lyjsj->setEnabled(false);
        LYSJ->setText(restingClockText());
        f.RecMinutes = 0;
        f.RecSeconds = 0;
        UnselectRecorderButtons();
        if (incomplete) forms::MsgBox(midi::kCutTakeSavedText, this);
        return;
    }
    default:
        return;
    }
}

void YYBJ::Lyjsj_Timer()
{
    auto& f = fields();
    LYSJ->setText(clockText(f.RecMinutes, f.RecSeconds));
    switch (f.Recorder.poll()) {
    case midi::RecorderSession::PollResult::Running:
        break;
    case midi::RecorderSession::PollResult::Ended:   // the file played to its end
        Lyjsj->setEnabled(false);
        LYSJ->setText(restingClockText());
        f.RecMinutes = 0;
        f.RecSeconds = 0;
        forms::unselectOption(LUYINJI[Play]);
        break;
    case midi::RecorderSession::PollResult::Superseded:   // the device holds another's work now
        RecorderToRest();
        break;
    case midi::RecorderSession::PollResult::Cut:   // a full disk: the clock stops where it stands
        Lyjsj->setEnabled(false);
        forms::unselectOption(LUYINJI[Record]);
        forms::MsgBox(f.Recorder.cutText(), this);
        return;
    }
    // Every tick counts, also the one that saw the end: the clock then stands at one second.
    int minutes = f.RecMinutes, seconds = f.RecSeconds;
    midi::AdvanceRecorderClock(minutes, seconds);
    f.RecMinutes = int16_t(minutes);
    f.RecSeconds = int16_t(seconds);
}

}  // namespace editor
