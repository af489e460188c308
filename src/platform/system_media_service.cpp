// The system media service (recording and playback through the audio engine).
#include "platform/media_service.h"

#include <memory>

namespace platform {
namespace {
// Interim service: refuses every operation until capture and playback are wired up.
class UnavailableMediaService : public MediaService {
public:
    void close() override {}
    bool openRecording(int, int, int) override { return false; }
    bool record() override { return false; }
    void stop() override {}
    bool save(const QString&) override { return false; }
    bool openFile(const QString&) override { return false; }
    void seekToStart() override {}
    bool play() override { return false; }
    MediaMode mode() override { return MediaMode::NotOpen; }
    int64_t positionMs() override { return 0; }
    int64_t lengthMs() override { return 0; }
    QString lastError() override { return QStringLiteral("录音设备不可用。"); }
};
}  // namespace

std::unique_ptr<MediaService> createSystemMediaService() { return std::make_unique<UnavailableMediaService>(); }

}  // namespace platform
