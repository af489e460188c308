#pragma once
// Helpers for tests that look at sound: write test tones, read WAV files, find a tone.
#include <QByteArray>
#include <QFile>
#include <QString>
#include <cmath>
#include <sndfile.h>
#include <vector>

namespace sound_check {

constexpr double kPi = 3.14159265358979323846;

// `seconds` of a sine tone, interleaved over `channels` channels.
inline std::vector<float> tone(double freq, int rate, int channels, double seconds, float amplitude = 0.5f)
{
    const size_t frames = size_t(seconds * rate);
    std::vector<float> out(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * size_t(channels) + size_t(c)] = amplitude * float(std::sin(2 * kPi * freq * double(i) / rate));
    return out;
}

// Writes interleaved float samples to a sound file of the given format; false on failure.
inline bool writeSound(const QString& path, const std::vector<float>& samples, int rate, int channels, int format)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f) return false;
    const sf_count_t frames = sf_count_t(samples.size()) / channels;
    const bool ok = sf_writef_float(f, samples.data(), frames) == frames;
    sf_close(f);
    return ok;
}

struct Sound {
    SF_INFO info{};
    std::vector<float> samples;   // interleaved
    bool ok = false;
    double seconds() const { return info.samplerate ? double(info.frames) / info.samplerate : 0; }
    // One channel of the samples.
    std::vector<float> channel(int c) const
    {
        std::vector<float> out;
        for (size_t i = size_t(c); i < samples.size(); i += size_t(info.channels)) out.push_back(samples[i]);
        return out;
    }
};

inline Sound readSound(const QString& path)
{
    Sound s;
    SNDFILE* f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &s.info);
    if (!f) return s;
    s.samples.resize(size_t(s.info.frames) * size_t(s.info.channels));
    s.ok = sf_readf_float(f, s.samples.data(), s.info.frames) == s.info.frames;
    sf_close(f);
    return s;
}

inline double rms(const std::vector<float>& x, size_t from = 0, size_t to = SIZE_MAX)
{
    to = std::min(to, x.size());
    if (from >= to) return 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(to - from));
}

// `x` under a Hann window.
inline std::vector<double> windowed(const std::vector<float>& x)
{
    std::vector<double> out(x.size());
    for (size_t i = 0; i < x.size(); ++i)
        out[i] = (0.5 - 0.5 * std::cos(2 * kPi * double(i) / double(x.size()))) * x[i];
    return out;
}

// Power of the windowed samples `w` at `freq` (Goertzel).
inline double powerAt(const std::vector<double>& w, int rate, double freq)
{
    const double k = 2 * std::cos(2 * kPi * freq / rate);
    double s1 = 0, s2 = 0;
    for (double v : w) {
        const double s0 = v + k * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - k * s1 * s2;
}

// The frequency between `lo` and `hi` Hz with the most power, to about 1 Hz.
inline double dominantFrequency(const std::vector<float>& x, int rate, double lo, double hi)
{
    const std::vector<double> w = windowed(x);
    double best = lo, bestPower = -1;
    for (double f = lo; f <= hi; f += 1.0) {
        const double p = powerAt(w, rate, f);
        if (p > bestPower) {
            bestPower = p;
            best = f;
        }
    }
    return best;
}

}  // namespace sound_check
