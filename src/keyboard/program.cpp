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

}  // namespace

void CopyShippedFiles(const QString& exeFolder, const QString& userFolder, const QString& exeName)
{
    QDir source(exeFolder);
    const QDir target(userFolder);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString copy = target.filePath(entry.fileName());
        if (entry.isDir()) {
            QDir().mkpath(copy);
            copyMissing(entry.absoluteFilePath(), copy);
        } else if (entry.fileName() != exeName && !QFileInfo::exists(copy)) {
            QFile::copy(entry.absoluteFilePath(), copy);
        }
    }
}

QString ChooseProgramFolder(const QString& exeFolder, const QString& userFolder, const QString& exeName)
{
    if (QFileInfo(exeFolder).isWritable()) return withSlash(exeFolder);
    // The user folder is filled once, when it is made: files the user deleted stay deleted.
    const bool firstStart = !QFileInfo::exists(userFolder);
    if (userFolder.isEmpty() || !QDir().mkpath(userFolder)) return withSlash(exeFolder);
    if (firstStart) CopyShippedFiles(exeFolder, userFolder, exeName);
    return withSlash(userFolder);
}

QString ProgramFolder()
{
    if (!folderOverride().isEmpty()) return folderOverride();
    static const QString folder = ChooseProgramFolder(
        QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
        QFileInfo(QCoreApplication::applicationFilePath()).fileName());
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
