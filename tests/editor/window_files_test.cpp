// The editor's files through the window: "保存" keeps a measure's settings and they come back
// when the measure is shown; "保存编辑" and "打开编辑文件" write and read edit files, refusing what
// cannot be loaded before anything is replaced; "导入记录乐谱" turns a score file into a piece.
#include "editor/measure_header.h"
#include "midi/score_notation.h"
#include "midi/state.h"
#include "support/editor_fixture.h"

#include <QApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QWheelEvent>

using testing_support::EditorFixture;
using testing_support::ScriptedDialogs;
using Msgs = std::vector<std::array<int, 3>>;

namespace {

const QString kOpening = QStringLiteral("0000014633464E4652460446044604460146034604462946114620000050");

class EditorFiles : public EditorFixture {
protected:
    midi::SharedState& s() { return midi::state(); }
    editor::Piece& p() { return editor::piece(); }
    QString file(const char* name) const { return recordFolder() + "/" + QString::fromUtf8(name); }
    QByteArray bytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QString& path, const QByteArray& b) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(b);
    }
    // Clicks melody row `row`, selects what it shows and types `text` over it.
    void typeRow(editor::YYBJ& e, int row, const QString& text)
    {
        QTest::mouseClick(e.YF1[row], Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
    }
    void typeTempo(editor::YYBJ& e, const char* text)
    {
        QLineEdit* box = e.DQSUDU->lineEdit();
        QTest::mouseClick(box, Qt::LeftButton);
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, text);
    }
    // One notch of the mouse wheel on the measure bar: up (+1) or down (-1) a measure.
    static void wheel(QWidget* w, int notches)
    {
        const QPointF at(w->width() / 2.0, w->height() / 2.0);
        QWheelEvent ev(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120 * notches), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w, &ev);
    }
    void saveAs(editor::YYBJ& e, const QString& path)
    {
        dialogs.saveFiles.push_back(ScriptedDialogs::file(path));
        QTest::mouseClick(e.BCBJ, Qt::LeftButton);
    }
    void openFile(editor::YYBJ& e, const QString& path)
    {
        dialogs.openFiles.push_back(ScriptedDialogs::file(path));
        QTest::mouseClick(e.DkBianji, Qt::LeftButton);
    }
    void import(editor::YYBJ& e, const QString& path)
    {
        dialogs.openFiles.push_back(ScriptedDialogs::file(path));
        QTest::mouseClick(e.DRYP, Qt::LeftButton);
    }
};

QByteArray emptyMeasureBytes(const char* header, int steps)
{
    QByteArray b = QByteArray(header) + "\r\n";
    for (int r = 0; r < 7; ++r) b += QByteArray(2 * steps, '-') + "\r\n";
    for (int r = 0; r < 5; ++r) b += QByteArray(steps, '-') + "\r\n";
    return b;
}

}  // namespace

