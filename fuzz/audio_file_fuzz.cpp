// Reads arbitrary bytes as a sound file, from memory, the way the recorder and the effect keys
// do: the WAV reader (libsndfile) and the MP3 reader (libmpg123) open it, the samples are read
// in pieces and converted to the output rate, and the whole-file decode converts it at once.
// A file that opens must report a length its size can hold, deliver stereo frames without
// reading past what it asked for, and rewind to the same samples.
#include "platform/audio_file.h"

#include <QString>
#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

// The input as a file that lives in memory only.
QString memoryFile(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("velqor-fuzz-sound", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != ssize_t(size)) abort();
    return QStringLiteral("/proc/self/fd/%1").arg(fd);
}

// Reads up to `limit` frames in pieces through the converter; returns the frames read.
int64_t readThrough(platform::AudioFileReader& reader, int64_t limit, std::vector<float>* first)
{
    platform::Resampler resampler(reader.rate());
    if (!resampler.valid()) abort();
    constexpr int kPiece = 1024;
    std::vector<float> piece(size_t(kPiece) * 2 + 2, 12345.0f);
    std::vector<float> out(8192 * 2);
    int64_t total = 0;
    while (total < limit) {
        const int got = reader.read(piece.data(), kPiece);
        if (got < 0 || got > kPiece) abort();
        if (piece[size_t(kPiece) * 2] != 12345.0f) abort();   // wrote past what was asked
        if (got == 0) break;
        if (first && first->empty()) first->assign(piece.begin(), piece.begin() + 2 * got);
        total += got;
        resampler.put(piece.data(), got);
        while (resampler.available() > 0) resampler.get(out.data(), 8192);
    }
    resampler.flush();
    while (resampler.available() > 0) resampler.get(out.data(), 8192);
    return total;
}

// `framesPerByte`: the most frames a byte of the file can hold in its format.
void check(std::unique_ptr<platform::AudioFileReader> reader, size_t size, int64_t framesPerByte)
{
    if (reader->rate() < 1000 || reader->rate() > 384000) abort();
    if (reader->frames() < 0 || reader->frames() > int64_t(size) * framesPerByte + 4096) abort();
    std::vector<float> first, again;
    const int64_t frames = readThrough(*reader, 1 << 20, &first);
    if (!reader->rewind()) return;
    readThrough(*reader, 4096, &again);
    if (first.size() != again.size() && !first.empty() && !again.empty()) abort();
    if (frames < (1 << 18) && reader->rewind()) {
        const std::vector<float> all = platform::decodeAll(*reader);
        if (all.size() % 2 != 0) abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = memoryFile(data, size);
    QString why;
    if (auto wav = platform::openSndfileReader(path, &why))
        check(std::move(wav), size, 8);   // no WAV codec stores less than a bit per frame
    else if (why.isEmpty())
        abort();   // a refusal always says why
    why.clear();
    if (auto mp3 = platform::openMp3Reader(path, &why))
        check(std::move(mp3), size, 64);   // 1152 frames in the smallest MP3 frame
    else if (why.isEmpty())
        abort();
    return 0;
}
