// The wave sound player: one sound at a time, decoded whole and mixed by the audio engine.
#include "platform/wave_player.h"

#include "platform/audio_engine.h"
#include "platform/audio_file.h"

#include <QFileInfo>
#include <memory>
#include <vector>

namespace platform {
namespace {

class WavePlayer : public AudioSource {
public:
    static WavePlayer& instance()
    {
        static WavePlayer player;
        return player;
    }

    ~WavePlayer() override { AudioEngine::instance().removeSource(this); }

    // Replaces the sound playing with `samples` (48 kHz stereo); empty stops.
    void start(std::vector<float> samples, bool loop)
    {
        auto next = std::make_unique<std::vector<float>>(std::move(samples));
        std::unique_ptr<std::vector<float>> old;
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            old = std::move(sound_);
            if (!next->empty()) sound_ = std::move(next);
            position_ = 0;
            loop_ = loop;
        }
        // `old` is freed here, outside the audio thread's lock.
    }

    void mixInto(float* out, int frames) override
    {
        if (!sound_) return;
        const std::vector<float>& s = *sound_;
        const size_t total = s.size() / 2;
        const float gl = AudioEngine::instance().waveGainLeft();
        const float gr = AudioEngine::instance().waveGainRight();
        for (int i = 0; i < frames; ++i) {
            if (position_ >= total) {
                if (!loop_) return;   // ended; freed by the next call, not on the audio thread
                position_ = 0;
            }
            out[2 * i] += s[2 * position_] * gl;
            out[2 * i + 1] += s[2 * position_ + 1] * gr;
            ++position_;
        }
    }

private:
    WavePlayer() { AudioEngine::instance().addSource(this); }

    // Guarded by the engine's source lock.
    std::unique_ptr<std::vector<float>> sound_;
    size_t position_ = 0;
    bool loop_ = false;
};

}  // namespace

bool PlaySoundFile(const QString& path, int flags)
{
    WavePlayer& player = WavePlayer::instance();
    std::vector<float> samples;
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        if (auto reader = openSndfileReader(path, nullptr)) samples = decodeAll(*reader);
    }
    const bool starts = !samples.empty();
    if (starts) AudioEngine::instance().ensureOutput();
    player.start(std::move(samples), (flags & kSoundLoop) != 0);
    return starts;
}

void SetWaveVolume(uint32_t volume)
{
    AudioEngine::instance().setWaveGain(float(volume & 0xFFFF) / 65535.0f, float(volume >> 16) / 65535.0f);
}

}  // namespace platform
