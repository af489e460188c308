#include "platform/audio_file.h"

#include "platform/audio_engine.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <SDL.h>
#include <mpg123.h>
#include <mutex>
#include <sndfile.h>

namespace platform {
namespace {

// MP3 files up to this size are scanned for their exact length when they are opened: some
// eight minutes at 128 kbit/s, scanned in a few tens of milliseconds.
constexpr qint64 kMp3ScanLimit = 8 * 1024 * 1024;
// More frames per byte than any MP3 frame holds (1152 frames in 18 bytes): a length beyond that
// was counted from damaged data, and the file's length is unknown.
constexpr int64_t kMp3MostFramesPerByte = 64;

// Writes `frames` frames of `channels` interleaved samples as stereo.
template <typename T, typename Convert>
void toStereo(const T* in, int channels, int frames, float* out, Convert convert)
{
    for (int i = 0; i < frames; ++i) {
        const T* f = in + i * channels;
        out[2 * i] = convert(f[0]);
        out[2 * i + 1] = convert(channels > 1 ? f[1] : f[0]);
    }
}

class SndfileReader : public AudioFileReader {
public:
    SndfileReader(SNDFILE* file, const SF_INFO& info) : file_(file), info_(info) {}
    ~SndfileReader() override { sf_close(file_); }
    int rate() const override { return info_.samplerate; }
    int64_t frames() const override { return info_.frames; }
    int read(float* stereo, int count) override
    {
        buffer_.resize(size_t(count) * info_.channels);
        const int got = int(sf_readf_float(file_, buffer_.data(), count));
        toStereo(buffer_.data(), info_.channels, got, stereo, [](float v) { return v; });
        return got;
    }
    bool rewind() override { return sf_seek(file_, 0, SEEK_SET) == 0; }

private:
    SNDFILE* file_;
    SF_INFO info_;
    std::vector<float> buffer_;
};

class Mp3Reader : public AudioFileReader {
public:
    Mp3Reader(mpg123_handle* handle, int rate, int channels, int64_t frames)
        : handle_(handle), rate_(rate), channels_(channels), frames_(frames) {}
    ~Mp3Reader() override
    {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
    int rate() const override { return rate_; }
    int64_t frames() const override { return frames_; }
    int read(float* stereo, int count) override
    {
        int total = 0;
        while (total < count) {
            buffer_.resize(size_t(count - total) * channels_);
            size_t done = 0;
            const int rc = mpg123_read(handle_, buffer_.data(), buffer_.size() * sizeof(int16_t), &done);
            const int got = int(done / (sizeof(int16_t) * channels_));
            toStereo(buffer_.data(), channels_, got, stereo + 2 * total,
                     [](int16_t v) { return float(v) / 32768.0f; });
            total += got;
            if (rc == MPG123_NEW_FORMAT) continue;   // the output format is fixed at open
            if (rc != MPG123_OK || got == 0) break;
        }
        return total;
    }
    bool rewind() override { return mpg123_seek(handle_, 0, SEEK_SET) >= 0; }

private:
    mpg123_handle* handle_;
    int rate_;
    int channels_;
    int64_t frames_;
    std::vector<int16_t> buffer_;
};

}  // namespace

namespace {

// Whether the file starts as a WAV file does (RIFF, RIFX, RF64 or BW64 and "WAVE"): the WAV
// reader hands nothing else to the decoder, which would otherwise guess among dozens of
// formats from any bytes it is given.
bool looksLikeWav(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || head.mid(8, 4) != "WAVE") return false;
    const QByteArray tag = head.left(4);
    return tag == "RIFF" || tag == "RIFX" || tag == "RF64" || tag == "BW64";
}

bool isWavFormat(int format)
{
    const int type = format & SF_FORMAT_TYPEMASK;
    return type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64;
}

}  // namespace

std::unique_ptr<AudioFileReader> openSndfileReader(const QString& path, QString* error)
{
    if (!looksLikeWav(path)) {
        if (error) *error = QStringLiteral("%1 不是 WAV 声音文件。").arg(path);
        return nullptr;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file) {
        if (error) *error = QStringLiteral("无法打开声音文件 %1（%2）。").arg(path, QString::fromUtf8(sf_strerror(nullptr)));
        return nullptr;
    }
    if (!isWavFormat(info.format) || info.channels < 1 || info.samplerate < 1000 || info.samplerate > 384000) {
        sf_close(file);
        if (error) *error = QStringLiteral("声音文件 %1 的格式不受支持。").arg(path);
        return nullptr;
    }
    return std::make_unique<SndfileReader>(file, info);
}

std::unique_ptr<AudioFileReader> openMp3Reader(const QString& path, QString* error)
{
    static std::once_flag init;
    std::call_once(init, [] { mpg123_init(); });
    int rc = MPG123_OK;
    mpg123_handle* h = mpg123_new(nullptr, &rc);
    auto fail = [&](const QString& why) -> std::unique_ptr<AudioFileReader> {
        if (error) *error = QStringLiteral("无法播放 MP3 文件 %1（%2）。").arg(path, why);
        if (h) {
            mpg123_close(h);
            mpg123_delete(h);
        }
        return nullptr;
    };
    if (!h) return fail(QString::fromUtf8(mpg123_plain_strerror(rc)));
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Decode to 16-bit samples at the file's own rate and channel count.
    mpg123_format_none(h);
    const long* rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) mpg123_format(h, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(h, QFile::encodeName(path).constData()) != MPG123_OK) return fail(QString::fromUtf8(mpg123_strerror(h)));
    // Without a full scan, files lacking a length header report a wrong length. The scan reads
    // the whole file on the caller's thread: a long file keeps the estimate rather than hold
    // the window (playback reads to the real end either way).
    const qint64 size = QFileInfo(path).size();
    if (size <= kMp3ScanLimit) mpg123_scan(h);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || channels < 1)
        return fail(QString::fromUtf8(mpg123_strerror(h)));
    // Keep the format fixed for the rest of the file.
    mpg123_format_none(h);
    mpg123_format(h, rate, channels, encoding);
    const off_t length = mpg123_length(h);
    const bool believable = length > 0 && int64_t(length) <= size * kMp3MostFramesPerByte;
    return std::make_unique<Mp3Reader>(h, int(rate), channels, believable ? int64_t(length) : 0);
}

