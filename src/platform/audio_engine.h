#pragma once
// The audio engine: one SDL2 output stream (48 kHz, stereo float, 256-frame buffer) whose
// callback mixes every registered source: the built-in synthesizer, the wave sound player and
// the media player. The device opens on first use; when it cannot, the engine says so once
// and the program goes on without sound.
#include <QString>
#include <atomic>
#include <mutex>
#include <vector>

namespace platform {

// Something the engine mixes. `mixInto` runs on the audio thread with the engine's source lock
// held: it adds `frames` interleaved stereo float frames at 48 kHz into `out`.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual void mixInto(float* out, int frames) = 0;
};

class AudioEngine {
public:
    static constexpr int kRate = 48000;
    static constexpr int kChannels = 2;
    static constexpr int kBufferFrames = 256;

    static AudioEngine& instance();

    // Opens the output device unless it is open already or opening failed before (the failure
    // is reported once on stderr). Returns whether the output device is open.
    bool ensureOutput();
    bool outputOpen() const { return device_ != 0; }
    // Why the output device could not be opened (empty while it has not failed), for the one
    // start-up notice the program shows.
    QString outputError() const { return outputError_; }

    // Holds the output device (it plays silence) or lets it run again; for measurements that
    // render the mix themselves with render().
    void setOutputPaused(bool paused);

    // Initialises SDL's audio subsystem (also used for the capture device); false on failure,
    // with SDL's reason in `why`.
    bool initAudio(QString* why = nullptr);

    // Sources are mixed in the order they were added. A source is removed before it dies;
    // removal waits until the audio thread no longer uses it.
    void addSource(AudioSource* source);
    void removeSource(AudioSource* source);

    // The lock the audio thread holds while mixing: take it to change state a source reads.
    std::mutex& sourceLock() { return mutex_; }

    // Gain of the wave sources (wave sound player and media player), 0..1 per side.
    void setWaveGain(float left, float right)
    {
        waveGainLeft_ = left;
        waveGainRight_ = right;
    }
    float waveGainLeft() const { return waveGainLeft_; }
    float waveGainRight() const { return waveGainRight_; }

    // Mixes `frames` frames of every source into `out` (cleared first), exactly as the device
    // callback does. Takes the source lock.
    void render(float* out, int frames);

    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

private:
    AudioEngine() = default;
    static void callback(void* self, unsigned char* stream, int len);

    std::mutex mutex_;
    std::atomic<float> waveGainLeft_{1.0f};
    std::atomic<float> waveGainRight_{1.0f};
    std::vector<AudioSource*> sources_;
    unsigned device_ = 0;
    bool audioInit_ = false;
    bool triedOutput_ = false;
    QString outputError_;
};

}  // namespace platform
