// The editor window opened from the main window: what an opening sets up and sends, the same
// designed window at every opening, the measure captions, the three layouts, and closing.
#include "forms/geometry.h"
#include "platform/whole_file.h"
#include "midi/state.h"
#include "resources/strings.h"
#include "support/editor_fixture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <functional>
#include <set>
#include <vector>

using testing_support::EditorFixture;
using Msgs = std::vector<std::array<int, 3>>;

namespace {

class EditorWindow : public EditorFixture {
protected:
    // The program changes that set rows 0..6 to their default instruments.
    static void addDefaultPrograms(Msgs& m)
    {
        const int programs[7] = {1, 51, 78, 82, 4, 4, 4};
        for (int i = 0; i < 7; ++i) {
            m.push_back({0xB0 + i, 0, 0});
            m.push_back({0xC0 + i, programs[i], 0});
        }
    }
    void expectDesignedWindow(editor::YYBJ& e)
    {
        const int instruments[12] = {2, 52, 79, 83, 5, 5, 5, 1, 3, 4, 41, 17};
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(e.SYYQ[i]->currentIndex(), instruments[i]) << i;
            EXPECT_EQ(e.SYYQ[i]->count(), i < 7 ? 129 : 47);
            EXPECT_EQ(e.YQYL[i]->currentText(), "70");
            EXPECT_EQ(midi::state().TrackVolume[i], 70);
        }
        EXPECT_EQ(e.SYYQ[0]->currentText(), "2.电钢琴 ");
        EXPECT_EQ(e.SYYQ[10]->currentText(), "木鱼-高音");
        EXPECT_EQ(e.DQYD->currentText(), "C");
        EXPECT_EQ(e.DQSUDU->currentText(), "80");
        EXPECT_EQ(midi::state().StepMs, 188);
        EXPECT_EQ(midi::state().BaseNote, 36);
        EXPECT_TRUE(e.JPFL[0]->isChecked());
        EXPECT_EQ(fields().GridLastStep, 15);
        for (const auto& row : e.DJY) EXPECT_EQ(row.size(), 16u);
        EXPECT_EQ(fields().CurMeasure, 0);
        EXPECT_EQ(e.HScroll1->value(), 0);
        EXPECT_EQ(e.HScroll1->maximum(), 200);
        EXPECT_EQ(e.XJZS->text(), "0");
        EXPECT_EQ(e.HScroll3->value(), 0);
        EXPECT_EQ(fields().CrescStep, 0);
        EXPECT_EQ(fields().CrescLevel, 120);
        for (auto* row : e.YF1) EXPECT_TRUE(row->text().isEmpty());
        EXPECT_EQ(editor::piece().MeasureTotal, 0);
        EXPECT_EQ(e.windowTitle(), "音乐编辑器");
        EXPECT_TRUE(e.isVisible());
        EXPECT_FALSE(form->isVisible());
    }
    // Every control of the window as the user meets it (kind, place, shown, enabled, caption or
    // text, ticked, list, value, what an undo would bring back), the focus, the clocks, the
    // window's place, size and title, and the file dialog's last choice.
    static QStringList controlsAsMet(editor::YYBJ& e)
    {
        QStringList out;
        const QList<QWidget*> all = e.Surface->findChildren<QWidget*>();
        for (QWidget* w : all) {
            QString line = QStringLiteral("%1 %2 %3 %4").arg(w->metaObject()->className()).arg(rectText(w->geometry()))
                               .arg(w->isVisibleTo(&e)).arg(w->isEnabled());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) line += ' ' + b->text() + (b->isChecked() ? "+" : "-");
            if (auto* l = qobject_cast<QLabel*>(w)) line += ' ' + l->text();
            if (auto* t = qobject_cast<QLineEdit*>(w))
                line += QStringLiteral(" %1 %2 %3").arg(t->text()).arg(t->maxLength()).arg(t->isUndoAvailable());
            if (auto* c = qobject_cast<QComboBox*>(w))
                line += QStringLiteral(" %1 %2 %3").arg(c->count()).arg(c->currentIndex()).arg(c->currentText());
            if (auto* s = qobject_cast<QScrollBar*>(w))
                line += QStringLiteral(" %1 %2 %3").arg(s->minimum()).arg(s->maximum()).arg(s->value());
            out << line;
        }
        out << QStringLiteral("focus %1").arg(all.indexOf(e.focusWidget()));
        for (auto* t : e.Surface->findChildren<forms::FormTimer*>()) out << QStringLiteral("clock %1 %2").arg(t->interval()).arg(t->enabled());
        out << rectText(e.geometry()) << e.windowTitle() << e.DuiHu.FileName << e.DuiHu.FileTitle << e.DuiHu.InitDir;
        return out;
    }
    static QString rectText(const QRect& r)
    {
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
};

