// Audition and playback in the editor window, driven as the user does (clicks on "试听本节效果"
// and "从开始处启动", typing into the rows and the number box) with the step clock ticked by
// hand, read off the MIDI messages and the controls.
#include "editor/score_model.h"
#include "editor/step_sequencer.h"
#include "midi/midi_out.h"
#include "midi/state.h"
#include "support/editor_fixture.h"

#include <QApplication>
#include <QFile>
#include <map>
#include <set>

using testing_support::EditorFixture;
using testing_support::ScriptedDialogs;
using Msg = std::array<int, 3>;
using Msgs = std::vector<Msg>;

namespace {

class EditorPlayback : public EditorFixture {
protected:
    void typeMeasureNumber(editor::YYBJ& e, const QString& text)
    {
        QTest::mouseClick(e.XJZS, Qt::LeftButton);
        e.XJZS->selectAll();
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void typeTempo(editor::YYBJ& e, const char* text)
    {
        QLineEdit* box = e.DQSUDU->lineEdit();
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClicks(box, text);
    }
    static QString caption(QAbstractButton* b) { return b->text().remove('\n'); }
    // Runs one tick of the step clock and returns what it sent.
    Msgs tick(editor::YYBJ& e)
    {
        midi.clear();
        e.YYDS->tick();
        return messages();
    }
    static Msgs only(const Msgs& m, int status)
    {
        Msgs out;
        for (const Msg& x : m)
            if (x[0] == status) out.push_back(x);
        return out;
    }
    // Notes of the note-ons among `m`.
    static std::vector<int> notesOn(const Msgs& m)
    {
        std::vector<int> out;
        for (const Msg& x : m)
            if ((x[0] & 0xF0) == 0x90) out.push_back(x[1]);
        return out;
    }
    // Expression (controller 11) of channel `ch` among `m`, or -1.
    static int expression(const Msgs& m, int ch)
    {
        for (const Msg& x : m)
            if (x[0] == 0xB0 + ch && x[1] == 11) return x[2];
        return -1;
    }
    void expectIdle(editor::YYBJ& e)
    {
        EXPECT_FALSE(e.YYDS->enabled());
        EXPECT_FALSE(e.ST1->isChecked());
        EXPECT_TRUE(e.ST1->isEnabled());
        EXPECT_FALSE(e.ST2->isChecked());
        EXPECT_TRUE(e.ST2->isEnabled());
        EXPECT_EQ(caption(e.ST2), "从开始处启动");
        EXPECT_TRUE(e.BZWJ->isEnabled());
    }
    // Every note-on since the last clear that no later note-off of the same channel ended.
    std::set<std::pair<int, int>> hanging(const Msgs& m) const
    {
        std::set<std::pair<int, int>> on;
        for (const Msg& x : m) {
            if ((x[0] & 0xF0) == 0x90 && x[2] > 0) on.insert({x[0] & 0x0F, x[1]});
            if ((x[0] & 0xF0) == 0x80) on.erase({x[0] & 0x0F, x[1]});
        }
        return on;
    }
    midi::SharedState& s() { return midi::state(); }
    editor::Piece& p() { return editor::piece(); }
};

const QString kScale = "LCLDLELFLGLALBWCWDWEWFWGWAWBKCKD";   // sixteen notes: 36, 38, .. 62
int scaleNote(int k)
{
    static const int n[16] = {0, 2, 4, 5, 7, 9, 11, 12, 14, 16, 17, 19, 21, 23, 24, 26};
    return 36 + n[k];
}

TEST_F(EditorPlayback, APieceOfOneMeasurePlaysFromTheStartAndStops)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, kScale.toLower());
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);   // leaving the row commits it

    EXPECT_EQ(fields().LastStep, 15);
    EXPECT_EQ(s().StepsLeft, 16);
    EXPECT_TRUE(e.ST2->isChecked());
    EXPECT_EQ(caption(e.ST2), "停止当前演奏");
    EXPECT_FALSE(e.ST1->isEnabled());
    EXPECT_FALSE(e.BZWJ->isEnabled());
    EXPECT_TRUE(e.YYDS->enabled());
    EXPECT_EQ(e.YYDS->interval(), 188);
    EXPECT_EQ(notesOn(messages()), std::vector<int>{scaleNote(0)});   // the first step at once
    EXPECT_EQ(s().CurStep, 1);

    for (int k = 1; k < 16; ++k) {
        const Msgs m = tick(e);
        ASSERT_EQ(notesOn(m), std::vector<int>{scaleNote(k)}) << k;
        EXPECT_EQ(only(m, 0x80), (Msgs{{0x80, scaleNote(k - 1), 0}}));   // the note before ends
        EXPECT_TRUE(e.ST2->isChecked());
    }
    // The last cell sounds its whole step: the end comes on the tick after it.
    const Msgs last = tick(e);
    EXPECT_TRUE(notesOn(last).empty());
    EXPECT_EQ(s().StepsLeft, 0);
    EXPECT_EQ(s().CurStep, 16);
    // Every melody note off, and the controls idle.
    int offs = 0;
    for (const Msg& x : last) offs += (x[0] & 0xF0) == 0x80;
    EXPECT_EQ(offs, 455);
    EXPECT_EQ(last.back(), (Msg{0xB0, 11, 120}));   // the expression at rest comes last
    expectIdle(e);
    EXPECT_TRUE(hanging(last).empty());
}

