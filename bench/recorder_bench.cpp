// A ten-minute take of the main window's recorder: the memory it costs and how long "保存"
// keeps the window from answering. The capture runs on SDL's disk driver as fast as the driver
// delivers (no delay between buffers), so ten minutes of input arrive in seconds; the take is
// recorded in the recorder's own format (8 bits, 44100 Hz, stereo).
#include "bench_window.h"
#include "child_process.h"
#include "platform/media_service.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <optional>

namespace {

using bench_child::childBenchmark;
using bench_support::Clock;

constexpr int64_t kTakeMs = 10 * 60 * 1000;

// One second of a 440 Hz tone as the capture device delivers it: unsigned 8-bit stereo.
QByteArray captureInput()
{
    QByteArray bytes(44100 * 2, '\0');
    for (int i = 0; i < 44100; ++i) {
        const char v = char(128 + int(100 * std::sin(2 * M_PI * 440 * i / 44100.0)));
        bytes[2 * i] = v;
        bytes[2 * i + 1] = v;
    }
    return bytes;
}

// `saveFolder`: where "保存" puts the take; empty for the record folder, where the take is
// recorded (the save then moves it).
bench_child::Figures tenMinuteTake(const QString& saveFolder)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("capture.raw"));
    QFile in(input);
    if (!in.open(QIODevice::WriteOnly) || in.write(captureInput()) < 0) return {};
    in.close();
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIODELAY", "0");
    qputenv("SDL_DISKAUDIOFILEIN", QFile::encodeName(input));
    qputenv("SDL_DISKAUDIOFILE", "/dev/null");

    bench_support::Window w(true);
    keyboard::Form1& f = *w.form;
    const double before = bench_child::residentMemoryMiB();
    f.Image1[2]->click();   // record
    if (!f.IsRecording) return {};
    auto& media = platform::mediaService();
    while (media.lengthMs() < kTakeMs) QThread::msleep(1);
    const double recordedS = double(media.lengthMs()) / 1000;

    std::optional<QTemporaryDir> elsewhere;
    if (!saveFolder.isEmpty()) elsewhere.emplace(saveFolder + QStringLiteral("/velqor-bench-XXXXXX"));
    const QString path = (elsewhere ? elsewhere->path() + QLatin1Char('/') : f.CommonDialog1.InitDir) +
                         QStringLiteral("十分钟.wav");
    w.dialogs.saveFiles.push_back(forms::FileChoice{path, QFileInfo(path).fileName()});
    const auto t0 = Clock::now();
    f.BcLY->click();   // "保存", the take still running
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
    const bool saved = f.FJWZ->text() == QStringLiteral("成功保存录音。。。");
    return {{"ms", ms},
            {"saved", saved ? 1.0 : 0.0},
            {"recorded_s", recordedS},
            {"file_MiB", double(QFileInfo(path).size()) / (1024 * 1024)},
            {"before_MiB", before},
            {"peak_MiB", bench_child::peakMemoryMiB()},
            {"peak_over_before_MiB", bench_child::peakMemoryMiB() - before}};
}

const bool registered =
    bench_child::add("recorder-ten-minutes", [] { return tenMinuteTake(QString()); }) &&
    // /dev/shm is a disk of its own (tmpfs): the take cannot be moved there and is copied.
    bench_child::add("recorder-ten-minutes-other-disk", [] { return tenMinuteTake(QStringLiteral("/dev/shm")); });

}  // namespace

// "保存" of a ten-minute take: the time it blocks the window (ms) and the process's peak memory.
BENCHMARK_CAPTURE(childBenchmark, ten_minutes, "recorder-ten-minutes")
    ->Name("recorder/save_ten_minute_take")
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(childBenchmark, other_disk, "recorder-ten-minutes-other-disk")
    ->Name("recorder/save_ten_minute_take_to_another_disk")
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
