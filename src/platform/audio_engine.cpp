#include "platform/audio_engine.h"

#include <SDL.h>
#include <algorithm>
#include <cstdio>

namespace platform {

AudioEngine& AudioEngine::instance()
{
    static AudioEngine engine;
    return engine;
}

AudioEngine::~AudioEngine()
{
    // Closing waits for the callback to return: it must not be resting.
    stayAwake_ = true;
    wake();
    if (device_) SDL_CloseAudioDevice(device_);
    if (audioInit_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioEngine::initAudio(QString* why)
{
    if (audioInit_) return true;
    // The audio subsystem brings up SDL's event queue, which would otherwise take over SIGINT
    // and SIGTERM and turn them into events nobody reads: the program could then not be
    // interrupted or terminated.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        if (why) *why = QString::fromUtf8(SDL_GetError());
        return false;
    }
    audioInit_ = true;
    return true;
}

bool AudioEngine::ensureOutput()
{
    if (device_ || triedOutput_) return device_ != 0;
    triedOutput_ = true;
    QString why;
    if (initAudio(&why)) {
        SDL_AudioSpec want{};
        want.freq = kRate;
        want.format = AUDIO_F32SYS;
        want.channels = kChannels;
        want.samples = kBufferFrames;
        want.callback = &AudioEngine::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts to whatever the hardware takes.
        device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device_) why = QString::fromUtf8(SDL_GetError());
    }
    if (!device_) {
        outputError_ = QStringLiteral("无法打开音频输出设备（%1），程序将没有声音。").arg(why);
        std::fprintf(stderr, "velqor: %s\n", outputError_.toLocal8Bit().constData());
        return false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void AudioEngine::setOutputPaused(bool paused)
{
    if (!device_) return;
    if (paused) {
        // Pausing waits for the callback to return: it must not be resting.
        stayAwake_ = true;
        wake();
        SDL_PauseAudioDevice(device_, 1);
    } else {
        SDL_PauseAudioDevice(device_, 0);
        stayAwake_ = false;
    }
}

void AudioEngine::wake()
{
    wakes_.fetch_add(1);
    if (!resting_.load()) return;
    {
        std::lock_guard lock(restMutex_);
        resting_ = false;
    }
    restWake_.notify_one();
}

void AudioEngine::addSource(AudioSource* source)
{
    std::lock_guard lock(mutex_);
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
        sources_.push_back(source);
}

void AudioEngine::removeSource(AudioSource* source)
{
    std::lock_guard lock(mutex_);
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}

bool AudioEngine::render(float* out, int frames)
{
    std::fill(out, out + frames * kChannels, 0.0f);
    bool sounding = false;
    std::lock_guard lock(mutex_);
    for (AudioSource* s : sources_) {
        s->mixInto(out, frames);
        if (s->sounding()) sounding = true;
    }
    for (int i = 0; i < frames * kChannels; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    return sounding;
}

void AudioEngine::play(float* out, int frames)
{
    if (resting_.load()) {
        std::unique_lock lock(restMutex_);
        restWake_.wait(lock, [this] { return !resting_.load(); });
    }
    const uint64_t wakes = wakes_.load();
    if (wakes != wakesSeen_) {
        wakesSeen_ = wakes;
        quietFrames_ = 0;
    }
    quietFrames_ = render(out, frames) ? 0 : quietFrames_ + frames;
    if (quietFrames_ >= restAfterFrames_.load() && !stayAwake_.load()) {
        // This quiet buffer still plays; the next callback waits.
        resting_ = true;
        if (wakes_.load() != wakes || stayAwake_.load()) resting_ = false;
    }
}

void AudioEngine::callback(void* self, unsigned char* stream, int len)
{
    static_cast<AudioEngine*>(self)->play(reinterpret_cast<float*>(stream), len / int(sizeof(float) * kChannels));
}

}  // namespace platform
