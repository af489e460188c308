// The score player without the window: which token each reading finds and what it asks for, and
// on which tick of the score clock each note starts, the accompaniment steps and playback ends.
#include "keyboard/score_player.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

using keyboard::ScoreAction;
using keyboard::ScoreStep;

// Playback as the window runs it: commands are passed at once, a note or a rest runs on the
// score clock, any other action stops the clock.
class ScorePlayerTest : public testing::Test {
protected:
    void play(const QString& text)
    {
        score = text;
        steps.clear();
        started.clear();
        accompanied.clear();
        ticks = 0;
        player.rewind();
        readOn();
    }
    void readOn()
    {
        for (;;) {
            steps.push_back(player.read(score));
            const ScoreAction a = steps.back().action;
            clockRuns = a == ScoreAction::Note || a == ScoreAction::Rest;
            if (!keyboard::isScoreCommand(a)) return;
            player.passCommand();
            if (a == ScoreAction::Halt) return;
        }
    }
    // Ticks the clock while it runs, at most `limit` times; tick -> note started.
    const std::map<int, int>& run(int limit = 400)
    {
        for (int i = 0; i < limit && clockRuns; ++i) {
            const keyboard::ScoreTick t = player.tick();
            ++ticks;
            if (t.soundKey) started[ticks] = player.ScoreKey;
            accompanied.push_back(t.accompany);
            if (t.readNext) readOn();
        }
        return started;
    }
    ScoreAction last() const { return steps.back().action; }

    keyboard::ScorePlayer player;
    QString score;
    std::vector<ScoreStep> steps;
    std::map<int, int> started;
    std::vector<bool> accompanied;
    int ticks = 0;
    bool clockRuns = false;
};

TEST_F(ScorePlayerTest, ExampleScoreEndsAtItsLastNoteWithoutSoundingIt)
{
    play("KC8KDKEKF4KGKAKB");
    const std::map<int, int> expected{{1, 24}, {9, 26}, {17, 28}, {25, 29}, {29, 31}, {33, 33}};
    EXPECT_EQ(run(), expected);
    EXPECT_EQ(ticks, 36);   // "KA" ends on its 4th tick, where "KB" ends the score
    EXPECT_EQ(last(), ScoreAction::LastNote);
}

TEST_F(ScorePlayerTest, ExampleScoreWithStopPlaysAllNotesAndRewinds)
{
    play("KC8KDKEKF4KGKAKBTZ");
    run();
    EXPECT_EQ(started.size(), 7u);
    EXPECT_EQ(started.at(37), 35);   // "KB" for 4 ticks
    EXPECT_EQ(ticks, 40);
    EXPECT_EQ(last(), ScoreAction::Stop);
    EXPECT_EQ(player.ScorePos, 1);
    EXPECT_EQ(player.ScoreKey, 255);
}

TEST_F(ScorePlayerTest, ACommandsNumberBecomesTheCurrentLength)
{
    play("KC8YQ3KDTZ");
    EXPECT_EQ(run(), (std::map<int, int>{{1, 24}, {9, 26}}));
    EXPECT_EQ(ticks, 11);   // "KD" lasts 3 ticks
    EXPECT_EQ(steps[1].action, ScoreAction::Instruments);
    EXPECT_EQ(steps[1].index, 2);
}

