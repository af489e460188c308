// The grid's limit: (MeasureTotal + 1) x S never passes the 10000 cells of a row.
#include "editor/grid_limits.h"

#include <gtest/gtest.h>

TEST(EditorGrid, TimeSignaturesAndTheLastMeasureThatFits)
{
    EXPECT_EQ(editor::stepsForTimeSignature(0), 16);
    EXPECT_EQ(editor::stepsForTimeSignature(1), 24);
    EXPECT_EQ(editor::stepsForTimeSignature(2), 32);
    for (int option = 0; option < 3; ++option)
        EXPECT_EQ(editor::timeSignatureForSteps(editor::stepsForTimeSignature(option)), option);
    EXPECT_EQ(editor::timeSignatureForSteps(20), -1);

    EXPECT_EQ(editor::maxMeasureTotal(16), 624);
    EXPECT_EQ(editor::maxMeasureTotal(24), 415);
    EXPECT_EQ(editor::maxMeasureTotal(32), 311);
    EXPECT_TRUE(editor::pieceFits(624, 16));
    EXPECT_FALSE(editor::pieceFits(625, 16));
    EXPECT_TRUE(editor::pieceFits(415, 24));
    EXPECT_FALSE(editor::pieceFits(416, 24));
    EXPECT_FALSE(editor::pieceFits(0, 0));
    EXPECT_FALSE(editor::pieceFits(-1, 16));
}
