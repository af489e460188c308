#pragma once
// The media service: one shared recording/playback device with typed operations (never command
// strings with paths spliced in). Records from the default capture device into a take file,
// saves it as WAV, plays WAV and MP3 through the audio engine.
#include <QString>
#include <cstdint>
#include <memory>

namespace platform {

enum class MediaMode { NotOpen, Stopped, Playing, Recording, Paused };

class MediaService {
public:
    virtual ~MediaService() = default;
    // Closes the device: ends playback or recording and drops an unsaved recording.
    virtual void close() = 0;
    // Opens a new empty recording with the given format (bits 8 or 16, rate, channels). The
    // sound recorded goes into a take file in `takeFolder` (the system's temporary folder when
    // it is empty or cannot be written), so that saving can move it into place.
    virtual bool openRecording(int bits, int rate, int channels, const QString& takeFolder = QString()) = 0;
    // Starts or resumes recording into the open recording; false when capture is unavailable.
    virtual bool record() = 0;
    // Stops recording or playback (the device stays open).
    virtual void stop() = 0;
    // Saves the recording as WAV (PCM U8 or 16), whole or not at all; false when nothing was
    // recorded or the write failed, and the recording is then kept.
    virtual bool save(const QString& path) = 0;
    // Opens a WAV or MP3 file for playback (type by extension, any case).
    virtual bool openFile(const QString& path) = 0;
    virtual void seekToStart() = 0;
    virtual bool play() = 0;
    // Stopped once playback reaches the end, and once the recording was cut.
    virtual MediaMode mode() = 0;
    // True once the take file could not be written any further (a full disk): the recording
    // ended there, and what was written before can still be saved. A new recording clears it.
    virtual bool takeCut() = 0;
    // Position and length in milliseconds of what is open (0 when nothing is).
    virtual int64_t positionMs() = 0;
    virtual int64_t lengthMs() = 0;
    // Text of the last failure, for status lines.
    virtual QString lastError() = 0;
};

// The one shared instance (the system's unless a test installed another).
MediaService& mediaService();
// Installs `service` (not owned); nullptr restores the system's.
void setMediaService(MediaService* service);

// A new instance of the system's service; mediaService() holds one for the run.
std::unique_ptr<MediaService> createSystemMediaService();

}  // namespace platform
