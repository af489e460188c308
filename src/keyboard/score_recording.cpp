#include "keyboard/score_recording.h"

#include "forms/conv.h"

#include <algorithm>

namespace keyboard {

int evenTicks(int holdTicks) { return 2 * forms::Int((holdTicks + 1) / 2.0); }

void appendRecorded(QString& score, int length, const QString& token)
{
    if (score.isEmpty()) {
        score = token;
        return;
    }
    score += QString::number(std::clamp(length, 1, kMaxRecordedTicks)) + token;
}

}  // namespace keyboard
