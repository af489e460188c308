// The chord tab of the main window: the pattern file at start-up, progressions, the chord clock,
// the voices' instruments and the accompaniment step's chord part.
#include "accomp_window_fixture.h"
#include "keyboard/chord_patterns.h"
#include "midi/score_notation.h"
#include "resources/strings.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QTest>
#include <set>

using accomp_testing::AccompWindow;

namespace {

class ChordWindow : public AccompWindow {
protected:
    QString patternPath() const { return appFolder + keyboard::kPatternFileName; }
    // Note-ons (velocity above 0) on a channel, as their notes.
    std::vector<int> notesOn(int channel) const
    {
        std::vector<int> out;
        for (uint32_t v : sentWithStatus(0x90 + channel, 0x90 + channel))
            if (dataByte2(v) > 0) out.push_back(dataByte1(v));
        return out;
    }
    void setProgression(keyboard::Form1& f, const QString& digits)
    {
        f.Text6_GotFocus();
        f.Text6->setText(digits);
        f.Text6_LostFocus();
    }
};

TEST_F(ChordWindow, FirstStartCreatesThePatternFileAndUsesTheBuiltInLines)
{
    keyboard::Form1& f = startQuiet();
    const QStringList lines = forms::splitLines(res::LoadResString(509));
    ASSERT_EQ(lines.size(), 15);
    EXPECT_EQ(lines[0], QStringLiteral("LC--------------LGWCWEWGKCKEKG--"));
    EXPECT_EQ(bytesOf(patternPath()), (lines.join("\r\n") + "\r\n").toLatin1());
    EXPECT_EQ(f.Text4->text(), keyboard::kBuiltInVoice1);
    EXPECT_EQ(f.Text2->text(), keyboard::kBuiltInVoice1);
    EXPECT_EQ(f.Text5->text(), keyboard::kBuiltInVoice2);
    EXPECT_EQ(f.ChordPattern[1][0], 65);
    EXPECT_EQ(f.ChordPattern[5][0], 69);   // derived at once

    // The progression is one of the six, with the shared positions at its start.
    const auto& s = midi::state();
    const auto& builtIn = keyboard::builtInProgressions();
    EXPECT_NE(std::find(builtIn.begin(), builtIn.end(), f.Text6->text()), builtIn.end());
    EXPECT_EQ(s.ChordCount, f.Text6->text().size());
    EXPECT_EQ(s.ChordIndex, 1);
    for (int i = 1; i <= s.ChordCount; ++i) EXPECT_EQ(s.ChordDegrees[i], f.Text6->text()[i - 1].digitValue());
}

TEST_F(ChordWindow, LongPatternFileIsReadWholeAndTheVoicesPickIndependently)
{
    QStringList many;
    for (int i = 1; i <= 150; ++i) many << QStringLiteral("KC%1").arg(i, 30, 10, QLatin1Char('-'));
    ASSERT_TRUE(forms::writeLines(patternPath(), many));
    keyboard::Form1& f = startQuiet();
    EXPECT_EQ(f.PatternLineLast, 150);
    keyboard::seedRandom(7);
    std::set<QString> seen;
    bool differ = false, beyondHundred = false;
    for (int round = 0; round < 40; ++round) {
        f.Command3->click();
        ASSERT_TRUE(many.contains(f.Text4->text()));
        ASSERT_TRUE(many.contains(f.Text5->text()));
        const auto& builtIn = keyboard::builtInProgressions();
        ASSERT_NE(std::find(builtIn.begin(), builtIn.end(), f.Text6->text()), builtIn.end()) << f.Text6->text().toStdString();
        EXPECT_EQ(f.Text2->text(), f.Text4->text());
        differ = differ || f.Text4->text() != f.Text5->text();
        beyondHundred = beyondHundred || many.indexOf(f.Text4->text()) >= 100;
        seen.insert(f.Text6->text());
    }
    EXPECT_TRUE(differ);
    EXPECT_TRUE(beyondHundred);
    EXPECT_GE(seen.size(), 4u);
}

TEST_F(ChordWindow, EmptyPatternFileGivesEmptyLinesAnUnreadableOneTheBuiltInLines)
{
    // An empty file is read like any other: no line to pick, so both voices only hold.
    ASSERT_TRUE(forms::writeText(patternPath(), QString()));
    keyboard::Form1& f = startQuiet();
    EXPECT_EQ(f.PatternLineLast, 0);
    EXPECT_TRUE(f.Text4->text().isEmpty());
    EXPECT_TRUE(f.Text2->text().isEmpty());
    EXPECT_TRUE(f.Text5->text().isEmpty());
    for (int step = 0; step < 32; ++step) EXPECT_EQ(f.ChordPattern[1][step], 255) << step;
    EXPECT_TRUE(bytesOf(patternPath()).isEmpty());

    QFile::remove(patternPath());
    ASSERT_TRUE(QDir(appFolder).mkdir(keyboard::kPatternFileName));   // cannot be created or read
    f.Text4->clear();
    f.Command3->click();
    EXPECT_EQ(f.Text4->text(), keyboard::kBuiltInVoice1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ChordWindow, SaveAppendsOnlyNewLines)
{
    keyboard::Form1& f = startQuiet();
    const QByteArray before = bytesOf(patternPath());
    f.Text4->setText(QStringLiteral("LC--------------LGWCWEWGKCKEKG--"));   // already held
    f.Text5->setText(QStringLiteral("hc  hg"));
    f.Text5_LostFocus();
    EXPECT_EQ(f.Text5->text(), QStringLiteral("HC--HG--------------------------"));
    f.Command4->click();
    EXPECT_EQ(bytesOf(patternPath()), before + "HC--HG--------------------------\r\n");
    f.Command4->click();
    EXPECT_EQ(bytesOf(patternPath()), before + "HC--HG--------------------------\r\n");

    QFile::remove(patternPath());   // no file: the save does not create one
    f.Command4->click();
    EXPECT_FALSE(QFile::exists(patternPath()));
}

TEST_F(ChordWindow, EditedLinesAndProgressions)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(QStringLiteral("kc ke"));
    f.Text4_LostFocus();
    EXPECT_EQ(f.Text4->text(), QStringLiteral("KC-KE---------------------------"));
    EXPECT_EQ(f.Text2->text(), f.Text4->text());

    setProgression(f, QStringLiteral("1645"));
    auto& s = midi::state();
    EXPECT_EQ(s.ChordCount, 4);
    EXPECT_EQ(s.ChordDegrees[2], 6);
    EXPECT_EQ(f.ChordPattern[1][0], 24);   // the edited line is parsed now

    setProgression(f, QStringLiteral("17"));
    EXPECT_EQ(f.Text6->text(), QStringLiteral("1645"));
    EXPECT_EQ(s.ChordCount, 4);

    setProgression(f, QString());
    EXPECT_EQ(s.ChordCount, 0);
}

TEST_F(ChordWindow, PopupsAndOtherWindowsDoNotEndAnEditInProgress)
{
    keyboard::Form1& f = startQuiet();
    auto focus = [](QWidget* w, QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent e(type, reason);
        QCoreApplication::sendEvent(w, &e);
    };
    // A context menu or another program taking the focus leaves a half-typed line as it is, so
    // that a paste from the menu still fits the box.
    f.Text4->setText(QStringLiteral("kc"));
    focus(f.Text4, QEvent::FocusOut, Qt::PopupFocusReason);
    focus(f.Text4, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(f.Text4->text(), QStringLiteral("kc"));
    focus(f.Text4, QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(f.Text4->text(), QStringLiteral("KC------------------------------"));

    setProgression(f, QStringLiteral("1645"));
    focus(f.Text6, QEvent::FocusIn, Qt::MouseFocusReason);
    f.Text6->setText(QStringLiteral("17"));
    focus(f.Text6, QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(f.Text6->text(), QStringLiteral("17"));
    focus(f.Text6, QEvent::FocusIn, Qt::ActiveWindowFocusReason);   // back to the window
    focus(f.Text6, QEvent::FocusOut, Qt::MouseFocusReason);
    EXPECT_EQ(f.Text6->text(), QStringLiteral("1645"));   // the text from before the edit
}

TEST_F(ChordWindow, AChordKeyWhileTheClockRunsPlaysTheKeysChord)
{
    keyboard::Form1& f = startQuiet();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    setProgression(f, QStringLiteral("1645"));
    if (f.xuanyue->currentIndex() < 1) f.xuanyue->setCurrentIndex(1);
    ASSERT_TRUE(midi::isChordCode(f.ChordPattern[1][0]));   // voice 1 starts each bar with a chord
    f.Check6->setChecked(true);
    auto& s = midi::state();
    // The clock runs to the start of the progression's third bar.
    for (int tick = 0; tick < 64 && s.ChordIndex != 3; ++tick) f.HXYS->tick();
    ASSERT_EQ(s.ChordIndex, 3);
    ASSERT_EQ(s.CurStep, 0);
    f.SFYXYZ->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);   // chord 6: "6.1.3"
    midi.clear();
    f.HXYS->tick();
    std::vector<int> heard = notesOn(3);
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (std::vector<int>{45, 48, 52, 57}));
}

TEST_F(ChordWindow, ChordClockPlaysOnePassOfTheProgressionAndStops)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(QStringLiteral("KC"));
    f.Text5->setText(QString(32, '-'));
    setProgression(f, QStringLiteral("1645"));
    midi.clear();

    f.Check6->setChecked(true);
    EXPECT_TRUE(f.HXYS->enabled());
    EXPECT_EQ(f.HXYS->interval(), 214);
    EXPECT_EQ(f.Check6->text(), QStringLiteral("停止"));
    for (int tick = 1; tick <= 64; ++tick) {
        ASSERT_TRUE(f.HXYS->enabled()) << tick;
        f.HXYS->tick();
    }
    EXPECT_FALSE(f.HXYS->enabled());
    EXPECT_FALSE(f.Check6->isChecked());
    EXPECT_EQ(f.Check6->text(), QStringLiteral("启动"));
    EXPECT_EQ(notesOn(3), (std::vector<int>{36 + 24, 36 + 33, 36 + 29, 36 + 31}));
    EXPECT_EQ(midi::state().ChordIndex, 1);
    EXPECT_EQ(midi::state().CurStep, 0);
}

TEST_F(ChordWindow, ChordInstrumentGatesTheVoicesAndVoiceOneGatesSingleNotes)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC")));
    f.Text5->setText(QStringLiteral("WC"));
    setProgression(f, QStringLiteral("1"));
    auto& s = midi::state();

