#include "platform/system_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QUrl>
#include <map>
#include <memory>

namespace platform {

bool acquireSingleInstance(const QString& key)
{
    // Locks taken are held until the process ends (the OS drops them if it dies).
    static std::map<QString, std::unique_ptr<QLockFile>> held;
    if (held.count(key)) return true;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    auto lock = std::make_unique<QLockFile>(QDir(dir).filePath(key + QStringLiteral(".lock")));
    lock->setStaleLockTime(0);   // a lock is stale only when its process is gone
    if (!lock->tryLock(0)) return false;
    held.emplace(key, std::move(lock));
    return true;
}

bool openInBrowser(const QString& pathOrUrl)
{
    if (pathOrUrl.isEmpty()) return false;
    const QUrl asUrl(pathOrUrl, QUrl::StrictMode);
    const bool isAddress = asUrl.isValid() && asUrl.scheme().size() > 1;   // "C:" is a drive, not a scheme
    const QUrl url = isAddress ? asUrl : QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    return QDesktopServices::openUrl(url);
}

}  // namespace platform
