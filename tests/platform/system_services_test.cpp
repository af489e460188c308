#include "platform/system_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

TEST(SingleInstance, LockIsHeldForTheRestOfTheRun)
{
    const QString key = QStringLiteral("velqor-test-%1").arg(QCoreApplication::applicationPid());
    ASSERT_TRUE(platform::acquireSingleInstance(key));
    EXPECT_TRUE(platform::acquireSingleInstance(key));   // asking again in the same run

    // Another instance cannot take the lock while this one runs.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QLockFile other(QDir(dir).filePath(key + QStringLiteral(".lock")));
    EXPECT_FALSE(other.tryLock(0));
}

}  // namespace