TEST_F(EditorWindow, OpeningSetsUpTheDesignedWindowAndSendsItsSoundInOrder)
{
    start();
    midi.clear();
    editor::YYBJ& e = open();
    expectDesignedWindow(e);

    // The instruments as chosen, the volumes' expression, the programs again; then the mapper is
    // reopened and gets the programs, expression 120 and no modulation.
    Msgs expected;
    addDefaultPrograms(expected);
    for (int i = 0; i < 12; ++i) expected.push_back({0xB0, 11, 120});
    addDefaultPrograms(expected);
    addDefaultPrograms(expected);
    expected.push_back({0xB0, 11, 120});
    for (int c = 0; c < 3; ++c) expected.push_back({0xB0 + c, 1, 0});
    EXPECT_EQ(messages(), expected);
    bool mapperOpened = false;
    for (const auto& ev : midi.events) mapperOpened |= ev.kind == platform::CaptureMidiService::Kind::Open && ev.device == -1;
    EXPECT_TRUE(mapperOpened);
    EXPECT_EQ(e.ComDevies->currentIndex(), 0);
    EXPECT_EQ(fields().RecBits, "8");
    EXPECT_EQ(fields().RecRate, "44100");
    EXPECT_EQ(e.DuiHu.InitDir, appFolder + "演奏记录/");
}

TEST_F(EditorWindow, EveryOpeningStartsFromTheDesignedWindowAndAnEmptyScore)
{
    start();
    midi.clear();
    editor::YYBJ& e = open();
    const QStringList designed = controlsAsMet(e);
    const Msgs openingSound = messages();
    QApplication::setActiveWindow(&e);
    auto& p = editor::piece();
    // Every kind of control used, the piece playing and a row being typed into as it closes.
    QTest::mouseClick(e.Check1[0], Qt::LeftButton);
    QTest::mouseClick(e.Check1[1], Qt::LeftButton);
    dialogs.openFiles.push_back(testing_support::ScriptedDialogs::file(recordFolder() + "/听.wav"));
    QTest::mouseClick(e.LUYINJI[0], Qt::LeftButton);   // no such file: a box, the panel at rest
    QTest::mouseClick(e.LUYINJI[1], Qt::LeftButton);
    e.yinzi->setCurrentIndex(2);
    typeRow(e, 0, "kc");
    e.JPFL[2]->click();
    e.SYYQ[1]->setCurrentIndex(7);
    e.YQYL[3]->setEditText("110");
    e.DQYD->setCurrentIndex(7);
    e.DQSUDU->setEditText("100");
    e.HScroll3->setValue(10);
    QTest::mouseClick(e.YF1[2], Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "kckdke");
    e.HScroll1->setValue(3);
    QTest::mouseClick(e.DJY[0][5], Qt::LeftButton);
    ASSERT_EQ(p.CellTokens[2][0], "KC");
    ASSERT_EQ(p.CellTokens[7][3 * 32 + 5], "O");
    typeRow(e, 4, "kdke");
    QTest::mouseClick(e.XJZS, Qt::LeftButton);
    QTest::keyClicks(e.XJZS, "2");
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    ASSERT_TRUE(e.YYDS->enabled());

    e.close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(e.isOpen());
    midi.clear();
    open();
    expectDesignedWindow(e);
    const QStringList again = controlsAsMet(e);
    ASSERT_EQ(again.size(), designed.size());
    for (int i = 0; i < designed.size(); ++i) EXPECT_EQ(again[i].toStdString(), designed[i].toStdString());
    // The same sound, apart from the note-offs of notes the last piece left held.
    Msgs reopeningSound = messages();
    std::erase_if(reopeningSound, [](const auto& m) { return (m[0] & 0xF0) == 0x80; });
    EXPECT_EQ(reopeningSound, openingSound);
    EXPECT_TRUE(p.CellTokens[2][0].isEmpty());
    EXPECT_TRUE(p.CellTokens[7][3 * 32 + 5].isEmpty());
    EXPECT_TRUE(p.MeasureText[2][0].isEmpty());
    bool mapperOpened = false;
    for (const auto& ev : midi.events) mapperOpened |= ev.kind == platform::CaptureMidiService::Kind::Open && ev.device == -1;
    EXPECT_TRUE(mapperOpened);

    // The steps play the reopened window: no vibrato, and an audition ends as auditions do,
    // turning the rows off, not as the piece that was playing at the close.
    midi.clear();
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    for (int k = 0; k < 16; ++k) e.YYDS->tick();
    EXPECT_FALSE(e.YYDS->enabled());
    EXPECT_EQ(std::ranges::count(messages(), std::array<int, 3>{0xB0, 1, 120}), 0);
    EXPECT_EQ(noteOffs(), 455);
}

