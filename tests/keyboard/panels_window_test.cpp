// The main window's tabs, help, melody panel, clock line, keyboard map, small window, showcase
// page and editor button.
#include "forms/geometry.h"
#include "forms/windows.h"
#include "keyboard/panel_texts.h"
#include "resources/strings.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>

using testing_support::MainWindowFixture;

namespace {

class MainPanels : public MainWindowFixture {
protected:
    // Sent values as (status, data1, data2).
    std::vector<std::array<int, 3>> messages() const
    {
        std::vector<std::array<int, 3>> out;
        for (uint32_t v : midi.sent()) out.push_back({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)});
        return out;
    }
};

TEST_F(MainPanels, EachTabShowsItsPanelAndTextsAndGivesTheKeysBack)
{
    keyboard::Form1& f = start();
    QApplication::setActiveWindow(&f);
    struct Tab {
        int index;
        const char* title;
        const char* hint;
    };
    const Tab tabs[] = {
        {1, "和弦调整。。。", "选择即将使用的乐器以及音量等参数！"},
        {2, "节奏调整。。。", "选择即将使用的乐器以及设置节奏类型音量等参数！"},
        {4, "查看帮助。。。", "了解本软件的各种功能及使用技巧等！"},
        {5, "键位设置。。。", "设置常用的快速切换按键值，保存以后下次使用本软件时将自动加载最后的设置！"},
        {0, "旋律调整。。。", "选择即将使用的乐器以及旋律的音调音量等参数！"},
    };
    for (const Tab& t : tabs) {
        f.Text3->setFocus();
        f.SFYXYZ->setEnabled(false);
        f.Xxk[t.index]->setChecked(true);
        for (int i : {0, 1, 2, 4, 5}) EXPECT_EQ(f.Jiezhou[i]->isVisibleTo(&f), i == t.index) << t.index << " " << i;
        EXPECT_EQ(f.FJWZ->text(), t.title);
        EXPECT_EQ(f.XSWB->text(), t.hint);
        EXPECT_TRUE(f.SFYXYZ->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ) << t.index;
    }
}

TEST_F(MainPanels, ClickOnTheTabOrTopicAlreadyShownGivesTheKeysBack)
{
    keyboard::Form1& f = start();
    QApplication::setActiveWindow(&f);
    auto leaveKeys = [&f] {
        QTest::mouseClick(f.Text3, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), f.Text3);
    };
    ASSERT_TRUE(f.Xxk[0]->isChecked());
    leaveKeys();
    QTest::mouseClick(f.Xxk[0], Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    EXPECT_TRUE(f.SFYXYZ->isEnabled());
    EXPECT_EQ(f.FJWZ->text(), QStringLiteral("旋律调整。。。"));

    QTest::mouseClick(f.Xxk[4], Qt::LeftButton);
    ASSERT_TRUE(f.Option2[0]->isChecked());
    f.Text1->clear();
    leaveKeys();
    QTest::mouseClick(f.Option2[0], Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    EXPECT_EQ(f.Text1->toPlainText(), res::LoadResString(500).replace("\r\n", "\n"));

    // One click, one run: the selected keypad digit is previewed once more.
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    QTest::mouseClick(f.Option3[12 + 7], Qt::LeftButton);
    openDevice();
    QTest::mouseClick(f.Option3[12 + 7], Qt::LeftButton);
    int drums = 0;
    for (const auto& m : messages()) drums += m[0] == 0x99;
    EXPECT_EQ(drums, 1);

    // So does ticking the chord start or the automatic synchronisation: the space bar is the keys'
    // stop, which ends the chord clock and leaves "自动同步" ticked.
    for (auto [tab, box] : {std::pair{1, f.Check6}, std::pair{2, f.Check5}}) {
        QTest::mouseClick(f.Xxk[tab], Qt::LeftButton);
        QTest::mouseClick(box, Qt::LeftButton);
        ASSERT_EQ(QApplication::focusWidget(), f.SFYXYZ) << tab;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        EXPECT_EQ(box->isChecked(), box == f.Check5) << tab;
        EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ) << tab;
    }
}

