// One playback step without the window: crescendo and accent levels, what each kind of melody
// cell does to its row on the wire, exact releases after a key change, and the preparation of the
// playback tables.
#include "editor/editor_fields.h"
#include "editor/step_sequencer.h"
#include "midi/state.h"
#include "support/midi_fixture.h"

#include <vector>

using testing_support::MidiFixture;
using Msg = std::array<int, 3>;

namespace {

// Levels of consecutive steps from `first` on, each computed from the one before, the measure
// being the one of the step before (as the step clock has it).
std::vector<int> crescendoRun(int level, bool on, int depth, int S, int first, int steps)
{
    std::vector<int> out;
    int32_t measure = first / S;
    for (int c = first; c < first + steps; ++c) {
        level = editor::stepCrescendoLevel(int16_t(level), on, depth, c, S, measure);
        out.push_back(level);
        measure = c / S;
    }
    return out;
}

TEST(StepArithmetic, AFallingCrescendoFallsInTheSecondHalfOfEveryMeasure)
{
    const std::vector<int> measure = {120, 120, 120, 120, 120, 120, 120, 120, 100, 80, 60, 40, 20, 0, 0, 0};
    std::vector<int> two = measure;
    two.insert(two.end(), measure.begin(), measure.end());
    EXPECT_EQ(crescendoRun(120, true, -20, 16, 0, 32), two);
    // 3/4: the second half begins at step 12.
    const std::vector<int> threeFour = crescendoRun(120, true, -3, 24, 24, 24);
    EXPECT_EQ(threeFour[11], 120);
    EXPECT_EQ(threeFour[12], 117);
    EXPECT_EQ(threeFour[23], 84);
}

TEST(StepArithmetic, ARisingCrescendoClimbsToFullAndStaysThere)
{
    EXPECT_EQ(crescendoRun(0, true, 20, 16, 0, 8), (std::vector<int>{20, 40, 60, 80, 100, 120, 120, 120}));
    EXPECT_EQ(crescendoRun(0, true, 7, 16, 0, 3), (std::vector<int>{7, 14, 21}));
    EXPECT_EQ(editor::restingCrescendoLevel(20), 0);
    EXPECT_EQ(editor::restingCrescendoLevel(0), 120);
    EXPECT_EQ(editor::restingCrescendoLevel(-5), 120);
}

TEST(StepArithmetic, WithoutTheCrescendoBoxOrDepthTheLevelIsFull)
{
    for (int depth : {-20, 0, 20}) EXPECT_EQ(crescendoRun(30, false, depth, 16, 0, 16), std::vector<int>(16, 120));
    EXPECT_EQ(crescendoRun(30, true, 0, 16, 0, 16), std::vector<int>(16, 120));
}

TEST(StepArithmetic, BeatAccentsPerTimeSignature)
{
    auto accented = [](int S, int level) {
        std::vector<int> steps;
        for (int k = 0; k < S; ++k)
            if (editor::beatAccentLevel(S, k, int16_t(level)) == 80) steps.push_back(k);
        return steps;
    };
    EXPECT_EQ(accented(16, 120), (std::vector<int>{4, 12}));
    EXPECT_EQ(accented(24, 120), (std::vector<int>{4, 8, 16, 20}));
    EXPECT_EQ(accented(32, 120), (std::vector<int>{4, 8, 12, 20, 24, 28}));
    EXPECT_EQ(accented(20, 120), std::vector<int>{});   // a step count of an odd edit file
    EXPECT_EQ(editor::beatAccentLevel(16, 8, 120), 120);
    EXPECT_EQ(editor::beatAccentLevel(24, 8, 120), 80);
    // At 4/4 a crescendo below full carries every step; at the other signatures it does not.
    for (int k = 0; k < 32; ++k) EXPECT_EQ(editor::beatAccentLevel(32, k, 50), 50) << k;
    EXPECT_EQ(editor::beatAccentLevel(16, 4, 50), 80);
    EXPECT_EQ(editor::beatAccentLevel(24, 0, 50), 120);
}

TEST(StepArithmetic, WhatACellDoesToItsRow)
{
    using A = editor::CellAction;
    EXPECT_EQ(editor::cellAction(24, "KC"), A::Note);
    EXPECT_EQ(editor::cellAction(0, "LC"), A::Note);
    EXPECT_EQ(editor::cellAction(65, "CC"), A::Chord);
    EXPECT_EQ(editor::cellAction(70, "AM"), A::Chord);
    EXPECT_EQ(editor::cellAction(254, "XZ"), A::Release);
    EXPECT_EQ(editor::cellAction(255, "TZ"), A::Release);
    EXPECT_EQ(editor::cellAction(255, "--"), A::Hold);
    EXPECT_EQ(editor::cellAction(255, "MA"), A::Hold);
    EXPECT_EQ(editor::cellAction(255, ""), A::Hold);
    EXPECT_EQ(editor::cellAction(64, "??"), A::Hold);
    EXPECT_EQ(editor::cellAction(80, "??"), A::Hold);
}

class StepSound : public MidiFixture {
protected:
    StepSound()
    {
        openDevice();
        auto& s = midi::state();
        s.BaseNote = 36;
        s.TrackVolume.fill(70);
        // Melody rows GM programs, percussion rows list indexes (key - 35).
        const std::array<int32_t, 12> instruments{1, 51, 78, 82, 4, 4, 4, 1, 3, 4, 41, 17};
        std::copy(instruments.begin(), instruments.end(), editor::piece().TrackInstrument.begin());
    }
    // Writes row `row`'s tokens from cell 0 on and prepares the tables of a one-measure piece.
    void write(int row, const QStringList& tokens)
    {
        for (int i = 0; i < tokens.size(); ++i) editor::piece().CellTokens[row][i] = tokens[i];
        ASSERT_TRUE(editor::preparePlayback(16, 0, 0));
    }
    // Sounds cell `cell` and returns what went out.
    std::vector<Msg> step(int cell)
    {
        midi.clear();
        midi::state().CurStep = int16_t(cell);
        EXPECT_TRUE(editor::soundStep());
        return sent();
    }
    std::vector<Msg> sent() const
    {
        std::vector<Msg> out;
        for (uint32_t v : midi.sent()) out.push_back({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)});
        return out;
    }
    static int count(const std::vector<Msg>& m, int status)
    {
        int n = 0;
        for (const Msg& x : m) n += x[0] == status;
        return n;
    }
};