TEST_F(EditorWindow, ClosingSilencesTheRowsAndShowsTheMainWindow)
{
    editor::YYBJ& e = open();
    midi::state().BaseNote = 40;
    midi.clear();
    const QPointer<QWidget> controls = e.Surface;
    e.close();   // the close box
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(controls.isNull());   // the controls stay for the next opening
    EXPECT_EQ(noteOffs(), 455);
    EXPECT_EQ(messages()[0], (std::array<int, 3>{0x80, 40, 0}));
    EXPECT_EQ(messages()[454], (std::array<int, 3>{0x86, 104, 0}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(e.isVisible());

    open();
    midi.clear();
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);   // "退出窗口" silences twice
    EXPECT_EQ(noteOffs(), 910);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(e.isOpen());
}

TEST_F(EditorWindow, ClosingUnsavedWorkAsksWhetherToSaveItFirst)
{
    using forms::Answer;
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.YF1[0], Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), "hd");   // still being typed: a change too

    // "取消", and the box closed by its own close box, keep everything as it was.
    QCloseEvent closeBox;
    dialogs.choices = {Answer::Cancel, Answer::Cancel};
    QApplication::sendEvent(e.windowHandle(), &closeBox);   // the window's close box
    ASSERT_TRUE(e.isOpen());
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_EQ(e.YF1[0]->text(), "hd");
    EXPECT_EQ(e.YF1[0]->cursorPosition(), 2);
    QTest::mouseClick(e.ST2, Qt::LeftButton);
    midi.clear();
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(e.isOpen());
    EXPECT_EQ(noteOffs(), 0);
    EXPECT_TRUE(e.YYDS->running());
    EXPECT_TRUE(e.ST2->isChecked());
    EXPECT_FALSE(form->isVisible());

    // "是" whose save is cancelled keeps the window open; a save that succeeds closes it.
    dialogs.choices = {Answer::Yes, Answer::Yes};
    QApplication::sendEvent(e.windowHandle(), &closeBox);
    EXPECT_TRUE(e.isOpen());
    const QString path = recordFolder() + "/未完.lnk";
    dialogs.saveFiles.push_back(testing_support::ScriptedDialogs::file(path));
    QApplication::sendEvent(e.windowHandle(), &closeBox);
    EXPECT_FALSE(e.isOpen());
    EXPECT_TRUE(form->isVisible());
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(editor::piece().CellTokens[0][0], "HD");

    // "否" closes as designed: the rows fall silent twice after "退出窗口".
    openActive();
    QTest::mouseClick(e.DJY[2][3], Qt::LeftButton);
    dialogs.choices = {Answer::No};
    midi.clear();
    QTest::mouseClick(e.TUICHU, Qt::LeftButton);
    EXPECT_EQ(dialogs.questions.size(), 5);
    EXPECT_FALSE(e.isOpen());
    EXPECT_EQ(noteOffs(), 910);
}

