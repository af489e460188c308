// The score import's walk at 2/4: where each token lands, how lengths carry from token to token
// and from one import to the next, and a score longer than the editor holds.
#include "editor/score_import.h"

#include <gtest/gtest.h>

namespace {

class ScoreImport : public ::testing::Test {
protected:
    ScoreImport()
    {
        midi::resetState();
        editor::resetFields();
    }
    static midi::SharedState& st() { return midi::state(); }
    static editor::Piece& p() { return editor::piece(); }
    // A new import's start: the shared state and the piece fresh, the editor's fields kept.
    static void freshPiece()
    {
        midi::resetState();
        editor::resetPiece();
    }
    static editor::EditorFields& f() { return editor::fields(); }

    editor::ImportWalk import(const char* text)
    {
        const editor::ImportWalk w = editor::walkScore(QString::fromUtf8(text), 16, f(), p(), st());
        editor::rebuildImportedRows(p(), w.measureTotal, 16);
        return w;
    }
    // Rows 0 and 1 hold the same token.
    QString cell(int c) const
    {
        EXPECT_EQ(p().CellTokens[0][c], p().CellTokens[1][c]) << c;
        return p().CellTokens[0][c];
    }
};

}  // namespace

TEST_F(ScoreImport, TokensLandWhereTheirLengthsPutThem)
{
    p().CellNotes[3][4] = 24;   // a code an earlier piece left in another row
    editor::ImportWalk w = import("KC8KD8KE8TZ");
    EXPECT_EQ(f().ScoreLength, 11);
    EXPECT_EQ(cell(0), "KC");
    EXPECT_EQ(cell(4), "KD");
    EXPECT_EQ(cell(8), "KE");
    EXPECT_EQ(cell(12), "TZ");
    EXPECT_EQ(st().CurStep, 16);
    EXPECT_EQ(w.measureTotal, 1);
    EXPECT_FALSE(w.cut);
    EXPECT_EQ(p().MeasureText[0][0], "KC------KD------KE------TZ------");
    EXPECT_EQ(p().MeasureText[1][0], p().MeasureText[0][0]);
    EXPECT_EQ(p().MeasureText[0][1], QString(32, '-'));
    EXPECT_TRUE(p().MeasureText[2][0].isEmpty());
    EXPECT_EQ(p().CellNotes[0][4], 26);
    EXPECT_EQ(p().CellNotes[1][8], 28);
    EXPECT_EQ(p().CellNotes[3][4], 255);   // the other melody rows hold
    EXPECT_EQ(p().CellNotes[0][12], 255);

    freshPiece();
    import("KC4KD");   // no digits: KD takes KC's length
    EXPECT_EQ(cell(0), "KC");
    EXPECT_EQ(cell(2), "KD");
    EXPECT_EQ(st().CurStep, 4);

    freshPiece();
    import("KC3KD3");   // odd lengths lose their last eighth
    EXPECT_EQ(cell(1), "KD");
    EXPECT_EQ(st().CurStep, 2);

    freshPiece();
    import("KC1KD1");   // no advance: KD overwrites KC
    EXPECT_EQ(cell(0), "KD");
    EXPECT_EQ(st().CurStep, 0);
}

