#pragma once
// The built-in General MIDI synthesizer: FluidSynth with a SoundFont, rendered by the audio
// engine. Created and loaded once on first use and kept for the whole run.
#include <QString>
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

    // Plays one wire-valid MIDI message of 2 or 3 bytes.
    void send(const uint8_t* bytes, int length);
    // Silences every channel at once.
    void allSoundOff();

    // Renders `frames` stereo frames into the given left/right buffers (stride 1). Safe on the
    // audio thread while the user-interface thread sends notes.
    void render(float* left, float* right, int frames);

    fluid_synth_t* synth() const;

    ~BuiltinSynth();
    BuiltinSynth(const BuiltinSynth&) = delete;
    BuiltinSynth& operator=(const BuiltinSynth&) = delete;

private:
    BuiltinSynth();
    // Reads the SoundFont into the synthesizer (on any thread); sets the error or the path.
    bool loadSoundFont();
    struct Impl;
    Impl* d_;
    QString error_;
    QString soundFont_;
};

// The SoundFont the built-in synthesizer loads: $VELQOR_SOUNDFONT when set, else the
// synthesizer's configured default, else the known system locations; empty when none exists.
QString findSoundFont();

}  // namespace platform
