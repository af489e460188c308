// The system media service: records from the default capture device into memory, saves WAV,
// and plays WAV and MP3 files through the audio engine.
#include "platform/audio_engine.h"
#include "platform/audio_file.h"
#include "platform/media_service.h"
#include "platform/whole_file.h"

#include <QFileInfo>
#include <SDL.h>
#include <cstring>
#include <memory>
#include <mutex>
#include <sndfile.h>
#include <vector>

namespace platform {
namespace {

// Streams one open file into the engine's mix. Every field is guarded by the engine's source
// lock; decoding happens on the audio thread, a block at a time.
class FilePlayback : public AudioSource {
public:
    std::unique_ptr<AudioFileReader> reader;
    std::unique_ptr<Resampler> resampler;
    bool playing = false;
    bool inputEnded = false;
    int64_t framesOut = 0;   // 48 kHz frames played since the start

    void rewind()
    {
        if (reader) reader->rewind();
        if (resampler) resampler->clear();
        inputEnded = false;
        framesOut = 0;
    }

    void mixInto(float* out, int frames) override
    {
        if (!playing) return;
        constexpr int kBlock = 1024;
        chunk_.resize(kBlock * 2);
        while (!inputEnded && resampler->available() < frames) {
            const int got = reader->read(chunk_.data(), kBlock);
            if (got > 0) {
                resampler->put(chunk_.data(), got);
            } else {
                resampler->flush();
                inputEnded = true;
            }
        }
        scratch_.resize(size_t(frames) * 2);
        const int got = resampler->get(scratch_.data(), frames);
        const float gl = AudioEngine::instance().waveGainLeft();
        const float gr = AudioEngine::instance().waveGainRight();
        for (int i = 0; i < got; ++i) {
            out[2 * i] += scratch_[2 * i] * gl;
            out[2 * i + 1] += scratch_[2 * i + 1] * gr;
        }
        framesOut += got;
        if (got < frames && inputEnded) playing = false;
    }
    bool sounding() const override { return playing; }

private:
    std::vector<float> chunk_, scratch_;
};

// libsndfile writing into memory, so that the finished file is saved whole or not at all.
struct MemoryFile {
    QByteArray data;
    sf_count_t pos = 0;

    static sf_count_t length(void* self) { return static_cast<MemoryFile*>(self)->data.size(); }
    static sf_count_t seek(sf_count_t offset, int whence, void* self)
    {
        auto* f = static_cast<MemoryFile*>(self);
        const sf_count_t base = whence == SEEK_CUR ? f->pos : whence == SEEK_END ? f->data.size() : 0;
        if (base + offset < 0) return -1;
        f->pos = base + offset;
        return f->pos;
    }
    static sf_count_t read(void* ptr, sf_count_t count, void* self)
    {
        auto* f = static_cast<MemoryFile*>(self);
        const sf_count_t n = std::max<sf_count_t>(0, std::min<sf_count_t>(count, f->data.size() - f->pos));
        if (n > 0) std::memcpy(ptr, f->data.constData() + f->pos, size_t(n));
        f->pos += n;
        return n;
    }
    static sf_count_t write(const void* ptr, sf_count_t count, void* self)
    {
        auto* f = static_cast<MemoryFile*>(self);
        if (f->pos + count > f->data.size()) f->data.resize(qsizetype(f->pos + count));
        std::memcpy(f->data.data() + f->pos, ptr, size_t(count));
        f->pos += count;
        return count;
    }
    static sf_count_t tell(void* self) { return static_cast<MemoryFile*>(self)->pos; }
};

class SystemMediaService : public MediaService {
public:
    SystemMediaService() { AudioEngine::instance().addSource(&playback_); }
    ~SystemMediaService() override
    {
        closeCapture();
        AudioEngine::instance().removeSource(&playback_);
    }

    void close() override
    {
        closeCapture();
        dropFile();
        haveRecording_ = false;
        std::lock_guard lock(captureMutex_);
        recorded_.clear();
        recorded_.shrink_to_fit();
    }

    bool openRecording(int bits, int rate, int channels) override
    {
        close();
        if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 || rate < 8000 || rate > 96000)
            return fail(QStringLiteral("不支持的录音格式（%1 位，%2 Hz，%3 声道）。").arg(bits).arg(rate).arg(channels));
        bits_ = bits;
        rate_ = rate;
        channels_ = channels;
        haveRecording_ = true;
        return true;
    }

    bool record() override
    {
        if (!haveRecording_) return fail(QStringLiteral("没有打开录音，无法开始录音。"));
        if (capture_) return true;   // already recording: the take goes on
        QString why;
        if (AudioEngine::instance().initAudio(&why)) {
            SDL_AudioSpec want{};
            want.freq = rate_;
            want.format = bits_ == 8 ? AUDIO_U8 : AUDIO_S16SYS;
            want.channels = Uint8(channels_);
            want.samples = 1024;
            want.callback = &SystemMediaService::captured;
            want.userdata = this;
            SDL_AudioSpec have{};
            capture_ = SDL_OpenAudioDevice(nullptr, 1, &want, &have, 0);
            if (!capture_) why = QString::fromUtf8(SDL_GetError());
        }
        if (!capture_) return fail(QStringLiteral("没有找到可用的录音设备（%1）。").arg(why));
        SDL_PauseAudioDevice(capture_, 0);
        AudioEngine::instance().wake();
        return true;
    }

    void stop() override
    {
        closeCapture();
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        playback_.playing = false;
    }

