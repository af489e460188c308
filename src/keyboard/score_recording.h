#pragma once
// Writing a take into the score text: each token goes in behind the length of the token before
// it, and the live clock's tick count becomes the length the next note carries.
#include <QString>

namespace keyboard {

// The longest length a take records; holding a note or rest longer ends the take.
constexpr int kMaxRecordedTicks = 99;

// The length the next note carries after `holdTicks` ticks: rounded up to an even count.
int evenTicks(int holdTicks);

// Appends `token` to `score`. The first token of an empty score carries no length; otherwise the
// length of the token before it goes first, kept within 1..99 so that every recorded length
// plays back (0 would hold a note for ever, three digits would not read as one length).
void appendRecorded(QString& score, int length, const QString& token);

// The message that refuses to save `score` when the score file's encoding lacks one of its
// characters (it would be written as "?"); empty when the score can be saved as it stands.
QString unsavableScoreText(const QString& score);

}  // namespace keyboard