TEST_F(EditorFiles, SaveKeepsTheMeasureSettingsAndShowingTheMeasureBringsThemBack)
{
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);   // "保存" with the opening settings
    EXPECT_EQ(fields().MeasureHeaders[0], kOpening);
    wheel(e.HScroll1, 1);
    wheel(e.HScroll1, -1);
    EXPECT_EQ(s().StepMs, 187);   // the header's tempo 80 gives its own step length
    EXPECT_EQ(p().TrackInstrument[2], 78);
    EXPECT_EQ(p().TrackInstrument[10], 41);

    // Tempo 100, row 3 silent, row 8 louder, vibrato, key "D", depth +20: saved on measure 0.
    typeTempo(e, "100");
    e.SYYQ[3]->setCurrentIndex(0);
    e.YQYL[8]->setCurrentIndex(8);   // "100"
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    e.DQYD->setCurrentIndex(2);
    e.HScroll3->setValue(20);
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);
    const QString h = fields().MeasureHeaders[0];
    ASSERT_EQ(h.size(), 60);
    EXPECT_EQ(h.mid(16, 2), "FF");
    EXPECT_EQ(h.mid(38, 2), "64");
    EXPECT_EQ(h.mid(52), "40100264");
    EXPECT_EQ(fields().MeasureTempo[0], "64");
    EXPECT_EQ(fields().MeasureKey[0], "02");
    EXPECT_EQ(fields().MeasureDepth[0], "40");
    EXPECT_EQ(p().TrackInstrument[3], -1);

    // Measure 1 has no header: showing it changes nothing.
    typeTempo(e, "60");
    e.SYYQ[3]->setCurrentIndex(9);
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    wheel(e.HScroll1, 1);
    ASSERT_EQ(fields().CurMeasure, 1);
    EXPECT_EQ(e.DQSUDU->currentText(), "60");
    EXPECT_EQ(e.SYYQ[3]->currentIndex(), 9);
    EXPECT_FALSE(e.Check1[0]->isChecked());
    EXPECT_EQ(s().StepMs, 250);

    // Back on measure 0 its settings come back.
    wheel(e.HScroll1, -1);
    EXPECT_EQ(e.DQSUDU->currentText(), "100");
    EXPECT_EQ(s().StepMs, 150);
    EXPECT_EQ(e.SYYQ[3]->currentIndex(), 0);
    EXPECT_EQ(e.YQYL[8]->currentText(), "100");
    EXPECT_EQ(s().TrackVolume[8], 100);
    EXPECT_TRUE(e.Check1[0]->isChecked());
    EXPECT_EQ(e.DQYD->currentIndex(), 2);
    EXPECT_EQ(s().BaseNote, 38);
    EXPECT_EQ(e.HScroll3->value(), 20);
    // A new time signature shows the measure again but does not re-apply its header.
    typeTempo(e, "70");
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);
    EXPECT_EQ(e.DQSUDU->currentText(), "70");
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);

    // "保存" on measure 300 at 2/4.
    dialogs.inputs.push_back(QString("400"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);
    e.HScroll1->setValue(300);
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);
    EXPECT_EQ(fields().MeasureHeaders[300].left(4), "0300");
    EXPECT_EQ(fields().MeasureHeaders[300].size(), 60);
    EXPECT_EQ(fields().MeasureTempo[300], "46");   // 70
}

TEST_F(EditorFiles, AHeaderSavedBeyondThePieceIsWrittenAndReadBack)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 0, "kc");
    for (int n = 0; n < 3; ++n) wheel(e.HScroll1, 1);   // measure 3 of a one-measure piece
    typeTempo(e, "100");
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);
    EXPECT_EQ(p().MeasureTotal, 3);
    EXPECT_EQ(fields().LastStep, 63);
    const QString piece = file("远处.lnk");
    saveAs(e, piece);
    typeTempo(e, "60");
    openFile(e, piece);
    ASSERT_EQ(p().MeasureTotal, 3);
    EXPECT_EQ(fields().MeasureHeaders[3].right(2), "64");
    e.HScroll1->setValue(3);
    EXPECT_EQ(e.DQSUDU->currentText(), "100");
}

TEST_F(EditorFiles, DamagedHeaderLeavesItsControlsAlone)
{
    editor::YYBJ& e = openActive();
    QString h = kOpening;
    h.replace(58, 2, "00");   // tempo 0
    h.replace(56, 2, "99");   // key 99
    h.replace(32, 2, "FF");   // percussion row 7: no such item
    h.replace(10, 2, "G1");   // row 1's volume not hex
    h.replace(4, 2, "13");    // row 0: program 19, item 20
    fields().MeasureHeaders[1] = h;
    e.DQYD->setCurrentIndex(5);
    e.YQYL[1]->setCurrentIndex(2);
    const int16_t stepMs = s().StepMs;
    wheel(e.HScroll1, 1);
    EXPECT_EQ(e.SYYQ[0]->currentIndex(), 20);
    EXPECT_EQ(e.SYYQ[7]->currentIndex(), 1);
    EXPECT_EQ(e.YQYL[1]->currentText(), "40");
    EXPECT_EQ(e.DQYD->currentIndex(), 5);
    EXPECT_EQ(e.DQSUDU->currentText(), "80");
    EXPECT_EQ(s().StepMs, stepMs);
    EXPECT_EQ(s().PercussionCells[0][16].Msg, (70 << 16) | (36 << 8) | 0x99);   // key 36, volume 70
}