Resampler::Resampler(int fromRate)
    : stream_(SDL_NewAudioStream(AUDIO_F32SYS, 2, fromRate, AUDIO_F32SYS, 2, AudioEngine::kRate)) {}

Resampler::~Resampler()
{
    if (stream_) SDL_FreeAudioStream(stream_);
}

void Resampler::put(const float* stereo, int frames)
{
    // SDL's stream drops input at the end of larger pieces when it resamples: feed small ones.
    constexpr int kPiece = 256;
    for (int done = 0; stream_ && done < frames; done += kPiece)
        SDL_AudioStreamPut(stream_, stereo + 2 * done, std::min(kPiece, frames - done) * int(2 * sizeof(float)));
}

void Resampler::flush()
{
    if (stream_) SDL_AudioStreamFlush(stream_);
}

int Resampler::available() const { return stream_ ? SDL_AudioStreamAvailable(stream_) / int(2 * sizeof(float)) : 0; }

int Resampler::get(float* stereo, int frames)
{
    if (!stream_ || frames <= 0) return 0;
    const int got = SDL_AudioStreamGet(stream_, stereo, frames * int(2 * sizeof(float)));
    return got > 0 ? got / int(2 * sizeof(float)) : 0;
}

void Resampler::clear()
{
    if (stream_) SDL_AudioStreamClear(stream_);
}

std::vector<float> decodeAll(AudioFileReader& reader)
{
    Resampler resampler(reader.rate());
    std::vector<float> out;
    if (!resampler.valid()) return out;
    std::vector<float> chunk(4096 * 2);
    for (;;) {
        const int got = reader.read(chunk.data(), 4096);
        if (got <= 0) break;
        resampler.put(chunk.data(), got);
    }
    resampler.flush();
    out.resize(size_t(resampler.available()) * 2);
    out.resize(size_t(resampler.get(out.data(), int(out.size() / 2))) * 2);
    return out;
}

}  // namespace platform