TEST_F(ScorePlayerTest, WhatEachCommandNumberAsksFor)
{
    struct Case {
        const char* text;
        ScoreAction action;
        int index;
    };
    const Case cases[] = {
        {"VS1", ScoreAction::Tempo, 0},          {"VS19", ScoreAction::Tempo, 18},
        {"VS20", ScoreAction::Halt, -1},         {"VS0", ScoreAction::Halt, -1},
        {"JP1", ScoreAction::RhythmFile, 0},     {"JP98", ScoreAction::RhythmFile, 97},
        {"JP99", ScoreAction::RhythmSyncOff, -1}, {"JP0", ScoreAction::Nothing, -1},
        {"YQ1", ScoreAction::Instruments, 0},    {"YQ13", ScoreAction::Instruments, 12},
        {"YQ14", ScoreAction::Nothing, -1},      {"YQ0", ScoreAction::Nothing, -1},
        {"YQ", ScoreAction::Nothing, -1},
    };
    for (const Case& c : cases) {
        keyboard::ScorePlayer p;
        const ScoreStep step = p.read(QString(c.text) + "KC2TZ");
        EXPECT_EQ(step.action, c.action) << c.text;
        EXPECT_EQ(step.index, c.index) << c.text;
    }
    // A number outside the tables changes nothing, and playback goes on.
    for (const char* text : {"KC4YQ14KD4TZ", "KC4YQ0KD4TZ", "KC4YQKDTZ", "JP0KC2KDTZ"}) {
        play(text);
        run();
        EXPECT_EQ(started.size(), 2u) << text;
        EXPECT_EQ(last(), ScoreAction::Stop) << text;
    }
    // A tempo outside the list halts the clock behind its number.
    play("VS0KC8TZ");
    EXPECT_FALSE(clockRuns);
    EXPECT_EQ(player.ScorePos, 4);
}

TEST_F(ScorePlayerTest, ScoresThatEndAtOnce)
{
    for (const char* text : {"", "K", "8", "k c", "kc2"}) {
        play(text);
        EXPECT_EQ(last(), ScoreAction::Error) << text;
    }
    play("TZ");
    EXPECT_EQ(last(), ScoreAction::Stop);
    play("KC");
    EXPECT_EQ(last(), ScoreAction::LastNote);
    EXPECT_EQ(player.ScoreKey, 24);
}

TEST_F(ScorePlayerTest, RestAtTheEndRunsItsLengthThenFailsToReadOn)
{
    play("KC8XZ");
    run();
    EXPECT_EQ(ticks, 16);   // the rest runs its 8 ticks, then nothing is left to read
    EXPECT_EQ(steps[1].action, ScoreAction::Rest);
    EXPECT_EQ(last(), ScoreAction::Error);

    // A character left after a rest is read and fails too, where it stands.
    play("KC2XZ2K");
    run();
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(last(), ScoreAction::Error);
    EXPECT_EQ(player.ScorePos, 7);

    // A rest whose length ends the text, and a length of 0, last until stopped.
    for (const char* text : {"KC2XZ3", "KC0KDTZ"}) {
        play(text);
        run(300);
        EXPECT_EQ(ticks, 300) << text;
        EXPECT_TRUE(clockRuns) << text;
    }
}

TEST_F(ScorePlayerTest, AScoreMayBeginWithARest)
{
    // A playback stopped in the middle of a note leaves its count behind; the next starts afresh.
    play("KC4TZ");
    run(1);
    play("XZ2KC2TZ");
    EXPECT_EQ(run(), (std::map<int, int>{{3, 24}}));
    EXPECT_EQ(last(), ScoreAction::Stop);
}

TEST_F(ScorePlayerTest, TheAccompanimentStepsOnTheEvenTicksOfEachToken)
{
    play("KC3KD5TZ");
    run(7);
    // Ticks 0 and 2 of "KC", then 0, 2 of "KD": after a token of odd length two steps follow
    // each other.
    EXPECT_EQ(accompanied, (std::vector<bool>{true, false, true, true, false, true, false}));
}

TEST_F(ScorePlayerTest, WhereEachReadingStartsAndWhenTheTextEnds)
{
    play("KC2KD2KE");
    run();
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[1].readAt, 4);
    EXPECT_FALSE(steps[1].atEnd);
    EXPECT_EQ(steps[2].readAt, 7);
    EXPECT_TRUE(steps[2].atEnd);   // the last two characters: the keys are given back
    // A last note with a length is read short of the end, yet ends the score.
    play("KC2KD2KE2");
    run();
    EXPECT_FALSE(steps.back().atEnd);
    EXPECT_EQ(last(), ScoreAction::LastNote);

    // A position below 1 reads from the start.
    keyboard::ScorePlayer p;
    p.ScorePos = -5;
    EXPECT_EQ(p.read("KC2TZ").readAt, 1);
    EXPECT_EQ(p.ScorePos, 4);
}

}  // namespace