TEST_F(EditorPlayback, AuditionPlaysTheMeasureInTheNumberBox)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 3;
    for (int k = 0; k < 16; ++k) p().CellTokens[2][32 + k] = kScale.mid(2 * k, 2);
    p().CellTokens[2][31] = "MG";   // the step before the measure: never heard
    typeMeasureNumber(e, "2");
    midi.clear();
    QTest::mouseClick(e.ST1, Qt::LeftButton);

    EXPECT_TRUE(e.ST1->isChecked());
    EXPECT_FALSE(e.ST2->isEnabled());
    EXPECT_FALSE(e.ST2->isChecked());
    EXPECT_FALSE(e.BZWJ->isEnabled());
    EXPECT_EQ(fields().LastStep, 47);
    EXPECT_EQ(s().StepsLeft, 16);
    EXPECT_EQ(e.YYDS->interval(), 188);   // the tempo's step
    EXPECT_EQ(notesOn(messages()), std::vector<int>{scaleNote(0)});
    EXPECT_EQ(e.XJZS->text(), "2");
    EXPECT_EQ(e.HScroll1->value(), 2);   // the view follows the measure played
    EXPECT_EQ(fields().CurMeasure, 2);

    // A click on the selected button starts nothing again.
    midi.clear();
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    EXPECT_TRUE(e.ST1->isChecked());
    EXPECT_TRUE(messages().empty());

    for (int k = 1; k < 16; ++k) ASSERT_EQ(notesOn(tick(e)), std::vector<int>{scaleNote(k)}) << k;
    EXPECT_TRUE(e.YYDS->enabled());
    const Msgs end = tick(e);   // the sixteenth tick sounds nothing and ends it
    EXPECT_TRUE(notesOn(end).empty());
    int offs = 0;
    for (const Msg& x : end) offs += (x[0] & 0xF0) == 0x80;
    EXPECT_EQ(offs, 455);
    EXPECT_EQ(s().StepsLeft, 0);
    EXPECT_EQ(s().CurStep, 48);
    EXPECT_EQ(expression(end, 0), 120);   // the end leaves the crescendo at rest
    expectIdle(e);

    // Audition again from the measure shown: the same sixteen cells.
    midi.clear();
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    EXPECT_EQ(notesOn(messages()), std::vector<int>{scaleNote(0)});
}

TEST_F(EditorPlayback, TheNumberBoxIsHeldToTheMeasureBar)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 200;
    const struct {
        QString typed;
        int measure;
    } cases[] = {{"-1", 0}, {"abc", 0}, {"7.6", 8}, {"5000", 200}, {"99999999999", 200}};
    for (const auto& c : cases) {
        e.XJZS->setText(c.typed);   // as pasted or left by a former version: not through the keys
        QTest::mouseClick(e.ST1, Qt::LeftButton);
        EXPECT_EQ(e.XJZS->text(), QString::number(c.measure)) << c.typed.toStdString();
        EXPECT_EQ(fields().CurMeasure, c.measure);
        EXPECT_EQ(s().CurStep, 16 * c.measure + 1);
        EXPECT_EQ(fields().LastStep, 16 * c.measure + 15);
        for (int k = 0; k < 16; ++k) tick(e);
        expectIdle(e);
    }
    // Typed through the keys: digits only.
    typeMeasureNumber(e, "5000");
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    EXPECT_EQ(e.XJZS->text(), "200");
    EXPECT_EQ(e.HScroll1->value(), 200);
}

TEST_F(EditorPlayback, AMeasureBeyondThePieceAuditionsAsWrittenNotAsAnEarlierPieceLeftIt)
{
    editor::YYBJ& e = openActive();
    for (int k = 0; k < 16; ++k) p().CellNotes[1][80 + k] = 30;   // codes an earlier piece left
    typeMeasureNumber(e, "5");
    midi.clear();
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    Msgs all = messages();
    while (e.YYDS->enabled()) {
        const Msgs m = tick(e);
        all.insert(all.end(), m.begin(), m.end());
    }
    EXPECT_TRUE(notesOn(all).empty());
    EXPECT_EQ(s().CurStep, 96);
}

