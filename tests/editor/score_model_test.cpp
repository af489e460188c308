// The editor's score model without a window: token codes, row and step commits, the measure
// commands and the piece's size limit.
#include "editor/editor_fields.h"
#include "editor/score_model.h"
#include "midi/state.h"

#include <gtest/gtest.h>

namespace {

class ScoreModel : public ::testing::Test {
protected:
    static midi::SharedState& fresh()
    {
        midi::resetState();
        editor::resetFields();
        return midi::state();
    }
    midi::SharedState& s = fresh();
    editor::EditorFields& f = editor::fields();
    editor::Piece& p = editor::piece();

    int code(const QString& token)
    {
        f.CurToken = token;
        p.TokenNote = -1;
        editor::SYYPSB();
        return p.TokenNote;
    }
};

TEST_F(ScoreModel, TokenCodes)
{
    const char* notes[] = {"LC", "LD", "LE", "LF", "LG", "LA", "LB", "WC", "WD", "WE", "WF",
                           "WG", "WA", "WB", "KC", "KD", "KE", "KF", "KG", "KA", "KB", "HC",
                           "HD", "HE", "HF", "HG", "HA", "HB", "MC", "MD", "ME", "MF", "MG"};
    const int codes[] = {0,  2,  4,  5,  7,  9,  11, 12, 14, 16, 17, 19, 21, 23, 24, 26, 28,
                         29, 31, 33, 35, 36, 38, 40, 41, 43, 45, 47, 48, 50, 52, 53, 55};
    for (int i = 0; i < 33; ++i) EXPECT_EQ(code(QString::fromLatin1(notes[i])), codes[i]) << notes[i];
    const char* chords[] = {"CC", "DM", "EM", "FF", "GM", "AM"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(code(QString::fromLatin1(chords[i])), 65 + i);
    EXPECT_EQ(code("XZ"), 254);
    for (const char* hold : {"TZ", "MA", "MB", "--", "", "kc", "O"}) EXPECT_EQ(code(hold), 255) << hold;
}

TEST_F(ScoreModel, MelodyRowCommit)
{
    // Letters cut by position: "LC", then "W-", then empty cells.
    EXPECT_EQ(editor::commitMelodyRow(0, 0, "LCW", 16), "LCW" + QString(29, '-'));
    EXPECT_EQ(p.MeasureText[0][0], "LCW" + QString(29, '-'));
    EXPECT_EQ(p.CellTokens[0][0], "LC");
    EXPECT_EQ(p.CellNotes[0][0], 0);
    EXPECT_EQ(p.CellTokens[0][1], "W-");
    EXPECT_EQ(p.CellNotes[0][1], 255);
    EXPECT_EQ(p.CellTokens[0][15], "--");
    EXPECT_TRUE(p.CellTokens[0][16].isEmpty());

    // An empty row gives 32 "-" and sixteen holding cells.
    EXPECT_EQ(editor::commitMelodyRow(3, 0, "", 16), QString(32, '-'));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(p.CellNotes[3][k], 255);

    // Lower case becomes upper case; measure 2 lands on cells 32..47.
    p.MeasureTotal = 2;
    EXPECT_EQ(editor::commitMelodyRow(6, 2, "kc", 16).left(2), "KC");
    EXPECT_EQ(p.CellTokens[6][32], "KC");
    EXPECT_EQ(p.CellNotes[6][32], 24);

    // Text set longer than the row keeps its tail in the text but gives no cells past S.
    const QString longText = QString("KD").repeated(17);
    EXPECT_EQ(editor::commitMelodyRow(1, 0, longText, 16), longText);
    EXPECT_TRUE(p.CellTokens[1][16].isEmpty());
}

TEST_F(ScoreModel, CommitsBeyondThePieceMakeItLonger)
{
    // Only dashes in measure 5 leave the piece as it is; a token makes measure 5 its last.
    editor::commitMelodyRow(0, 5, "", 16);
    EXPECT_EQ(p.MeasureTotal, 0);
    editor::commitMelodyRow(0, 5, "----KC", 16);
    EXPECT_EQ(p.MeasureTotal, 5);
    EXPECT_EQ(f.LastStep, 95);
    // A hit in measure 7 does the same; unticking leaves nothing to reach for.
    editor::commitPercussionStep(9, 8, 2, false, 16);
    EXPECT_EQ(p.MeasureTotal, 5);
    editor::commitPercussionStep(9, 7, 2, true, 16);
    EXPECT_EQ(p.MeasureTotal, 7);
    // A commit inside the piece never shortens it.
    editor::commitMelodyRow(0, 5, "", 16);
    EXPECT_EQ(p.MeasureTotal, 7);
    // A token in the first cell counts as well as any.
    editor::commitMelodyRow(2, 9, "kc", 16);
    EXPECT_EQ(p.MeasureTotal, 9);
}

TEST_F(ScoreModel, CommitsOutsideTheCellsOrTheMeasureChangeNothing)
{
    // Measure 625 at 2/4 lies past cell 9999; step 16 lies in the next measure.
    EXPECT_EQ(editor::commitMelodyRow(0, 625, "kc", 16), "KC" + QString(30, '-'));
    EXPECT_TRUE(p.MeasureText[0][625].isEmpty());
    EXPECT_EQ(p.MeasureTotal, 0);
    editor::commitPercussionStep(7, 0, 16, true, 16);
    EXPECT_TRUE(p.CellTokens[7][16].isEmpty());
    EXPECT_TRUE(p.MeasureText[7][0].isEmpty());
}

TEST_F(ScoreModel, PercussionStepCommit)
{
    editor::commitPercussionStep(8, 0, 3, true, 16);
    EXPECT_EQ(p.MeasureText[8][0], "---O------------");
    EXPECT_EQ(p.CellTokens[8][3], "O");
    EXPECT_EQ(p.CellTokens[8][4], "-");
    // At 3/4, measure 1 is cells 24..47.
    editor::commitPercussionStep(11, 1, 23, true, 24);
    EXPECT_EQ(p.CellTokens[11][47], "O");
    EXPECT_EQ(p.MeasureText[11][1], QString(23, '-') + "O");
    editor::commitPercussionStep(11, 1, 23, false, 24);
    EXPECT_EQ(p.MeasureText[11][1], QString(24, '-'));
}

TEST_F(ScoreModel, ClearEmptiesMelodyAndHitsOfTheMeasureOnly)
{
    p.MeasureTotal = 1;
    editor::commitMelodyRow(0, 1, "KCKDKE", 16);
    editor::commitMelodyRow(0, 0, "HC", 16);
    editor::commitPercussionStep(7, 1, 0, true, 16);
    editor::commitPercussionStep(7, 1, 9, true, 16);
    editor::commitPercussionStep(7, 0, 9, true, 16);

    editor::clearMeasure(1, 16);
    for (int k = 16; k < 32; ++k) {
        EXPECT_EQ(p.CellTokens[0][k], "--");
        EXPECT_EQ(p.CellNotes[0][k], 255);
        EXPECT_EQ(p.CellTokens[7][k], "-");
    }
    EXPECT_TRUE(p.MeasureText[0][1].isEmpty());
    EXPECT_EQ(p.MeasureText[7][1], QString(16, '-'));
    EXPECT_TRUE(p.MeasureText[8][1].isEmpty());
    // Measure 0 keeps everything.
    EXPECT_EQ(p.CellTokens[0][0], "HC");
    EXPECT_EQ(p.CellTokens[7][9], "O");
}

TEST_F(ScoreModel, InsertEmptiesTheNextMeasureAndKeepsTheOneLeft)
{
    // A one-measure piece: measure 1 and 2 come into being.
    editor::commitPercussionStep(10, 0, 4, true, 16);
    ASSERT_TRUE(editor::insertMeasure(16));
    EXPECT_EQ(f.CurMeasure, 1);
    EXPECT_EQ(p.MeasureTotal, 2);
    EXPECT_EQ(f.LastStep, 47);
    EXPECT_EQ(p.CellTokens[10][4], "O");

    // The piece ends right behind the new measure: one more empty measure is added.
    f.CurMeasure = 0;
    p.MeasureTotal = 1;
    ASSERT_TRUE(editor::insertMeasure(16));
    EXPECT_EQ(p.MeasureTotal, 2);

    // Inserting over an old measure empties its cells so nothing old plays under empty boxes;
    // its header stays, and the piece keeps its length.
    p.MeasureTotal = 5;
    p.CellTokens[2][32] = "KC";
    p.CellTokens[2][48] = "KE";   // the measure after: untouched
    p.CellNotes[2][32] = 24;
    p.CellTokens[9][40] = "O";
    s.PercussionCells[2][40].Hit = -1;
    p.MeasureText[2][2] = "KC";
    f.MeasureHeaders[2] = "0002header";
    ASSERT_TRUE(editor::insertMeasure(16));
    EXPECT_EQ(f.CurMeasure, 2);
    EXPECT_EQ(p.MeasureTotal, 5);
    EXPECT_EQ(p.CellTokens[2][32], "--");
    EXPECT_EQ(p.CellNotes[2][32], 255);
    EXPECT_EQ(p.CellTokens[2][48], "KE");
    EXPECT_EQ(p.CellTokens[9][40], "-");
    EXPECT_EQ(s.PercussionCells[2][40].Hit, 0);
    EXPECT_TRUE(p.MeasureText[2][2].isEmpty());
    EXPECT_EQ(f.MeasureHeaders[2], "0002header");
}

TEST_F(ScoreModel, InsertStopsAtTheLastMeasureThatFits)
{
    f.CurMeasure = 623;
    p.MeasureTotal = 623;
    ASSERT_TRUE(editor::insertMeasure(16));
    EXPECT_EQ(f.CurMeasure, 624);
    EXPECT_EQ(p.MeasureTotal, 624);
    p.CellTokens[0][9999] = "KC";
    EXPECT_FALSE(editor::insertMeasure(16));
    EXPECT_EQ(f.CurMeasure, 624);
    EXPECT_EQ(p.MeasureTotal, 624);
    EXPECT_EQ(p.CellTokens[0][9999], "KC");
}

TEST_F(ScoreModel, MeasureCountAnswers)
{
    using R = editor::MeasureCountResult;
    const R three = editor::measureCountAnswer(QString("3"), 24);
    EXPECT_EQ(three.kind, R::Set);
    EXPECT_EQ(three.measureTotal, 3);
    EXPECT_EQ(p.MeasureTotal, 0);   // only the answer is read
    editor::setMeasureTotal(three.measureTotal, 24);
    EXPECT_EQ(p.MeasureTotal, 3);
    EXPECT_EQ(f.LastStep, 95);

    // No answer, no number, or 0: nothing to set and nothing to say.
    for (const std::optional<QString>& a : {std::optional<QString>(), std::optional<QString>(""),
                                            std::optional<QString>("abc"), std::optional<QString>("0"),
                                            std::optional<QString>("0.4")})
        EXPECT_EQ(editor::measureCountAnswer(a, 16).kind, R::Unchanged) << a.value_or("(cancel)").toStdString();
    // Outside 1..10000/S - 1: refused, with the range to tell.
    for (const char* a : {"-1", "625", "99999", "1e9"}) {
        const R r = editor::measureCountAnswer(QString(a), 16);
        EXPECT_EQ(r.kind, R::OutOfRange) << a;
        EXPECT_EQ(r.highest, 624);
    }
    EXPECT_EQ(editor::measureCountAnswer(QString("416"), 24).kind, R::OutOfRange);
    EXPECT_EQ(editor::measureCountAnswer(QString("311"), 32).measureTotal, 311);
    // Halves go to the even neighbour.
    EXPECT_EQ(editor::measureCountAnswer(QString("2.5"), 16).measureTotal, 2);
}

TEST_F(ScoreModel, ClearingThePieceLeavesNoCellWhateverItsSize)
{
    // A 4/4 piece of 10 measures, then the total reduced: everything goes all the same.
    for (int r = 0; r < 12; ++r) {
        p.CellTokens[r][9999] = r < 7 ? "KC" : "O";
        p.MeasureText[r][312] = "x";
    }
    p.CellNotes[0][5] = 24;
    s.PercussionCells[4][9999].Hit = -1;
    s.PercussionCells[4][9999].Msg = 0x99;
    f.MeasureHeaders[9999] = "0000header";
    f.MeasureFlags[3] = "11";
    p.MeasureTotal = 1;
    editor::QKYP();
    for (int r = 0; r < 12; ++r) {
        EXPECT_TRUE(p.CellTokens[r][9999].isEmpty());
        EXPECT_TRUE(p.MeasureText[r][312].isEmpty());
    }
    EXPECT_EQ(s.PercussionCells[4][9999].Hit, 0);
    EXPECT_EQ(s.PercussionCells[4][9999].Msg, 0x99);
    EXPECT_TRUE(f.MeasureHeaders[9999].isEmpty());
    EXPECT_EQ(p.MeasureTotal, 0);
    EXPECT_EQ(p.CellNotes[0][5], 24);
    EXPECT_EQ(f.MeasureFlags[3], "11");
}

TEST_F(ScoreModel, TimeSignatureChangeKeepsCellsAndRebuildsTexts)
{
    // One 4/4 measure with notes at steps 0 and 20 and a hit at step 17.
    editor::commitMelodyRow(0, 0, "KC" + QString(38, '-') + "KD", 32);
    editor::commitPercussionStep(7, 0, 17, true, 32);
    ASSERT_TRUE(editor::changeStepsPerMeasure(32, 16));
    EXPECT_EQ(p.MeasureTotal, 1);
    EXPECT_EQ(f.LastStep, 31);
    EXPECT_EQ(p.MeasureText[0][0], "KC" + QString(30, '-'));
    EXPECT_EQ(p.MeasureText[0][1], QString(8, '-') + "KD" + QString(22, '-'));
    EXPECT_EQ(p.MeasureText[7][1], "-O" + QString(14, '-'));
    EXPECT_TRUE(p.MeasureText[1][0].isEmpty());
    EXPECT_EQ(p.CellTokens[0][20], "KD");
    // A measure with nothing stays without text, also before one that starts with a note.
    p.CellTokens[2][32] = "HC";
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 16));
    EXPECT_TRUE(p.MeasureText[2][1].isEmpty());
    EXPECT_EQ(p.MeasureText[2][2], "HC" + QString(30, '-'));

