// Chord accompaniment logic: token codes, pattern parsing and derivation, the chord voices, the
// bar accent, tempo acceptance and the pattern-line file.
#include "forms/textfile.h"
#include "keyboard/accompaniment.h"
#include "keyboard/chord_patterns.h"
#include "midi/state.h"
#include "support/midi_fixture.h"

#include <QFile>
#include <QTemporaryDir>

using namespace keyboard;

namespace {

TEST(ChordPatterns, VoiceTwoStartsWhereVoiceOneEnds)
{
    ChordPatternTable t{};
    parseChordPattern(t, QStringLiteral("CC--WG--KC--WG--CE--WG--LB--WG--"), kBuiltInVoice2);
    EXPECT_EQ(t[1][0], 65);
    EXPECT_EQ(t[1][2], 19);
    EXPECT_EQ(t[1][8], 255);   // "CE" holds
    EXPECT_EQ(t[1][12], 11);
    EXPECT_EQ(t[1][16], 7);    // voice 2 "LG"
    EXPECT_EQ(t[1][18], 12);

    // A 30-character voice-1 line: step 15 plays voice 2's first token, voice 2 comes one step
    // early and step 31 holds.
    parseChordPattern(t, QStringLiteral("KC----------------------------"), QStringLiteral("LG--WC"));
    EXPECT_EQ(t[1][15], 7);
    EXPECT_EQ(t[1][17], 12);
    EXPECT_EQ(t[1][31], 255);
    // Odd length: the last token has one character and holds.
    parseChordPattern(t, QStringLiteral("KCK"), QString());
    EXPECT_EQ(t[1][1], 255);
    EXPECT_EQ(t[0], (std::array<int32_t, 65>{}));   // row 0 untouched
}

TEST(ChordPatterns, DerivedRowsMoveTheTonesOfChordOne)
{
    EXPECT_EQ(derivedCode(28, 2), 29);   // "KE"
    EXPECT_EQ(derivedCode(28, 3), 31);
    EXPECT_EQ(derivedCode(28, 4), 33);
    EXPECT_EQ(derivedCode(28, 5), 35);
    EXPECT_EQ(derivedCode(28, 6), 36);
    for (int d = 2; d <= 6; ++d) {
        EXPECT_EQ(derivedCode(11, d), 11);    // "LB"
        EXPECT_EQ(derivedCode(38, d), 38);    // "HD"
        EXPECT_EQ(derivedCode(48, d), 48);    // "MC"
        EXPECT_EQ(derivedCode(65, d), 64 + d);
        EXPECT_EQ(derivedCode(66, d), 66);    // "DM" plays chord ii everywhere
        EXPECT_EQ(derivedCode(254, d), 254);
        EXPECT_EQ(derivedCode(255, d), 255);
    }
    ChordPatternTable t{};
    parseChordPattern(t, QStringLiteral("KC"), QString());
    deriveChordRows(t);
    EXPECT_EQ((std::array<int32_t, 5>{t[2][0], t[3][0], t[4][0], t[5][0], t[6][0]}),
              (std::array<int32_t, 5>{26, 28, 29, 31, 33}));
}

TEST(ChordPatterns, PickRoundsHalvesToEvenAndNeverGivesZero)
{
    EXPECT_EQ(pickEntry(0.0, 6), 1);
    EXPECT_EQ(pickEntry(0.25, 6), 2);    // 1.5 -> 2
    EXPECT_EQ(pickEntry(0.24, 6), 1);
    EXPECT_EQ(pickEntry(0.75, 6), 4);    // 4.5 -> 4
    EXPECT_EQ(pickEntry(0.9, 6), 5);     // 5.4
    EXPECT_EQ(pickEntry(0.95, 6), 6);
    EXPECT_EQ(pickEntry(0.99, 1), 1);
    EXPECT_EQ(pickEntry(0.5, 0), 1);
    for (int i = 0; i < 1000; ++i) {
        const double r = nextRandom();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
}

// --- The bar accent and the tempo ---------------------------------------------------------

std::vector<int> accents(int metre, int steps)
{
    std::vector<int> out;
    for (int step = 0; step < steps; ++step) out.push_back(accentFor(step, metre).value_or(-1));
    return out;
}

TEST(Accent, FirstEighthOfEveryBarIsFullOthersNinetyOrNothing)
{
    EXPECT_EQ(accents(0, 16), (std::vector<int>{127, 90, 90, 90, 127, 90, -1, 90,
                                                127, 90, 90, 90, 127, 90, 90, 90}));
    EXPECT_EQ(accents(1, 12), (std::vector<int>{127, 90, 90, 90, -1, 90, 127, 90, -1, 90, 90, 90}));
    EXPECT_EQ(accents(2, 16), (std::vector<int>{127, 90, 90, 90, -1, 90, -1, 90,
                                                127, 90, 90, 90, -1, 90, 90, 90}));
}

TEST(Tempo, StepTableAndRejectedTexts)
{
    EXPECT_EQ(stepMsForTempo(40), 188);
    EXPECT_EQ(stepMsForTempo(70), 107);
    EXPECT_EQ(stepMsForTempo(120), 62);
    EXPECT_EQ(stepMsForTempo(130), 58);
    EXPECT_EQ(stepMsForTempo(140), 54);
    EXPECT_EQ(tempoForStepMs(188), 39);
    EXPECT_EQ(tempoForStepMs(58), 129);
    EXPECT_EQ(tempoForStepMs(0), kStartTempo);

    EXPECT_EQ(acceptTempo(QStringLiteral("40")), 40.0);
    EXPECT_EQ(acceptTempo(QStringLiteral(" 140")), 140.0);
    EXPECT_EQ(acceptTempo(QStringLiteral("39.6")), 39.6);   // rounds to 40
    for (const char* bad : {"", "0", "abc", "39", "141", "-70", "1e300", "99999999999999999999", "&H7FFF"})
        EXPECT_FALSE(acceptTempo(QString::fromLatin1(bad))) << bad;
}

// --- The chord voices ------------------------------------------------------------------------

class ChordVoiceTest : public testing_support::MidiFixture {
protected:
    ChordVoiceTest()
    {
        openDevice();
        auto& s = midi::state();
        s.BaseNote = 36;
        s.ChannelVelocity[3] = 55;
        s.RhythmLastStep = 15;
        s.ChordCount = 4;
        s.ChordDegrees = {0, 1, 6, 4, 5};
        s.ChordIndex = 1;
    }
    ChordPatternTable table(const QString& v1, const QString& v2 = QString())
    {
        ChordPatternTable t{};
        parseChordPattern(t, v1, v2);
        deriveChordRows(t);
        return t;
    }
    int noteOns() const
    {
        int n = 0;
        for (uint32_t v : midi.sent()) n += (v & 0xF0) == 0x90 && (v >> 16) != 0;
        return n;
    }
};

TEST_F(ChordVoiceTest, EndingAfterAChordSendsSixtyFiveOffsAfterANoteOne)
{
    auto& s = midi::state();
    playChordVoice(1, table(QStringLiteral("CC")), true);
    EXPECT_EQ(s.ChordVoiceNote[1], 65);
    midi.clear();
    endChordVoice(1);
    auto sent = midi.sent();
    ASSERT_EQ(sent.size(), 65u);
    EXPECT_EQ(sent.front(), 0x00002483u);   // note-off of BaseNote on channel 3
    EXPECT_EQ(sent.back(), uint32_t((36 + 64) << 8 | 0x83));

    s.ChordVoiceNote[2] = 19;
    midi.clear();
    endChordVoice(2);
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{uint32_t((36 + 19) << 8 | 0x84)}));
    EXPECT_EQ(s.ChordVoiceNote[2], 19);
}