TEST_F(EditorPlayback, ExpressionVibratoAndAccentsOfEveryStep)
{
    editor::YYBJ& e = openActive();
    // 2/4: the accent channels carry 80 on steps 4 and 12, the crescendo channels 120.
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    std::vector<int> accent = {expression(messages(), 9)};
    for (int k = 1; k < 16; ++k) {
        const Msgs m = tick(e);
        accent.push_back(expression(m, 9));
        EXPECT_EQ(expression(m, 5), accent.back());
        EXPECT_EQ(expression(m, 6), accent.back());
        for (int c = 0; c < 5; ++c) EXPECT_EQ(expression(m, c), 120) << k;
        EXPECT_EQ(m.front(), (Msg{0xB0, 1, 0}));   // vibrato off, on every step
    }
    std::vector<int> expected(16, 120);
    expected[4] = expected[12] = 80;
    EXPECT_EQ(accent, expected);
    tick(e);   // the end, a step after the last cell
    expectIdle(e);

    // 3/4 with vibrato: step 8 is a beat.
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    for (int k = 1; k <= 8; ++k) {
        const Msgs m = tick(e);
        EXPECT_EQ(m.front(), (Msg{0xB0, 1, 120}));
        if (k == 8) {
            EXPECT_EQ(expression(m, 9), 80);
        }
    }
}

TEST_F(EditorPlayback, CrescendoAsHeardFromTheStart)
{
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    auto run = [&](int steps) {
        std::vector<int> levels = {expression(messages(), 0)};
        for (int k = 1; k < steps; ++k) levels.push_back(expression(tick(e), 0));
        return levels;
    };

    // Falling by 20: full in the first half of each measure, then down to 0.
    e.HScroll3->setValue(-20);
    p().MeasureTotal = 1;
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    const std::vector<int> half = {120, 120, 120, 120, 120, 120, 120, 120, 100, 80, 60, 40, 20, 0, 0, 0};
    std::vector<int> two = half;
    two.insert(two.end(), half.begin(), half.end());
    EXPECT_EQ(run(32), two);
    tick(e);
    expectIdle(e);   // the piece has ended

    // Rising by 20 from 0 at each start.
    e.HScroll3->setValue(20);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_EQ(run(8), (std::vector<int>{20, 40, 60, 80, 100, 120, 120, 120}));
    QTest::mouseClick(e.ST2, Qt::LeftButton);   // stopped by the user
    expectIdle(e);

    // Unticked: full whatever the depth.
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_EQ(run(8), std::vector<int>(8, 120));
    QTest::mouseClick(e.ST2, Qt::LeftButton);

    // An audition goes on from the level in force; the end of one rests it for the next.
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    e.HScroll3->setValue(10);
    e.HScroll3->setValue(20);
    for (int round = 0; round < 2; ++round) {
        midi.clear();
        QTest::mouseClick(e.ST1, Qt::LeftButton);
        EXPECT_EQ(run(3), (std::vector<int>{20, 40, 60})) << round;
        while (e.YYDS->enabled()) tick(e);
    }
}

TEST_F(EditorPlayback, AtFourFourTheAccentChannelsFollowARisingCrescendo)
{
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    e.HScroll3->setValue(10);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs m = messages();
    for (int k = 0; k < 16; ++k) {
        const int level = std::min(10 * (k + 1), 120);
        for (int c : {0, 4, 5, 6, 9}) EXPECT_EQ(expression(m, c), c < 5 || level < 120 ? level : (k == 12 ? 80 : 120)) << k << " " << c;
        m = tick(e);
    }
    // At full level the beats come back: 80 on steps 20, 24 and 28.
    for (int k = 16; k < 32; ++k) {
        EXPECT_EQ(expression(m, 9), k == 20 || k == 24 || k == 28 ? 80 : 120) << k;
        m = tick(e);
    }
    expectIdle(e);
}

TEST_F(EditorPlayback, RowsAndPercussionTypedAndTickedAreHeard)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc----xz");
    typeRow(e, 3, "cc--kc");
    QTest::mouseClick(e.DJY[1][0], Qt::LeftButton);   // snare on step 0
    QTest::mouseClick(e.DJY[1][3], Qt::LeftButton);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs m = messages();
    EXPECT_EQ(only(m, 0x99), (Msgs{{0x99, 38, 70}}));
    EXPECT_EQ(only(m, 0x90), (Msgs{{0x90, 60, 70}}));
    EXPECT_EQ(only(m, 0x93).size(), 4u);
    m = tick(e);
    EXPECT_TRUE(notesOn(m).empty());
    EXPECT_TRUE(only(m, 0x80).empty());
    m = tick(e);   // step 2: the chord gives way to the note, the piano rings on
    EXPECT_EQ(only(m, 0x83).size(), 65u);
    EXPECT_EQ(only(m, 0x93), (Msgs{{0x93, 60, 70}}));
    EXPECT_TRUE(only(m, 0x80).empty());
    m = tick(e);   // step 3: the rest ends the piano, the snare again
    EXPECT_EQ(only(m, 0x80), (Msgs{{0x80, 60, 0}}));
    EXPECT_EQ(only(m, 0x99), (Msgs{{0x99, 38, 70}}));
    // The snare's volume and instrument as they stand when its step plays.
    e.YQYL[8]->setEditText("100");
    e.SYYQ[8]->setCurrentIndex(5);
    s().CurStep = 3;   // back to the snare's step
    m = tick(e);
    EXPECT_EQ(only(m, 0x99), (Msgs{{0x99, 40, 100}}));
}

