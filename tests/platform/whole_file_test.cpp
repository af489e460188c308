// The whole-or-nothing writer: the failures that come late (at the rename) and what it leaves
// behind. The full-disk cases run under a real file-size limit in tests/forms.
#include "platform/whole_file.h"
#include "support/file_size_limit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

// Files this process has open.
int openFiles() { return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size()); }

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(WholeFile, ACommitThatCannotTakeTheNameFailsAndClosesOnlyItsOwnFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("take.wav");
    const QString other = dir.filePath("other.txt");
    ASSERT_TRUE(platform::writeWholeFile(other, "another file, open meanwhile"));
    QFile reading(other);
    const int filesBefore = openFiles();
    {
        platform::WholeFileWriter out(target);
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("RIFF"));
        // A folder takes the name before the commit: the rename fails.
        ASSERT_TRUE(QDir(dir.path()).mkpath("take.wav/inside"));
        EXPECT_FALSE(out.commit());
        EXPECT_TRUE(out.errorString().contains(target)) << out.errorString().toStdString();
        EXPECT_FALSE(out.write("more"));
        EXPECT_FALSE(out.commit());
        EXPECT_EQ(openFiles(), filesBefore);   // the failed file is closed at once
        // The file opened now may get the number the writer's file had: the writer going away
        // must not close it.
        ASSERT_TRUE(reading.open(QIODevice::ReadOnly));
    }
    {
        // Once the folder is gone, the same writer opened again starts over and succeeds.
        platform::WholeFileWriter out(target);
        ASSERT_TRUE(QDir(target).removeRecursively());
        ASSERT_TRUE(QDir(dir.path()).mkpath("take.wav"));
        EXPECT_FALSE(out.open());
        ASSERT_TRUE(QDir(target).removeRecursively());
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("RIFF"));
        ASSERT_TRUE(out.commit());
        EXPECT_EQ(bytesOf(target), "RIFF");
        ASSERT_TRUE(QFile::remove(target));
        ASSERT_TRUE(QDir(dir.path()).mkpath("take.wav/inside"));
    }
    EXPECT_EQ(reading.readAll(), "another file, open meanwhile");
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_EQ(testing_support::folderEntries(dir.path()), (QStringList{"other.txt", "take.wav"}));
    // A folder there from the start is refused for what it is.
    QString why;
    EXPECT_FALSE(platform::writeWholeFile(target, "RIFF", &why));
    EXPECT_TRUE(why.contains(qt_error_string(EISDIR))) << why.toStdString();
}

TEST(WholeFile, AfterACommitTheWriterLeavesOtherFilesAlone)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("song.txt");
    const QString other = dir.filePath("other.txt");
    ASSERT_TRUE(platform::writeWholeFile(other, "kept open"));
    QFile reading(other);
    {
        platform::WholeFileWriter out(target);
        // Opening again starts over: the first new file does not stay behind.
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("first"));
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("KC4TZ"));
        ASSERT_TRUE(out.commit());
        ASSERT_TRUE(reading.open(QIODevice::ReadOnly));
    }
    EXPECT_EQ(reading.readAll(), "kept open");
    EXPECT_EQ(bytesOf(target), "KC4TZ");
    EXPECT_EQ(testing_support::folderEntries(dir.path()), (QStringList{"other.txt", "song.txt"}));
}

TEST(WholeFile, AFailureNamesTheFile)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("no such folder/录音.wav");
    QString why;
    EXPECT_FALSE(platform::writeWholeFile(target, "RIFF", &why));
    EXPECT_TRUE(why.contains(target)) << why.toStdString();
    EXPECT_FALSE(platform::copyWholeFile(dir.filePath("missing.ini"), dir.filePath("copy.ini"), &why));
    EXPECT_TRUE(why.contains(dir.filePath("missing.ini"))) << why.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("copy.ini")));
    // A copy that cannot be written names where it was going.
    ASSERT_TRUE(platform::writeWholeFile(dir.filePath("velqor.ini"), "settings"));
    why.clear();
    EXPECT_FALSE(platform::copyWholeFile(dir.filePath("velqor.ini"), target, &why));
    EXPECT_TRUE(why.contains(target)) << why.toStdString();
    // No name at all is said as such, not with a reason left over from an earlier call.
    errno = 0;
    EXPECT_FALSE(platform::writeWholeFile(QString(), "RIFF", &why));
    EXPECT_TRUE(why.contains(qt_error_string(ENOENT))) << why.toStdString();
}

// A source that fails part way (a disk that cannot read the damaged settings file any more): the
// copy is not reported as kept, and an older copy stays as it was.
TEST(WholeFile, ACopyWhoseSourceCannotBeReadFailsAndKeepsTheOlderCopy)
{
    QTemporaryDir dir;
    const QString kept = dir.filePath("velqor.ini.bad");
    ASSERT_TRUE(platform::writeWholeFile(kept, "an older damaged copy"));
    // A plain file by its kind whose reading fails with an I/O error at its first byte.
    const QString unreadable = QStringLiteral("/proc/self/mem");
    ASSERT_TRUE(QFileInfo(unreadable).isFile());
    EXPECT_FALSE(platform::copyWholeFile(unreadable, kept));
    EXPECT_EQ(bytesOf(kept), "an older damaged copy");
    EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"velqor.ini.bad"});
}

// Every way a save can end without its commit closes the new file: a program that keeps failing
// to save (a full disk) does not run out of files it may open.
TEST(WholeFile, AFailedOrDroppedSaveLeavesNoFileOpen)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("song.txt");
    ASSERT_TRUE(platform::writeWholeFile(target, "old"));
    const int before = openFiles();
    {
        platform::WholeFileWriter out(target);
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("new"));
        out.discard();
        EXPECT_EQ(openFiles(), before);
        ASSERT_TRUE(out.open());
        ASSERT_TRUE(out.write("newer"));
    }
    EXPECT_EQ(openFiles(), before);
    EXPECT_EQ(bytesOf(target), "old");
    EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"song.txt"});
    // A write that meets a full disk closes the file at once.
    EXPECT_EQ(testing_support::writeUnderFileSizeLimit(100, [&] {
                  const int open = openFiles();
                  platform::WholeFileWriter out(target);
                  const bool failed = out.open() && !out.write(QByteArray(5000, 'x'));
                  return failed && openFiles() == open;
              }),
              std::optional<bool>(true));
    EXPECT_EQ(bytesOf(target), "old");
    EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"song.txt"});
}

}  // namespace