TEST_F(ScoreImport, CommandsAreSkippedAndOtherPairsWriteAnEmptyStep)
{
    import("VS8KC");
    EXPECT_EQ(cell(0), "KC");
    EXPECT_EQ(st().CurStep, 4);

    freshPiece();
    import("KC4CCKD4");   // the chord writes "--" without moving; KD then takes that cell
    EXPECT_EQ(cell(0), "KC");
    EXPECT_EQ(cell(2), "KD");
    EXPECT_EQ(st().CurStep, 4);

    // A skipped word leaves the cell it stands at as it is; a pair that is no token empties it.
    for (const char* word : {"VS", "YQ", "YX", "JP", "HX"}) {
        freshPiece();
        import((QByteArray("KC0") + word).constData());
        EXPECT_EQ(cell(0), "KC") << word;
    }
    freshPiece();
    import("KC0CC");
    EXPECT_EQ(cell(0), "--");

    freshPiece();
    import("KC4CC");   // ends on a pair that is no token: the piece is still rebuilt
    EXPECT_EQ(cell(2), "--");
    EXPECT_EQ(p().MeasureText[0][0], "KC" + QString(30, '-'));

    freshPiece();
    import("MA4");   // written, with no note: the row holds
    EXPECT_EQ(cell(0), "MA");
    EXPECT_EQ(p().CellNotes[0][0], 255);
    EXPECT_EQ(st().CurStep, 2);

    freshPiece();
    import("KC4KD4");   // a last one-digit length is read
    EXPECT_EQ(f().TokenDuration, 4);
    EXPECT_EQ(st().CurStep, 4);

    freshPiece();
    import("XZ2YQ6HX2YX4JP8LC");   // skipped words keep their digits as the length
    EXPECT_EQ(cell(0), "XZ");
    EXPECT_EQ(p().CellNotes[0][0], 254);
    EXPECT_EQ(cell(1), "LC");
    EXPECT_EQ(p().CellNotes[0][1], 255);   // code 0 becomes 255 at the end of the walk
    EXPECT_EQ(st().CurStep, 5);

    freshPiece();
    const editor::ImportWalk w = import("");   // an empty score: one empty measure
    EXPECT_EQ(w.measureTotal, 0);
    EXPECT_EQ(p().MeasureText[0][0], QString(32, '-'));
}

TEST_F(ScoreImport, LengthCarriesIntoTheNextImportAndStopsTheWalk)
{
    import("KC6TZ");
    EXPECT_EQ(f().TokenDuration, 6);
    freshPiece();
    import("KDKE12KF");
    EXPECT_EQ(cell(0), "KD");
    EXPECT_EQ(cell(3), "KE");
    EXPECT_EQ(cell(9), "KF");

    freshPiece();
    import("KC2TZ4KD");   // nothing is read after the stop
    EXPECT_EQ(cell(3), "--");
    EXPECT_EQ(cell(1), "TZ");
    EXPECT_EQ(f().ScorePos, 7);
    EXPECT_EQ(st().CurStep, 3);
}

TEST_F(ScoreImport, ScoreLongerThanThePieceIsCutAtTheLastMeasure)
{
    QString text;
    for (int i = 0; i < 2600; ++i) text += QStringLiteral("KC8");   // 4 steps each
    text += QStringLiteral("TZ");
    const editor::ImportWalk w = editor::walkScore(text, 16, f(), p(), st());
    EXPECT_TRUE(w.cut);
    EXPECT_EQ(w.measureTotal, 624);
    EXPECT_EQ(w.cutMeasure, 624);
    EXPECT_EQ(st().CurStep, 9999);
    EXPECT_EQ(p().CellTokens[0][9996], "KC");
    EXPECT_TRUE(editor::importCutText(624).contains("624"));
    editor::rebuildImportedRows(p(), w.measureTotal, 16);
    EXPECT_EQ(p().MeasureText[0][624], "KC------KC------KC------KC------");

    // At 4/4 the last measure ends at cell 9983.
    freshPiece();
    const editor::ImportWalk w32 = editor::walkScore(text, 32, f(), p(), st());
    EXPECT_TRUE(w32.cut);
    EXPECT_EQ(w32.measureTotal, 311);
    EXPECT_EQ(st().CurStep, 9983);
    EXPECT_TRUE(p().CellTokens[0][9984].isEmpty());

    // A score that just fills the piece is not cut.
    freshPiece();
    text.clear();
    for (int i = 0; i < 2500; ++i) text += QStringLiteral("KC8");
    const editor::ImportWalk full = editor::walkScore(text, 16, f(), p(), st());
    EXPECT_FALSE(full.cut);
    EXPECT_EQ(full.measureTotal, 624);
    EXPECT_EQ(st().CurStep, 9999);
}