    f.Combo1->setCurrentIndex(0);   // voice 2 silent in its own list...
    midi.clear();
    s.CurStep = 0;
    f.AccompanimentStep();
    EXPECT_EQ(notesOn(3), std::vector<int>{36 + 24});
    EXPECT_EQ(notesOn(4), std::vector<int>{36 + 12});   // ...still sounds its single notes

    f.Combo3->setCurrentIndex(1);   // the first instrument of the list sounds as well
    midi.clear();
    s.CurStep = 0;
    f.AccompanimentStep();
    EXPECT_EQ(notesOn(3), std::vector<int>{36 + 24});
    EXPECT_EQ(notesOn(4), std::vector<int>{36 + 12});

    f.xuanyue->setCurrentIndex(0);   // no chord instrument: no chord voice at all
    EXPECT_EQ(f.Combo3->currentIndex(), 0);
    midi.clear();
    s.CurStep = 0;
    f.AccompanimentStep();
    EXPECT_TRUE(notesOn(3).empty());
    EXPECT_TRUE(notesOn(4).empty());
}

TEST_F(ChordWindow, BarChangeEndsVoiceTwoOnly)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC")));
    f.Text5->setText(QStringLiteral("CC"));
    setProgression(f, QStringLiteral("15"));
    auto& s = midi::state();
    s.CurStep = 0;
    f.AccompanimentStep();   // voice 1 note, voice 2 chord
    for (int step = 1; step < 15; ++step) f.AccompanimentStep();
    midi.clear();
    f.AccompanimentStep();   // the last step of the bar
    EXPECT_EQ(sentWithStatus(0x84, 0x84).size(), 65u);
    EXPECT_TRUE(sentWithStatus(0x83, 0x83).empty());
    EXPECT_EQ(s.ChordIndex, 2);
    EXPECT_EQ(s.CurStep, 0);
}

