#pragma once
// Reading sound files for playback: WAV (and the other formats libsndfile knows) and MP3,
// delivered as interleaved stereo float frames, and a converter to the engine's output rate.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

typedef struct _SDL_AudioStream SDL_AudioStream;

namespace platform {

class AudioFileReader {
public:
    virtual ~AudioFileReader() = default;
    virtual int rate() const = 0;
    // Length in frames (per channel).
    virtual int64_t frames() const = 0;
    // Reads up to `count` frames as interleaved stereo float (mono is doubled, channels past the
    // second are dropped); returns the frames read, 0 at the end.
    virtual int read(float* stereo, int count) = 0;
    virtual bool rewind() = 0;
};

// Opens a WAV file (RIFF, RIFX, RF64 or BW64, any codec libsndfile reads) through libsndfile;
// null with a reason on failure, also for any other kind of file.
std::unique_ptr<AudioFileReader> openSndfileReader(const QString& path, QString* error);
// Opens an MP3 file through libmpg123; null with a reason on failure.
std::unique_ptr<AudioFileReader> openMp3Reader(const QString& path, QString* error);

// Converts interleaved stereo float from one rate to the engine's 48 kHz.
class Resampler {
public:
    explicit Resampler(int fromRate);
    ~Resampler();
    Resampler(const Resampler&) = delete;
    Resampler& operator=(const Resampler&) = delete;

    bool valid() const { return stream_ != nullptr; }
    void put(const float* stereo, int frames);
    // Pushes out what is held back at the end of the input.
    void flush();
    // Frames ready to take.
    int available() const;
    // Takes up to `frames` frames; returns how many.
    int get(float* stereo, int frames);
    void clear();

private:
    SDL_AudioStream* stream_ = nullptr;
};

// Reads a whole file and converts it to 48 kHz stereo float.
std::vector<float> decodeAll(AudioFileReader& reader);

}  // namespace platform
