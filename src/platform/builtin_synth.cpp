#include "platform/builtin_synth.h"

#include "platform/audio_engine.h"
#include "platform/message_queue.h"

#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <fluidsynth.h>
#include <thread>
#include <vector>

namespace platform {

namespace {

constexpr int kPolyphony = 64;
// A queued "message" no wire message can be (the wire stops at 0xEF): silence every channel.
constexpr uint8_t kAllSoundOff = 0xFF;

bool isFile(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

// Mixes the synthesizer into the engine's output.
class SynthSource : public AudioSource {
public:
    explicit SynthSource(BuiltinSynth& synth) : synth_(synth) {}
    void mixInto(float* out, int frames) override
    {
        if (int(left_.size()) < frames) {
            left_.resize(frames);
            right_.resize(frames);
        }
        synth_.render(left_.data(), right_.data(), frames);
        float peak = 0;
        for (int i = 0; i < frames; ++i) {
            out[2 * i] += left_[i];
            out[2 * i + 1] += right_[i];
            peak = std::max({peak, std::abs(left_[i]), std::abs(right_[i])});
        }
        sounding_ = peak > kSilence;
    }
    // Sounding while its output is above silence: notes and their reverberation.
    bool sounding() const override { return sounding_; }

private:
    static constexpr float kSilence = 1e-5f;   // -100 dB
    BuiltinSynth& synth_;
    std::vector<float> left_, right_;
    bool sounding_ = false;
};

}  // namespace

struct BuiltinSynth::Impl {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    std::atomic<bool> loaded{false};   // read by the audio thread
    std::atomic<int> sentSinceRender{0};
    MessageQueue queue{kQueueCapacity};
    SynthSource* source = nullptr;
    // Loads the SoundFont in the background; error_ and soundFont_ are its until it is joined.
    std::thread loader;
};

QString findSoundFont()
{
    const QString env = qEnvironmentVariable("VELQOR_SOUNDFONT");
    if (isFile(env)) return env;
    if (fluid_settings_t* s = new_fluid_settings()) {
        char* configured = nullptr;
        QString path;
        if (fluid_settings_dupstr(s, "synth.default-soundfont", &configured) == FLUID_OK && configured) {
            path = QString::fromLocal8Bit(configured);
            fluid_free(configured);
        }
        delete_fluid_settings(s);
        if (isFile(path)) return path;
    }
    for (const char* known : {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
                              "/usr/share/sounds/sf3/FluidR3_GM.sf3", "/usr/share/sounds/sf3/default-GM.sf3",
                              "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf3/MuseScore_General.sf3"}) {
        if (isFile(QString::fromLatin1(known))) return QString::fromLatin1(known);
    }
    return {};
}

BuiltinSynth& BuiltinSynth::instance()
{
    static BuiltinSynth synth;
    return synth;
}

BuiltinSynth::BuiltinSynth() : d_(new Impl)
{
    // Only the synthesizer's errors reach stderr. Its warnings are per note (a voice that could
    // not be started, an event queue that ran full when notes come faster than the output
    // renders them) and would flood the terminal; the program reports its own failures.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
    fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    d_->settings = new_fluid_settings();
    fluid_settings_setnum(d_->settings, "synth.sample-rate", AudioEngine::kRate);
    // One thread at a time uses the synthesizer (see render()): it needs no lock of its own.
    fluid_settings_setint(d_->settings, "synth.threadsafe-api", 0);
    // Voices: each costs about 1.8 us of rendering per 256-frame buffer. With the default
    // layers (tubular bells ring for up to 18 s after their key) a score at tempo 130 would keep
    // 256 voices busy within seconds, 10 % of a core. 64 hold everything that is held at once
    // (three layers and the lower octave, two chord voices, the drums) with room to spare; when
    // they run out, released voices are taken first, the longest sounding before the others,
    // and a voice still held only when no released voice has sounded a tenth of a second.
    fluid_settings_setint(d_->settings, "synth.polyphony", kPolyphony);
    fluid_settings_setnum(d_->settings, "synth.overflow.released", -10000);
    d_->synth = new_fluid_synth(d_->settings);
    d_->source = new SynthSource(*this);
    // The engine is created before the synthesizer, so it outlives it.
    AudioEngine::instance().addSource(d_->source);
}

BuiltinSynth::~BuiltinSynth()
{
    if (d_->loader.joinable()) d_->loader.join();
    AudioEngine::instance().removeSource(d_->source);
    delete d_->source;
    if (d_->synth) delete_fluid_synth(d_->synth);
    if (d_->settings) delete_fluid_settings(d_->settings);
    delete d_;
}

bool BuiltinSynth::loaded() const { return d_->loaded; }

fluid_synth_t* BuiltinSynth::synth() const { return d_->synth; }

void BuiltinSynth::startLoading()
{
    if (d_->loaded || d_->loader.joinable() || !d_->synth) return;
    d_->loader = std::thread([this] { loadSoundFont(); });
}

bool BuiltinSynth::load()
{
    if (d_->loader.joinable()) {
        d_->loader.join();   // returns at once when the load has finished
        if (d_->loaded) AudioEngine::instance().ensureOutput();
        return d_->loaded;
    }
    if (d_->loaded) return true;
    if (!loadSoundFont()) return false;
    AudioEngine::instance().ensureOutput();
    return true;
}

bool BuiltinSynth::loadSoundFont()
{
    if (!d_->synth) {
        error_ = QStringLiteral("无法创建内置合成器。");
        return false;
    }
    const QString path = findSoundFont();
    if (path.isEmpty()) {
        error_ = QStringLiteral("没有找到 General MIDI 音色库（SoundFont）。请安装 fluid-soundfont-gm "
                                "软件包，或用环境变量 VELQOR_SOUNDFONT 指定音色库文件。");
        return false;
    }
    if (fluid_synth_sfload(d_->synth, QFile::encodeName(path).constData(), 1) == FLUID_FAILED) {
        error_ = QStringLiteral("无法读取音色库文件 %1。请重新安装 fluid-soundfont-gm 软件包，"
                                "或用环境变量 VELQOR_SOUNDFONT 指定音色库文件。").arg(path);
        return false;
    }
    soundFont_ = path;
    error_.clear();
    d_->loaded = true;
    return true;
}

void BuiltinSynth::send(const uint8_t* bytes, int length)
{
    if (length >= 2) post(bytes, length);
}

void BuiltinSynth::allSoundOff() { post(&kAllSoundOff, 1); }

uint64_t BuiltinSynth::overflows() const { return d_->queue.overflows(); }

void BuiltinSynth::post(const uint8_t* bytes, int length)
{
    if (!d_->loaded) return;
    QueuedMessage m;
    std::copy(bytes, bytes + std::min(length, 3), m.bytes);
    m.length = uint8_t(length);
    if (!d_->queue.push(m)) return;
    AudioEngine& engine = AudioEngine::instance();
    engine.wake();
    if (engine.outputOpen()) return;
    // No output device renders, so this thread renders a silent block now and then: it hands
    // the messages to the synthesizer, whose own queue of voice events would otherwise fill
    // after a few hundred notes.
    if (++d_->sentSinceRender >= 16) {
        float left[64], right[64];
        render(left, right, 64);
    }
}

void BuiltinSynth::takeMessages()
{
    fluid_synth_t* s = d_->synth;
    QueuedMessage m;
    // What was queued when the buffer began: a sender that goes on meanwhile does not hold the
    // buffer up.
    for (size_t n = d_->queue.size(); n > 0 && d_->queue.pop(m); --n) {
        const int chan = m.bytes[0] & 0x0F;
        const int d1 = m.bytes[1];
        const int d2 = m.length > 2 ? m.bytes[2] : 0;
        // Results are not looked at: a note-off that matches no voice, or a note on a channel
        // without a preset, is not a failure of the device.
        switch (m.bytes[0] & 0xF0) {
        case 0x80: fluid_synth_noteoff(s, chan, d1); break;
        case 0x90: fluid_synth_noteon(s, chan, d1, d2); break;   // velocity 0 is a note-off
        case 0xA0: fluid_synth_key_pressure(s, chan, d1, d2); break;
        case 0xB0: fluid_synth_cc(s, chan, d1, d2); break;
        case 0xC0: fluid_synth_program_change(s, chan, d1); break;
        case 0xD0: fluid_synth_channel_pressure(s, chan, d1); break;
        case 0xE0: fluid_synth_pitch_bend(s, chan, d1 | (d2 << 7)); break;
        case 0xF0: fluid_synth_all_sounds_off(s, -1); break;   // kAllSoundOff
        default: break;
        }
    }
}

void BuiltinSynth::render(float* left, float* right, int frames)
{
    if (!d_->loaded) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    takeMessages();
    d_->sentSinceRender = 0;
    fluid_synth_write_float(d_->synth, frames, left, 0, 1, right, 0, 1);
}

}  // namespace platform
