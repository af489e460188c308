#pragma once
// The one shared program state of Velqor: every variable that both windows and the MIDI module
// read and write. One heap instance lives for the whole run; tests start from a fresh one.
#include <QString>
#include <array>
#include <cstdint>

namespace midi {

// A prepared percussion hit: the players send `Msg` unchanged when `Hit` is exactly -1.
struct PercussionCell {
    int16_t Hit = 0;
    int16_t Note = 0;
    int16_t Volume = 0;
    int32_t Msg = 0;
};

constexpr int kPercussionColumns = 7;   // 0..4 percussion parts, 5 keypad digits, 6 unused
constexpr int kSteps = 10000;           // steps 0..9999

struct SharedState {
    // Device and channels
    int32_t MidiOutHandle = 0;
    std::array<int16_t, 16> ChannelPan{};
    std::array<int16_t, 16> ChannelProgram{};
    std::array<int16_t, 16> ChannelVelocity{};
    std::array<int16_t, 16> TrackVolume{};

    // Keyboard, clock and score
    int16_t BaseNote = 0;
    int16_t StepMs = 0;
    int16_t CurStep = 0;
    int16_t RhythmStep = 0;
    int16_t RhythmLastStep = 0;
    int16_t StepInMeasure = 0;
    int32_t StepsLeft = 0;
    std::array<int16_t, 66> KeyIsWhite{};
    int16_t LastKeyCode = 0;
    int16_t CurKey = 0;
    int16_t LastKey = 0;
    int16_t HoldTicks = 0;
    int16_t RecordedTicks = 0;
    QString ScoreText;

    // Chords
    int16_t ChordIndex = 0;
    int16_t ChordCount = 0;
    std::array<int16_t, 10> ChordDegrees{};
    std::array<int16_t, 6> ChordVoiceNote{};
    // The notes chord voice 1 or 2 really started and has not ended yet (a whole chord is four),
    // so that ending the voice reaches them whatever the base note is by then.
    struct SoundingNotes {
        int16_t count = 0;
        std::array<int16_t, 4> notes{};
    };
    std::array<SoundingNotes, 3> ChordVoiceSounding{};
    int16_t ChordCode = 0;
    int16_t ChordChannel = 0;
    std::array<QString, 6> ChordOffsets;

    // Percussion, presets and effects
    std::array<std::array<PercussionCell, kSteps>, kPercussionColumns> PercussionCells{};
    int16_t PadIndex = 0;
    std::array<std::array<int16_t, 4>, 13> PresetTable{};   // [key 0..12][layer 0..3]
    std::array<int16_t, 11> KeypadDrums{};
    std::array<QString, 7> EffectWavNames;
    int16_t SoundFlags = 0;
    QString RhythmFileText;
    QString AppFolder;
};

// The run's one instance (created on first use).
SharedState& state();

// The record folder AppFolder & "演奏记录", without a trailing separator; empty while AppFolder
// is.
QString RecordFolder();

// Replaces the instance with a fresh one (every field 0 or empty). For tests.
void resetState();

}  // namespace midi
