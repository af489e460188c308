// Writes the program's effect sounds into the folder given as the only argument: short sounds
// synthesised from noise, oscillators and envelopes (mono, 22050 Hz, 16-bit WAV). The random
// source has a fixed seed, so every build writes the same files.
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

struct Noise {
    uint32_t state;
    double next()   // uniform in -1..1
    {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1 << 23) - 1.0;
    }
    double unit() { return 0.5 * (next() + 1.0); }   // 0..1
};

// Band-pass filter (constant peak gain), after the usual biquad cookbook formulas.
struct BandPass {
    double b0, b2, a1, a2, x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    BandPass(double freq, double q)
    {
        const double w = 2 * kPi * freq / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
        b0 = alpha / a0;
        b2 = -alpha / a0;
        a1 = -2 * std::cos(w) / a0;
        a2 = (1 - alpha) / a0;
    }
    double operator()(double x)
    {
        const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

struct LowPass {
    double k, y = 0;
    explicit LowPass(double freq) : k(1 - std::exp(-2 * kPi * freq / kRate)) {}
    double operator()(double x) { return y += k * (x - y); }
};

using Sound = std::vector<double>;

Sound silence(double seconds) { return Sound(size_t(seconds * kRate), 0.0); }

// A decaying ring of a few inharmonic partials starting at `at` seconds.
void ring(Sound& s, double at, double freq, double decay, double gain, Noise& rnd)
{
    const double ratios[] = {1.0, 2.32, 4.25, 6.63};
    for (double r : ratios) {
        const double f = freq * r * (0.98 + 0.04 * rnd.unit());
        if (f >= kRate / 2.0) continue;
        const double phase = rnd.unit() * 2 * kPi;
        for (size_t i = size_t(at * kRate); i < s.size(); ++i) {
            const double t = double(i) / kRate - at;
            s[i] += gain / r * std::exp(-t * decay * r) * std::sin(2 * kPi * f * t + phase);
        }
    }
}

// A filtered noise burst with a sharp attack starting at `at` seconds.
void burst(Sound& s, double at, double freq, double q, double decay, double gain, Noise& rnd)
{
    BandPass bp(freq, q);
    for (size_t i = size_t(at * kRate); i < s.size(); ++i) {
        const double t = double(i) / kRate - at;
        s[i] += gain * std::exp(-t * decay) * bp(rnd.next());
    }
}

Sound glass()
{
    Noise rnd{11};
    Sound s = silence(1.3);
    burst(s, 0.0, 3500, 0.7, 18, 0.9, rnd);
    for (int k = 0; k < 26; ++k) {
        const double at = 0.9 * std::pow(rnd.unit(), 1.6);
        ring(s, at, 1800 + 4200 * rnd.unit(), 9 + 10 * rnd.unit(), 0.25 * (1 - at), rnd);
    }
    return s;
}

Sound thunder()
{
    Noise rnd{23};
    Sound s = silence(2.0);
    LowPass lp1(180), lp2(90), wobble(3);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        const double crack = std::exp(-t * 25) * rnd.next() * 0.6;
        const double swell = std::min(1.0, t / 0.15) * std::exp(-t * 1.4);
        const double roll = 0.6 + 0.4 * std::abs(wobble(rnd.next() * 40));
        s[i] = crack + 3.2 * swell * roll * lp2(lp1(rnd.next()));
    }
    return s;
}

Sound brakes()
{
    Noise rnd{37};
    Sound s = silence(1.5);
    BandPass tyre(900, 1.2);
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        const double env = std::min(1.0, t / 0.08) * (t > 1.2 ? std::max(0.0, 1 - (t - 1.2) / 0.3) : 1.0);
        const double freq = 1850 + 60 * std::sin(2 * kPi * 7 * t) - 150 * t;
        phase += 2 * kPi * freq / kRate;
        const double squeal = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.15 * std::sin(3 * phase);
        s[i] = env * (0.35 * squeal + 0.5 * tyre(rnd.next()));
    }
    return s;
}

Sound tiles()
{
    Noise rnd{41};
    Sound s = silence(1.1);
    burst(s, 0.0, 600, 0.9, 14, 1.0, rnd);
    for (int k = 0; k < 14; ++k) {
        const double at = 0.05 + 0.8 * rnd.unit();
        burst(s, at, 800 + 2400 * rnd.unit(), 4 + 6 * rnd.unit(), 35 + 30 * rnd.unit(), 0.5 + 0.5 * rnd.unit(), rnd);
        ring(s, at, 700 + 1500 * rnd.unit(), 20, 0.15, rnd);
    }
    return s;
}

// A creaking hinge: a stick-slip pulse train through the door's wooden resonances.
void creak(Sound& s, double from, double to, double rateStart, double rateEnd, Noise& rnd)
{
    BandPass body1(420, 6), body2(1150, 8), body3(2300, 10);
    double next = from;
    for (size_t i = size_t(from * kRate); i < size_t(to * kRate) && i < s.size(); ++i) {
        const double t = double(i) / kRate;
        const double u = (t - from) / (to - from);
        double x = 0;
        if (t >= next) {
            x = 1.0;
            const double rate = rateStart + (rateEnd - rateStart) * u + 8 * std::sin(2 * kPi * 2.5 * t);
            next = t + (1.0 + 0.1 * rnd.next()) / rate;
        }
        const double env = std::sin(kPi * u);
        s[i] += env * (2.5 * body1(x) + 2.0 * body2(x) + 1.2 * body3(x));
    }
}

Sound doorOpen()
{
    Noise rnd{53};
    Sound s = silence(1.4);
    burst(s, 0.0, 2500, 3, 90, 0.8, rnd);   // the latch
    creak(s, 0.12, 1.35, 45, 90, rnd);
    return s;
}

Sound doorClose()
{
    Noise rnd{67};
    Sound s = silence(0.8);
    LowPass lp(250);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        s[i] = std::exp(-t * 9) * (0.8 * std::sin(2 * kPi * 68 * t) + 0.4 * std::sin(2 * kPi * 131 * t))
               + 1.5 * std::exp(-t * 30) * lp(rnd.next());
    }
    burst(s, 0.09, 2800, 3, 80, 0.7, rnd);   // the latch catching
    return s;
}

bool write(const std::string& path, Sound s)
{
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    const size_t fade = kRate / 100;   // 10 ms, so the end does not click
    for (size_t i = 0; i < fade && i < s.size(); ++i) s[s.size() - 1 - i] *= double(i) / fade;
    std::vector<short> pcm(s.size());
    for (size_t i = 0; i < s.size(); ++i) pcm[i] = short(std::lround(s[i] / (peak > 0 ? peak : 1) * 0.85 * 32767));

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const bool ok = sf_write_short(f, pcm.data(), sf_count_t(pcm.size())) == sf_count_t(pcm.size());
    sf_close(f);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    bool ok = true;
    ok &= write(dir + "玻璃1.wav", glass());
    ok &= write(dir + "雷声3.WAV", thunder());
    ok &= write(dir + "刹车2.wav", brakes());
    ok &= write(dir + "瓦碎.wav", tiles());
    ok &= write(dir + "开门声.wav", doorOpen());
    ok &= write(dir + "关门声1.wav", doorClose());
    return ok ? 0 : 1;
}