TEST_F(EditorPlayback, AKeyChangedWhileANoteRingsLeavesNothingSounding)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 1, "hc----hd");
    typeRow(e, 2, "ff");
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs all = messages();
    e.DQYD->setCurrentIndex(7);   // "G" while both ring
    for (int k = 1; k <= 16; ++k) {
        const Msgs m = tick(e);
        all.insert(all.end(), m.begin(), m.end());
    }
    expectIdle(e);
    EXPECT_TRUE(hanging(all).empty());
    EXPECT_EQ(notesOn(all).size(), 2u + 4u);
}

TEST_F(EditorPlayback, UntickingStopsAndEveryNoteEnds)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 4;
    typeRow(e, 0, "mg");
    typeRow(e, 4, "am");
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs all = messages();
    tick(e);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    const Msgs stop = messages();
    all.insert(all.end(), stop.begin(), stop.end());
    EXPECT_TRUE(hanging(all).empty());
    expectIdle(e);
    EXPECT_EQ(s().CurStep, 2);   // stays where playback stopped
    EXPECT_EQ(fields().LastStep, 79);
}

TEST_F(EditorPlayback, AnotherDeviceGetsTheProgramsOfTheRowsWithAnInstrument)
{
    editor::YYBJ& e = openActive();
    e.SYYQ[3]->setCurrentIndex(0);   // "0.无声"
    e.SYYQ[6]->setCurrentIndex(0);
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    midi.clear();
    ASSERT_EQ(e.ComDevies->count(), 2);
    e.ComDevies->setCurrentIndex(1);
    bool opened = false;
    for (const auto& ev : midi.events) opened |= ev.kind == platform::CaptureMidiService::Kind::Open && ev.device == 0;
    EXPECT_TRUE(opened);
    const Msgs m = messages();
    Msgs programs;
    for (const Msg& x : m)
        if ((x[0] & 0xF0) == 0xC0) programs.push_back(x);
    EXPECT_EQ(programs, (Msgs{{0xC0, 1, 0}, {0xC1, 51, 0}, {0xC2, 78, 0}, {0xC4, 4, 0}, {0xC5, 4, 0}}));
    // Playback goes on on the new device.
    EXPECT_TRUE(e.YYDS->enabled());
    tick(e);
    EXPECT_EQ(s().CurStep, 2);
}

TEST_F(EditorPlayback, WithoutADeviceNothingStartsAndOneBoxSaysWhy)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    midi::CloseMidiDevice();
    midi.clear();
    dialogs.messages.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("MIDI"));
    expectIdle(e);
    EXPECT_TRUE(midi.sent().empty());
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2);
    expectIdle(e);
    EXPECT_TRUE(midi.sent().empty());
}

TEST_F(EditorPlayback, APieceBeyondTheCellsIsRefused)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 625;   // 626 measures of 16 steps: one too many
    dialogs.messages.clear();
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("625"));
    expectIdle(e);
    EXPECT_TRUE(midi.sent().empty());
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 2);
    expectIdle(e);
}

TEST_F(EditorPlayback, AStepBeyondTheCellsEndsPlaybackQuietly)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 5, "kc");
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs all = messages();
    fields().LastStep = 10010;   // as if the piece had grown past the cells meanwhile
    s().CurStep = 10000;
    dialogs.messages.clear();
    const Msgs m = tick(e);
    all.insert(all.end(), m.begin(), m.end());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    expectIdle(e);
    EXPECT_TRUE(hanging(all).empty());
    EXPECT_EQ(s().CurStep, 10000);
    EXPECT_EQ(fields().CurMeasure, 0);   // never a measure beyond the cells

    // The same during an audition: every control back at idle.
    typeMeasureNumber(e, "3");
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    ASSERT_FALSE(e.ST2->isEnabled());
    fields().LastStep = 10010;
    s().CurStep = 10000;
    tick(e);
    expectIdle(e);
}