TEST_F(EditorFiles, AppliedHeaderSendsItsMessagesInOrder)
{
    editor::YYBJ& e = openActive();
    editor::MeasureSettings m;
    m.instrumentIndex = {2, 52, 79, 83, 5, 1, 11, 1, 3, 4, 41, 17};   // rows 5, 6: programs 0, 10
    m.volume.fill(70);
    m.volume[4] = 90;
    m.vibrato = 1;
    m.tempo = 120;
    fields().MeasureHeaders[1] = editor::packMeasureHeader(1, m).header;
    p().CellTokens[7][16] = "O";
    s().PercussionCells[5][16].Msg = 12345;   // the keypad drums' column is not the editor's
    midi.clear();
    wheel(e.HScroll1, 1);
    const Msgs expected = {
        {0xB0, 11, 120},                 // row 4's volume
        {0xB5, 0, 0}, {0xC5, 0, 0},      // row 5's instrument
        {0xB6, 0, 0}, {0xC6, 10, 0},     // row 6's instrument
        {0xB0, 1, 120}, {0xB0, 11, 120}, // the vibrato flag
        {0xB0, 0, 0}, {0xC0, 1, 0}, {0xB1, 0, 0}, {0xC1, 51, 0}, {0xB2, 0, 0}, {0xC2, 78, 0},
        {0xB3, 0, 0}, {0xC3, 82, 0}, {0xB4, 0, 0}, {0xC4, 4, 0}, {0xB5, 0, 0}, {0xC5, 0, 0},
        {0xB6, 0, 0}, {0xC6, 10, 0},     // the rows' programs again
    };
    EXPECT_EQ(messages(), expected);
    EXPECT_EQ(s().PercussionCells[0][16].Msg, (70 << 16) | (36 << 8) | 0x99);
    EXPECT_EQ(s().PercussionCells[5][16].Msg, 12345);
    EXPECT_EQ(s().TrackVolume[4], 90);
    EXPECT_EQ(s().StepMs, 125);
    EXPECT_TRUE(e.DJY[0][0]->isChecked());
}

