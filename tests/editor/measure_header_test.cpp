// The measure header: its exact layout from the editor's opening settings, values that do not
// fit two characters, and headers with damaged fields, which must leave those fields unread.
#include "editor/measure_header.h"

#include <gtest/gtest.h>

using editor::MeasureSettings;

namespace {

// The settings the editor opens with: programs 1, 51, 78, 82, 4, 4, 4; percussion items
// 1, 3, 4, 41, 17; every volume 70; depth 0; no flags; key "C"; tempo 80.
MeasureSettings openingSettings()
{
    MeasureSettings s;
    s.instrumentIndex = {2, 52, 79, 83, 5, 5, 5, 1, 3, 4, 41, 17};
    s.volume.fill(70);
    return s;
}

const QString kOpening = QStringLiteral("0000014633464E4652460446044604460146034604462946114620000050");

}  // namespace

TEST(MeasureHeader, OpeningSettingsPackByteForByteAndReadBack)
{
    const editor::PackedHeader p = editor::packMeasureHeader(0, openingSettings());
    EXPECT_EQ(p.header, kOpening);
    EXPECT_EQ(p.key, "00");
    EXPECT_EQ(p.tempo, "50");
    EXPECT_EQ(p.depth, "20");
    EXPECT_EQ(p.flags, "00");
    EXPECT_EQ(p.trackInstrument[0], 1);
    EXPECT_EQ(p.trackInstrument[3], 82);
    EXPECT_EQ(p.trackInstrument[10], 41);
    EXPECT_EQ(p.trackVolume[11], 70);

    const editor::HeaderFields f = editor::parseMeasureHeader(kOpening);
    for (int row = 0; row < editor::kRows; ++row) {
        EXPECT_EQ(f.instrumentIndex[row], openingSettings().instrumentIndex[row]) << row;
        EXPECT_EQ(f.volume[row], 70) << row;
    }
    EXPECT_EQ(f.depth, 0);
    EXPECT_EQ(f.vibrato, 0);
    EXPECT_EQ(f.crescendo, 0);
    EXPECT_EQ(f.key, 0);
    EXPECT_EQ(f.tempo, 80);
    EXPECT_EQ(f.keyText, "00");
    EXPECT_EQ(f.tempoText, "50");
}

TEST(MeasureHeader, EveryFieldAtItsPositionAndTheEndsOfItsRange)
{
    MeasureSettings s = openingSettings();
    s.tempo = 100;
    s.depth = -20;
    s.vibrato = 1;
    s.key = 11;
    s.volume[5] = 120;
    s.instrumentIndex[11] = 46;
    editor::PackedHeader p = editor::packMeasureHeader(300, s);
    ASSERT_EQ(p.header.size(), 60);
    EXPECT_EQ(p.header.left(4), "0300");
    EXPECT_EQ(p.header.mid(26, 2), "78");   // row 5's volume 120
    EXPECT_EQ(p.header.mid(48, 2), "2E");   // row 11's percussion item 46
    EXPECT_EQ(p.header.mid(52), "00101164");
    EXPECT_EQ(p.flags, "10");

    editor::HeaderFields f = editor::parseMeasureHeader(p.header);
    EXPECT_EQ(f.tempo, 100);
    EXPECT_EQ(f.depth, -20);
    EXPECT_EQ(f.vibrato, 1);
    EXPECT_EQ(f.crescendo, 0);
    EXPECT_EQ(f.key, 11);
    EXPECT_EQ(f.volume[5], 120);
    EXPECT_EQ(f.instrumentIndex[11], 46);

    s.depth = 20;
    s.vibrato = 0;
    s.crescendo = 1;
    p = editor::packMeasureHeader(7, s);
    EXPECT_EQ(p.header.mid(52, 4), "4001");
    f = editor::parseMeasureHeader(p.header);
    EXPECT_EQ(f.depth, 20);
    EXPECT_EQ(f.crescendo, 1);
}

TEST(MeasureHeader, ValuesBeyondTwoCharactersStayWithinTheirFields)
{
    MeasureSettings s = openingSettings();
    s.instrumentIndex[2] = 0;   // "0.无声"
    s.volume[0] = 300;
    s.volume[1] = -5;
    s.tempo = 400;
    s.depth = 35;
    editor::PackedHeader p = editor::packMeasureHeader(0, s);
    ASSERT_EQ(p.header.size(), 60);
    EXPECT_EQ(p.header.mid(4, 4), "017F");
    EXPECT_EQ(p.header.mid(8, 4), "3300");
    EXPECT_EQ(p.header.mid(12, 2), "FF");
    EXPECT_EQ(p.trackInstrument[2], -1);
    EXPECT_EQ(p.header.mid(52, 2), "40");
    EXPECT_EQ(p.header.right(2), "FF");

    const editor::HeaderFields f = editor::parseMeasureHeader(p.header);
    EXPECT_EQ(f.instrumentIndex[2], 0);   // the silent row comes back silent
    EXPECT_EQ(f.instrumentIndex[3], 83);
    EXPECT_EQ(f.tempo, 255);

    s.tempo = 0;
    EXPECT_EQ(editor::packMeasureHeader(0, s).header.right(2), "01");

    // Any melody value of 0x80 or more is the silent item.
    QString h = kOpening;
    h.replace(4, 2, QStringLiteral("80"));
    EXPECT_EQ(editor::parseMeasureHeader(h).instrumentIndex[0], 0);
    EXPECT_EQ(editor::trackInstrumentForIndex(0, 0), -1);
    EXPECT_EQ(editor::trackInstrumentForIndex(7, 0), 0);
}

