// The rhythm pattern record: byte layout, reading back, refusal of damaged records, and the
// shipped default patterns.
#include "forms/textfile.h"
#include "keyboard/rhythm_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using keyboard::RhythmPattern;

namespace {

RhythmPattern knownPattern()
{
    RhythmPattern p;
    p.velocityIndex = 7;
    p.metre = keyboard::Metre34;
    p.voices = {46, 5, 0};
    for (int i : {0, 2, 4, 6, 8, 10, 12, 14}) p.ticked[0][i] = true;
    for (int i : {3, 15}) p.ticked[1][i] = true;
    for (int i : {0, 9, 16}) p.ticked[2][i] = true;
    return p;
}

const QString kKnownRecord = QStringLiteral(
    "0701"
    "2E0500"
    "00"
    "*-*-*-*-*-*-*-*-"
    "---*-----------*"
    "*--------*------*"
    "Waltz.bin       ");

TEST(RhythmRecord, KnownGridGivesTheRecordByteForByteAndReadsBack)
{
    const QString record = keyboard::rhythmRecord(knownPattern(), QStringLiteral("  Waltz.bin "));
    EXPECT_EQ(record, kKnownRecord);
    ASSERT_EQ(record.size(), keyboard::kRhythmRecordLength);

    QTemporaryDir dir;
    const QString path = dir.filePath("w.bin");
    ASSERT_TRUE(forms::writeLines(path, {record}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), kKnownRecord.toLatin1() + "\r\n");

    // Read back whole (line end included): everything restored, box 16 of row C too.
    auto back = keyboard::parseRhythmRecord(*forms::readText(path));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, knownPattern());
    EXPECT_TRUE(back->ticked[2][16]);
}

TEST(RhythmRecord, NameFieldIsTrimmedAndCutToSixteenAndNeverRead)
{
    EXPECT_EQ(keyboard::rhythmNameField(QStringLiteral(" 一个很长很长的节奏名字的文件abc.bin")),
              QStringLiteral("一个很长很长的节奏名字的文件ab"));
    EXPECT_EQ(keyboard::rhythmNameField(QString()), QString(16, ' '));

    // A record renamed or cut right after the marks reads the same.
    QString renamed = kKnownRecord.left(61) + QStringLiteral("x");
    ASSERT_TRUE(keyboard::parseRhythmRecord(renamed));
    EXPECT_EQ(*keyboard::parseRhythmRecord(renamed), knownPattern());
}

TEST(RhythmRecord, EveryDamagedFieldIsRefused)
{
    auto with = [](int pos, const char* two) {
        QString r = kKnownRecord;
        r.replace(pos, 2, QLatin1String(two));
        return r;
    };
    EXPECT_FALSE(keyboard::parseRhythmRecord(kKnownRecord.left(61)));   // too short
    EXPECT_FALSE(keyboard::parseRhythmRecord(QString()));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(0, "08")));   // velocity past the list
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(0, "FF")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(2, "03")));   // no such metre
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(4, "2F")));   // voice 47
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(6, "FF")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(8, "80")));
    // Not hexadecimal digits, in each of the five fields.
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(0, " 5")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(2, "0G")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(4, "-1")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(6, "0,")));
    EXPECT_FALSE(keyboard::parseRhythmRecord(with(8, "\x01" "0")));
    // Positions 11-12 are not read; any mark other than "*" unticks.
    auto loose = keyboard::parseRhythmRecord(with(10, "ZZ").replace(12, 1, QLatin1String("x")));
    ASSERT_TRUE(loose);
    EXPECT_FALSE(loose->ticked[0][0]);
}

TEST(RhythmRecord, ShippedPatternsAreWholeRecordsCoveringEveryMetre)
{
    const QDir folder(QFileInfo(QStringLiteral(__FILE__)).dir().filePath("../../data/演奏记录"));
    const QStringList files = folder.entryList({QStringLiteral("*.bin")}, QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 3);
    std::array<int, 3> perMetre{};
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString path = folder.filePath(name);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_TRUE(f.readAll().endsWith("\r\n"));
        const QStringList lines = *forms::readLines(path);
        ASSERT_EQ(lines.size(), 1);
        EXPECT_EQ(lines[0].size(), keyboard::kRhythmRecordLength);
        EXPECT_EQ(lines[0].mid(61), keyboard::rhythmNameField(name));
        auto p = keyboard::parseRhythmRecord(lines[0]);
        ASSERT_TRUE(p);
        ++perMetre[p->metre];
        EXPECT_EQ(keyboard::rhythmRecord(*p, name), lines[0]);
    }
    for (int n : perMetre) EXPECT_GE(n, 1);
}

}  // namespace
