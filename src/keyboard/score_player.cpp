#include "keyboard/score_player.h"

#include "midi/score_notation.h"

namespace keyboard {
namespace {

constexpr int kTempoEntries = 19;         // "VS" 1..19: 40, 45, ... 130 beats per minute
constexpr int kLastRhythmFile = 98;       // "JP" 1..98: a file of the rhythm list
constexpr int kRhythmSyncOff = 99;        // "JP99": automatic synchronisation off
constexpr int kInstrumentGroups = 13;     // "YQ" 1..13
constexpr int16_t kRestKey = 254;
constexpr int16_t kStopKey = 255;

// A command's action for its number n.
ScoreStep command(midi::ScoreTokenKind kind, int n)
{
    const bool inTable = n >= 1;
    switch (kind) {
    case midi::ScoreTokenKind::Tempo:
        if (inTable && n <= kTempoEntries) return {ScoreAction::Tempo, n - 1};
        return {ScoreAction::Halt};
    case midi::ScoreTokenKind::Rhythm:
        if (inTable && n <= kLastRhythmFile) return {ScoreAction::RhythmFile, n - 1};
        if (n == kRhythmSyncOff) return {ScoreAction::RhythmSyncOff};
        return {ScoreAction::Nothing};
    default:   // instruments
        if (inTable && n <= kInstrumentGroups) return {ScoreAction::Instruments, n - 1};
        return {ScoreAction::Nothing};
    }
}

}  // namespace

bool isScoreCommand(ScoreAction action) { return action <= ScoreAction::Halt; }

ScoreStep ScorePlayer::read(const QString& score)
{
    if (ScorePos < 1) ScorePos = 1;
    const int64_t readAt = ScorePos;
    const int64_t len = score.size();
    const midi::ScoreRead r = midi::readScoreToken(score, ScorePos);
    ScorePos = r.pos;
    if (r.hasLength) TokenTicks = int16_t(r.length);

    ScoreStep step;
    switch (r.kind) {
    case midi::ScoreTokenKind::Tempo:
    case midi::ScoreTokenKind::Rhythm:
    case midi::ScoreTokenKind::Instruments:
        step = command(r.kind, r.length);
        break;
    default:
        // A note, a rest, the end of the score or the score error; the token's ticks count anew.
        if (ScorePos == len) TokenTicks = 0;
        NoteTick = 0;
        if (r.kind == midi::ScoreTokenKind::Note) {
            ScoreKey = int16_t(r.note);
            // The last token of the text ends playback without sounding.
            step.action = ScorePos >= len - 1 ? ScoreAction::LastNote : ScoreAction::Note;
            if (step.action == ScoreAction::Note) ++ScorePos;
        } else if (r.kind == midi::ScoreTokenKind::Rest) {
            ScoreKey = kRestKey;
            step.action = ScoreAction::Rest;
            ++ScorePos;
        } else if (r.kind == midi::ScoreTokenKind::Stop) {
            ScoreKey = kStopKey;
            step.action = ScoreAction::Stop;
            ScorePos = 1;
        }
        break;
    }
    step.readAt = readAt;
    step.atEnd = readAt >= len - 1;
    return step;
}

void ScorePlayer::passCommand() { ++ScorePos; }

ScoreTick ScorePlayer::tick()
{
    ScoreTick t;
    t.soundKey = NoteTick == 0 && ScoreKey < kRestKey;   // a note, not a rest or the stop
    t.accompany = NoteTick % 2 == 0;
    ++NoteTick;
    t.readNext = NoteTick == TokenTicks;
    return t;
}

}  // namespace keyboard