TEST_F(MainPanels, HelpTabShowsTheFirstTopicAndTopicsShowTheirTexts)
{
    keyboard::Form1& f = start();
    f.Xxk[4]->setChecked(true);
    EXPECT_TRUE(f.Option2[0]->isChecked());
    // The text box shows the text's CR LF line ends as line breaks.
    auto shown = [](int id) { return res::LoadResString(id).replace("\r\n", "\n"); };
    EXPECT_EQ(f.Text1->toPlainText(), shown(500));
    f.Option2[5]->click();   // "迷你窗口"
    EXPECT_EQ(f.Text1->toPlainText(), shown(505));
    for (int i = 0; i < 7; ++i) EXPECT_FALSE(res::LoadResString(500 + i).isEmpty()) << i;
}

TEST_F(MainPanels, VibratoSendsModulationAndEffectsDepth)
{
    keyboard::Form1& f = start();
    openDevice();
    f.Check3[1]->setChecked(true);
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{{0xB1, 1, 120}, {0xB1, 91, 120}}));
    midi.clear();
    f.Check3[1]->setChecked(false);
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{{0xB1, 1, 0}, {0xB1, 91, 0}}));
}

TEST_F(MainPanels, AnotherDeviceIsOpenedAndGetsTheMelodyInstruments)
{
    keyboard::Form1& f = start();
    QApplication::setActiveWindow(&f);
    ASSERT_GE(f.ComDevies->count(), 2);
    EXPECT_FALSE(f.ComDevies->isEditable());
    midi.clear();
    f.ComDevies->setFocus();
    QTest::keyClick(f.ComDevies, Qt::Key_Down);   // the next device
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);   // and the keys play again
    ASSERT_GE(midi.events.size(), 2u);
    EXPECT_EQ(midi.events[0].kind, platform::CaptureMidiService::Kind::Close);
    EXPECT_EQ(midi.events[1].kind, platform::CaptureMidiService::Kind::Open);
    EXPECT_EQ(midi.events[1].device, f.ComDevies->itemData(1).toInt());
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{{0xB0, 0, 0}, {0xC0, 51, 0}, {0xB1, 0, 0},
                                                           {0xC1, 14, 0}, {0xB2, 0, 0}, {0xC2, 78, 0}}));
}

TEST_F(MainPanels, AWheelOverAListWithoutTheFocusChangesNothing)
{
    keyboard::Form1& f = start();
    QApplication::setActiveWindow(&f);
    midi.clear();
    int reached = 0;
    for (int tab : {0, 1, 2, 5}) {
        QTest::mouseClick(f.Xxk[tab], Qt::LeftButton);
        for (QComboBox* list : f.findChildren<QComboBox*>()) {
            if (!list->isVisible()) continue;
            const QString before = list->currentText();
            ASSERT_TRUE(wheelOver(list)) << before.toStdString();
            EXPECT_EQ(list->currentText(), before);
            ++reached;
        }
    }
    EXPECT_EQ(reached, 20);
    EXPECT_TRUE(midi.events.empty());
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);   // the keys still play
}

TEST_F(MainPanels, SilencingALayerEndsItsNoteAndKeepsItsProgram)
{
    keyboard::Form1& f = start();
    EXPECT_FALSE(f.ComSounds[2]->isEditable());
    auto& s = midi::state();
    s.LastKey = 24;
    midi.clear();
    f.ComSounds[2]->setCurrentIndex(0);
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{{0x82, 24 + 36, 0}}));
    EXPECT_EQ(s.ChannelProgram[2], 79);

    midi.clear();
    f.ComSounds[2]->setCurrentIndex(41);
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{{0xB2, 0, 0}, {0xC2, 40, 0}}));
    EXPECT_EQ(s.ChannelProgram[2], 41);
}

