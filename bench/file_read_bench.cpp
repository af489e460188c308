// Reading the largest file each reader allows, through the window as the user does it, with the
// events that follow (layout of the boxes) included: how long the window does not answer.
//   score "打开" of the main window and of the score-entry dialog, a score file of 128 KB in
//   one line, as the program saves it; a rhythm file of 4 KB chosen from the list; "生成随机节奏"
//   with a 256 KB pattern file; the activation's read of a 64 KB settings file; and the
//   refusal of a score file one byte over its limit.
#include "bench_window.h"
#include "keyboard/chord_patterns.h"
#include "keyboard/file_list.h"
#include "keyboard/rhythm_file.h"
#include "keyboard/settings_file.h"
#include "keyboard/yylr.h"
#include "midi/score_notation.h"
#include "platform/media_service.h"

#include <QCoreApplication>
#include <QListWidget>
#include <QPushButton>
#include <benchmark/benchmark.h>

namespace {

// A score of `size` bytes in one line, as a take of many notes is saved, ending in "TZ".
QByteArray scoreOfSize(qint64 size)
{
    const QByteArray tokens("KC4KDKE2KF8KGKAKB4HC");
    QByteArray score;
    while (score.size() < size - 4) score += tokens;
    score.truncate(size - 4);
    return score + "TZ\r\n";
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

QString recordFolder() { return midi::state().AppFolder + QStringLiteral("演奏记录/"); }

void scoreOpen(benchmark::State& state, qint64 size)
{
    bench_support::Window w(true);
    const QString path = recordFolder() + QStringLiteral("score.txt");
    writeFile(path, scoreOfSize(size));
    for (auto _ : state) {
        w.dialogs.openFiles.push_back(forms::FileChoice{path, QStringLiteral("score.txt")});
        w.form->Yuepu[2]->click();
        QCoreApplication::processEvents();
        state.PauseTiming();
        w.form->Timer3->setEnabled(false);
        state.ResumeTiming();
    }
    state.counters["boxes"] = double(w.dialogs.messages.size());
}

void scoreOpenAtLimit(benchmark::State& state) { scoreOpen(state, midi::kScoreFileLimit); }
void scoreOpenOverLimit(benchmark::State& state) { scoreOpen(state, midi::kScoreFileLimit + 1); }

void scoreEntryOpenAtLimit(benchmark::State& state)
{
    bench_support::Window w(true);
    const QString path = recordFolder() + QStringLiteral("score.txt");
    writeFile(path, scoreOfSize(midi::kScoreFileLimit));
    keyboard::YYLR& entry = *w.form->ScoreEntry;
    entry.Show();
    for (auto _ : state) {
        w.dialogs.openFiles.push_back(forms::FileChoice{path, QStringLiteral("score.txt")});
        entry.DKYP->click();
        QCoreApplication::processEvents();
    }
    entry.FANHUI->click();
}

void rhythmFileAtLimit(benchmark::State& state)
{
    bench_support::Window w(true);
    keyboard::RhythmPattern p;
    p.ticked[0][0] = p.ticked[1][4] = true;
    QByteArray record = forms::encodeGbk(keyboard::rhythmRecord(p, QStringLiteral("a.bin")) + QStringLiteral("\r\n"));
    record += QByteArray(keyboard::kRhythmFileLimit - record.size(), ' ');
    writeFile(recordFolder() + QStringLiteral("a.bin"), record);
    writeFile(recordFolder() + QStringLiteral("b.bin"), record);
    keyboard::RefreshFileList(w.form->File1, w.form->File1Path, QStringLiteral("*.bin"));
    int row = 0;
    for (auto _ : state) {
        w.form->File1->setCurrentRow(row);
        QCoreApplication::processEvents();
        row = 1 - row;
    }
}

void patternFileAtLimit(benchmark::State& state)
{
    bench_support::Window w(true);
    const QByteArray line("KC--KE--KG--HC--KG--KE--KC--XZ--\r\n");
    QByteArray file = line.repeated(int(keyboard::kPatternFileLimit / line.size()));
    file += QByteArray(keyboard::kPatternFileLimit - file.size(), '-');
    writeFile(midi::state().AppFolder + keyboard::kPatternFileName, file);
    for (auto _ : state) {
        w.form->Command3->click();
        QCoreApplication::processEvents();
    }
}

void settingsAtLimit(benchmark::State& state)
{
    bench_support::Window w(true);
    QByteArray file = forms::encodeGbk(keyboard::DefaultSettingsText());
    file += QByteArray(keyboard::kSettingsFileLimit - file.size(), ' ');
    writeFile(keyboard::SettingsPath(midi::state().AppFolder), file);
    for (auto _ : state) {
        w.form->Form_Activate();
        QCoreApplication::processEvents();
    }
    state.counters["boxes"] = double(w.dialogs.messages.size());
}

}  // namespace

BENCHMARK(scoreOpenAtLimit)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(scoreOpenOverLimit)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(scoreEntryOpenAtLimit)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(rhythmFileAtLimit)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(patternFileAtLimit)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(settingsAtLimit)->Unit(benchmark::kMillisecond)->Iterations(50);

namespace {

// The recorder's play opening an MP3 of state.range(0) MB: 8 MB, the largest file scanned for
// its exact length, and 50 MB (some 50 minutes). What the window waits for.
void recorderOpenMp3(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("long.mp3"));
    QByteArray frame("\xFF\xFB\x90\xC0", 4);   // silent MPEG-1 layer III frames, 128 kbit/s
    frame += QByteArray(413, '\0');
    writeFile(path, frame.repeated(int(state.range(0) * 1024 * 1024 / frame.size())));
    auto media = platform::createSystemMediaService();
    for (auto _ : state) {
        if (!media->openFile(path)) state.SkipWithError("the MP3 did not open");
        state.PauseTiming();
        media->close();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(recorderOpenMp3)->Arg(8)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(10);