TEST_F(EditorWindow, APieceAsOpenedSavedOrImportedClosesWithoutAQuestion)
{
    editor::YYBJ& e = openActive();
    QTest::mouseClick(e.JPFL[1], Qt::LeftButton);   // a time signature changes what is saved
    e.close();
    ASSERT_EQ(dialogs.questions.size(), 1);
    const QString piece = recordFolder() + "/一节.lnk", score = recordFolder() + "/乐谱.txt";
    ASSERT_TRUE(platform::writeWholeFile(score, "KC4KD4"));
    auto choose = [&](auto& answers, const QString& path, QWidget* button) {
        answers.push_back(testing_support::ScriptedDialogs::file(path));
        QTest::mouseClick(button, Qt::LeftButton);
    };
    const std::function<void()> afterward[] = {
        [&] { QTest::mouseClick(e.DJY[0][0], Qt::LeftButton); choose(dialogs.saveFiles, piece, e.BCBJ); },
        [&] { choose(dialogs.openFiles, piece, e.DkBianji); },
        [&] { choose(dialogs.openFiles, score, e.DRYP); },
        [&] { for (int n = 0; n < 2; ++n) QTest::mouseClick(e.DJY[4][7], Qt::LeftButton); },   // undone
    };
    for (const auto& action : afterward) {
        openActive();
        action();
        e.close();
        EXPECT_FALSE(e.isOpen());
    }
    EXPECT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(EditorWindow, WithoutAnyDeviceNothingIsSelectedOrOpened)
{
    start();
    midi.devices.clear();
    midi.mapperReadable = false;
    midi.clear();
    editor::YYBJ& e = open();
    EXPECT_EQ(e.ComDevies->count(), 0);
    EXPECT_EQ(e.ComDevies->currentIndex(), -1);
    for (const auto& ev : midi.events) EXPECT_NE(ev.kind, platform::CaptureMidiService::Kind::Open);
    EXPECT_TRUE(e.isVisible());
}

TEST_F(EditorWindow, HelpShowsTheEditorsHelpText)
{
    editor::YYBJ& e = open();
    QTest::mouseClick(e.BZWJ, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0], res::LoadResString(res::EditorHelp));
    EXPECT_FALSE(dialogs.messages[0].isEmpty());
}

TEST_F(EditorWindow, TheMeasureBarShowsTheMeasureAndItsMusicalMeasures)
{
    editor::YYBJ& e = open();
    EXPECT_EQ(e.XJXSS->text(), "实际小节数是(1-2)小节");
    auto& p = editor::piece();
    p.MeasureText[0][5] = "HCHD";
    p.CellTokens[9][5 * 16 + 2] = "O";
    p.CellTokens[9][5 * 16 + 3] = "o";   // only "O" ticks a box
    e.HScroll1->setValue(5);
    EXPECT_EQ(fields().CurMeasure, 5);
    EXPECT_EQ(e.XJZS->text(), "5");
    EXPECT_EQ(e.XJXSS->text(), "实际小节数是(11-12)小节");
    EXPECT_EQ(e.YF1[0]->text(), "HCHD");
    EXPECT_TRUE(e.DJY[2][2]->isChecked());
    EXPECT_FALSE(e.DJY[2][3]->isChecked());
}

TEST_F(EditorWindow, EachTimeSignatureHasItsLayout)
{
    editor::YYBJ& e = open();
    struct Layout {
        int option, steps, rowWidth, gridWidth, rightX, outerTwips;
    };
    const Layout layouts[] = {{1, 24, 486, 490, 665, 11670}, {2, 32, 648, 652, 827, 14100}, {0, 16, 325, 465, 640, 11300}};
    for (const Layout& l : layouts) {
        e.JPFL[l.option]->click();
        EXPECT_EQ(fields().GridLastStep, l.steps - 1);
        for (auto* row : e.YF1) {
            EXPECT_EQ(row->width(), l.rowWidth);
            EXPECT_EQ(row->typingLimit(), 2 * l.steps);
        }
        EXPECT_EQ(e.Picture1->width(), l.gridWidth);
        EXPECT_EQ(e.Picture3->x(), l.rightX);
        EXPECT_EQ(e.width() + 6, forms::twipsToPx(l.outerTwips));
        for (const auto& row : e.DJY) {
            ASSERT_EQ(int(row.size()), l.steps);
            EXPECT_EQ(row[l.steps - 1]->x(), 20 * (l.steps - 1) + (l.steps - 1) / 4);
        }
        EXPECT_EQ(fields().GridLoadedSteps, l.steps - 1);
    }
    // 3/4: the beat colours cycle over four beats.
    e.JPFL[1]->click();
    const int beats[6] = {13, 10, 9, 14, 13, 10};
    for (int b = 0; b < 6; ++b)
        for (int k = 4 * b; k < 4 * b + 4; ++k)
            EXPECT_EQ(e.DJY[3][k]->palette().color(QPalette::Button), forms::QBColor(beats[b])) << k;
}