TEST_F(EditorPlayback, AWindowClosedFromABoxDuringPlaybackStopsItQuietly)
{
    // A box raised by a refused note-off at the end of playback; the window closes meanwhile.
    for (int fromStart = 0; fromStart < 2; ++fromStart) {
        editor::YYBJ& e = openActive();
        typeRow(e, 0, "kc");
        dialogs.messages.clear();
        dialogs.onMessage = [&] { e.close(); };
        // At the end of an audition, or through the stop path of a piece played from the start.
        QTest::mouseClick(fromStart ? static_cast<QAbstractButton*>(e.ST2) : e.ST1, Qt::LeftButton);
        midi.refuseValues = {0x00002480};   // NoteOff(0, 36)
        for (int k = 0; k < 16 && e.isOpen(); ++k) {
            e.YYDS->tick();
            afterHandler();
        }
        EXPECT_FALSE(e.isOpen()) << fromStart;
        EXPECT_EQ(dialogs.messages.size(), 1) << fromStart;
        dialogs.onMessage = nullptr;
        midi.refuseValues.clear();
        ASSERT_TRUE(form->isVisible());
        QTest::qWait(10);   // the action ends: a refusal may show its box again
    }
}

TEST_F(EditorPlayback, AWindowClosedFromABoxAMeasuresHeaderRaisedSoundsNothingMore)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    e.HScroll1->setValue(1);
    typeRow(e, 0, "kd");
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);   // measure 1 keeps its settings
    e.HScroll1->setValue(0);
    ASSERT_EQ(p().MeasureTotal, 1);

    midi.clear();
    dialogs.messages.clear();
    dialogs.onMessage = [&] { e.close(); };
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    Msgs all = messages();
    midi.refuseValues = {0x000001C0};   // ProgramChange(0, 1): the header's first message
    for (int k = 0; k < 20 && e.isOpen(); ++k) {
        const Msgs m = tick(e);
        all.insert(all.end(), m.begin(), m.end());
        midi.clear();
        afterHandler();
    }
    const Msgs closing = messages();
    all.insert(all.end(), closing.begin(), closing.end());
    EXPECT_FALSE(e.isOpen());
    EXPECT_EQ(dialogs.messages.size(), 1);
    // The step that began measure 1 ended before its box showed; the close ended its note, and
    // nothing began after it.
    EXPECT_EQ(std::count(all.begin(), all.end(), Msg{0x90, 62, 70}), 1);
    EXPECT_TRUE(notesOn(closing).empty());
    EXPECT_TRUE(hanging(all).empty());
    dialogs.onMessage = nullptr;
    midi.refuseValues.clear();
    ASSERT_TRUE(form->isVisible());
    QTest::qWait(10);
}

TEST_F(EditorPlayback, ARefusedStartShowsOneBoxAfterTheClickHasStartedThePiece)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    // Every message of the start is refused, all with one text: nothing shows inside the click,
    // then one box, with the piece already playing.
    QString captionAtBox;
    bool clockAtBox = false;
    dialogs.onMessage = [&] {
        captionAtBox = caption(e.ST2);
        clockAtBox = e.YYDS->running();
    };
    midi.refuseSend = platform::kMidiNotReady;
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(s().CurStep, 1);
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(captionAtBox, "停止当前演奏");
    EXPECT_TRUE(clockAtBox);
    // The steps of the piece the click started tell the text no more.
    tick(e);
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(s().CurStep, 2);
    dialogs.onMessage = nullptr;
    midi.refuseSend = 0;
}

TEST_F(EditorPlayback, TheClockWaitsWhileAMidiErrorBoxIsOpenOnly)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 1;
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    int stepInBox = -1;
    dialogs.onMessage = [&] {
        e.YYDS->tick();
        stepInBox = s().CurStep;
    };
    midi.refuseValues = {0x000001B0};   // vibrato off on channel 0, sent on every step
    e.YYDS->tick();
    e.YYDS->tick();   // the box waits for the step to end: this tick does nothing
    afterHandler();
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(stepInBox, 2);             // the tick within the box did nothing
    EXPECT_EQ(s().CurStep, 2);
    EXPECT_EQ(s().StepsLeft, 31);
    // Under an ordinary box the music goes on.
    midi.refuseValues.clear();
    forms::MsgBox("x");
    EXPECT_EQ(stepInBox, 3);
}

TEST_F(EditorPlayback, ClosingDuringPlaybackStopsTheClockBeforeTheNotesEnd)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    tick(e);
    // The first note-off is refused: its box shows once the window has closed.
    bool openAtFirstBox = true;
    dialogs.onMessage = [&] {
        if (dialogs.messages.size() == 1) openAtFirstBox = e.isOpen();
    };
    dialogs.messages.clear();
    midi.refuseValues = {0x00002480};   // NoteOff(0, 36)
    e.close();
    EXPECT_FALSE(e.isOpen());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    afterHandler();
    EXPECT_FALSE(openAtFirstBox);
    EXPECT_EQ(dialogs.messages.size(), 1);
    // Nothing more sounds afterwards.
    midi.clear();
    QTest::qWait(3 * 188);
    EXPECT_TRUE(midi.sent().empty());
}