TEST_F(EditorFiles, EditFileIsWrittenAndReadBackWhole)
{
    editor::YYBJ& e = openActive();
    const QString empty = file("空.lnk");
    saveAs(e, empty);
    EXPECT_EQ(bytes(empty), emptyMeasureBytes("0000", 16));
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, "乐谱编辑|*.lnk");
    EXPECT_EQ(dialogs.saveRequests[0].flags, 2);
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, recordFolder() + "/");
    EXPECT_TRUE(dialogs.saveRequests[0].fileName.isEmpty());
    EXPECT_EQ(fields().EditFileName, empty);

    // A piece at 4/4: notes and a hit on measure 0 with its header, a note on measure 1.
    QTest::mouseClick(e.JPFL[2], Qt::LeftButton);
    typeRow(e, 0, "kc--kdxz");
    QTest::mouseClick(e.DJY[4][31], Qt::LeftButton);
    typeTempo(e, "100");
    QTest::mouseClick(e.BCBXJ, Qt::LeftButton);
    const QString header0 = fields().MeasureHeaders[0];
    QTest::mouseClick(e.CHARU, Qt::LeftButton);
    typeRow(e, 2, "cc");
    const QString piece = file("乐曲 一.lnk");
    saveAs(e, piece);
    QStringList cells;   // rows 0..11 of the three measures, as saved
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 96; ++c) cells << p().CellTokens[r][c];
    const QByteArray dashes(64, '-');
    EXPECT_TRUE(bytes(piece).startsWith(header0.toLatin1() + "\r\nKC--KDXZ---"));
    EXPECT_TRUE(bytes(piece).contains("\r\n0001\r\n" + dashes + "\r\n" + dashes + "\r\nCC--"));

    // Another piece at 2/4, then the file again: the same cells, headers and 4/4 layout.
    QTest::mouseClick(e.JPFL[0], Qt::LeftButton);
    typeRow(e, 0, "lclc");
    typeTempo(e, "60");
    dialogs.inputs.push_back(QString("10"));
    QTest::mouseClick(e.ZDXJZS, Qt::LeftButton);   // a longer piece: the bar reaches 10
    openFile(e, piece);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(dialogs.openRequests.back().filter, "编辑记录|*.lnk");
    EXPECT_EQ(dialogs.openRequests.back().flags, 16);
    EXPECT_EQ(p().MeasureTotal, 2);
    EXPECT_EQ(fields().MeasureHeaders[0], header0);
    EXPECT_EQ(fields().MeasureHeaders[1], "0001");
    for (int r = 0; r < 12; ++r)
        for (int c = 0; c < 96; ++c) ASSERT_EQ(p().CellTokens[r][c], cells[r * 96 + c]) << r << " " << c;
    EXPECT_EQ(fields().GridLastStep, 31);
    EXPECT_TRUE(e.JPFL[2]->isChecked());
    EXPECT_EQ(e.DJY[0].size(), 32u);
    EXPECT_EQ(e.YF1[0]->typingLimit(), 64);
    EXPECT_EQ(fields().CurMeasure, 0);
    EXPECT_EQ(e.HScroll1->value(), 0);
    EXPECT_EQ(e.HScroll1->maximum(), 2);
    EXPECT_EQ(fields().LastStep, 95);
    EXPECT_EQ(e.YF1[0]->text().left(8), "KC--KDXZ");
    EXPECT_TRUE(e.DJY[4][31]->isChecked());
    EXPECT_EQ(e.DQSUDU->currentText(), "100");   // measure 0's header applied
    EXPECT_EQ(e.XJXSS->text(), "实际小节数是(1-2)小节");

    // Measure 1 has no header: the settings stay.
    typeTempo(e, "90");
    wheel(e.HScroll1, 1);
    EXPECT_EQ(e.DQSUDU->currentText(), "90");
    EXPECT_EQ(e.YF1[2]->text().left(4), "CC--");

    // A write that fails is reported and leaves the old file.
    const QByteArray old = bytes(piece);
    saveAs(e, recordFolder() + "/没有的文件夹/x.lnk");
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("失败"));
    EXPECT_EQ(bytes(piece), old);

    // Cancel writes nothing, quietly.
    QTest::mouseClick(e.BCBJ, Qt::LeftButton);
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(EditorFiles, SaveRefusesACharacterTheEditFileCannotHold)
{
    editor::YYBJ& e = openActive();
    const QString odd = file("odd.lnk");
    QByteArray b = emptyMeasureBytes("0000", 16);
    b.replace(b.indexOf("\r\n") + 2, 6, "KC\xF0\x9F\x98\x80HC");   // row 0: KC, a face, HC
    writeFile(odd, b);
    openFile(e, odd);
    ASSERT_EQ(p().CellTokens[0][1], QString::fromUtf8("\xF0\x9F\x98\x80"));
    const QString target = file("odd-copy.lnk");
    saveAs(e, target);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QString::fromUtf8("\xE2\x80\x9C\xF0\x9F\x98\x80\xE2\x80\x9D")));
    EXPECT_TRUE(dialogs.saveRequests.empty());   // refused before the dialog
    EXPECT_FALSE(QFile::exists(target));

    // A direction control shows nothing and turns the sentence round: it is named by its code.
    b.replace("\xF0\x9F\x98\x80", "\xE2\x80\xAE-");
    writeFile(odd, b);
    openFile(e, odd);
    saveAs(e, target);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].contains(QStringLiteral("字符U+202E不能"))) << dialogs.messages[1].toStdString();
}