TEST(MeasureHeader, DamagedFieldsAreLeftOutAndTheRestIsRead)
{
    QString h = kOpening;
    h.replace(58, 2, QStringLiteral("00"));   // tempo 0
    h.replace(56, 2, QStringLiteral("99"));   // key 99
    h.replace(32, 2, QStringLiteral("FF"));   // percussion row 7, item 255
    h.replace(6, 2, QStringLiteral("G1"));    // row 0's volume not hex
    h.replace(14, 2, QStringLiteral("XZ"));   // row 2's volume: letters past F
    h.replace(54, 1, QStringLiteral("2"));    // vibrato flag 2
    h.replace(52, 2, QStringLiteral("41"));   // depth 21
    h.replace(8, 2, QStringLiteral("3 "));    // row 1's instrument with a blank
    const editor::HeaderFields f = editor::parseMeasureHeader(h);
    EXPECT_FALSE(f.tempo);
    EXPECT_FALSE(f.key);
    EXPECT_FALSE(f.instrumentIndex[7]);
    EXPECT_FALSE(f.volume[0]);
    EXPECT_FALSE(f.volume[2]);
    EXPECT_FALSE(f.vibrato);
    EXPECT_FALSE(f.depth);
    EXPECT_FALSE(f.instrumentIndex[1]);
    EXPECT_EQ(f.instrumentIndex[0], 2);
    EXPECT_EQ(f.volume[1], 70);
    EXPECT_EQ(f.instrumentIndex[8], 3);
    EXPECT_EQ(f.crescendo, 0);

    // Decimal fields take decimal digits only; hex fields take either case.
    h = kOpening;
    h.replace(56, 2, QStringLiteral("0A"));
    h.replace(58, 2, QStringLiteral("6e"));
    EXPECT_FALSE(editor::parseMeasureHeader(h).key);
    EXPECT_EQ(editor::parseMeasureHeader(h).tempo, 110);
    h.replace(58, 2, QStringLiteral("Aa"));
    EXPECT_EQ(editor::parseMeasureHeader(h).tempo, 170);

    // A header cut short: fields past its end are absent.
    const editor::HeaderFields cut = editor::parseMeasureHeader(kOpening.left(30));
    EXPECT_EQ(cut.volume[5], 70);
    EXPECT_FALSE(cut.instrumentIndex[7]);
    EXPECT_FALSE(cut.tempo);
    EXPECT_FALSE(cut.key);
    EXPECT_FALSE(editor::hasHeader(QStringLiteral("0007")));
    EXPECT_TRUE(editor::hasHeader(kOpening.left(5)));
}

TEST(MeasureHeader, OlderHeadersWithEightCharacterSilentSlotsAreRead)
{
    // Rows 1 and 4 silent as older versions wrote them: 72 characters, later fields moved.
    QString h = kOpening;
    h.replace(20, 2, QStringLiteral("FFFFFFFF"));   // row 4
    h.replace(8, 2, QStringLiteral("FFFFFFFF"));    // row 1
    ASSERT_EQ(h.size(), 72);
    editor::HeaderFields f = editor::parseMeasureHeader(h);
    EXPECT_EQ(f.instrumentIndex[1], 0);
    EXPECT_EQ(f.instrumentIndex[4], 0);
    EXPECT_EQ(f.instrumentIndex[2], 79);
    EXPECT_EQ(f.instrumentIndex[11], 17);
    for (int row = 0; row < editor::kRows; ++row) EXPECT_EQ(f.volume[row], 70) << row;
    EXPECT_EQ(f.depth, 0);
    EXPECT_EQ(f.tempo, 80);
    EXPECT_EQ(f.tempoText, "50");

    // 72 characters with only one such slot: read at the fixed positions.
    h = kOpening + QStringLiteral("000000");
    h.replace(8, 2, QStringLiteral("FFFFFFFF"));
    f = editor::parseMeasureHeader(h);
    EXPECT_EQ(f.instrumentIndex[1], 0);
    EXPECT_EQ(f.volume[1], 0xFF);
    EXPECT_EQ(f.instrumentIndex[2], 0);   // the slot's last "FF": silent, not "4E"

    // 66 characters with no such slot: read at the fixed positions.
    f = editor::parseMeasureHeader(kOpening + QStringLiteral("ABCDEF"));
    EXPECT_EQ(f.instrumentIndex[1], 52);
    EXPECT_EQ(f.tempo, 80);
}