TEST_F(EditorPlayback, TheRealClockPlaysThePieceToItsEnd)
{
    editor::YYBJ& e = openActive();
    e.DQSUDU->setEditText("255");   // 58 ms a step
    typeRow(e, 6, kScale);
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_EQ(e.YYDS->interval(), 58);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !e.YYDS->enabled(); }, 5000));
    std::vector<int> expected;
    for (int k = 0; k < 16; ++k) expected.push_back(scaleNote(k));
    EXPECT_EQ(notesOn(messages()), expected);
    expectIdle(e);
}

TEST_F(EditorPlayback, CommandsThatReshapeOrReplaceThePieceFirstEndWhatPlays)
{
    editor::YYBJ& e = openActive();
    e.DQSUDU->setEditText("255");   // 58 ms a step
    typeRow(e, 0, kScale.toLower());
    const QString saved = recordFolder() + "/曲.lnk";
    dialogs.saveFiles.push_back(ScriptedDialogs::file(saved));
    QTest::mouseClick(e.BCBJ, Qt::LeftButton);
    const QString score = recordFolder() + "/乐谱.txt";
    QFile f(score);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write("KC4KD4KE4KC4") > 0);
    f.close();
    midi.clear();
    dialogs.inputs.push_back(QString("3"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    EXPECT_TRUE(midi.sent().empty());   // nothing plays: nothing to end

    // Starts the real clock with `start` and lets it sound a few steps.
    auto play = [&](QAbstractButton* start) {
        midi.clear();
        QTest::mouseClick(start, Qt::LeftButton);
        const int from = s().CurStep;
        ASSERT_TRUE(QTest::qWaitFor([&] { return s().CurStep >= from + 2; }, 3000));
    };
    // Ended through the stop path: idle, nothing left sounding, and nothing more is sent.
    auto expectEnded = [&](const char* command) {
        SCOPED_TRACE(command);
        expectIdle(e);
        EXPECT_TRUE(hanging(messages()).empty());
        midi.clear();
        QTest::qWait(5 * 58);
        EXPECT_TRUE(midi.sent().empty());
    };

    // "插入" while the piece plays: the new measure stays shown and the melody stays in measure 0.
    play(e.ST2);
    QTest::mouseClick(e.CHARU, Qt::LeftButton);
    expectEnded("插入");
    EXPECT_EQ(fields().CurMeasure, 1);
    EXPECT_EQ(e.XJZS->text(), "1");
    QTest::mouseClick(e.YF1[0], Qt::LeftButton);
    QTest::mouseClick(e.YF1[1], Qt::LeftButton);
    EXPECT_EQ(p().MeasureText[0][0], kScale);
    EXPECT_EQ(p().CellTokens[0][15], "KD");

    // "设置" during an audition: a cancelled box ends nothing.
    play(e.ST1);
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    EXPECT_TRUE(e.YYDS->enabled());
    dialogs.inputs.push_back(QString("5"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    expectEnded("设置");
    EXPECT_EQ(p().MeasureTotal, 5);

    // A time signature while the piece plays.
    e.HScroll1->setValue(0);
    play(e.ST2);
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    expectEnded("4/4");
    EXPECT_EQ(fields().GridLastStep, 31);
    EXPECT_EQ(e.YF1[0]->text().left(32), kScale);

    // Opening: a cancelled dialog or a file that cannot be read ends nothing.
    play(e.ST2);
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    dialogs.openFiles.push_back(ScriptedDialogs::file(recordFolder() + "/没有.lnk"));
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(e.YYDS->enabled());
    dialogs.openFiles.push_back(ScriptedDialogs::file(saved));
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    expectEnded("打开编辑文件");
    EXPECT_TRUE(e.JPFL[0]->isChecked());
    EXPECT_EQ(p().MeasureTotal, 0);
    EXPECT_EQ(e.HScroll1->value(), 0);
    EXPECT_EQ(e.YF1[0]->text(), kScale);

    // Import: the imported piece is shown and nothing of the old one sounds behind its end.
    play(e.ST2);
    QTest::mouseClick(e.DRYP, Qt::LeftButton);
    EXPECT_TRUE(e.YYDS->enabled());
    dialogs.openFiles.push_back(ScriptedDialogs::file(score));
    QTest::mouseClick(e.DRYP, Qt::LeftButton);
    expectEnded("导入记录乐谱");
    EXPECT_EQ(e.YF1[0]->text(), "KC--KD--KE--KC--" + QString(16, '-'));
    EXPECT_EQ(e.XJZS->text(), "0");
    EXPECT_EQ(p().CellTokens[0][14], "--");
}

TEST_F(EditorPlayback, OneStepFromTheWindowCommitsTheMeasureShown)
{
    editor::YYBJ& e = openActive();
    e.HScroll1->setValue(1);
    e.YF1[0]->showText("KC--");         // shown, never committed
    p().CellTokens[0][16] = "HC";       // what the cells hold
    p().CellTokens[1][16] = "CC";
    e.SYYQ[2]->setCurrentIndex(0);
    e.SYYQ[9]->setCurrentIndex(7);
    e.YQYL[9]->setEditText("95");
    e.DJY[2][0]->setChecked(true);
    p().CellTokens[9][17] = "O";       // no box ticked at step 1: taken out
    s().PercussionCells[2][17].Hit = -1;
    s().CurStep = 16;
    midi.clear();
    e.STBXJYY();

    EXPECT_EQ(p().MeasureText[0][1], "KC--");
    EXPECT_EQ(s().TrackVolume[9], 95);
    EXPECT_EQ(p().TrackInstrument[9], 7);   // a percussion row keeps its list index
    EXPECT_EQ(p().TrackInstrument[0], 1);
    EXPECT_EQ(p().TrackInstrument[2], -1);
    EXPECT_EQ(p().CellNotes[0][16], 36);
    EXPECT_EQ(p().CellTokens[9][16], "O");
    EXPECT_EQ(p().CellTokens[9][17], "-");
    EXPECT_EQ(s().PercussionCells[2][17].Hit, 0);
    const Msgs m = messages();
    Msgs programs;
    for (const Msg& x : m)
        if ((x[0] & 0xF0) == 0xC0) programs.push_back(x);
    // The silent row sends no program change (a program -1 is no MIDI data byte).
    EXPECT_EQ(programs, (Msgs{{0xC0, 1, 0}, {0xC1, 51, 0}, {0xC3, 82, 0}, {0xC4, 4, 0}, {0xC5, 4, 0}, {0xC6, 4, 0}}));
    EXPECT_EQ(only(m, 0x99), (Msgs{{0x99, 42, 95}}));
    EXPECT_EQ(only(m, 0x90), (Msgs{{0x90, 72, 70}}));
    EXPECT_EQ(only(m, 0x91).size(), 4u);
    EXPECT_EQ(s().CurStep, 17);
}

TEST_F(EditorPlayback, ARowTypedWhilePlayingLandsInTheMeasureItWasTypedIn)
{
    editor::YYBJ& e = openActive();
    p().MeasureTotal = 1;
    const QString next = "KD" + QString(30, '-');
    editor::commitMelodyRow(2, 1, next, 16);
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    typeRow(e, 2, "hc");   // into measure 0 as it plays, the row not left
    while (fields().CurMeasure == 0) tick(e);
    EXPECT_EQ(p().CellTokens[2][0], "HC");
    EXPECT_EQ(p().CellTokens[2][16], "KD");
    EXPECT_EQ(e.YF1[2]->text(), next);   // the view follows the piece to measure 1
}

TEST_F(EditorPlayback, AMeasuresHeaderTakesEffectWhenItsMeasureBegins)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    e.HScroll1->setValue(1);
    typeRow(e, 0, "----xz");
    e.DQYD->setCurrentIndex(7);   // "G"
    typeTempo(e, "100");
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);   // "保存": measure 1 keeps key and tempo
    e.HScroll1->setValue(0);
    e.DQYD->setCurrentIndex(0);
    typeTempo(e, "80");
    ASSERT_EQ(p().MeasureTotal, 1);

    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_EQ(e.YYDS->interval(), 187);
    Msgs all = messages();
    for (int k = 1; k < 16; ++k) {
        const Msgs m = tick(e);
        all.insert(all.end(), m.begin(), m.end());
    }
    EXPECT_EQ(s().StepMs, 187);
    const Msgs begin = tick(e);   // measure 1 begins: its header, then its first step
    all.insert(all.end(), begin.begin(), begin.end());
    EXPECT_EQ(e.DQSUDU->currentText(), "100");
    EXPECT_EQ(e.DQYD->currentText(), "G");
    EXPECT_EQ(s().StepMs, 150);
    EXPECT_EQ(e.YYDS->interval(), 187);   // the running playback keeps its pace
    EXPECT_EQ(e.HScroll1->value(), 1);
    EXPECT_EQ(e.XJZS->text(), "1");
    EXPECT_EQ(e.YF1[0]->text(), "----XZ" + QString(26, '-'));
    EXPECT_TRUE(only(tick(e), 0xC0).empty());   // within the measure its header is not sent again
    const Msgs rest = tick(e);   // the rest at the new key ends the note begun at the old one
    EXPECT_EQ(only(rest, 0x80), (Msgs{{0x80, 67, 0}, {0x80, 60, 0}}));
    all.insert(all.end(), rest.begin(), rest.end());
    while (e.YYDS->enabled()) {
        const Msgs m = tick(e);
        all.insert(all.end(), m.begin(), m.end());
    }
    EXPECT_TRUE(hanging(all).empty());
    expectIdle(e);
}

TEST_F(EditorPlayback, DamagedHeadersMetDuringPlaybackLeaveItGoingOn)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc--kd");
    p().MeasureTotal = 2;
    fields().MeasureHeaders[1] = QString(60, 'Z');
    fields().MeasureHeaders[2] = QStringLiteral("0002FF");
    for (int k = 0; k < 16; ++k) p().CellTokens[0][32 + k] = "KE";
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    int steps = 1;
    while (e.YYDS->enabled()) {
        tick(e);
        ++steps;
    }
    EXPECT_EQ(steps, 49);   // 48 cells, then the end
    EXPECT_EQ(s().CurStep, 48);
    EXPECT_EQ(e.DQSUDU->currentText(), "80");
    EXPECT_EQ(e.DQYD->currentText(), "C");
    EXPECT_TRUE(dialogs.messages.isEmpty());
    expectIdle(e);
}

