// The score notation reader: token table, length digits and read-position movement.
#include "midi/score_notation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using midi::readScoreToken;
using midi::ScoreTokenKind;

TEST(ScoreNotation, NoteTokensCoverTheWhiteKeysLCToMG)
{
    const QString registers = "LWKHM";
    const QString notes = "CDEFGAB";
    const int noteOffsets[] = {0, 2, 4, 5, 7, 9, 11};
    int count = 0;
    for (int r = 0; r < 5; ++r) {
        for (int n = 0; n < 7; ++n) {
            const QString t = QString(registers[r]) + notes[n];
            const int expected = (r == 4 && n >= 5) ? -1 : r * 12 + noteOffsets[n];
            EXPECT_EQ(midi::noteTokenOffset(t), expected) << t.toStdString();
            if (expected >= 0) ++count;
        }
    }
    EXPECT_EQ(count, 33);
    EXPECT_EQ(midi::noteTokenOffset(u"MG"), 55);
    // Lower case, reversed letters and partial tokens are not notes.
    for (const char* t : {"kc", "Kc", "CK", "K", "", "KCX", "XZ"})
        EXPECT_EQ(midi::noteTokenOffset(QString::fromLatin1(t)), -1) << t;
}

TEST(ScoreNotation, LengthDigitsAndReadPosition)
{
    // One digit: the position lands on the digit.
    auto r = readScoreToken("KC8KD", 1);
    EXPECT_EQ(r.token, "KC");
    EXPECT_TRUE(r.hasLength);
    EXPECT_EQ(r.length, 8);
    EXPECT_EQ(r.pos, 3);

    // Two digits; a third digit is left for the next token.
    r = readScoreToken("KC123", 1);
    EXPECT_EQ(r.length, 12);
    EXPECT_EQ(r.pos, 4);

    // No digits: the position moves onto the second letter.
    r = readScoreToken("KCKD", 1);
    EXPECT_FALSE(r.hasLength);
    EXPECT_EQ(r.length, 0);
    EXPECT_EQ(r.pos, 2);

    // The last token of the text: digits are not looked for and the position stays.
    r = readScoreToken("KCKD", 3);
    EXPECT_EQ(r.token, "KD");
    EXPECT_EQ(r.pos, 3);

    // Two digits that end the text: the position reaches the text's length.
    r = readScoreToken("XZ45", 1);
    EXPECT_EQ(r.length, 45);
    EXPECT_EQ(r.pos, 4);
    r = readScoreToken("XZ4", 1);
    EXPECT_EQ(r.length, 4);
    EXPECT_EQ(r.pos, 3);

    // A position below 1 counts as 1; past the end there is no token.
    EXPECT_EQ(readScoreToken("TZ", -5).token, "TZ");
    r = readScoreToken("KC", 3);
    EXPECT_TRUE(r.token.isEmpty());
    EXPECT_EQ(r.kind, ScoreTokenKind::Invalid);
    // A single character left at the end.
    r = readScoreToken("KC8K", 4);
    EXPECT_EQ(r.token, "K");
    EXPECT_EQ(r.kind, ScoreTokenKind::Invalid);

    // Digits other than ASCII ones are not lengths.
    r = readScoreToken(QString::fromUtf8("KC８KD"), 1);
    EXPECT_FALSE(r.hasLength);
}

TEST(ScoreNotation, ScoreFilesOpenAsOneScore)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto put = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    };
    EXPECT_EQ(midi::readScoreFile(put("crlf.txt", "KC8KD\r\nKE4TZ\r\n")), "KC8KDKE4TZ");
    EXPECT_EQ(midi::readScoreFile(put("lf.txt", "KC8KD\nKE4TZ\n")), "KC8KDKE4TZ");
    EXPECT_EQ(midi::readScoreFile(put("bom.txt", "\xEF\xBB\xBFKC8KD\r\nTZ\r\n")), "KC8KDTZ");
    EXPECT_EQ(midi::readScoreFile(put("lines.txt", "KC8\r\nKD\r\nKE\r\n\r\nTZ")), "KC8KDKETZ");
    // GBK bytes (a name in front of the score) come through as text, so the player stops
    // at them with the score error instead of misreading them.
    EXPECT_EQ(midi::readScoreFile(put("gbk.txt", "\xB8\xE8KC8\r\nTZ\r\n")),
              QString::fromUtf8("歌KC8TZ"));
    EXPECT_FALSE(midi::readScoreFile(dir.filePath("missing.txt")).has_value());
}

TEST(ScoreNotation, ShippedDemoScoresPlayToTheirEnd)
{
    QDir dir(QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + "/../../data/演奏记录");
    const QStringList names = dir.entryList({"*.txt"}, QDir::Files);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        const auto score = midi::readScoreFile(dir.filePath(name));
        ASSERT_TRUE(score.has_value()) << name.toStdString();
        int64_t pos = 1;
        midi::ScoreRead r;
        for (int guard = 0; guard < 1000; ++guard) {
            r = readScoreToken(*score, pos);
            if (r.kind == ScoreTokenKind::Stop || r.kind == ScoreTokenKind::Invalid) break;
            EXPECT_FALSE(r.hasLength && r.length == 0) << name.toStdString();   // would hold forever
            pos = r.pos + 1;
        }
        EXPECT_EQ(r.kind, ScoreTokenKind::Stop) << name.toStdString() << " at " << pos;
    }
}

TEST(ChordTokens, CodesOfTheWholeVocabulary)
{
    EXPECT_EQ(midi::chordTokenCode(u"LC"), 0);
    EXPECT_EQ(midi::chordTokenCode(u"LB"), 11);
    EXPECT_EQ(midi::chordTokenCode(u"WF"), 17);
    EXPECT_EQ(midi::chordTokenCode(u"KA"), 33);
    EXPECT_EQ(midi::chordTokenCode(u"HD"), 38);
    EXPECT_EQ(midi::chordTokenCode(u"MG"), 55);
    const char16_t* chords[] = {u"CC", u"DM", u"EM", u"FF", u"GM", u"AM"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(midi::chordTokenCode(chords[i]), 65 + i);
    EXPECT_EQ(midi::chordTokenCode(u"XZ"), 254);
    for (const char16_t* hold : {u"--", u"MA", u"MB", u"kc", u"Kc", u"K", u"", u"KCX", u"CE", u"TZ"})
        EXPECT_EQ(midi::chordTokenCode(hold), 255);
}
