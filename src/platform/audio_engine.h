#pragma once
// The audio engine: one SDL2 output stream (48 kHz, stereo float, 256-frame buffer) whose
// callback mixes every registered source: the built-in synthesizer, the wave sound player and
// the media player. The device opens on first use; when it cannot, the engine says so once
// and the program goes on without sound.
//
// When every source has been quiet for a while (2 s) the output rests: its callback waits
// without rendering, so a program at rest uses no processor time and wakes no thread. Anything
// about to sound calls wake(), and the next buffer is rendered at once.
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform {

// Something the engine mixes. `mixInto` runs on the audio thread with the engine's source lock
// held: it adds `frames` interleaved stereo float frames at 48 kHz into `out`.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual void mixInto(float* out, int frames) = 0;
    // Whether the source still sounds or will (after the buffer just mixed); the output rests
    // only while no source does. Runs on the audio thread with the source lock held.
    virtual bool sounding() const { return true; }
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

    // Something is about to sound: a resting output renders again at once, and rests again
    // only after a new quiet spell. Any thread; cheap enough for every message.
    void wake();
    // Whether the output rests (renders nothing until woken).
    bool resting() const { return resting_.load(); }
    // How long every source must be quiet before the output rests.
    void setRestAfter(std::chrono::milliseconds quiet) { restAfterFrames_ = int64_t(quiet.count()) * kRate / 1000; }

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
    // callback does. Takes the source lock. Returns whether any source sounds.
    bool render(float* out, int frames);

    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

private:
    AudioEngine() = default;
    static void callback(void* self, unsigned char* stream, int len);
    // The device callback's part: waits while resting, renders, and counts the quiet.
    void play(float* out, int frames);

    std::mutex mutex_;
    std::atomic<float> waveGainLeft_{1.0f};
    std::atomic<float> waveGainRight_{1.0f};
    std::vector<AudioSource*> sources_;
    unsigned device_ = 0;
    bool audioInit_ = false;
    bool triedOutput_ = false;
    QString outputError_;

    // Resting. The audio thread sets `resting_` and then looks whether a wake came meanwhile;
    // wake() counts itself and then looks whether the output rests: one of them always sees
    // the other, so no wake is lost.
    std::atomic<bool> resting_{false};
    std::atomic<uint64_t> wakes_{0};
    std::atomic<bool> stayAwake_{false};   // paused or closing: the callback must not wait
    std::atomic<int64_t> restAfterFrames_{2 * kRate};
    std::mutex restMutex_;
    std::condition_variable restWake_;
    // Audio thread only.
    uint64_t wakesSeen_ = 0;
    int64_t quietFrames_ = 0;
};

}  // namespace platform