TEST_F(ChordVoiceTest, HoldRestAndSilentSingleNotes)
{
    auto& s = midi::state();
    const auto t = table(QStringLiteral("KCXZ--WG"));
    playChordVoice(1, t, true);
    s.CurStep = 1;   // rest: the note ends, nothing starts, the code ended is kept
    midi.clear();
    playChordVoice(1, t, true);
    EXPECT_EQ(midi.sent(), (std::vector<uint32_t>{uint32_t((36 + 24) << 8 | 0x83)}));
    EXPECT_EQ(s.ChordVoiceNote[1], 24);
    s.CurStep = 2;   // hold: nothing at all
    midi.clear();
    playChordVoice(1, t, true);
    EXPECT_TRUE(midi.sent().empty());
    s.CurStep = 3;   // single notes left out: only the note-off, but the code is recorded
    midi.clear();
    playChordVoice(1, t, false);
    EXPECT_EQ(noteOns(), 0);
    EXPECT_EQ(s.ChordVoiceNote[1], 19);
}

// --- The pattern-line file -------------------------------------------------------------------

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PatternFile, AppendAddsOnlyNewLinesAfterEndingTheLastOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(kPatternFileName);
    const QString a = QStringLiteral("KC------------------------------");
    const QString b = QStringLiteral("LG------------------------------");

    EXPECT_EQ(appendPatternLines(path, a, b), AppendResult::NoFile);
    EXPECT_FALSE(QFile::exists(path));

    ASSERT_TRUE(forms::writeBytes(path, a.toLatin1()));   // last line without its line end
    EXPECT_EQ(appendPatternLines(path, a, b), AppendResult::Appended);
    EXPECT_EQ(bytesOf(path), (a + "\r\n" + b + "\r\n").toLatin1());

    EXPECT_EQ(appendPatternLines(path, b, a), AppendResult::Unchanged);
    EXPECT_EQ(bytesOf(path), (a + "\r\n" + b + "\r\n").toLatin1());

    const QString c = QStringLiteral("WC------------------------------");
    EXPECT_EQ(appendPatternLines(path, c, c), AppendResult::Appended);   // both, as compared before
    EXPECT_EQ(*forms::readLines(path), (QStringList{a, b, c, c}));
}