    bool save(const QString& path) override
    {
        closeCapture();
        std::vector<uint8_t> data;
        {
            std::lock_guard lock(captureMutex_);
            data = recorded_;
        }
        const int frameBytes = bits_ / 8 * channels_;
        if (!haveRecording_ || data.size() < size_t(frameBytes))
            return fail(QStringLiteral("没有可以保存的录音。"));
        const size_t frames = data.size() / size_t(frameBytes);

        // 16-bit samples for libsndfile, which stores them as unsigned 8-bit or 16-bit PCM.
        std::vector<short> samples(frames * size_t(channels_));
        if (bits_ == 8) {
            for (size_t i = 0; i < samples.size(); ++i) samples[i] = short((int(data[i]) - 128) * 256);
        } else {
            std::memcpy(samples.data(), data.data(), samples.size() * sizeof(short));
        }

        MemoryFile memory;
        SF_VIRTUAL_IO io{&MemoryFile::length, &MemoryFile::seek, &MemoryFile::read, &MemoryFile::write,
                         &MemoryFile::tell};
        SF_INFO info{};
        info.samplerate = rate_;
        info.channels = channels_;
        info.format = SF_FORMAT_WAV | (bits_ == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16);
        SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &memory);
        if (!file) return fail(QStringLiteral("无法生成 WAV 录音（%1）。").arg(QString::fromUtf8(sf_strerror(nullptr))));
        const sf_count_t written = sf_writef_short(file, samples.data(), sf_count_t(frames));
        sf_close(file);
        if (written != sf_count_t(frames)) return fail(QStringLiteral("无法生成 WAV 录音。"));

        QString why;
        if (!writeWholeFile(path, memory.data, &why))
            return fail(QStringLiteral("无法保存录音到 %1（%2）。").arg(path, why));
        return true;
    }

    bool openFile(const QString& path) override
    {
        close();
        const QFileInfo fi(path);
        if (!fi.isFile()) return fail(QStringLiteral("找不到文件 %1。").arg(path));
        const QString type = fi.suffix().toLower();
        QString why;
        std::unique_ptr<AudioFileReader> reader;
        if (type == QLatin1String("wav"))
            reader = openSndfileReader(path, &why);
        else if (type == QLatin1String("mp3"))
            reader = openMp3Reader(path, &why);
        else
            return fail(QStringLiteral("不能播放 %1：只能播放 WAV 和 MP3 文件。").arg(path));
        if (!reader) return fail(why);
        auto resampler = std::make_unique<Resampler>(reader->rate());
        if (!resampler->valid()) return fail(QStringLiteral("无法播放 %1（%2）。").arg(path, QString::fromUtf8(SDL_GetError())));
        fileRate_ = reader->rate();
        fileFrames_ = reader->frames();
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        playback_.reader = std::move(reader);
        playback_.resampler = std::move(resampler);
        playback_.rewind();
        playback_.playing = false;
        return true;
    }

    void seekToStart() override
    {
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        playback_.rewind();
    }

    bool play() override
    {
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            if (!playback_.reader) return fail(QStringLiteral("没有打开要播放的文件。"));
        }
        if (!AudioEngine::instance().ensureOutput()) return fail(AudioEngine::instance().outputError());
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        // Playing again after the end starts from the beginning.
        if (playback_.inputEnded && playback_.resampler->available() == 0) playback_.rewind();
        playback_.playing = true;
        AudioEngine::instance().wake();
        return true;
    }

    MediaMode mode() override
    {
        if (capture_) return MediaMode::Recording;
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        if (playback_.reader) return playback_.playing ? MediaMode::Playing : MediaMode::Stopped;
        return haveRecording_ ? MediaMode::Stopped : MediaMode::NotOpen;
    }

    int64_t positionMs() override
    {
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            if (playback_.reader) return playback_.framesOut * 1000 / AudioEngine::kRate;
        }
        return recordedMs();
    }

    int64_t lengthMs() override
    {
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            if (playback_.reader) return fileRate_ > 0 ? fileFrames_ * 1000 / fileRate_ : 0;
        }
        return recordedMs();
    }

    QString lastError() override { return lastError_; }

private:
    bool fail(const QString& why)
    {
        lastError_ = why;
        return false;
    }

    int64_t recordedMs()
    {
        if (!haveRecording_) return 0;
        std::lock_guard lock(captureMutex_);
        return int64_t(recorded_.size() / size_t(bits_ / 8 * channels_)) * 1000 / rate_;
    }

    void closeCapture()
    {
        // Closing waits for the capture callback to finish.
        if (capture_) SDL_CloseAudioDevice(capture_);
        capture_ = 0;
    }

    void dropFile()
    {
        std::unique_ptr<AudioFileReader> reader;
        std::unique_ptr<Resampler> resampler;
        {
            std::lock_guard lock(AudioEngine::instance().sourceLock());
            reader = std::move(playback_.reader);
            resampler = std::move(playback_.resampler);
            playback_.playing = false;
        }
        fileRate_ = 0;
        fileFrames_ = 0;
    }

    static void captured(void* self, Uint8* stream, int len)
    {
        auto* s = static_cast<SystemMediaService*>(self);
        std::lock_guard lock(s->captureMutex_);
        s->recorded_.insert(s->recorded_.end(), stream, stream + len);
    }

    FilePlayback playback_;
    SDL_AudioDeviceID capture_ = 0;
    std::mutex captureMutex_;
    std::vector<uint8_t> recorded_;   // raw frames in the recording's format
    bool haveRecording_ = false;
    int bits_ = 16, rate_ = 44100, channels_ = 2;
    int fileRate_ = 0;
    int64_t fileFrames_ = 0;
    QString lastError_;
};

}  // namespace

std::unique_ptr<MediaService> createSystemMediaService() { return std::make_unique<SystemMediaService>(); }

}  // namespace platform
