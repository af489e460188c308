#pragma once
// The built-in General MIDI synthesizer: FluidSynth with a SoundFont, rendered by the audio
// engine. Created and loaded once on first use and kept for the whole run.
//
// Only the renderer uses the synthesizer. Messages wait in a queue without locks, which the
// renderer empties, in order, before each buffer it renders: the window's thread never waits
// for the audio thread, nor the audio thread for the window's. While no output device renders,
// the sender's own thread takes its messages at once.
#include <QString>
#include <cstddef>
#include <cstdint>

typedef struct _fluid_synth_t fluid_synth_t;

namespace platform {

class BuiltinSynth {
public:
    // The one synthesizer, created (not yet loaded) on first call.
    static BuiltinSynth& instance();

    // Begins loading the SoundFont on a thread of its own, so that the program does not wait
    // for it when the synthesizer is opened later. Call it once, early.
    void startLoading();
    // Loads the SoundFont unless it is loaded already, waiting for a load begun by
    // startLoading() if it has not finished; false when none can be found or loaded (the reason
    // in error()). The first successful load also opens the audio output.
    bool load();
    bool loaded() const;
    QString error() const { return error_; }
    // The SoundFont file in use (empty before a successful load).
    QString soundFontPath() const { return soundFont_; }

    // Room in the queue: the largest editor step (about 500 messages) several times over.
    static constexpr size_t kQueueCapacity = 4096;

    // Plays one wire-valid MIDI message of 2 or 3 bytes from the next buffer on. Never waits: a
    // message that finds the queue full is dropped and counted.
    void send(const uint8_t* bytes, int length);
    // Silences every channel at once (from the next buffer on, as a message would).
    void allSoundOff();
    // Messages dropped so far because the queue was full.
    uint64_t overflows() const;

    // Takes the messages sent so far, then renders `frames` stereo frames into the given
    // left/right buffers (stride 1). One thread at a time: the audio engine's, under its source
    // lock, while the output device runs.
    void render(float* left, float* right, int frames);

    // For reading the synthesizer's state while nothing else renders (the output held, or
    // none), after a render has taken the messages.
    fluid_synth_t* synth() const;

    ~BuiltinSynth();
    BuiltinSynth(const BuiltinSynth&) = delete;
    BuiltinSynth& operator=(const BuiltinSynth&) = delete;

private:
    BuiltinSynth();
    // Reads the SoundFont into the synthesizer (on any thread); sets the error or the path.
    bool loadSoundFont();
    // Queues one message (bytes[0] kAllSoundOff: silence) and sees that it is taken.
    void post(const uint8_t* bytes, int length);
    // The renderer's side: hands the messages queued so far to the synthesizer, in order.
    void takeMessages();
    struct Impl;
    Impl* d_;
    QString error_;
    QString soundFont_;
};

// The SoundFont the built-in synthesizer loads: $VELQOR_SOUNDFONT when set, else the
// synthesizer's configured default, else the known system locations; empty when none exists.
QString findSoundFont();

}  // namespace platform
