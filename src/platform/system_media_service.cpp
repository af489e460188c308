// The system media service: records from the default capture device into a take file, saves it
// as WAV, and plays WAV and MP3 files through the audio engine.
#include "platform/audio_engine.h"
#include "platform/audio_file.h"
#include "platform/media_service.h"
#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <SDL.h>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
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

// The take: a WAV file in the take folder that the capture callback appends the sound to as it
// comes in, so that a take costs the disk what it records and no memory. The header is written
// first with the sizes left open; the save fills them in and moves the file into place.
class TakeFile {
public:
    static constexpr int kHeaderBytes = 44;

    TakeFile() = default;
    TakeFile(const TakeFile&) = delete;
    TakeFile& operator=(const TakeFile&) = delete;
    ~TakeFile() { drop(); }

    // A new empty take in `folder` (the temporary folder when that cannot be written).
    bool create(const QString& folder, int bits, int rate, int channels, QString* why)
    {
        drop();
        frameBytes_ = bits / 8 * channels;
        // The WAV sizes are 32-bit: a take ends at the last whole frame that fits.
        limit_ = (int64_t(UINT32_MAX) - (kHeaderBytes - 8)) / frameBytes_ * frameBytes_;
        dataBytes_ = 0;
        failed_ = false;
        ours_ = true;
        for (const QString& dir : {folder, QDir::tempPath()}) {
            if (dir.isEmpty()) continue;
            for (int attempt = 0; attempt < 20 && fd_ < 0; ++attempt) {
                path_ = QDir(dir).filePath(QStringLiteral(".录音-") +
                                           QString::number(QRandomGenerator::global()->generate(), 36) +
                                           QStringLiteral(".wav"));
                fd_ = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
                if (fd_ < 0 && errno != EEXIST) break;
            }
            if (fd_ >= 0) break;
        }
        if (fd_ < 0) {
            if (why) *why = qt_error_string(errno);
            path_.clear();
            return false;
        }
        const QByteArray header = wavHeader(bits, rate, channels, 0);
        if (!writeAll(header.constData(), header.size(), false)) {
            if (why) *why = qt_error_string(errno);
            drop();
            return false;
        }
        return true;
    }

    bool isOpen() const { return fd_ >= 0; }
    // True once a write of the sound failed (a full disk): nothing more is added to the take.
    bool failed() const { return failed_.load(std::memory_order_acquire); }
    // False once the take was saved by moving it: the file is then the user's.
    bool ours() const { return ours_; }
    int64_t dataBytes() const { return dataBytes_.load(std::memory_order_acquire); }

    // The capture callback's side: appends what came in. It allocates nothing and takes no
    // lock; the window's side touches the file only while the capture device is closed.
    void append(const uint8_t* data, int len)
    {
        if (fd_ < 0 || failed_.load(std::memory_order_relaxed)) return;
        const int64_t room = limit_ - dataBytes_.load(std::memory_order_relaxed);
        const int64_t n = std::min<int64_t>(len, room);
        if (n > 0 && !writeAll(reinterpret_cast<const char*>(data), n, true))
            failed_.store(true, std::memory_order_release);
    }

    // Fills in the sizes, cuts a frame left half written and flushes the take to the disk.
    bool finish(int bits, int rate, int channels, QString* why)
    {
        const int64_t bytes = dataBytes() / frameBytes_ * frameBytes_;
        const QByteArray header = wavHeader(bits, rate, channels, uint32_t(bytes));
        if (::pwrite(fd_, header.constData(), size_t(header.size()), 0) != header.size() ||
            ::ftruncate(fd_, kHeaderBytes + bytes) != 0 || ::fsync(fd_) != 0) {
            if (why) *why = qt_error_string(errno);
            return false;
        }
        return true;
    }

