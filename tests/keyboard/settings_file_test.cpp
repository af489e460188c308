// The settings file codec: the 52-line format, number conversion, unreadable files and range
// repair.
#include "keyboard/settings_file.h"
#include "midi/percussion.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace keyboard;

namespace {

// 52 valid lines: preset (k, v) = k + v, drum d = d, effect e = "e<e>.wav".
QStringList validLines()
{
    QStringList l;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) l << QString(" %1 ").arg(k + v);
    for (int d = 0; d < 10; ++d) l << QString(" %1 ").arg(d);
    for (int e = 0; e < 6; ++e) l << QString("e%1.wav").arg(e);
    return l;
}

TEST(SettingsFile, EveryTableSurvivesAWriteAndARead)
{
    midi::resetState();
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    KeySettings s;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) s.presets[k][v] = int16_t((k * 3 + v) * 3 % 129);
    s.presets[11][2] = 128;
    for (int d = 0; d < 10; ++d) s.drums[d] = int16_t(d * 5);
    s.drums[0] = -1;
    s.drums[9] = 46;
    s.effects = {"玻璃1.wav", "雷声3.WAV", "a b.wav", "", "开门声.wav", "x.wav"};
    applyKeySettings(s, midi::state());
    ASSERT_TRUE(WriteSettingsFile(folder, midi::state()));

    QFile f(SettingsPath(folder));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_TRUE(bytes.startsWith(" 0 \r\n 3 \r\n 6 \r\n"));
    EXPECT_TRUE(bytes.contains("\r\n 128 \r\n-1 \r\n 5 \r\n"));   // F12 layer 3, keypad 0 and 1
    EXPECT_TRUE(bytes.endsWith("\r\nx.wav\r\n"));
    EXPECT_EQ(bytes.count('\n'), 52);
    EXPECT_EQ(bytes.count("\r\n"), 52);

    midi::resetState();
    ASSERT_EQ(ReadSettingsFile(folder, midi::state()), SettingsRead::Read);
    EXPECT_EQ(currentKeySettings(midi::state()), s);
    // The keypad messages are rebuilt at velocity 100; -1 carries key 34.
    EXPECT_EQ(midi::state().PercussionCells[5][0].Msg, 100 * 65536 + 34 * 256 + 0x99);
    EXPECT_EQ(midi::state().PercussionCells[5][9].Msg, midi::PercussionMsg(81, 100));
}

TEST(SettingsFile, NumbersReadAsCIntAndWhatCannotBeRead)
{
    QStringList l = validLines();
    l[0] = " 3 ";
    l[1] = "2.5";   // halves go to the even neighbour
    l[2] = "3.5";
    l[36] = "-1 ";
    l[40] = " 92 ";   // the largest keypad value whose key times 256 fits 16 bits
    l[41] = "-163 ";
    l[47] = " 3 ";    // names are taken whole
    l << "junk" << "-99999";   // lines after the 52nd are ignored
    auto s = parseKeySettings(l);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->presets[0], (std::array<int16_t, 3>{3, 2, 4}));
    EXPECT_EQ(s->drums[0], -1);
    EXPECT_EQ(s->drums[4], 92);
    EXPECT_EQ(s->effects[1], " 3 ");

    EXPECT_FALSE(parseKeySettings(validLines().mid(0, 51)));
    for (const char* bad : {"", "abc", "32768", "-32769", "3x"})
        for (int line : {0, 35, 45}) {
            QStringList b = validLines();
            b[line] = bad;
            EXPECT_FALSE(parseKeySettings(b)) << "line " << line + 1 << " \"" << bad << "\"";
        }
    for (const char* bad : {" 93 ", "-164 "}) {
        QStringList b = validLines();
        b[40] = bad;
        EXPECT_FALSE(parseKeySettings(b)) << bad;
    }
}

TEST(SettingsFile, ValuesOutsideTheListsTakeTheirLineDefault)
{
    KeySettings defaults;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) defaults.presets[k][v] = int16_t(100 + k);
    for (int d = 0; d < 10; ++d) defaults.drums[d] = int16_t(20 + d);
    defaults.drums[9] = 60;   // a default outside its list never gets through either

    KeySettings s;
    s.presets[0] = {0, 128, 129};
    s.presets[4] = {-1, 5, -32768};
    s.drums = {-1, 46, 47, -2, 92, -163, 0, 0, 0, 50};
    EXPECT_EQ(repairKeySettings(s, defaults), 8);
    EXPECT_EQ(s.presets[0], (std::array<int16_t, 3>{0, 128, 100}));
    EXPECT_EQ(s.presets[4], (std::array<int16_t, 3>{104, 5, 104}));
    EXPECT_EQ(s.drums, (std::array<int16_t, 10>{-1, 46, 22, 23, 24, 25, 0, 0, 0, 0}));
}

}  // namespace
