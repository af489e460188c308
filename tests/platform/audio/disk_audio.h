#pragma once
// The sound tests run SDL's disk driver: the mixed output lands in a file (48 kHz stereo
// float) and capture reads a file. Paths are per process, under a temporary folder.
#include <QString>
#include <vector>

namespace disk_audio {

// Points SDL at its disk driver (or at VELQOR_TEST_AUDIODRIVER) with files in a folder of this
// process, and the synthesizer at the small SoundFont. Call before any audio is opened.
void useDiskDriver();

QString tempDir();
QString outputFile();
QString inputFile();
// Frames written to the output file so far.
size_t outputFrames();
// One channel of the output from frame `from` to what has been written.
std::vector<float> output(size_t from, int channel = 0);
// Index of the first sample louder than `threshold`, or -1.
long firstSound(const std::vector<float>& x, float threshold = 1e-3f);
void waitMs(int ms);
// Waits until `frames` more frames have been written (the driver runs at about real-time pace,
// slower on a loaded machine); false after ten seconds, or at once when the output rests.
bool waitFrames(size_t frames);
// Lets everything rendered so far reach the file, then returns the frame count: what is
// written after the mark was rendered after the call.
size_t settledMark();
// Writes `seconds` of a sine tone into the capture input, as raw samples of the given format.
bool writeCaptureTone(double freq, int bits, int rate, double seconds);

}  // namespace disk_audio