    // Back to 4/4: one measure again, texts of 64 characters.
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 32));
    EXPECT_EQ(p.MeasureTotal, 0);
    EXPECT_EQ(p.MeasureText[0][0].size(), 64);
    EXPECT_TRUE(p.MeasureText[0][1].isEmpty());

    // A piece of 13 measures of 5 steps (from a file) ends in cell 64: measure 4 at 2/4.
    p.MeasureTotal = 12;
    ASSERT_TRUE(editor::changeStepsPerMeasure(5, 16));
    EXPECT_EQ(p.MeasureTotal, 4);
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 32));

    // A full 2/4 piece does not fit 3/4: refused, nothing changed.
    p.MeasureTotal = 624;
    EXPECT_FALSE(editor::changeStepsPerMeasure(16, 24));
    EXPECT_EQ(p.MeasureTotal, 624);
    EXPECT_EQ(p.MeasureText[0][0].size(), 64);
}

TEST_F(ScoreModel, APieceKeepsItsLengthInCellsOverTimeSignatures)
{
    // A note at cell 23 makes a piece of 24 cells: one measure of 3/4.
    editor::commitMelodyRow(0, 1, QString(14, '-') + "KC", 16);
    EXPECT_EQ(p.MeasureTotal, 1);
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 24));
    EXPECT_EQ(p.MeasureTotal, 0);
    // One in the last step of measure 1 makes 48 cells: three measures of 2/4, two of 4/4.
    editor::commitMelodyRow(1, 1, QString(46, '-') + "HC", 24);
    ASSERT_TRUE(editor::changeStepsPerMeasure(24, 16));
    EXPECT_EQ(p.MeasureTotal, 2);
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 32));
    EXPECT_EQ(p.MeasureTotal, 1);
    // Within the last measure but past the piece's end: cell 52 makes four measures of 2/4.
    editor::commitMelodyRow(2, 1, QString(40, '-') + "KC", 32);
    EXPECT_EQ(p.MeasureTotal, 1);
    ASSERT_TRUE(editor::changeStepsPerMeasure(32, 16));
    EXPECT_EQ(p.MeasureTotal, 3);

    // A piece given its measures ("设置") fills them: 32 cells of 2/4 take two measures of 3/4.
    editor::QKYP();
    editor::commitMelodyRow(0, 1, "----KC", 16);
    editor::setMeasureTotal(1, 16);
    ASSERT_TRUE(editor::changeStepsPerMeasure(16, 24));
    EXPECT_EQ(p.MeasureTotal, 1);
}

TEST_F(ScoreModel, RowTextsWriteEmptyCellsAsTheFileDoes)
{
    p.CellTokens[0][1] = "KC";
    p.CellTokens[0][2] = "-";
    p.CellTokens[8][0] = "O";
    EXPECT_EQ(editor::measureRowText(0, 0, 16), "--KC" + QString(28, '-'));
    EXPECT_EQ(editor::measureRowText(8, 0, 16), "O" + QString(15, '-'));
    EXPECT_TRUE(editor::measureRowText(0, 625, 16).isEmpty());
}

}  // namespace