TEST_F(MainPanels, ChangingTheKeyEndsTheSoundingNoteWithTheOldBaseNote)
{
    keyboard::Form1& f = start();
    EXPECT_FALSE(f.YD->isEditable());
    auto& s = midi::state();
    EXPECT_EQ(s.BaseNote, 36);
    s.LastKey = 24;
    midi.clear();
    f.YD->setCurrentIndex(2);   // "D"
    EXPECT_EQ(s.BaseNote, 38);
    // The melody note, then both chord voices (which sound nothing yet).
    EXPECT_EQ(messages(), (std::vector<std::array<int, 3>>{
                              {0x80, 60, 0}, {0x81, 60, 0}, {0x82, 60, 0}, {0x82, 48, 0}, {0x83, 36, 0}, {0x84, 36, 0}}));
    // The lowest key ("6", token LC) now sounds D.
    midi.clear();
    QTest::keyClick(f.SFYXYZ, Qt::Key_6);
    bool sounded = false;
    for (const auto& m : messages()) sounded |= m[0] == 0x90 && m[1] == 38 && m[2] > 0;
    EXPECT_TRUE(sounded);
    f.YD->setCurrentIndex(11);   // "B"
    EXPECT_EQ(s.BaseNote, 47);
}

TEST_F(MainPanels, VelocitiesFollowTheListAndTypedTextWithinRange)
{
    keyboard::Form1& f = start();
    auto& s = midi::state();
    EXPECT_EQ(s.ChannelVelocity[0], 70);
    f.Zxlyl[0]->setCurrentIndex(6);   // "120"
    EXPECT_EQ(s.ChannelVelocity[0], 120);

    QLineEdit* typed = f.Zxlyl[1]->lineEdit();
    ASSERT_NE(typed, nullptr);
    typed->clear();
    QTest::keyClicks(typed, "300");
    EXPECT_EQ(s.ChannelVelocity[1], 127);
}

TEST_F(MainPanels, ClockTicksWriteTheTimeAndTurnTheCreditLine)
{
    keyboard::Form1& f = start();
    EXPECT_EQ(f.SjXs->text(), "2011-12-30 23-59-59");
    const QString credit = f.Label8->text();
    EXPECT_EQ(credit, keyboard::creditLine());
    f.Timer2->tick();
    EXPECT_TRUE(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d$").match(f.SjXs->text()).hasMatch())
        << f.SjXs->text().toStdString();
    EXPECT_EQ(f.Label8->text(), credit.mid(1) + credit.left(1));
    for (int i = 1; i < credit.size(); ++i) f.Timer2->tick();
    EXPECT_EQ(f.Label8->text(), credit);
}

TEST_F(MainPanels, KeyboardMapGrowsAndShrinksAndTheWindowKeepsItsSize)
{
    keyboard::Form1& f = start();
    QWindow* window = f.windowHandle();
    const QSize full = f.size();
    EXPECT_EQ(f.Picture2->geometry(), QRect(408, 152, 175, 51));
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(495, 177));   // the small map
    EXPECT_EQ(f.Picture2->geometry(), QRect(0, 0, 988, 204));
    EXPECT_EQ(f.Image3->size(), QSize(988, 204));
    EXPECT_EQ(f.Label3->text(), "点击图片收回键盘分布");
    // A click on the big map, where nothing but the map lies when it has shrunk.
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(700, 190));
    EXPECT_EQ(f.Picture2->geometry(), QRect(408, 152, 175, 51));
    EXPECT_EQ(f.Image3->size(), QSize(175, 51));
    EXPECT_EQ(f.Label3->text(), "点击图片查看键盘分布");
    EXPECT_EQ(f.size(), full);
}

