// Entry point of the main window's sound test: the offscreen platform, and SDL's disk driver so
// that what the built-in synthesizer renders can be read back.
#include "disk_audio.h"

#include <QApplication>
#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    disk_audio::useDiskDriver();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