TEST_F(ChordWindow, StartSendsTheChordProgramsInTheOrderOfItsSelections)
{
    start();
    std::vector<std::pair<int, int>> programs, last;
    for (const auto& e : midi.events)
        if (e.kind == platform::CaptureMidiService::Kind::Send && (e.value & 0xF0) == 0xC0) {
            last.emplace_back(int(e.value & 0x0F), dataByte1(e.value));
            if ((e.value & 0x0F) >= 3 && (e.value & 0x0F) <= 5) programs.push_back(last.back());
        }
    // Chord instrument 25 (mirrored into both voice lists), voice 2 then 2, then the closing
    // program changes of every channel.
    const std::vector<std::pair<int, int>> expected = {{3, 24}, {4, 24}, {4, 24}, {5, 24}, {3, 24},
                                                       {4, 1},  {5, 1},  {3, 24}, {4, 1}};
    EXPECT_EQ(programs, expected);
    ASSERT_GE(last.size(), 5u);
    const std::vector<std::pair<int, int>> closing = {{0, 51}, {1, 14}, {2, 78}, {3, 24}, {4, 1}};
    last.erase(last.begin(), last.end() - 5);
    EXPECT_EQ(last, closing);
}

TEST_F(ChordWindow, KeyChangeWhileTheChordsPlayLeavesNoNoteSounding)
{
    keyboard::Form1& f = startQuiet();
    QApplication::setActiveWindow(&f);
    // Voice 1: a whole chord held over the bar; voice 2: the lowest note, held.
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("CC")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("LC")));
    setProgression(f, QStringLiteral("1645"));
    midi.clear();

    // The chord clock, the key changed from C to B in its second chord, played to its end.
    QTest::mouseClick(f.Check6, Qt::LeftButton);
    ASSERT_TRUE(f.HXYS->enabled());
    for (int tick = 0; tick < 20; ++tick) f.HXYS->tick();
    QTest::keyClick(f.YD, Qt::Key_End);
    ASSERT_EQ(f.YD->currentText(), QStringLiteral("B"));
    ASSERT_EQ(midi::state().BaseNote, 47);
    while (f.HXYS->enabled()) f.HXYS->tick();
    EXPECT_TRUE(hanging().empty()) << hanging().size();

    // The free rhythm clock, the key changed back to C, then the space bar.
    QTest::mouseClick(f.BzQd, Qt::LeftButton);
    ASSERT_TRUE(f.BZDS->enabled());
    for (int tick = 0; tick < 5; ++tick) f.BZDS->tick();
    QTest::keyClick(f.YD, Qt::Key_Home);
    ASSERT_EQ(midi::state().BaseNote, 36);
    for (int tick = 0; tick < 12; ++tick) f.BZDS->tick();
    EXPECT_FALSE(hanging().empty());   // the next bar sounds the voices in the new key
    f.SFYXYZ->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_FALSE(f.BZDS->enabled());
    EXPECT_TRUE(hanging().empty()) << hanging().size();
}

