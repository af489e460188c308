// The wave sound player: one sound at a time, mixed by the audio engine.
//
// A file is decoded once into memory that the mixer plays from while the rest is still being
// decoded: its first quarter second when it is first played, the rest on the player's decoder
// thread. A press starts the sound at once, however long the file, and the window's thread
// never waits for the whole decode. Decoded sounds are kept until their
// file changes (its size or time of change), within a memory budget.
#include "platform/wave_player.h"

#include "platform/audio_engine.h"
#include "platform/audio_file.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
namespace {

// Decoded sounds kept beyond this many bytes are dropped, the least recently played first.
constexpr size_t kCacheBudget = size_t(512) << 20;
// Frames read from the file per step of the decoder.
constexpr int kDecodeChunk = 4096;
// Frames (at the engine's rate) decoded at once when a sound is first played: a quarter second.
constexpr size_t kLeadFrames = 12000;

// One sound at the engine's rate (48 kHz stereo float): filled by the decoder thread, played
// by the mixer as far as it is filled.
struct DecodedSound {
    std::unique_ptr<float[]> samples;      // `capacity` frames
    size_t capacity = 0;
    std::atomic<size_t> ready{0};          // frames filled so far
    std::atomic<bool> finished{false};     // decoding has ended: `ready` is the whole length
    std::atomic<bool> cancelled{false};    // the file changed: the decoder drops the sound
    // The file as it was when it was opened.
    qint64 fileSize = -1;
    QDateTime fileTime;
    uint64_t lastUse = 0;                  // window thread only

    // The decoder's state, used by the decoder thread only until `finished`.
    std::unique_ptr<AudioFileReader> reader;
    std::unique_ptr<Resampler> resampler;
    size_t filled = 0;
    std::vector<float> whole;   // the samples of a file that does not say its length