TEST_F(EditorPlayback, ASavedPieceOpenedAgainPlaysWithItsSettings)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kcke");
    e.DQYD->setCurrentIndex(2);   // "D"
    typeTempo(e, "120");
    e.SYYQ[0]->setCurrentIndex(41);
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);
    const QString path = recordFolder() + "/曲子.lnk";
    dialogs.saveFiles.push_back(ScriptedDialogs::file(path));
    QTest::mouseClick(e.BCBJ, Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(path));

    e.close();
    open();
    QApplication::setActiveWindow(&e);
    ASSERT_EQ(e.DQYD->currentText(), "C");
    dialogs.openFiles.push_back(ScriptedDialogs::file(path));
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    e.HScroll1->setValue(0);
    e.DQYD->setCurrentIndex(5);   // changed after opening: measure 0's header puts it back
    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    EXPECT_EQ(e.DQYD->currentText(), "D");
    EXPECT_EQ(e.YYDS->interval(), 125);
    const Msgs first = messages();
    EXPECT_EQ(notesOn(first), std::vector<int>{38 + 24});
    bool program = false;
    for (const Msg& x : first) program |= x == Msg{0xC0, 40, 0};
    EXPECT_TRUE(program);
    EXPECT_EQ(notesOn(tick(e)), std::vector<int>{38 + 28});
}