TEST_F(ChordWindow, MetreChangeInTheMiddleOfABarKeepsTheProgressionInStep)
{
    keyboard::Form1& f = startQuiet();
    // Voice 1 sounds "KC" on step 13 only.
    f.Text4->setText(QString(26, '-') + QStringLiteral("KC") + QString(4, '-'));
    f.Text5->setText(QString(32, '-'));
    setProgression(f, QStringLiteral("1645"));
    QTest::mouseClick(f.Option1[2], Qt::LeftButton);   // 4/4
    QTest::mouseClick(f.BzQd, Qt::LeftButton);
    auto& s = midi::state();
    for (int tick = 0; tick < 16 + 13; ++tick) f.BZDS->tick();
    ASSERT_EQ(s.CurStep, 13);
    ASSERT_EQ(s.ChordIndex, 2);

    QTest::mouseClick(f.Option1[1], Qt::LeftButton);   // 3/4 in the middle of the bar
    ASSERT_EQ(s.RhythmLastStep, 11);
    midi.clear();
    f.BZDS->tick();
    // Step 13 of the second chord (vi: "KC" + 9) still plays, then the bar ends.
    EXPECT_EQ(notesOn(3), std::vector<int>{36 + 33});
    EXPECT_EQ(s.CurStep, 0);
    EXPECT_EQ(s.ChordIndex, 3);
    f.BZDS->tick();
    EXPECT_EQ(s.CurStep, 1);
    EXPECT_EQ(s.ChordIndex, 3);
}