TEST_F(StepSound, ANoteRingsOverHeldCellsAndARestEndsIt)
{
    write(0, {"KC", "--", "--", "XZ"});
    EXPECT_EQ(step(0), (std::vector<Msg>{{0x80, 36, 0}, {0xB0, 10, 0}, {0x90, 60, 70}}));
    EXPECT_TRUE(step(1).empty());
    EXPECT_TRUE(step(2).empty());
    EXPECT_EQ(step(3), (std::vector<Msg>{{0x80, 60, 0}}));
    EXPECT_EQ(editor::fields().PrevNote[0], 24);   // a rest keeps the last code
    EXPECT_EQ(editor::fields().StartedNotes[0].count, 0);
}

TEST_F(StepSound, AChordIsReleasedWholeBeforeTheNextSoundOfItsRow)
{
    write(3, {"CC", "KC", "FF", "TZ"});
    const std::vector<Msg> chord = step(0);
    EXPECT_EQ(count(chord, 0x93), 4);
    EXPECT_EQ(chord.back(), (Msg{0x93, 36 + 19, 70}));
    const std::vector<Msg> note = step(1);
    ASSERT_EQ(note.size(), 65u + 2);
    for (int k = 0; k < 65; ++k) EXPECT_EQ(note[k], (Msg{0x83, 36 + k, 0}));
    EXPECT_EQ(note.back(), (Msg{0x93, 60, 70}));
    step(2);
    const std::vector<Msg> stop = step(3);
    EXPECT_EQ(stop.size(), 65u);
    EXPECT_EQ(count(stop, 0x83), 65);
}

TEST_F(StepSound, ANoteOnASilentRowSoundsNothingButIsReleasedLater)
{
    editor::piece().TrackInstrument[5] = -1;   // "0.无声"
    write(5, {"HC", "HD"});
    EXPECT_EQ(step(0), (std::vector<Msg>{{0x85, 36, 0}}));   // the release of the code before
    EXPECT_EQ(editor::fields().PrevNote[5], 36);
    EXPECT_EQ(step(1), (std::vector<Msg>{{0x85, 72, 0}}));
}

