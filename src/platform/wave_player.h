#pragma once
// The wave sound player: plays one WAV file asynchronously through the audio engine.
#include <QString>

namespace platform {

// Flags as the classic call takes them.
constexpr int kSoundAsync = 0x1;
constexpr int kSoundNoDefault = 0x2;
constexpr int kSoundLoop = 0x8;

// Plays `path` (once, or looped with kSoundLoop); a new sound replaces the one playing; an empty
// path stops it; a missing file, or one that cannot be opened as a sound, plays nothing.
// Returns whether a sound started. The call returns at once: the file is decoded on the player's
// own thread while it already plays, once, and kept decoded until the file changes.
bool PlaySoundFile(const QString& path, int flags);

// How many files the player has begun to decode since the program started (for tests and
// measurements).
int SoundFileDecodes();

// What the player was last asked: the file (empty for a stop) and whether it loops. For tests.
struct SoundRequest {
    QString path;
    bool loop = false;
};
SoundRequest LastSoundRequest();

// Wave output volume: low 16 bits left, high 16 bits right, 0..0xFFFF each (a gain on the wave
// sources of the mixer).
void SetWaveVolume(uint32_t volume);

}  // namespace platform
