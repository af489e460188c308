// The edit file: its exact bytes, a save and reopen that gives back the same piece, the lines of
// short files, and the files that are refused before anything is replaced.
#include "editor/edit_file.h"
#include "editor/measure_header.h"
#include "forms/textfile.h"
#include "support/file_size_limit.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class EditFile : public ::testing::Test {
protected:
    EditFile()
    {
        midi::resetState();
        editor::resetFields();
    }
    static editor::Piece& piece() { return editor::piece(); }
    static editor::EditorFields& f() { return editor::fields(); }
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QByteArray bytes(const QString& p) const
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void writeRaw(const QString& p, const QByteArray& b) const
    {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }

    QString save(int measureTotal, int steps, const char* name)
    {
        editor::normaliseForSaving(piece(), f(), measureTotal, steps);
        const QString p = path(name);
        EXPECT_TRUE(editor::writeEditFile(p, editor::editFileLines(piece(), f(), measureTotal, steps)));
        return p;
    }
};

QByteArray emptyMeasureBytes(const char* number, int steps)
{
    QByteArray b = QByteArray(number) + "\r\n";
    for (int r = 0; r < 7; ++r) b += QByteArray(2 * steps, '-') + "\r\n";
    for (int r = 0; r < 5; ++r) b += QByteArray(steps, '-') + "\r\n";
    return b;
}

// Lines of a file of `measures` empty measures at S steps, without headers.
QStringList emptyPieceLines(int measures, int steps)
{
    QStringList lines;
    for (int m = 0; m < measures; ++m) {
        lines << QStringLiteral("%1").arg(m, 4, 10, QLatin1Char('0'));
        for (int r = 0; r < 7; ++r) lines << QString(2 * steps, '-');
        for (int r = 0; r < 5; ++r) lines << QString(steps, '-');
    }
    return lines;
}

}  // namespace

TEST_F(EditFile, OneEmptyMeasureAtTwoFourIsWrittenByteForByte)
{
    const QString p = save(0, 16, "empty.lnk");
    EXPECT_EQ(bytes(p), emptyMeasureBytes("0000", 16));
    // Saving normalised the tables in place.
    EXPECT_EQ(f().MeasureHeaders[0], "0000");
    EXPECT_EQ(piece().CellTokens[3][15], "--");
    EXPECT_EQ(piece().CellTokens[9][15], "-");
    EXPECT_EQ(piece().MeasureText[0][0], QString(32, '-'));
}

TEST_F(EditFile, SavedPieceReopensWithTheSameCellsHeadersAndSteps)
{
    // Two measures at 4/4: measure 0 with a header and notes, measure 1 without a header.
    const int S = 32;
    piece().CellTokens[0][0] = "KC";
    piece().CellTokens[0][5] = "XZ";
    piece().CellTokens[2][S + 31] = "CC";
    piece().CellTokens[6][S] = "TZ";
    piece().CellTokens[7][0] = "O";
    piece().CellTokens[11][S + 7] = "O";
    piece().CellTokens[8][3] = " ";   // a blank sorts before "1": saved as an empty step
    piece().CellTokens[1][3] = "0A";  // so does anything starting with "0"
    piece().CellTokens[1][2] = "12";  // typed digits from "1" on are kept
    editor::MeasureSettings settings;
    settings.instrumentIndex = {2, 52, 79, 83, 5, 5, 5, 1, 3, 4, 41, 17};
    settings.volume.fill(90);
    editor::storeMeasureHeader(f(), 0, editor::packMeasureHeader(0, settings));
    const QString p = save(1, S, "piece.lnk");
    EXPECT_EQ(f().MeasureHeaders[1], "0001");

    midi::resetState();
    const QString header0 = f().MeasureHeaders[0];
    editor::resetFields();
    const editor::EditFileResult read = editor::readEditFile(p);
    ASSERT_TRUE(read.piece);
    EXPECT_EQ(read.piece->steps, 32);
    EXPECT_EQ(read.piece->measureTotal, 1);
    editor::loadEditPiece(*read.piece, piece(), f());
    EXPECT_EQ(piece().MeasureTotal, 1);
    EXPECT_EQ(f().MeasureHeaders[0], header0);
    EXPECT_EQ(f().StepsPerMeasure, 32);
    EXPECT_EQ(f().MeasureHeaders[1], "0001");
    EXPECT_FALSE(editor::hasHeader(f().MeasureHeaders[1]));   // not applied when shown
    EXPECT_EQ(piece().CellTokens[0][0], "KC");
    EXPECT_EQ(piece().CellNotes[0][0], 24);
    EXPECT_EQ(piece().CellNotes[0][5], 254);
    EXPECT_EQ(piece().CellTokens[2][S + 31], "CC");
    EXPECT_EQ(piece().CellNotes[2][S + 31], 65);
    EXPECT_EQ(piece().CellTokens[6][S], "TZ");
    EXPECT_EQ(piece().CellTokens[7][0], "O");
    EXPECT_EQ(piece().CellTokens[11][S + 7], "O");
    EXPECT_EQ(piece().CellTokens[8][3], "-");
    EXPECT_EQ(piece().CellTokens[1][3], "--");
    EXPECT_EQ(piece().CellTokens[1][2], "12");
    EXPECT_EQ(piece().CellTokens[3][40], "--");
    EXPECT_EQ(piece().CellNotes[3][40], 255);
    EXPECT_EQ(piece().MeasureText[0][0].left(12), "KC--------XZ");
}