TEST_F(EditorFiles, FilesThatCannotBeLoadedLeaveThePieceAsItWas)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 1, "kdke");
    QTest::mouseClick(e.DJY[1][4], Qt::LeftButton);

    const QString blank = file("空.lnk");
    writeFile(blank, "");
    const QString noSteps = file("s0.lnk");
    writeFile(noSteps, "0000\r\n\r\n");
    const QString wide = file("s40.lnk");
    writeFile(wide, emptyMeasureBytes("0000", 40));
    const QString tooLong = file("long.lnk");
    QByteArray many;
    for (int m = 0; m < 626; ++m) many += emptyMeasureBytes("0000", 16);
    writeFile(tooLong, many);
    const QString nul = file("nul.lnk");
    writeFile(nul, emptyMeasureBytes("0000", 16).replace(40, 1, "\0", 1));   // in melody row 1
    for (const QString& p : {blank, noSteps, wide, tooLong, nul, file("none.lnk")}) openFile(e, p);
    QTest::mouseClick(e.DkBianji, Qt::LeftButton);   // cancelled: quiet
    EXPECT_EQ(dialogs.messages.size(), 6);
    EXPECT_TRUE(dialogs.messages[4].contains(QStringLiteral("不是"))) << dialogs.messages[4].toStdString();
    EXPECT_EQ(p().CellTokens[1][1], "KE");
    EXPECT_EQ(p().CellTokens[8][4], "O");
    EXPECT_EQ(e.YF1[1]->text(), "KDKE" + QString(28, '-'));
    EXPECT_TRUE(e.DJY[1][4]->isChecked());
    EXPECT_EQ(fields().EditFileName, file("none.lnk"));

    // A file of 20 steps loads with 20 columns and keeps the option and layout.
    const QString twenty = file("s20.lnk");
    writeFile(twenty, emptyMeasureBytes("0000", 20) + emptyMeasureBytes("0001", 20).left(100));
    openFile(e, twenty);
    EXPECT_EQ(dialogs.messages.size(), 6);
    EXPECT_EQ(e.DJY[0].size(), 20u);
    EXPECT_EQ(fields().GridLastStep, 19);
    EXPECT_TRUE(e.JPFL[0]->isChecked());
    EXPECT_EQ(p().MeasureTotal, 1);
    EXPECT_EQ(e.YF1[1]->text(), QString(40, '-'));
    EXPECT_FALSE(e.DJY[1][4]->isChecked());
    EXPECT_TRUE(p().CellTokens[1][1].startsWith('-'));
}

TEST_F(EditorFiles, AFileOfAnotherStepCountIsShownWholeInTheLayoutThatHoldsIt)
{
    editor::YYBJ& e = openActive();
    const struct {
        int steps, rowWidth, gridWidth;
    } cases[] = {{28, 648, 652}, {5, 325, 465}, {20, 486, 490}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.steps);
        QByteArray measure1 = emptyMeasureBytes("0001", c.steps);
        const QByteArray melody = QByteArray("HC").repeated(c.steps - 1) + "KD";
        measure1.replace(6, melody.size(), melody);
        const QString path = file("odd.lnk");
        writeFile(path, emptyMeasureBytes("0000", c.steps) + measure1);
        openFile(e, path);
        ASSERT_EQ(fields().GridLastStep, c.steps - 1);
        EXPECT_TRUE(e.JPFL[0]->isChecked());   // no time signature, no conversion
        EXPECT_EQ(p().MeasureTotal, 1);
        EXPECT_EQ(p().CellTokens[0][2 * c.steps - 1], "KD");   // the cells as the file has them
        EXPECT_EQ(e.Picture1->width(), c.gridWidth);
        EXPECT_EQ(e.Picture3->x(), c.gridWidth + 175);
        EXPECT_EQ(e.width(), 175 + c.gridWidth + 104 + 3);
        // Every step box stands inside the grid panel.
        for (const auto& row : e.DJY) {
            ASSERT_EQ(int(row.size()), c.steps);
            EXPECT_LE(row.back()->geometry().right(), e.Picture1->width() - 1);
        }
        // The whole row text is in view, from its first character to its last.
        wheel(e.HScroll1, 1);
        QLineEdit* row = e.YF1[0];
        ASSERT_EQ(row->text(), melody);
        EXPECT_EQ(row->width(), c.rowWidth);
        row->grab();   // drawn as the user sees it
        EXPECT_EQ(row->cursorPositionAt(QPoint(4, row->height() / 2)), 0);
        EXPECT_EQ(row->cursorPositionAt(QPoint(row->width() - 4, row->height() / 2)), 2 * c.steps);
    }
}