TEST(PatternFile, AppendWritesInTheFilesOwnEncoding)
{
    // A UTF-16 or UTF-8 file gets its new lines in the same encoding, so that every line still
    // reads; UTF-16 cut in the middle of a character is left as it is (a fuzzing finding).
    QTemporaryDir dir;
    const QString path = dir.filePath(kPatternFileName);
    const QString added = QStringLiteral("和弦KC------------------------");
    QByteArray files[4];
    // The last line with or without its end: the new line starts on a line of its own and no
    // empty line comes before it (an empty line would be drawn as a pattern).
    for (const QString ending : {"", "\r\n", "\n"}) {
        const QString old = QStringLiteral("LC--WG--\r\nKC--中") + ending;
        files[0] = QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(old.utf16()), old.size() * 2);
        files[1] = QByteArray("\xEF\xBB\xBF") + old.toUtf8();
        files[2] = old.toUtf8();
        files[3] = forms::encodeGbk(old);
        for (const QByteArray& bytes : files) {
            ASSERT_TRUE(forms::writeBytes(path, bytes));
            EXPECT_EQ(appendPatternLines(path, added, "LC--WG--"), AppendResult::Appended);
            const QByteArray now = bytesOf(path);
            EXPECT_TRUE(now.startsWith(bytes));
            EXPECT_EQ(*forms::readLines(path), (QStringList{"LC--WG--", "KC--中", added})) << bytes.toHex().toStdString();
        }
    }
    // A GBK file ending in the first byte of a character: the new line still starts on its own
    // (a fuzzing finding: the dangling byte took the new line's first letter).
    ASSERT_TRUE(forms::writeBytes(path, QByteArray("LC--\xFF\xFF\r\xB5")));
    EXPECT_EQ(appendPatternLines(path, added, added), AppendResult::Appended);
    EXPECT_EQ(forms::readLines(path)->mid(2), (QStringList{added, added}));
    for (const char* empty : {"", "\xEF\xBB\xBF", "\xFF\xFE"}) {
        ASSERT_TRUE(forms::writeBytes(path, empty));
        EXPECT_EQ(appendPatternLines(path, added, "LC--WG--"), AppendResult::Appended);
        EXPECT_EQ(*forms::readLines(path), (QStringList{added, "LC--WG--"})) << empty;
    }

    const QByteArray cut = files[0].left(files[0].size() - 1);
    ASSERT_TRUE(forms::writeBytes(path, cut));
    EXPECT_EQ(appendPatternLines(path, added, added), AppendResult::Unreadable);
    EXPECT_EQ(bytesOf(path), cut);
}

}  // namespace