TEST_F(MainPanels, ClicksOnTheWindowMakeItSmallAndFullAgain)
{
    keyboard::Form1& f = start();
    auto twips = [&f] { return QSize(forms::pxToTwips(f.width()), forms::pxToTwips(f.height())); };
    EXPECT_EQ(twips(), QSize(14910, 5640));
    const QPoint empty(406, 100);
    ASSERT_EQ(f.childAt(empty), nullptr);
    const QPoint place = f.pos();
    QTest::mouseClick(&f, Qt::RightButton, {}, empty);   // only the left button clicks
    EXPECT_EQ(twips(), QSize(14910, 5640));
    QTest::mouseClick(&f, Qt::LeftButton, {}, empty);
    EXPECT_EQ(twips(), QSize(6210, 3510));
    EXPECT_EQ(f.pos(), place);
    QTest::mouseClick(&f, Qt::LeftButton, {}, empty);
    EXPECT_EQ(twips(), QSize(14910, 5640));

    // An activation forgets the mode but not the size: the next click keeps the window small.
    f.Form_Click();
    f.Form_Activate();
    f.Form_Click();
    EXPECT_EQ(twips(), QSize(6210, 3510));
    f.Form_Click();
    EXPECT_EQ(twips(), QSize(14910, 5640));
}

TEST_F(MainPanels, SmallWindowRestoresWithAClickOnAnyBlankPlace)
{
    keyboard::Form1& f = start();
    QWindow* window = f.windowHandle();
    ASSERT_TRUE(window);
    auto small = [&f] { return forms::pxToTwips(f.width()) == 6210; };
    const QPoint windowEdge(406, 100);
    // Blank places inside the small window: the melody panel's background, and the tab strip
    // beside its tabs.
    const QPoint panel = f.Jiezhou[0]->mapTo(&f, QPoint(380, 160));
    const QPoint strip(f.Xxk[1]->mapTo(&f, QPoint(0, 0)).x() - 1, 16);
    ASSERT_EQ(f.Jiezhou[0]->childAt(QPoint(380, 160)), nullptr);
    for (const QPoint& place : {panel, strip}) {
        QTest::mouseClick(window, Qt::LeftButton, {}, windowEdge);
        ASSERT_TRUE(small());
        ASSERT_TRUE(QRect(0, 0, f.width(), f.height()).contains(place));
        QTest::mouseClick(window, Qt::LeftButton, {}, place);
        EXPECT_FALSE(small()) << place.x() << "," << place.y();
    }
    // A click on the panel of the full window only gives the keys back.
    QTest::mouseClick(window, Qt::LeftButton, {}, panel);
    EXPECT_FALSE(small());
    // The settings panel beside the rows of key selectors: one click, one change of size.
    QTest::mouseClick(window, Qt::LeftButton, {}, f.Xxk[5]->mapTo(&f, QPoint(20, 10)));
    for (const QPoint& place : {QPoint(300, 100), QPoint(350, 75), QPoint(395, 60)}) {
        QTest::mouseClick(window, Qt::LeftButton, {}, windowEdge);
        QTest::mouseClick(window, Qt::LeftButton, {}, place);
        EXPECT_FALSE(small()) << place.x() << "," << place.y();
    }
    // A control is no blank place.
    QTest::mouseClick(window, Qt::LeftButton, {}, windowEdge);
    QTest::mouseClick(f.Check3[0], Qt::LeftButton);
    EXPECT_TRUE(small());
}

TEST_F(MainPanels, ShowcasePageThatCannotBeOpenedSaysSo)
{
    keyboard::Form1& f = start();
    ASSERT_FALSE(QFileInfo::exists(keyboard::showcasePath()));
    f.Command2->click();
    EXPECT_EQ(dialogs.messages, QStringList{"打开网页出错，请检查网络连接！"});
}

TEST_F(MainPanels, EditorButtonHidesTheWindowOnlyWhenAnEditorIsThere)
{
    keyboard::Form1& f = start();
    forms::unregisterWindow(forms::window::Editor);
    f.BJCK->click();
    EXPECT_TRUE(f.isVisible());

    int shown = 0;
    forms::registerWindow(forms::window::Editor, {[&] { ++shown; }, [] {}, [] { return true; }});
    f.BJCK->click();
    forms::unregisterWindow(forms::window::Editor);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.Timer2->enabled());   // hidden, not unloaded
}

}  // namespace