    size_t bytes() const { return capacity * 2 * sizeof(float); }
    bool failed() const { return finished.load() && ready.load() == 0; }
};

using SoundPtr = std::shared_ptr<DecodedSound>;

// The memory a file takes once decoded at the engine's rate, from the length its header states.
double decodedBytes(const AudioFileReader& reader)
{
    return double(reader.frames()) * AudioEngine::kRate / reader.rate() * 2 * sizeof(float);
}

// Moves what the converter has ready into the sound and publishes it to the mixer.
void takeConverted(DecodedSound& sound)
{
    Resampler& resampler = *sound.resampler;
    for (int available = resampler.available(); available > 0; available = resampler.available()) {
        if (sound.samples) {
            const size_t room = std::min<size_t>(size_t(available), sound.capacity - sound.filled);
            if (room == 0) {
                std::vector<float> drop(size_t(available) * 2);   // past the file's own length
                resampler.get(drop.data(), available);
                break;
            }
            const int got = resampler.get(sound.samples.get() + 2 * sound.filled, int(room));
            if (got <= 0) break;
            sound.filled += size_t(got);
        } else {
            const size_t at = sound.whole.size();
            sound.whole.resize(at + size_t(available) * 2);
            const int got = resampler.get(sound.whole.data() + at, available);
            sound.whole.resize(at + size_t(std::max(got, 0)) * 2);
            if (got <= 0) break;
        }
    }
    if (sound.samples) sound.ready.store(sound.filled, std::memory_order_release);
}

// Ends decoding: a file without a length is published whole now.
void finishDecoding(DecodedSound& sound)
{
    if (!sound.samples && !sound.whole.empty() && !sound.cancelled.load()) {
        sound.capacity = sound.whole.size() / 2;
        sound.samples.reset(new float[sound.whole.size()]);
        std::copy(sound.whole.begin(), sound.whole.end(), sound.samples.get());
        sound.ready.store(sound.capacity, std::memory_order_release);
    }
    sound.whole = {};
    sound.resampler.reset();
    sound.reader.reset();
    sound.finished.store(true, std::memory_order_release);
}

// Decodes one step of `sound`; false once it is finished.
bool decodeStep(DecodedSound& sound)
{
    if (sound.cancelled.load()) {
        finishDecoding(sound);
        return false;
    }
    AudioFileReader& reader = *sound.reader;
    if (!sound.resampler) {
        sound.resampler = std::make_unique<Resampler>(reader.rate());
        if (!sound.resampler->valid()) {
            finishDecoding(sound);
            return false;
        }
        const int64_t length = reader.frames();
        if (length > 0) {
            // The converted length, with room for the converter's rounding.
            sound.capacity =
                size_t((length * AudioEngine::kRate + reader.rate() - 1) / reader.rate()) + 1024;
            sound.samples.reset(new float[sound.capacity * 2]);
        }
    }
    std::vector<float> chunk(size_t(kDecodeChunk) * 2);
    const int got = reader.read(chunk.data(), kDecodeChunk);
    if (got > 0) {
        sound.resampler->put(chunk.data(), got);
        takeConverted(sound);
        return true;
    }
    sound.resampler->flush();
    takeConverted(sound);
    finishDecoding(sound);
    return false;
}

// The decoder thread: decodes the sounds handed to it step by step, the one being played
// first, the others in turn, so that a press never waits for another file's decode.
class Decoder {
public:
    Decoder() : thread_([this] { run(); }) {}
    ~Decoder()
    {
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void submit(SoundPtr sound)
    {
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(sound));
        }
        wake_.notify_all();
    }
    // The sound being played: decoded before the others.
    void prefer(SoundPtr sound)
    {
        std::lock_guard lock(mutex_);
        preferred_ = std::move(sound);
    }

private:
    void run()
    {
        for (;;) {
            SoundPtr job;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
                if (quit_) return;
                auto it = std::find(jobs_.begin(), jobs_.end(), preferred_);
                job = it != jobs_.end() ? *it : jobs_.front();
            }
            if (decodeStep(*job)) continue;
            std::lock_guard lock(mutex_);
            jobs_.erase(std::find(jobs_.begin(), jobs_.end(), job));
            if (preferred_ == job) preferred_.reset();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<SoundPtr> jobs_;
    SoundPtr preferred_;
    bool quit_ = false;
    std::thread thread_;   // last: starts when everything it uses stands
};

class WavePlayer : public AudioSource {
public:
    static WavePlayer& instance()
    {
        static WavePlayer player;
        return player;
    }

    ~WavePlayer() override { AudioEngine::instance().removeSource(this); }

    // The sound of `path` (a regular file), decoded or being decoded; null when the file cannot
    // be opened as a sound.
    SoundPtr soundFor(const QString& path)
    {
        const QFileInfo info(path);
        const QString key = info.absoluteFilePath();
        ++useCount_;
        auto it = cache_.find(key);
        if (it != cache_.end()) {
            SoundPtr cached = it.value();
            if (cached->fileSize == info.size() && cached->fileTime == info.lastModified() &&
                !cached->cancelled.load()) {
                cached->lastUse = useCount_;
                return cached->failed() ? nullptr : cached;
            }
            cached->cancelled = true;
            cache_.erase(it);
        }
        auto sound = std::make_shared<DecodedSound>();
        sound->fileSize = info.size();
        sound->fileTime = info.lastModified();
        sound->lastUse = useCount_;
        // Opening reads only the file's header: quick, and it tells at once whether the file is
        // a sound at all. The samples are decoded on the decoder thread.
        sound->reader = openSndfileReader(path, nullptr);
        // A sound that would not fit the whole memory budget once decoded (some 23 minutes) is
        // refused at once, rather than let the decoder take gigabytes.
        if (sound->reader && decodedBytes(*sound->reader) > double(kCacheBudget)) sound->reader.reset();
        cache_.insert(key, sound);
        if (!sound->reader) {
            sound->finished = true;
            return nullptr;
        }
        ++decodes_;
        // The beginning is decoded here, so that the sound starts whole even when the decoder
        // thread is slow to get its turn; a short sound is decoded here completely.
        for (int step = 0; step < 16 && sound->ready.load() < kLeadFrames && decodeStep(*sound); ++step) {
        }
        if (!sound->finished.load()) decoder_.submit(sound);
        return sound;
    }

