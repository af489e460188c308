// Entry point of the sound tests: SDL's disk driver with per-process files, and the small
// SoundFont. VELQOR_TEST_AUDIODRIVER chooses another driver (to test a missing device).
#include "disk_audio.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    disk_audio::useDiskDriver();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
