#include "midi/recorder_session.h"

#include "midi/state.h"
#include "platform/media_service.h"

namespace midi {

namespace {

// Counts every opening and closing of the shared device by any session; a session owns the
// device while the count is still the one it got when it opened it.
uint64_t g_deviceGeneration = 0;

constexpr int kRecorderChannels = 2;

}  // namespace

QString RecorderClockText(int minutes, int seconds)
{
    return QString::number(minutes) + QLatin1Char(':') + QString::number(seconds);
}

void AdvanceRecorderClock(int& minutes, int& seconds)
{
    if (seconds == 59) {
        ++minutes;
        seconds = 0;
    } else {
        ++seconds;
    }
}

bool RecorderSession::ownsDevice() const { return claim_ != 0 && claim_ == g_deviceGeneration; }

void RecorderSession::closeDevice()
{
    platform::mediaService().close();
    ++g_deviceGeneration;
    claim_ = 0;
}

void RecorderSession::claimDevice(Started what)
{
    claim_ = ++g_deviceGeneration;
    started_ = what;
}

bool RecorderSession::startRecording(int bits, int rate)
{
    auto& media = platform::mediaService();
    closeDevice();
    claimDevice(Started::Recording);
    // The take streams into the record folder, where it is usually saved: the save moves it.
    if (!media.openRecording(bits, rate, kRecorderChannels, RecordFolder()) || !media.record())
        return fail(QStringLiteral("无法录音。。。"));
    error_.clear();
    return true;
}

bool RecorderSession::startPlaying(const QString& path)
{
    auto& media = platform::mediaService();
    closeDevice();
    claimDevice(Started::Playback);
    if (!media.openFile(path)) return fail(QStringLiteral("无法打开所选文件。。。"));
    media.seekToStart();
    if (!media.play()) return fail(QStringLiteral("无法播放所选文件。。。"));
    error_.clear();
    return true;
}

bool RecorderSession::fail(const QString& fallback)
{
    error_ = platform::mediaService().lastError();
    if (error_.isEmpty()) error_ = fallback;
    closeDevice();
    started_ = Started::Nothing;
    return false;
}

void RecorderSession::stop()
{
    platform::mediaService().stop();
    started_ = Started::Nothing;
}

bool RecorderSession::save(const QString& path)
{
    auto& media = platform::mediaService();
    media.stop();
    started_ = Started::Nothing;
    if (!media.save(path)) {
        error_ = media.lastError();
        if (error_.isEmpty()) error_ = QStringLiteral("无法保存录音。。。");
        return false;
    }
    closeDevice();
    error_.clear();
    return true;
}

RecorderSession::PollResult RecorderSession::poll()
{
    auto& media = platform::mediaService();
    const platform::MediaMode mode = media.mode();
    if (started_ == Started::Nothing) return PollResult::Running;
    if (!ownsDevice() || mode == platform::MediaMode::NotOpen) {
        started_ = Started::Nothing;
        return PollResult::Superseded;
    }
    if (started_ == Started::Recording && media.takeCut()) {
        media.stop();
        started_ = Started::Nothing;
        return PollResult::Cut;
    }
    if (started_ == Started::Playback && mode == platform::MediaMode::Stopped) {
        media.stop();
        closeDevice();
        started_ = Started::Nothing;
        return PollResult::Ended;
    }
    return PollResult::Running;
}

bool RecorderSession::takeCut() const { return platform::mediaService().takeCut(); }

QString RecorderSession::cutText() const
{
    const int64_t seconds = platform::mediaService().lengthMs() / 1000;
    return QStringLiteral("磁盘已满，录音无法继续写入，已在 %1 分 %2 秒处中断。中断前录下的部分仍可保存。")
        .arg(seconds / 60)
        .arg(seconds % 60);
}

}  // namespace midi
