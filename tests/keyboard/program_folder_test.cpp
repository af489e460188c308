// The program folder: the executable's folder when writable, else a per-user folder filled once.
#include "keyboard/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(ProgramFolder, WritableExecutableFolderIsUsed)
{
    QTemporaryDir exe, user;
    EXPECT_EQ(keyboard::ChooseProgramFolder(exe.path(), user.path() + "/new", "velqor"), exe.path() + "/");
    EXPECT_FALSE(QFileInfo::exists(user.path() + "/new"));
}

TEST(ProgramFolder, MissingExecutableFolderFallsBackToTheUserFolder)
{
    QTemporaryDir user;
    const QString folder = user.path() + "/data";
    EXPECT_EQ(keyboard::ChooseProgramFolder(user.path() + "/no-such-folder", folder, "velqor"), folder + "/");
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(ProgramFolder, ShippedFilesAreCopiedWithoutOverwriting)
{
    QTemporaryDir exe, user;
    writeFile(exe.path() + "/velqor", "program");
    writeFile(exe.path() + "/HxJzMx.txt", "patterns");
    writeFile(exe.path() + "/演奏记录/a.bin", "rhythm a");
    writeFile(exe.path() + "/演奏记录/b.bin", "rhythm b");
    QDir().mkpath(exe.path() + "/音效");
    writeFile(user.path() + "/演奏记录/b.bin", "user's own");

    keyboard::CopyShippedFiles(exe.path(), user.path(), "velqor");
    EXPECT_FALSE(QFileInfo::exists(user.path() + "/velqor"));
    EXPECT_EQ(readFile(user.path() + "/HxJzMx.txt"), "patterns");
    EXPECT_EQ(readFile(user.path() + "/演奏记录/a.bin"), "rhythm a");
    EXPECT_EQ(readFile(user.path() + "/演奏记录/b.bin"), "user's own");
    EXPECT_TRUE(QFileInfo(user.path() + "/音效").isDir());
}

}  // namespace
