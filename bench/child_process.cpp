#include "child_process.h"

#include <algorithm>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <vector>

namespace bench_child {
namespace {

std::map<std::string, std::function<Figures()>>& registry()
{
    static std::map<std::string, std::function<Figures()>> r;
    return r;
}

}  // namespace

bool add(const char* name, std::function<Figures()> run)
{
    registry()[name] = std::move(run);
    return true;
}

int runIfChild(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--child=", 8) != 0) continue;
        auto it = registry().find(argv[i] + 8);
        if (it == registry().end()) {
            std::fprintf(stderr, "no child benchmark %s\n", argv[i] + 8);
            return 2;
        }
        for (const auto& [key, value] : it->second()) std::printf("%s %.6f\n", key.c_str(), value);
        std::fflush(stdout);
        return 0;
    }
    return -1;
}

Figures run(const QString& name, QString* error)
{
    // Each child is a fresh program: its own runtime folder, so the single-instance lock of
    // another running copy does not refuse it.
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child=") + name});
    Figures figures;
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        if (error) *error = QStringLiteral("child %1 failed: %2").arg(name, child.errorString());
        child.kill();
        child.waitForFinished();
        return figures;
    }
    for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.trimmed().split(' ');
        if (parts.size() == 2) figures[parts[0].toStdString()] = parts[1].toDouble();
    }
    return figures;
}

QString dataFolder() { return QStringLiteral(VELQOR_DATA_DIR); }

namespace {

double statusMiB(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    const QByteArray key(field);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

}  // namespace

double peakMemoryMiB() { return statusMiB("VmHWM:"); }
double residentMemoryMiB() { return statusMiB("VmRSS:"); }

void childBenchmark(benchmark::State& state, const char* child)
{
    std::map<std::string, std::vector<double>> figures;
    for (auto _ : state) {
        QString error;
        const Figures f = run(QString::fromLatin1(child), &error);
        if (f.empty()) {
            state.SkipWithError(error.toStdString().c_str());
            return;
        }
        state.SetIterationTime(f.count("ms") ? f.at("ms") / 1000 : 0);
        for (const auto& [key, value] : f) figures[key].push_back(value);
    }
    for (auto& [key, values] : figures) {
        std::sort(values.begin(), values.end());
        state.counters[key == "ms" ? "median_ms" : key] = values[values.size() / 2];
    }
}

}  // namespace bench_child