TEST_F(EditorPlayback, AnImportedScorePlaysItsNotesAtTheirLengths)
{
    editor::YYBJ& e = openActive();
    const QString score = recordFolder() + "/乐谱.txt";
    QFile f(score);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("KC8KD4KE4TZ");
    f.close();
    dialogs.openFiles.push_back(ScriptedDialogs::file(score));
    QTest::mouseClick(e.DRYP, Qt::LeftButton);
    ASSERT_EQ(e.YF1[0]->text(), "KC------KD--KE--TZ" + QString(14, '-'));

    midi.clear();
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    std::map<int, std::vector<int>> heard;   // step -> notes started on channel 0
    heard[0] = notesOn(only(messages(), 0x90));
    for (int k = 1; k < 16; ++k) {
        const std::vector<int> n = notesOn(only(tick(e), 0x90));
        if (!n.empty()) heard[k] = n;
    }
    EXPECT_EQ(heard, (std::map<int, std::vector<int>>{{0, {60}}, {4, {62}}, {6, {64}}}));
}

TEST_F(EditorPlayback, BackInTheMainWindowAfterAPieceItsOwnSoundAndRhythmReturn)
{
    keyboard::Form1& f = start();
    f.LblInst[0]->setCurrentIndex(1);   // key 36 on the main window's first rhythm row, step 0
    f.BZA[0]->setChecked(true);
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    e.HScroll3->setValue(-20);
    typeRow(e, 0, "kc");
    for (int r = 0; r < 5; ++r)
        for (int k : {0, 2, 9}) QTest::mouseClick(e.DJY[r][k], Qt::LeftButton);
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    int lastLevel = -1;
    for (int k = 1; e.YYDS->enabled(); ++k) {
        const int level = expression(tick(e), 0);
        if (k == 12) lastLevel = level;
    }
    ASSERT_EQ(lastLevel, 20);   // the piece fell silent in its crescendo's last steps
    midi.clear();
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);
    ASSERT_TRUE(f.isVisible());

    QTest::keyClick(f.SFYXYZ, Qt::Key_G);
    const Msgs m = messages();
    int levelAtG = -1;
    for (const Msg& x : m) {
        if (x == Msg{0xB0, 11, x[2]}) levelAtG = x[2];
        if (x == Msg{0x90, 60, 70}) break;
    }
    EXPECT_EQ(levelAtG, 127);
    EXPECT_EQ(only(m, 0x90), (Msgs{{0x90, 60, 70}}));
    f.BzQd->click();
    midi.clear();
    for (int k = 0; k < 10; ++k) f.BZDS->tick();
    EXPECT_EQ(only(messages(), 0x99), (Msgs{{0x99, 36, 100}}));
}

}  // namespace
