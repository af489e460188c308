#include "platform/fake_media_service.h"

namespace platform {

bool FakeMediaService::result(bool ok, const QString& what)
{
    if (!ok) error = QStringLiteral("%1失败（测试设定）。").arg(what);
    return ok;
}

void FakeMediaService::close()
{
    ops << QStringLiteral("close");
    currentMode = MediaMode::NotOpen;
}

bool FakeMediaService::openRecording(int bits, int rate, int channels, const QString& folder)
{
    takeFolder = folder;
    ops << QStringLiteral("open-recording %1 %2 %3").arg(bits).arg(rate).arg(channels);
    if (openRecordingResult) currentMode = MediaMode::Stopped;
    return result(openRecordingResult, QStringLiteral("新建录音"));
}

bool FakeMediaService::record()
{
    ops << QStringLiteral("record");
    if (recordResult) currentMode = MediaMode::Recording;
    return result(recordResult, QStringLiteral("录音"));
}

void FakeMediaService::stop()
{
    ops << QStringLiteral("stop");
    if (currentMode != MediaMode::NotOpen) currentMode = MediaMode::Stopped;
}

bool FakeMediaService::save(const QString& path)
{
    ops << QStringLiteral("save ") + path;
    return result(saveResult, QStringLiteral("保存录音"));
}

bool FakeMediaService::openFile(const QString& path)
{
    ops << QStringLiteral("open ") + path;
    if (openFileResult) currentMode = MediaMode::Stopped;
    return result(openFileResult, QStringLiteral("打开文件"));
}

void FakeMediaService::seekToStart() { ops << QStringLiteral("seek"); }

bool FakeMediaService::play()
{
    ops << QStringLiteral("play");
    if (playResult) currentMode = MediaMode::Playing;
    return result(playResult, QStringLiteral("播放"));
}

MediaMode FakeMediaService::mode()
{
    ++modeQueries;
    return currentMode;
}

}  // namespace platform
