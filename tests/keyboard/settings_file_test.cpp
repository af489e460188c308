// The settings file codec: the 52-line format, number conversion, damaged files, range repair
// and the atomic save.
#include "forms/textfile.h"
#include "keyboard/settings_file.h"
#include "midi/percussion.h"
#include "midi/state.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace keyboard;

namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    SettingsFileTest()
    {
        midi::resetState();
        midi::state().AppFolder = dir.path() + "/";
    }

    QString folder() const { return midi::state().AppFolder; }
    QString settingsPath() const { return SettingsPath(folder()); }
    static SettingsRead readSettingsFile() { return ReadSettingsFile(midi::state().AppFolder, midi::state()); }
    static bool saveSettingsFile() { return WriteSettingsFile(midi::state().AppFolder, midi::state()); }
    static KeySettings current() { return currentKeySettings(midi::state()); }

    // 52 valid lines: preset (k, v) = k + v, drum d = d, effect e = "e<e>.wav".
    static QStringList validLines()
    {
        QStringList l;
        for (int k = 0; k < 12; ++k)
            for (int v = 0; v < 3; ++v) l << QString(" %1 ").arg(k + v);
        for (int d = 0; d < 10; ++d) l << QString(" %1 ").arg(d);
        for (int e = 0; e < 6; ++e) l << QString("e%1.wav").arg(e);
        return l;
    }

    void writeFile(const QByteArray& bytes)
    {
        QFile f(settingsPath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray fileBytes()
    {
        QFile f(settingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

TEST_F(SettingsFileTest, SaveWritesFiftyTwoPrintedLinesAndReadsThemBack)
{
    KeySettings s;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) s.presets[k][v] = int16_t((k * 3 + v) * 3 % 129);
    s.presets[11][2] = 128;
    for (int d = 0; d < 10; ++d) s.drums[d] = int16_t(d * 5);
    s.drums[0] = -1;
    s.drums[9] = 46;
    s.effects = {"玻璃1.wav", "雷声3.WAV", "a b.wav", "", "开门声.wav", "x.wav"};
    applyKeySettings(s, midi::state());
    ASSERT_TRUE(saveSettingsFile());

    const QByteArray bytes = fileBytes();
    EXPECT_TRUE(bytes.startsWith(" 0 \r\n 3 \r\n 6 \r\n"));
    EXPECT_TRUE(bytes.contains("\r\n 128 \r\n-1 \r\n 5 \r\n"));   // F12 layer 3, keypad 0 and 1
    EXPECT_TRUE(bytes.endsWith("\r\nx.wav\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 52);
    EXPECT_EQ(bytes.count('\n'), 52);
    EXPECT_TRUE(bytes.contains(forms::encodeGbk("\r\n玻璃1.wav\r\n")));   // the system code page

    midi::resetState();
    midi::state().AppFolder = dir.path() + "/";
    ASSERT_EQ(readSettingsFile(), SettingsRead::Read);
    EXPECT_EQ(current(), s);
    // The keypad messages are rebuilt at velocity 100; -1 carries key 34.
    EXPECT_EQ(midi::state().PercussionCells[5][0].Msg, midi::PercussionMsg(34, 100));
    EXPECT_EQ(midi::state().PercussionCells[5][0].Msg, 100 * 65536 + 34 * 256 + 0x99);
    EXPECT_EQ(midi::state().PercussionCells[5][9].Msg, midi::PercussionMsg(81, 100));
}

TEST_F(SettingsFileTest, NumbersAreConvertedAsCIntDoes)
{
    QStringList l = validLines();
    l[0] = " 3 ";
    l[1] = "2.5";     // halves go to the even neighbour
    l[2] = "3.5";
    l[3] = "\t7";
    l[36] = "-1 ";
    l[37] = " 0.4 ";
    auto s = parseKeySettings(l);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->presets[0][0], 3);
    EXPECT_EQ(s->presets[0][1], 2);
    EXPECT_EQ(s->presets[0][2], 4);
    EXPECT_EQ(s->presets[1][0], 7);
    EXPECT_EQ(s->drums[0], -1);
    EXPECT_EQ(s->drums[1], 0);

    for (const char* bad : {"", "   ", "abc", "32768", "-32769", "3x", "1e9"}) {
        for (int line : {0, 35, 36, 45}) {
            QStringList b = validLines();
            b[line] = bad;
            EXPECT_FALSE(parseKeySettings(b)) << "line " << line + 1 << " \"" << bad << "\"";
        }
    }
    // Names are taken whole, blanks included; nothing in them is converted.
    QStringList n = validLines();
    n[46] = " 3 ";
    n[51] = "abc ";
    ASSERT_TRUE(parseKeySettings(n));
    EXPECT_EQ(parseKeySettings(n)->effects[0], " 3 ");
    EXPECT_EQ(parseKeySettings(n)->effects[5], "abc ");
}

TEST_F(SettingsFileTest, LineCountDecidesWhetherTheFileReads)
{
    QStringList l = validLines();
    EXPECT_FALSE(parseKeySettings(l.mid(0, 51)));
    EXPECT_FALSE(parseKeySettings({}));

    QStringList longer = l;
    longer << "junk" << "-99999" << "";
    auto s = parseKeySettings(longer);
    ASSERT_TRUE(s);
    EXPECT_EQ(*s, *parseKeySettings(l));
}

TEST_F(SettingsFileTest, KeypadValueMustFitThePackedKey)
{
    // The key (value + 35) times 256 must fit 16 bits: -163..92 read, beyond that the file fails.
    QStringList l = validLines();
    l[40] = " 92 ";
    EXPECT_TRUE(parseKeySettings(l));
    l[40] = " 93 ";
    EXPECT_FALSE(parseKeySettings(l));
    l[40] = "-163 ";
    EXPECT_TRUE(parseKeySettings(l));
    l[40] = "-164 ";
    EXPECT_FALSE(parseKeySettings(l));
    // Instrument lines have no such limit at reading.
    QStringList p = validLines();
    p[5] = "-32768";
    EXPECT_TRUE(parseKeySettings(p));
}

TEST_F(SettingsFileTest, RepairReplacesOnlyValuesOutsideTheirListsByTheirLineDefault)
{
    KeySettings defaults;
    for (int k = 0; k < 12; ++k)
        for (int v = 0; v < 3; ++v) defaults.presets[k][v] = int16_t(100 + k);
    for (int d = 0; d < 10; ++d) defaults.drums[d] = int16_t(20 + d);

    KeySettings s;
    s.presets[0] = {0, 128, 129};
    s.presets[4] = {-1, 5, -32768};
    s.drums = {-1, 46, 47, -2, 92, -163, 0, 0, 0, 0};
    s.effects[0] = "keep.wav";
    EXPECT_EQ(repairKeySettings(s, defaults), 7);
    EXPECT_EQ(s.presets[0], (std::array<int16_t, 3>{0, 128, 100}));
    EXPECT_EQ(s.presets[4], (std::array<int16_t, 3>{104, 5, 104}));
    EXPECT_EQ(s.drums, (std::array<int16_t, 10>{-1, 46, 22, 23, 24, 25, 0, 0, 0, 0}));
    EXPECT_EQ(s.effects[0], "keep.wav");

    // Defaults outside the lists never get through either.
    KeySettings badDefaults;
    badDefaults.presets[0][0] = 500;
    badDefaults.drums[0] = 60;
    KeySettings t;
    t.presets[0][0] = 300;
    t.drums[0] = 50;
    repairKeySettings(t, badDefaults);
    EXPECT_EQ(t.presets[0][0], 0);
    EXPECT_EQ(t.drums[0], 0);
}

TEST_F(SettingsFileTest, ReadingRepairsBeforeTheKeypadMessagesAreBuilt)
{
    QStringList l = validLines();
    l[36] = " 90 ";    // readable, but no percussion list item
    l[2] = " 200 ";
    ASSERT_TRUE(forms::writeLines(settingsPath(), l));
    ASSERT_EQ(readSettingsFile(), SettingsRead::Read);
    const KeySettings defaults = defaultKeySettings();
    const auto& st = midi::state();
    EXPECT_EQ(st.KeypadDrums[0], defaults.drums[0]);
    EXPECT_EQ(st.PresetTable[0][2], defaults.presets[0][2]);
    EXPECT_EQ(st.PercussionCells[5][0].Msg, midi::PercussionMsg(defaults.drums[0] + 35, 100));
    EXPECT_EQ(st.KeypadDrums[1], 1);
}

TEST_F(SettingsFileTest, MissingOrDamagedFileLeavesTheTables)
{
    auto& st = midi::state();
    st.PresetTable[3][1] = 42;
    st.KeypadDrums[2] = 7;
    st.EffectWavNames[4] = "old.wav";
    const KeySettings before = current();

    EXPECT_EQ(readSettingsFile(), SettingsRead::Missing);
    EXPECT_EQ(current(), before);

    ASSERT_TRUE(forms::writeLines(settingsPath(), validLines().mid(0, 51)));
    EXPECT_EQ(readSettingsFile(), SettingsRead::Damaged);
    EXPECT_EQ(current(), before);

    QStringList l = validLines();
    l[10] = "abc";
    ASSERT_TRUE(forms::writeLines(settingsPath(), l));
    EXPECT_EQ(readSettingsFile(), SettingsRead::Damaged);
    EXPECT_EQ(current(), before);
}

TEST_F(SettingsFileTest, ReaderAcceptsOtherLineEndsAndUtf8)
{
    QStringList l = validLines();
    l[46] = "玻璃1.wav";
    writeFile((l.join('\n') + '\n').toUtf8());
    ASSERT_EQ(readSettingsFile(), SettingsRead::Read);
    EXPECT_EQ(midi::state().EffectWavNames[0], "玻璃1.wav");
    EXPECT_EQ(midi::state().PresetTable[11][2], 13);
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldFile)
{
    // A program folder that is gone: the save reports failure.
    midi::state().AppFolder = dir.path() + "/gone/";
    EXPECT_FALSE(saveSettingsFile());
    EXPECT_FALSE(QFile::exists(settingsPath()));
    midi::state().AppFolder = dir.path() + "/";

    QStringList l = validLines();
    ASSERT_TRUE(forms::writeLines(settingsPath(), l));
    const QByteArray old = fileBytes();
    midi::state().PresetTable[0][0] = 99;

    // The folder refuses new files: the save fails and the old file stays whole.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = saveSettingsFile();
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (saved) GTEST_SKIP() << "the file system lets this user write anyway";
    EXPECT_EQ(fileBytes(), old);
}

}  // namespace

namespace {

TEST_F(SettingsFileTest, DefaultFileReadsAsTheDefaultTablesAndSavesBackLineForLine)
{
    ASSERT_TRUE(WriteDefaultSettings(folder()));
    const QByteArray created = fileBytes();
    EXPECT_TRUE(created.endsWith("\r\n\r\n"));   // the default text's own line end and one more
    EXPECT_EQ(created.count("\r\n"), 53);

    ASSERT_EQ(readSettingsFile(), SettingsRead::Read);
    const auto& st = midi::state();
    EXPECT_EQ((std::array<int16_t, 3>{st.PresetTable[0][0], st.PresetTable[0][1], st.PresetTable[0][2]}),
              (std::array<int16_t, 3>{3, 0, 0}));
    EXPECT_EQ((std::array<int16_t, 3>{st.PresetTable[4][0], st.PresetTable[4][1], st.PresetTable[4][2]}),
              (std::array<int16_t, 3>{83, 86, 101}));
    EXPECT_EQ((std::array<int16_t, 3>{st.PresetTable[11][0], st.PresetTable[11][1], st.PresetTable[11][2]}),
              (std::array<int16_t, 3>{41, 10, 90}));
    EXPECT_EQ((std::array<int16_t, 10>{st.KeypadDrums[0], st.KeypadDrums[1], st.KeypadDrums[2],
                                       st.KeypadDrums[3], st.KeypadDrums[4], st.KeypadDrums[5],
                                       st.KeypadDrums[6], st.KeypadDrums[7], st.KeypadDrums[8],
                                       st.KeypadDrums[9]}),
              (std::array<int16_t, 10>{3, 1, 22, 17, 4, 23, 39, 17, 18, 25}));
    EXPECT_EQ(st.PercussionCells[5][0].Msg, midi::PercussionMsg(38, 100));
    EXPECT_EQ(st.EffectWavNames[0], "玻璃1.wav");
    EXPECT_EQ(st.EffectWavNames[5], "关门声1.wav");
    EXPECT_EQ(current(), defaultKeySettings());

    // Saved again: the same 52 lines, without the empty 53rd.
    ASSERT_TRUE(saveSettingsFile());
    EXPECT_EQ(fileBytes(), created.left(created.size() - 2));
    EXPECT_TRUE(fileBytes().startsWith(" 3 \r\n 0 \r\n 0 \r\n 19 \r\n"));
}

}  // namespace