    // Replaces the sound playing with `sound` from its start; null stops.
    void start(SoundPtr sound, bool loop)
    {
        if (sound && !sound->finished.load()) decoder_.prefer(sound);
        SoundPtr old;
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            old = std::move(sound_);
            sound_ = std::move(sound);
            position_ = 0;
            loop_ = loop;
        }
        // `old` is released here, on this thread: the audio thread never frees a sound.
        trimCache();
    }

    void mixInto(float* out, int frames) override
    {
        if (!sound_) return;
        const DecodedSound& s = *sound_;
        // `finished` first: once it is set, `ready` is the whole length.
        const bool finished = s.finished.load(std::memory_order_acquire);
        const size_t ready = s.ready.load(std::memory_order_acquire);
        if (ready == 0) return;
        const float* samples = s.samples.get();
        const float gl = AudioEngine::instance().waveGainLeft();
        const float gr = AudioEngine::instance().waveGainRight();
        for (int i = 0; i < frames; ++i) {
            if (position_ >= ready) {
                if (!finished || !loop_) return;   // still decoding, or ended
                position_ = 0;
            }
            out[2 * i] += samples[2 * position_] * gl;
            out[2 * i + 1] += samples[2 * position_ + 1] * gr;
            ++position_;
        }
    }

    // A sound sounds until its end, or while it loops or is still being decoded.
    bool sounding() const override
    {
        if (!sound_) return false;
        const bool finished = sound_->finished.load(std::memory_order_acquire);
        return !finished || (loop_ ? sound_->ready.load() > 0 : position_ < sound_->ready.load());
    }

    int decodes() const { return decodes_; }

private:
    WavePlayer() { AudioEngine::instance().addSource(this); }

    // Drops the least recently played finished sounds beyond the budget; the one playing stays.
    void trimCache()
    {
        for (;;) {
            size_t total = 0;
            QString oldestKey;
            uint64_t oldestUse = UINT64_MAX;
            for (auto it = cache_.cbegin(); it != cache_.cend(); ++it) {
                total += it.value()->bytes();
                if (it.value() != sound_ && it.value()->finished.load() && it.value()->lastUse < oldestUse) {
                    oldestUse = it.value()->lastUse;
                    oldestKey = it.key();
                }
            }
            if (total <= kCacheBudget || oldestKey.isEmpty()) return;
            cache_.remove(oldestKey);
        }
    }

    // Window thread only.
    QHash<QString, SoundPtr> cache_;
    uint64_t useCount_ = 0;
    int decodes_ = 0;
    // Guarded by the engine's source lock.
    SoundPtr sound_;
    size_t position_ = 0;
    bool loop_ = false;
    Decoder decoder_;   // last: joined before the rest goes
};

}  // namespace

namespace {
SoundRequest g_lastRequest;
}  // namespace

SoundRequest LastSoundRequest() { return g_lastRequest; }

bool PlaySoundFile(const QString& path, int flags)
{
    g_lastRequest = {path, (flags & kSoundLoop) != 0};
    WavePlayer& player = WavePlayer::instance();
    SoundPtr sound;
    if (!path.isEmpty() && QFileInfo(path).isFile()) sound = player.soundFor(path);
    const bool starts = sound != nullptr;
    if (starts) AudioEngine::instance().ensureOutput();
    player.start(std::move(sound), (flags & kSoundLoop) != 0);
    if (starts) AudioEngine::instance().wake();
    return starts;
}

int SoundFileDecodes() { return WavePlayer::instance().decodes(); }

void SetWaveVolume(uint32_t volume)
{
    AudioEngine::instance().setWaveGain(float(volume & 0xFFFF) / 65535.0f, float(volume >> 16) / 65535.0f);
}

}  // namespace platform