TEST_F(EditFile, ShortFilesGiveEmptyRowsAndEmptyCells)
{
    // 26 lines: two measures; 14 lines: a second measure of a header alone.
    editor::EditFileResult r = editor::parseEditFile(emptyPieceLines(2, 16));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->measureTotal, 1);
    r = editor::parseEditFile(emptyPieceLines(2, 16).mid(0, 14));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->measureTotal, 1);

    // 20 lines after a longer file was loaded: rows 6..11 of measure 1 are empty, not the old
    // file's lines.
    QStringList longer = emptyPieceLines(3, 16);
    for (QString& line : longer) line.replace('-', 'O');
    r = editor::parseEditFile(longer);
    ASSERT_TRUE(r.piece);
    editor::loadEditPiece(*r.piece, piece(), f());

    QStringList shortFile = emptyPieceLines(2, 16).mid(0, 20);
    shortFile[2] = QStringLiteral("KCKD");   // row 1 cut short: its other cells are "--"
    shortFile[10] = QStringLiteral("O");     // row 9 cut short: its other cells are empty
    r = editor::parseEditFile(shortFile);
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->steps, 16);
    editor::loadEditPiece(*r.piece, piece(), f());
    EXPECT_EQ(piece().MeasureTotal, 1);
    EXPECT_EQ(piece().CellTokens[1][1], "KD");
    EXPECT_EQ(piece().CellTokens[1][2], "--");
    EXPECT_EQ(piece().CellNotes[1][2], 255);
    EXPECT_EQ(piece().CellTokens[9][0], "O");
    EXPECT_EQ(piece().CellTokens[9][1], "");
    for (int row = 6; row < 12; ++row) EXPECT_TRUE(piece().MeasureText[row][1].isEmpty()) << row;
    EXPECT_EQ(piece().CellTokens[6][16], "--");
    EXPECT_EQ(piece().CellTokens[10][16], "");
}

TEST_F(EditFile, OtherStepCountsLoadAndUnloadableFilesAreRefused)
{
    // S 20 loads with 20 steps.
    editor::EditFileResult r = editor::parseEditFile(emptyPieceLines(1, 20));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->steps, 20);

    auto refused = [](const QStringList& lines) { return editor::parseEditFile(lines).error; };
    EXPECT_EQ(refused({}), editor::EditFileError::Empty);
    EXPECT_EQ(refused({QStringLiteral("0000")}), editor::EditFileError::BadSteps);
    EXPECT_EQ(refused({QStringLiteral("0000"), QStringLiteral("K")}), editor::EditFileError::BadSteps);
    r = editor::parseEditFile({QStringLiteral("0000"), QStringLiteral("KC")});   // one step, one line of it
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->steps, 1);
    EXPECT_EQ(refused(emptyPieceLines(1, 40)), editor::EditFileError::BadSteps);
    EXPECT_EQ(refused(emptyPieceLines(1, 33)), editor::EditFileError::BadSteps);
    EXPECT_TRUE(editor::parseEditFile(emptyPieceLines(1, 32)).piece);
    EXPECT_TRUE(editor::parseEditFile(emptyPieceLines(625, 16)).piece);
    EXPECT_EQ(refused(emptyPieceLines(626, 16)), editor::EditFileError::TooLarge);
    EXPECT_EQ(refused(emptyPieceLines(770, 1)), editor::EditFileError::TooLarge);   // 10010 lines
    EXPECT_TRUE(editor::parseEditFile(emptyPieceLines(769, 1)).piece);
    r = editor::parseEditFile(emptyPieceLines(770, 1).mid(0, 10000));   // the most lines a file has
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->measureTotal, 769);
    EXPECT_EQ(refused(emptyPieceLines(770, 1).mid(0, 10001)), editor::EditFileError::TooLarge);

    EXPECT_EQ(editor::readEditFile(path("missing.lnk")).error, editor::EditFileError::Unreadable);
    for (auto e : {editor::EditFileError::Unreadable, editor::EditFileError::Empty,
                   editor::EditFileError::BadSteps, editor::EditFileError::TooLarge})
        EXPECT_FALSE(editor::editFileErrorText(e).isEmpty());
}