TEST_F(EditorWindow, EveryControlStandsWhereTheLayoutTablePutsIt)
{
    editor::YYBJ& e = open();
    struct Place {
        QWidget* control;
        int x, y, w, h;   // -1: a size the table leaves to the window
    };
    std::vector<Place> places = {
        {e.Picture4, 0, 5, 81, 20}, {e.Check1[0], 0, 0, 33, 20}, {e.Check1[1], 32, 0, 49, 20},
        {e.Label7, 88, 2, 73, 17}, {e.HScroll3, 82, 16, 81, 9}, {e.XJXS, 208, 3, -1, -1}, {e.XJZS, 344, 0, 49, 18},
        {e.Label4, 400, 3, -1, -1}, {e.XJXSS, 455, 5, -1, -1}, {e.Picture1, 168, 24, 465, 381},
        {e.Picture3, 640, 24, 104, 473}, {e.DRYP, 56, 0, 41, 84}, {e.DkBianji, 56, 96, 41, 84},
        {e.ST1, 56, 192, 41, 84}, {e.ST2, 56, 288, 41, 84}, {e.BCBJ, 0, 380, 97, 25}, {e.BZWJ, 0, 410, 97, 25},
        {e.TUICHU, 0, 440, 97, 25}, {e.ComDevies, 4, 408, 197, -1}, {e.HScroll1, 208, 409, 233, 20},
        {e.ZDXJZS, 445, 409, 41, 20}, {e.CHARU, 494, 409, 41, 20}, {e.QinKong, 543, 409, 41, 20},
        {e.BCBXJ, 592, 409, 41, 20}, {e.Picture5, 0, 432, 417, 41}, {e.YINDIAO, 0, 11, -1, -1},
        {e.DQYD, 32, 8, 40, -1}, {e.SUDU, 80, 11, -1, -1}, {e.DQSUDU, 120, 8, 45, -1}, {e.Label5, 168, 10, -1, -1},
        {e.JZLX, 240, 11, -1, -1}, {e.Picture2, 309, 0, 107, 37}, {e.Picture6, 444, 432, 188, 65},
        {e.Label2, 423, 440, 25, 49}, {e.Label3, 8, 480, 409, 17}, {e.Label9, 0, 500, 745, 41},
    };
    const int captionY[12] = {30, 62, 94, 126, 158, 190, 222, 250, 282, 315, 347, 380};
    const int listY[12] = {29, 61, 93, 125, 158, 190, 222, 250, 282, 314, 346, 378};
    const int volumeY[12] = {0, 33, 65, 98, 131, 163, 196, 224, 256, 288, 320, 352};
    for (int i = 0; i < 12; ++i) {
        places.push_back({i < 10 ? e.Label1[i] : i == 10 ? e.Label6 : e.Label8, 0, captionY[i], -1, -1});
        places.push_back({e.SYYQ[i], 64, listY[i], 97, -1});
        places.push_back({e.YQYL[i], 0, volumeY[i], 49, -1});
    }
    for (int i = 0; i < 7; ++i) {
        places.push_back({e.YF1[i], 0, 32 * i, 325, 27});
        EXPECT_EQ(e.YF1[i]->palette().color(QPalette::Base), forms::QBColor(i + 1));   // row colours
    }
    for (int r = 0; r < 5; ++r) places.push_back({e.DJY[r][0], 0, 224 + 32 * r, 20, 20});
    for (int i = 0; i < 3; ++i) places.push_back({e.JPFL[i], 35 * i, 0, 33, 33});
    for (const Place& p : places) {
        const QRect g = p.control->geometry();
        EXPECT_EQ(g.topLeft(), QPoint(p.x, p.y)) << p.x << " " << p.y;
        EXPECT_EQ(QSize(p.w < 0 ? g.width() : p.w, p.h < 0 ? g.height() : p.h), g.size()) << p.x << " " << p.y;
    }
    EXPECT_EQ(QSize(e.width() + 6, e.height()), QSize(forms::twipsToPx(11300), 543));   // the 2/4 window
    for (int i = 0; i < 3; ++i) {
        const QString metre = QStringLiteral("%1/4").arg(i + 2);
        EXPECT_EQ(e.JPFL[i]->text(), metre);
        EXPECT_EQ(e.JPFL[i]->toolTip(), "选择音乐节奏类型为" + metre + "拍！");
    }
    for (QComboBox* list : {e.SYYQ[0], e.SYYQ[11], e.DQYD, e.ComDevies, e.yinzi}) EXPECT_FALSE(list->isEditable());
    EXPECT_TRUE(e.DQSUDU->isEditable() && e.YQYL[0]->isEditable());   // tempo and volumes may be typed
    EXPECT_EQ(e.XJXSS->palette().color(QPalette::WindowText), QColor(255, 192, 255));
    EXPECT_EQ(e.Label7->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(e.YYDS->interval(), 100);
    EXPECT_EQ(e.Lyjsj->interval(), 1000);
}

TEST_F(EditorWindow, TheControlsAreDrawnAsDesignedAndReadable)
{
    editor::YYBJ& e = openActive();
    // The colours of the pixels of `area` of a control as the window draws it.
    auto colours = [&e](QWidget* w, const QRect& area) {
        const QImage im = e.grab(QRect(w->mapTo(&e, area.topLeft()), area.size())).toImage();
        std::set<QRgb> found;
        for (int y = 0; y < im.height(); ++y)
            for (int x = 0; x < im.width(); ++x) found.insert(im.pixel(x, y));
        return found;
    };
    // Those within a button's 2-px border, its caption taken away.
    auto inside = [&](QAbstractButton* b) {
        const QString caption = b->text();
        b->setText(QString());
        const std::set<QRgb> found = colours(b, b->rect().adjusted(2, 2, -3, -3));
        b->setText(caption);
        return found;
    };
    // "颤音" and "渐强弱": dark text on a light face (the first letter and the face around it).
    for (QCheckBox* c : e.Check1) {
        QStyleOptionButton option;
        option.initFrom(c);
        const int letter = c->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, c).left();
        std::set<int> greys;
        for (QRgb p : colours(c, QRect(letter, 0, 8, c->height()))) greys.insert(qGray(p));
        EXPECT_LE(*greys.begin(), 64) << c->text().toStdString();
        EXPECT_GE(*greys.rbegin(), 180) << c->text().toStdString();
    }
    // Options and check boxes drawn as buttons show their face only; so do the flat buttons, in
    // their table colours.
    for (QAbstractButton* b : {(QAbstractButton*)e.ST1, (QAbstractButton*)e.ST2, (QAbstractButton*)e.JPFL[1],
                               (QAbstractButton*)e.LUYINJI[0], (QAbstractButton*)e.LUYINJI[3]})
        EXPECT_EQ(inside(b).size(), 1u) << b->text().toStdString();
    EXPECT_EQ(inside(e.BCBXJ), std::set<QRgb>{qRgb(192, 192, 255)});
    EXPECT_EQ(inside(e.BCBJ), std::set<QRgb>{qRgb(255, 192, 192)});
    // Every tempo 50..255 is shown whole in the 45-px box: its digits, the margins and the cursor.
    QLineEdit* tempo = e.DQSUDU->lineEdit();
    EXPECT_EQ(e.DQSUDU->width(), 45);
    int widest = 0;
    for (int v = 50; v <= 255; ++v) widest = std::max(widest, tempo->fontMetrics().horizontalAdvance(QString::number(v)));
    EXPECT_LE(widest + 5, tempo->width());
    // The explanation stands whole inside its label: no letter reaches its bottom edge.
    EXPECT_LE(e.Label9->heightForWidth(e.Label9->width()), e.Label9->height());
    const int bottom = e.Label9->height() - 1;
    EXPECT_EQ(colours(e.Label9, QRect(0, bottom, e.Label9->width(), 1)), std::set<QRgb>{qRgb(64, 64, 64)});
    // During an audition "从开始处启动" looks disabled.
    const QImage enabled = e.ST2->grab().toImage();
    QTest::mouseClick(e.ST1, Qt::LeftButton);
    ASSERT_FALSE(e.ST2->isEnabled());
    EXPECT_TRUE(e.ST2->grab().toImage() != enabled);
}

