#pragma once
// An in-memory media service for tests of the recorder panels: records every operation as a
// short text, in order, and answers with results and a mode that tests can set.
#include "platform/media_service.h"

#include <QStringList>

namespace platform {

class FakeMediaService : public MediaService {
public:
    // Operations in order: "close", "open-recording <bits> <rate> <channels>", "record", "stop",
    // "save <path>", "open <path>", "seek", "play". Mode queries are counted, not listed.
    QStringList ops;
    int modeQueries = 0;

    // Results of the calls that report one.
    bool openRecordingResult = true;
    bool recordResult = true;
    bool saveResult = true;
    bool openFileResult = true;
    bool playResult = true;

    // The mode follows the operations (close: NotOpen; open, stop: Stopped; record: Recording;
    // play: Playing) unless a failed call leaves it; tests may set it directly, e.g. to
    // Stopped to stand for the end of playback.
    MediaMode currentMode = MediaMode::NotOpen;
    int64_t position = 0;
    int64_t length = 0;
    bool cut = false;   // what takeCut() reports
    QString error;

    void clear() { ops.clear(); modeQueries = 0; }

    void close() override;
    bool openRecording(int bits, int rate, int channels, const QString& takeFolder = QString()) override;
    QString takeFolder;   // the folder the last recording was opened in
    bool record() override;
    void stop() override;
    bool save(const QString& path) override;
    bool openFile(const QString& path) override;
    void seekToStart() override;
    bool play() override;
    MediaMode mode() override;
    bool takeCut() override { return cut; }
    int64_t positionMs() override { return position; }
    int64_t lengthMs() override { return length; }
    QString lastError() override { return error; }

private:
    bool result(bool ok, const QString& what);
};

}  // namespace platform