TEST_F(EditorFiles, ImportTurnsAScoreFileIntoRowsZeroAndOne)
{
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.DJY[0][2], Qt::LeftButton);   // measure 0 has a hit before the import
    typeRow(e, 3, "hc");
    const QString score = file("乐谱 1.txt");
    writeFile(score, "\xEF\xBB\xBFKC8KD8\r\nKE8TZ\r\n");
    import(e, score);
    EXPECT_EQ(dialogs.openRequests.back().filter, "编辑记录txt|*.txt");
    EXPECT_EQ(dialogs.openRequests.back().initialDir, recordFolder() + "/");
    EXPECT_EQ(dialogs.openRequests.back().flags, 16);
    EXPECT_EQ(fields().EditFileName, score);
    EXPECT_EQ(s().ScoreText, "KC8KD8KE8TZ");
    EXPECT_EQ(p().MeasureTotal, 1);
    EXPECT_EQ(e.HScroll1->maximum(), 1);
    EXPECT_EQ(fields().LastStep, 31);
    EXPECT_EQ(e.YF1[0]->text(), "KC------KD------KE------TZ------");
    EXPECT_EQ(e.YF1[1]->text(), e.YF1[0]->text());
    EXPECT_TRUE(e.YF1[3]->text().isEmpty());
    EXPECT_FALSE(e.DJY[0][2]->isChecked());   // the old piece's hit is gone from the boxes
    EXPECT_NE(p().CellTokens[7][2], "O");
    EXPECT_EQ(fields().TokenDuration, 8);

    // Cancel keeps the piece and the score text.
    QTest::mouseClick(e.DRYP, Qt::LeftButton);
    EXPECT_EQ(s().ScoreText, "KC8KD8KE8TZ");
    EXPECT_EQ(p().CellTokens[0][4], "KD");
    // A file that cannot be read says so and changes nothing.
    import(e, file("没有.txt"));
    ASSERT_EQ(dialogs.messages.size(), 1);
    const QString big = file("big.txt");
    writeFile(big, QByteArray("KC").repeated(70000));
    import(e, big);
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(dialogs.messages[1], midi::scoreFileTooLargeText());
    EXPECT_EQ(s().ScoreText, "KC8KD8KE8TZ");

    // The length carries into the next import, made while measure 1 is shown: the new piece
    // is shown from measure 0.
    wheel(e.HScroll1, 1);
    ASSERT_EQ(fields().CurMeasure, 1);
    const QString next = file("next.txt");
    writeFile(next, "KDKEKFKGKA");
    import(e, next);
    EXPECT_EQ(p().MeasureTotal, 1);
    EXPECT_EQ(e.HScroll1->value(), 0);
    EXPECT_EQ(fields().CurMeasure, 0);
    EXPECT_EQ(e.XJZS->text(), "0");
    EXPECT_EQ(e.YF1[0]->text(), "KD------KE------KF------KG------");
    wheel(e.HScroll1, 1);
    EXPECT_EQ(e.YF1[0]->text(), "KA" + QString(30, '-'));

    // The main window shows the imported score when the user returns to it.
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);
    EXPECT_EQ(form->Text3->toPlainText(), "KDKEKFKGKA");
}

TEST_F(EditorFiles, AFileWithoutANoteRestOrStopIsNotImported)
{
    editor::YYBJ& e = openActive();
    typeRow(e, 2, "hchd");
    s().ScoreText = "KC8";
    const QString empty = file("空.txt");
    writeFile(empty, "");
    const QString noise = file("noise.txt");
    writeFile(noise, "VS90JP3CC4MA8qq\x01\xFF\xFE--");
    QByteArray random(8192, '\0');   // not text, though it nearly always holds a pair such as KB
    for (char& c : random) c = char(QRandomGenerator::global()->bounded(256));
    writeFile(file("random.txt"), random);
    const QString restOnly = file("rest.txt");
    writeFile(restOnly, "VS9MA4XZ8");
    for (const QString& refused : {empty, noise, file("random.txt")}) {
        dialogs.messages.clear();
        import(e, refused);
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages[0].contains("没有")) << dialogs.messages[0].toStdString();
        EXPECT_EQ(s().ScoreText, "KC8");
        EXPECT_EQ(p().CellTokens[2][1], "HD");
        EXPECT_EQ(e.YF1[2]->text().left(4), "HCHD");
    }
    dialogs.messages.clear();
    import(e, restOnly);   // a rest is a score
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(p().CellTokens[0][2], "XZ");
}

TEST_F(EditorFiles, ScoreLongerThanTheEditorHoldsIsCutWithAMessage)
{
    editor::YYBJ& e = openActive();
    const QString score = file("long.txt");
    writeFile(score, QByteArray("KC8").repeated(2600) + "TZ");
    import(e, score);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains("624"));
    EXPECT_EQ(p().MeasureTotal, 624);
    EXPECT_EQ(e.HScroll1->maximum(), 624);
    EXPECT_EQ(s().CurStep, 9999);
    EXPECT_EQ(fields().LastStep, 9999);
    e.HScroll1->setValue(624);
    EXPECT_EQ(e.YF1[1]->text(), "KC------KC------KC------KC------");
}
