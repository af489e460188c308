#include "keyboard/program.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace keyboard {
namespace {

QString& folderOverride()
{
    static QString f;
    return f;
}

std::function<void()>& endHandler()
{
    static std::function<void()> h;
    return h;
}

bool& endRequested()
{
    static bool r = false;
    return r;
}

QString withSlash(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

// Copies the files and folders under `from` into `to`, keeping what `to` already has.
void copyMissing(const QString& from, const QString& to)
{
    QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        const QString target = QDir(to).filePath(relative);
        if (QFileInfo::exists(target)) continue;
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(file, target);
    }
}

QString defaultFolder()
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(exeFolder).isWritable()) return withSlash(exeFolder);
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (user.isEmpty() || !QDir().mkpath(user)) return withSlash(exeFolder);
    // The program itself does not live in the data folder: only its data files are copied.
    const QString exeName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QDir source(exeFolder);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.isDir()) {
            QDir().mkpath(QDir(user).filePath(entry.fileName()));
            copyMissing(entry.absoluteFilePath(), QDir(user).filePath(entry.fileName()));
        } else if (entry.fileName() != exeName && !QFileInfo::exists(QDir(user).filePath(entry.fileName()))) {
            QFile::copy(entry.absoluteFilePath(), QDir(user).filePath(entry.fileName()));
        }
    }
    return withSlash(user);
}

}  // namespace

QString ProgramFolder()
{
    if (!folderOverride().isEmpty()) return folderOverride();
    static const QString folder = defaultFolder();
    return folder;
}

void setProgramFolder(const QString& folder)
{
    folderOverride() = folder.isEmpty() ? QString() : withSlash(folder);
}

void EndProgram()
{
    endRequested() = true;
    if (endHandler()) {
        endHandler()();
        return;
    }
    QCoreApplication::exit(0);
}

bool EndRequested() { return endRequested(); }

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler() = std::move(handler);
    endRequested() = false;
}

}  // namespace keyboard