TEST_F(EditorWindow, CaptionsOfOptionsDrawnAsButtonsAreCentredAndTheWholeFaceTakesAClick)
{
    editor::YYBJ& e = openActive();
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{   // both windows
             e.JPFL[0], e.JPFL[1], e.JPFL[2], e.LUYINJI[0], e.LUYINJI[3], e.ST2, form->Option2[0], form->Option3[22]}) {
        const QImage im = b->grab().toImage();
        int left = im.width(), right = -1;   // the dark caption pixels inside the 2-px bevel
        for (int y = 2; y < im.height() - 2; ++y)
            for (int x = 2; x < im.width() - 2; ++x)
                if (qGray(im.pixel(x, y)) < 110) left = std::min(left, x), right = std::max(right, x);
        right = im.width() - 1 - right;
        EXPECT_LE(std::abs(left - right), 2) << b->text().toStdString();
        EXPECT_GE(right, 3) << b->text().toStdString();   // clear of the right bevel
        EXPECT_NE(im.pixel(0, 0), im.pixel(im.width() / 2, 3)) << b->text().toStdString();   // a bevel
    }
    QTest::mouseClick(e.ST2, Qt::LeftButton, {}, QPoint(4, 42));
    EXPECT_TRUE(e.ST2->isChecked());
}

}  // namespace
