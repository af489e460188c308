#pragma once
// The wave sound player: plays one WAV file asynchronously through the audio engine.
#include <QString>

namespace platform {

// Flags as the classic call takes them.
constexpr int kSoundAsync = 0x1;
constexpr int kSoundNoDefault = 0x2;
constexpr int kSoundLoop = 0x8;

// Plays `path` (once, or looped with kSoundLoop); a new sound replaces the one playing; an empty
// path stops it; a missing or unreadable file plays nothing. Returns whether a sound started.
bool PlaySoundFile(const QString& path, int flags);

// Wave output volume: low 16 bits left, high 16 bits right, 0..0xFFFF each (a gain on the wave
// sources of the mixer).
void SetWaveVolume(uint32_t volume);

}  // namespace platform
