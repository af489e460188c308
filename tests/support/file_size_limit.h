#pragma once
// A full disk, for real: `write` runs in a child process whose files cannot grow past `limit`
// bytes (RLIMIT_FSIZE; SIGXFSZ ignored, so a write past it fails with EFBIG the way a write to
// a full disk fails with ENOSPC). No mount and no mock: the code under test meets the real
// failure of the real system call.
#include <QDir>
#include <QStringList>
#include <functional>
#include <optional>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

// What `write` returned in the child; nullopt when the child did not end normally.
inline std::optional<bool> writeUnderFileSizeLimit(rlim_t limit, const std::function<bool()>& write)
{
    fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return std::nullopt;
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(3);
        _exit(write() ? 0 : 1);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return std::nullopt;
    if (WEXITSTATUS(status) > 1) return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

// Every entry of a folder, hidden ones included: a temporary file left behind shows here.
inline QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace testing_support