    // Puts the take in `target`'s place in one step; an existing target's permissions carry
    // over. False when the target is on another disk or cannot be replaced.
    bool moveTo(const QString& target)
    {
        if (!ours_) return false;
        const QByteArray to = QFile::encodeName(target);
        struct stat old {};
        if (::stat(to.constData(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd_, old.st_mode & 07777);
        if (::rename(QFile::encodeName(path_).constData(), to.constData()) != 0) return false;
        path_ = target;
        ours_ = false;
        return true;
    }

    // Writes a copy of the take as the whole file `target`.
    bool copyTo(const QString& target, QString* why)
    {
        WholeFileWriter out(target);
        if (!out.open()) return copyFailed(out, why);
        std::vector<char> block(1 << 20);
        const int64_t end = kHeaderBytes + dataBytes() / frameBytes_ * frameBytes_;
        for (int64_t at = 0; at < end;) {
            const ssize_t n = ::pread(fd_, block.data(), size_t(std::min<int64_t>(int64_t(block.size()), end - at)), at);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                if (why) *why = qt_error_string(n < 0 ? errno : EIO);
                return false;
            }
            if (!out.write(block.data(), n)) return copyFailed(out, why);
            at += n;
        }
        return out.commit() || copyFailed(out, why);
    }

    // Closes the take; a take not saved by moving it is removed.
    void drop()
    {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        if (ours_ && !path_.isEmpty()) ::unlink(QFile::encodeName(path_).constData());
        path_.clear();
    }

private:
    static bool copyFailed(const WholeFileWriter& out, QString* why)
    {
        if (why) *why = out.errorString();
        return false;
    }

    // Writes at the end of the file; the bytes of sound written are counted as they land.
    bool writeAll(const char* data, int64_t size, bool sound)
    {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size_t(size));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n;
            size -= n;
            if (sound) dataBytes_.fetch_add(n, std::memory_order_release);
        }
        return true;
    }

    // The canonical 44-byte header of a PCM WAV file holding `dataBytes` bytes of sound.
    static QByteArray wavHeader(int bits, int rate, int channels, uint32_t dataBytes)
    {
        QByteArray h;
        auto u32 = [&h](uint32_t v) { for (int i = 0; i < 4; ++i) h.append(char((v >> (8 * i)) & 0xFF)); };
        auto u16 = [&h](uint32_t v) { for (int i = 0; i < 2; ++i) h.append(char((v >> (8 * i)) & 0xFF)); };
        const int block = bits / 8 * channels;
        h.append("RIFF");
        u32(dataBytes + kHeaderBytes - 8);
        h.append("WAVEfmt ");
        u32(16);
        u16(1);   // PCM
        u16(uint32_t(channels));
        u32(uint32_t(rate));
        u32(uint32_t(rate * block));
        u16(uint32_t(block));
        u16(uint32_t(bits));
        h.append("data");
        u32(dataBytes);
        return h;
    }

    QString path_;
    int fd_ = -1;
    bool ours_ = true;
    int frameBytes_ = 1;
    int64_t limit_ = 0;
    std::atomic<int64_t> dataBytes_{0};
    std::atomic<bool> failed_{false};
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
        take_.drop();
    }

    bool openRecording(int bits, int rate, int channels, const QString& takeFolder) override
    {
        close();
        if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 || rate < 8000 || rate > 96000)
            return fail(QStringLiteral("不支持的录音格式（%1 位，%2 Hz，%3 声道）。").arg(bits).arg(rate).arg(channels));
        QString why;
        if (!take_.create(takeFolder, bits, rate, channels, &why))
            return fail(QStringLiteral("无法建立录音文件（%1）。").arg(why));
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
        // A take saved by moving it is the user's file now: nothing is appended to it.
        if (!take_.ours()) return fail(QStringLiteral("这段录音已经保存，请重新开始录音。"));
        QString why;
        if (AudioEngine::instance().initAudio(&why)) {
            SDL_AudioSpec want{};
            want.freq = rate_;
            want.format = bits_ == 8 ? AUDIO_U8 : AUDIO_S16LSB;   // as WAV stores them
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
        const int frameBytes = bits_ / 8 * channels_;
        if (!haveRecording_ || !take_.isOpen() || take_.dataBytes() < frameBytes)
            return fail(QStringLiteral("没有可以保存的录音。"));
        QString why;
        if (!take_.finish(bits_, rate_, channels_, &why))
            return fail(QStringLiteral("无法保存录音到 %1（%2）。").arg(path, why));
        // Moved into place when the target is on the take's disk, else copied whole; a failure
        // keeps the take for another try.
        const QFileInfo link(path);
        const QString target = link.isSymLink() ? link.symLinkTarget() : path;
        if (take_.moveTo(target) || take_.copyTo(target, &why)) return true;
        return fail(QStringLiteral("无法保存录音到 %1（%2）。").arg(path, why));
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
        if (capture_) return take_.failed() ? MediaMode::Stopped : MediaMode::Recording;
        std::lock_guard lock(AudioEngine::instance().sourceLock());
        if (playback_.reader) return playback_.playing ? MediaMode::Playing : MediaMode::Stopped;
        return haveRecording_ ? MediaMode::Stopped : MediaMode::NotOpen;
    }

    bool takeCut() override { return haveRecording_ && take_.failed(); }

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
        return take_.dataBytes() / (bits_ / 8 * channels_) * 1000 / rate_;
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
        static_cast<SystemMediaService*>(self)->take_.append(stream, len);
    }

    FilePlayback playback_;
    SDL_AudioDeviceID capture_ = 0;
    TakeFile take_;   // written by the capture callback while capture_ is open
    bool haveRecording_ = false;
    int bits_ = 16, rate_ = 44100, channels_ = 2;
    int fileRate_ = 0;
    int64_t fileFrames_ = 0;
    QString lastError_;
};

}  // namespace

std::unique_ptr<MediaService> createSystemMediaService() { return std::make_unique<SystemMediaService>(); }

}  // namespace platform