TEST_F(EditFile, FilesAreReadWithAnyLineEndsAndHugeFilesUnread)
{
    QByteArray lf = emptyMeasureBytes("0000", 24);
    lf.replace("\r\n", "\n");
    writeRaw(path("lf.lnk"), "\xEF\xBB\xBF" + lf);
    editor::EditFileResult r = editor::readEditFile(path("lf.lnk"));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->steps, 24);
    EXPECT_EQ(r.piece->headers[0], "0000");

    // The largest loadable file is well under a megabyte; anything past the bound is not read.
    EXPECT_GT(editor::maxEditFileBytes(), 250000);
    EXPECT_LT(editor::maxEditFileBytes(), 1000000);
    QByteArray huge = emptyMeasureBytes("0000", 16);
    huge += QByteArray(int(editor::maxEditFileBytes()), '\n');
    writeRaw(path("huge.lnk"), huge);
    EXPECT_EQ(editor::readEditFile(path("huge.lnk")).error, editor::EditFileError::TooLarge);
}

TEST_F(EditFile, LargestPiecesAreWrittenWithinTheCellsAndOpen)
{
    // A measure total past the cells writes the 625 measures that fit at 2/4, each numbered.
    editor::normaliseForSaving(piece(), f(), 700, 16);
    const QStringList lines = editor::editFileLines(piece(), f(), 700, 16);
    EXPECT_EQ(lines.size(), 625 * 13);
    EXPECT_EQ(f().MeasureHeaders[10], "0010");
    EXPECT_EQ(lines[624 * 13], "0624");
    EXPECT_TRUE(f().MeasureHeaders[625].isEmpty());

    // The largest file an older version wrote (seven silent rows make 102-character headers)
    // opens whole.
    const QString oldHeader = QStringLiteral("0000") + QStringLiteral("FFFFFFFF46").repeated(7)
                              + QStringLiteral("0146").repeated(5) + QStringLiteral("20000050");
    ASSERT_EQ(oldHeader.size(), 102);
    QByteArray file;
    for (int m = 0; m < 625; ++m) file += emptyMeasureBytes(oldHeader.toLatin1().constData(), 16);
    writeRaw(path("old.lnk"), file);
    const editor::EditFileResult r = editor::readEditFile(path("old.lnk"));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->measureTotal, 624);
    EXPECT_EQ(editor::parseMeasureHeader(r.piece->headers[624]).instrumentIndex[6], 0);
}

TEST_F(EditFile, LargestFileTheEditorCanHoldOpensAndAByteMoreIsRefusedUnread)
{
    // The most bytes a loadable file has: 769 measures of 13 steps (the line limit), headers of
    // 128 characters, a UTF-8 mark.
    const QByteArray header(128, '0');
    QByteArray file = "\xEF\xBB\xBF";
    for (int m = 0; m < 769; ++m) file += emptyMeasureBytes(header.constData(), 13);
    writeRaw(path("largest.lnk"), file);
    const editor::EditFileResult r = editor::readEditFile(path("largest.lnk"));
    ASSERT_TRUE(r.piece);
    EXPECT_EQ(r.piece->steps, 13);
    EXPECT_EQ(r.piece->measureTotal, 768);

    file.insert(3, '0');   // the first header one character longer
    writeRaw(path("larger.lnk"), file);
    EXPECT_EQ(editor::readEditFile(path("larger.lnk")).error, editor::EditFileError::TooLarge);
}

TEST_F(EditFile, FailedWriteIsReportedAndKeepsTheOldFile)
{
    const QString p = save(0, 16, "keep.lnk");
    const QByteArray old = bytes(p);
    // The disk fills while the new file over it is written.
    EXPECT_EQ(testing_support::writeUnderFileSizeLimit(old.size() / 2, [&] {
                  return editor::writeEditFile(p, emptyPieceLines(4, 16));
              }),
              std::optional<bool>(false));
    EXPECT_EQ(bytes(p), old);
    EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"keep.lnk"});
}