TEST_F(ChordWindow, TypedChordVolumeAppliesAsTypedAndKeepsTheFocus)
{
    keyboard::Form1& f = startQuiet();
    QApplication::setActiveWindow(&f);
    QTest::mouseClick(f.Xxk[1], Qt::LeftButton);
    QLineEdit* typed = f.HxYL->lineEdit();
    ASSERT_NE(typed, nullptr);
    auto type = [&](const char* text) {
        QTest::mouseClick(typed, Qt::LeftButton);
        typed->selectAll();
        for (const char* c = text; *c; ++c) QTest::keyClick(QApplication::focusWidget(), *c);
    };
    midi.clear();
    type("100");
    EXPECT_EQ(QApplication::focusWidget(), f.HxYL);
    EXPECT_EQ(typed->text(), QStringLiteral("100"));
    EXPECT_EQ(midi::state().ChannelVelocity[3], 100);
    EXPECT_TRUE(midi::state().ScoreText.isEmpty());   // no key was played
    EXPECT_TRUE(notesOn(0).empty());
    type("300");
    EXPECT_EQ(midi::state().ChannelVelocity[3], 127);
    type("x");
    EXPECT_EQ(midi::state().ChannelVelocity[3], 0);

    // A choice from the list gives the keys back.
    f.HxYL->setCurrentIndex(-1);
    QTest::keyClick(f.HxYL, Qt::Key_Down);
    EXPECT_EQ(midi::state().ChannelVelocity[3], 25);
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);

    // The instrument and percussion lists offer their items only.
    for (QComboBox* list : {f.Combo1, f.Combo3, f.xuanyue, f.LblInst[0], f.LblInst[1], f.LblInst[2]})
        EXPECT_FALSE(list->isEditable());
}

TEST_F(ChordWindow, WholeChordsSoundOnTheirVoicesChannelAtTheChordVolume)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("CC")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("--DM")));
    setProgression(f, QStringLiteral("1"));
    f.HxYL->setCurrentIndex(5);   // "100"
    midi.clear();
    QTest::mouseClick(f.Check6, Qt::LeftButton);
    f.HXYS->tick();   // voice 1: chord I
    f.HXYS->tick();   // voice 2: chord ii
    auto chordOn = [&](int channel) {
        std::vector<std::pair<int, int>> out;
        for (uint32_t v : sentWithStatus(0x90 + channel, 0x90 + channel)) out.emplace_back(dataByte1(v), dataByte2(v));
        return out;
    };
    EXPECT_EQ(chordOn(3), (std::vector<std::pair<int, int>>{{43, 100}, {48, 100}, {52, 100}, {55, 100}}));
    EXPECT_EQ(chordOn(4), (std::vector<std::pair<int, int>>{{45, 100}, {50, 100}, {53, 100}, {57, 100}}));
    for (int channel : {0, 1, 2, 5}) EXPECT_TRUE(chordOn(channel).empty()) << channel;
}

TEST_F(ChordWindow, NineChordProgressionPlaysItsNinthChord)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC")));
    f.Text5->setText(QString(32, '-'));
    setProgression(f, QStringLiteral("123456123"));
    auto& s = midi::state();
    s.ChordIndex = 9;   // the last chord: iii
    s.CurStep = 0;
    midi.clear();
    f.AccompanimentStep();
    EXPECT_EQ(notesOn(3), std::vector<int>{36 + 24 + 4});
}

TEST_F(ChordWindow, BaseNoteChangedElsewhereStillEndsTheNotesTheVoicesStarted)
{
    keyboard::Form1& f = startQuiet();
    // Voice 1: a note, then a rest; voice 2: a chord, then a rest.
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC--XZ")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("CC--XZ")));
    setProgression(f, QStringLiteral("1"));
    auto& s = midi::state();
    s.CurStep = 0;
    f.AccompanimentStep();
    ASSERT_EQ(hanging().size(), 5u);
    s.BaseNote = 47;   // the score editor shares the base note: the chord now lies below it
    f.AccompanimentStep();
    f.AccompanimentStep();   // the rests
    EXPECT_TRUE(hanging().empty()) << hanging().size();

    // The same for the space bar, which silences the keys above the new base note itself.
    s.BaseNote = 36;
    s.CurStep = 0;
    f.AccompanimentStep();
    ASSERT_EQ(hanging().size(), 5u);
    s.BaseNote = 47;
    QApplication::setActiveWindow(&f);
    f.SFYXYZ->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(hanging().empty()) << hanging().size();

    // The highest note a voice sounds ("MG" in A#) lies just above the keys the space bar
    // silences in C.
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("MG")));
    f.Text5->setText(QString(32, '-'));
    setProgression(f, QStringLiteral("1"));
    QTest::keyClick(f.YD, Qt::Key_End);
    QTest::keyClick(f.YD, Qt::Key_Up);
    ASSERT_EQ(f.YD->currentText(), QStringLiteral("A#"));
    s.CurStep = 0;
    f.AccompanimentStep();
    ASSERT_EQ(hanging(), (std::set<std::pair<int, int>>{{3, 46 + 55}}));
    s.BaseNote = 36;
    f.SFYXYZ->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(hanging().empty()) << hanging().size();
}

