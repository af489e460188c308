// The disk driver of the sound tests: per-process output and capture files and what was
// rendered into them.
#include "disk_audio.h"

#include "platform/audio_engine.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdlib>

namespace disk_audio {
namespace {
QTemporaryDir* g_dir = nullptr;
}

void useDiskDriver()
{
    static QTemporaryDir dir;
    g_dir = &dir;
    const QByteArray driver = qgetenv("VELQOR_TEST_AUDIODRIVER");
    qputenv("SDL_AUDIODRIVER", driver.isEmpty() ? QByteArray("disk") : driver);
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(outputFile()));
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(inputFile()));
    if (QFileInfo::exists("/usr/share/sounds/sf2/TimGM6mb.sf2"))
        setenv("VELQOR_SOUNDFONT", "/usr/share/sounds/sf2/TimGM6mb.sf2", 0);
}

QString tempDir() { return g_dir->path(); }
QString outputFile() { return g_dir->filePath(QStringLiteral("out.raw")); }
QString inputFile() { return g_dir->filePath(QStringLiteral("in.raw")); }

size_t outputFrames() { return size_t(QFileInfo(outputFile()).size()) / (2 * sizeof(float)); }

std::vector<float> output(size_t from, int channel)
{
    QFile f(outputFile());
    std::vector<float> out;
    if (!f.open(QIODevice::ReadOnly) || !f.seek(qint64(from * 2 * sizeof(float)))) return out;
    const QByteArray bytes = f.readAll();
    const auto* samples = reinterpret_cast<const float*>(bytes.constData());
    const size_t frames = size_t(bytes.size()) / (2 * sizeof(float));
    out.reserve(frames);
    for (size_t i = 0; i < frames; ++i) out.push_back(samples[2 * i + size_t(channel)]);
    return out;
}

long firstSound(const std::vector<float>& x, float threshold)
{
    for (size_t i = 0; i < x.size(); ++i)
        if (std::abs(x[i]) > threshold) return long(i);
    return -1;
}

void waitMs(int ms) { QThread::msleep(ulong(ms)); }

bool waitFrames(size_t frames)
{
    const size_t target = outputFrames() + frames;
    for (int i = 0; i < 2000; ++i) {
        if (outputFrames() >= target) return true;
        // A resting output writes nothing until something sounds again.
        if (platform::AudioEngine::instance().resting()) return false;
        waitMs(5);
    }
    return false;
}

size_t settledMark()
{
    waitFrames(2400);
    return outputFrames();
}

bool writeCaptureTone(double freq, int bits, int rate, double seconds)
{
    QByteArray raw;
    const int frames = int(seconds * rate);
    for (int i = 0; i < frames; ++i) {
        const double v = 0.5 * std::sin(2 * 3.14159265358979323846 * freq * i / rate);
        for (int c = 0; c < 2; ++c) {
            if (bits == 8) {
                raw.append(char(uint8_t(std::lround(128 + 127 * v))));
            } else {
                const int16_t s = int16_t(std::lround(32767 * v));
                raw.append(reinterpret_cast<const char*>(&s), 2);
            }
        }
    }
    QFile f(inputFile());
    return f.open(QIODevice::WriteOnly) && f.write(raw) == raw.size();
}

}  // namespace disk_audio