TEST_F(StepSound, PercussionHitsGoFirstThenTheRowsInOrder)
{
    write(7, {"O", "-"});
    write(11, {"O", "-"});
    write(1, {"KE", "--"});
    ASSERT_TRUE(editor::preparePercussionStep(0));
    const std::vector<Msg> m = step(0);
    ASSERT_GE(m.size(), 2u);
    EXPECT_EQ(m[0], (Msg{0x99, 36, 70}));
    EXPECT_EQ(m[1], (Msg{0x99, 52, 70}));
    EXPECT_EQ(m.back(), (Msg{0x91, 64, 70}));
    EXPECT_TRUE(step(1).empty());
}

TEST_F(StepSound, AKeyChangeWhileANoteRingsLeavesNothingSounding)
{
    auto& s = midi::state();
    write(0, {"KC", "XZ", "CC", "--"});
    step(0);                 // note 60 at the key of C
    s.BaseNote = 43;         // the key goes to G while it rings
    EXPECT_EQ(step(1), (std::vector<Msg>{{0x80, 67, 0}, {0x80, 60, 0}}));

    s.BaseNote = 36;
    step(2);                 // the chord G C E G from C: 43 48 52 55
    s.BaseNote = 60;         // a higher key: its range misses all four
    midi.clear();
    editor::allMelodyNotesOff();
    const std::vector<Msg> m = sent();
    EXPECT_EQ(m.size(), 455u + 4);
    for (int note : {43, 48, 52, 55}) {
        int n = 0;
        for (const Msg& x : m) n += x == Msg{0x80, note, 0};
        EXPECT_EQ(n, 1) << note;
    }
    midi.clear();
    editor::allMelodyNotesOff();
    EXPECT_EQ(sent().size(), 455u);   // nothing is left to end
}

TEST_F(StepSound, NothingSoundsForACellBeyondTheTables)
{
    midi::state().CurStep = 10000;
    EXPECT_FALSE(editor::soundStep());
    midi::state().CurStep = -1;
    EXPECT_FALSE(editor::soundStep());
    EXPECT_FALSE(editor::preparePercussionStep(10000));
    EXPECT_TRUE(midi.sent().empty());
}

TEST_F(StepSound, PreparationRebuildsCodesHitsAndTheShownMeasuresMessages)
{
    auto& s = midi::state();
    auto& p = editor::piece();
    p.MeasureTotal = 2;
    p.CellTokens[0][47] = "MG";
    p.CellNotes[0][0] = 24;           // a stale code of an empty cell
    p.CellTokens[8][40] = "O";
    p.CellTokens[8][41] = "o";
    s.PercussionCells[1][41].Hit = -1;
    s.PercussionCells[1][48].Hit = -1;   // beyond the piece: left alone
    s.TrackVolume[8] = 90;
    ASSERT_TRUE(editor::preparePlayback(16, 1, p.MeasureTotal));
    EXPECT_EQ(p.CellNotes[0][47], 55);
    EXPECT_EQ(p.CellNotes[0][0], 255);
    EXPECT_EQ(s.PercussionCells[1][40].Hit, -1);
    EXPECT_EQ(s.PercussionCells[1][41].Hit, 0);
    EXPECT_EQ(s.PercussionCells[1][48].Hit, -1);
    for (int c = 16; c < 32; ++c) EXPECT_EQ(s.PercussionCells[1][c].Msg, 90 * 65536 + 38 * 256 + 0x99) << c;
    EXPECT_EQ(s.PercussionCells[1][16].Note, 38);
    EXPECT_EQ(s.PercussionCells[1][16].Volume, 90);
    EXPECT_EQ(s.PercussionCells[1][0].Msg, 0);

    // A measure beyond the piece is prepared when asked for: its cells lose an earlier piece's codes.
    p.CellNotes[0][60] = 24;
    ASSERT_TRUE(editor::preparePlayback(16, 0, 3));
    EXPECT_EQ(p.CellNotes[0][60], 255);

    p.CellTokens[0][47] = "KC";
    EXPECT_FALSE(editor::preparePlayback(16, 0, 625));   // 626 measures of 16 steps do not fit
    EXPECT_EQ(p.CellNotes[0][47], 55);
    EXPECT_FALSE(editor::preparePlayback(16, 625, 0));
}

TEST_F(StepSound, ExpressionGoesToTheCrescendoAndAccentChannels)
{
    editor::sendStepExpression(50, 80);
    EXPECT_EQ(sent(), (std::vector<Msg>{{0xB0, 11, 50}, {0xB1, 11, 50}, {0xB2, 11, 50}, {0xB3, 11, 50},
                                        {0xB4, 11, 50}, {0xB5, 11, 80}, {0xB6, 11, 80}, {0xB9, 11, 80}}));
}

}  // namespace