TEST_F(ChordWindow, ChordClockEndsVoiceTwoAtEachBarAndBothWhenUnticked)
{
    keyboard::Form1& f = startQuiet();
    QApplication::setActiveWindow(&f);
    // Voice 1 holds one note over the bars; voice 2 sounds from its second step and holds.
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("--WC")));
    setProgression(f, QStringLiteral("11"));
    midi.clear();
    QTest::mouseClick(f.Check6, Qt::LeftButton);
    for (int tick = 0; tick < 16; ++tick) f.HXYS->tick();   // the first bar
    EXPECT_EQ(hanging(), (std::set<std::pair<int, int>>{{3, 36 + 24}}));
    f.HXYS->tick();
    f.HXYS->tick();   // voice 2 again in the second bar
    EXPECT_EQ(hanging().size(), 2u);
    QTest::mouseClick(f.Check6, Qt::LeftButton);   // unticked: the audition ends
    EXPECT_FALSE(f.HXYS->enabled());
    EXPECT_TRUE(hanging().empty());
    EXPECT_EQ(f.Check6->text(), QStringLiteral("启动"));
}

TEST_F(ChordWindow, ChordClockWithTheFirstInstrumentAndUnderAMidiErrorBox)
{
    keyboard::Form1& f = startQuiet();
    f.Text4->setText(keyboard::normalisePatternLine(QStringLiteral("KC")));
    f.Text5->setText(keyboard::normalisePatternLine(QStringLiteral("WC")));
    setProgression(f, QStringLiteral("1"));
    f.xuanyue->setCurrentIndex(1);   // the first instrument of the list plays the voices
    QTest::mouseClick(f.Check6, Qt::LeftButton);
    midi.clear();
    f.HXYS->tick();
    EXPECT_EQ(notesOn(3), std::vector<int>{36 + 24});
    EXPECT_EQ(notesOn(4), std::vector<int>{36 + 12});

    // While a MIDI error box waits, the clock's ticks play nothing and the step stays.
    int16_t step = -1;
    bool silent = false;
    dialogs.onMessage = [&] {
        midi.clear();
        f.HXYS->tick();
        silent = midi.sent().empty();
        step = midi::state().CurStep;
    };
    forms::MidiErrorBox(QStringLiteral("设备出错"));
    afterHandler();
    dialogs.onMessage = nullptr;
    EXPECT_TRUE(silent);
    EXPECT_EQ(step, 1);
}

TEST_F(ChordWindow, ChoosingAVoiceInstrumentSendsItsProgram)
{
    keyboard::Form1& f = startQuiet();
    QApplication::setActiveWindow(&f);
    auto sent = [&] {
        std::vector<std::array<int, 3>> out;
        for (uint32_t v : midi.sent()) out.push_back({int(v & 0xFF), dataByte1(v), dataByte2(v)});
        return out;
    };
    f.Combo1->setFocus();
    QTest::keyClick(f.Combo1, Qt::Key_Down);   // "2.电钢琴 " to "3.酒吧钢琴"
    EXPECT_EQ(sent(), (std::vector<std::array<int, 3>>{{0xB4, 0, 0}, {0xC4, 2, 0}, {0xB5, 0, 0}, {0xC5, 2, 0}}));
    EXPECT_EQ(QApplication::focusWidget(), f.Combo1);   // voice 2's list keeps the focus

    midi.clear();
    f.Combo3->setFocus();
    QTest::keyClick(f.Combo3, Qt::Key_Down);   // voice 1: 26, mirrored into the chord instrument
    EXPECT_EQ(f.xuanyue->currentIndex(), 26);
    const auto voiceOne = sent();
    ASSERT_GE(voiceOne.size(), 2u);
    EXPECT_EQ(voiceOne[0], (std::array<int, 3>{0xB3, 0, 0}));
    EXPECT_EQ(voiceOne[1], (std::array<int, 3>{0xC3, 25, 0}));
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
}

}  // namespace
