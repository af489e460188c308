// The key settings panel on the running main window: key selection, the lists, the effect
// files, "停止" and "保存", and what the next activation reads back.
#include "forms/textfile.h"
#include "platform/wave_player.h"
#include "platform/sound_check.h"
#include "resources/strings.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTest>

using testing_support::MainWindowFixture;

namespace {

class SettingsPanel : public MainWindowFixture {
protected:
    keyboard::Form1& openSettingsTab()
    {
        keyboard::Form1& f = form ? *form : start();
        QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
        return f;
    }
    std::array<int, 3> listIndexes(const keyboard::Form1& f) const
    {
        return {f.YQSZ[0]->currentIndex(), f.YQSZ[1]->currentIndex(), f.YQSZ[2]->currentIndex()};
    }
    static std::array<int, 3> preset(int key)
    {
        const auto& row = midi::state().PresetTable[key];
        return {row[0], row[1], row[2]};
    }
    QByteArray settingsBytes() const
    {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Note-ons sent on the percussion channel, as keys.
    std::vector<int> drumKeys() const
    {
        std::vector<int> keys;
        for (uint32_t v : midi.sent())
            if ((v & 0xFF) == 0x99) keys.push_back(int((v >> 8) & 0xFF));
        return keys;
    }
    void makeEffectFile(const QString& name)
    {
        ASSERT_TRUE(sound_check::writeSound(appFolder + QStringLiteral("音效/") + name,
                                            sound_check::tone(660, 22050, 1, 0.2), 22050, 1,
                                            SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    }
};

TEST_F(SettingsPanel, SaveRightAfterStartWritesTheDefaultLinesByteForByte)
{
    keyboard::Form1& f = start();
    const QByteArray created = settingsBytes();
    f.BCSZ->click();
    EXPECT_EQ(f.FJWZ->text(), "成功保存本次设置");
    const QByteArray saved = settingsBytes();
    EXPECT_EQ(saved, forms::encodeGbk(res::LoadResString(508)));
    EXPECT_EQ(saved, created.left(created.size() - 2));   // without the empty 53rd line
    EXPECT_TRUE(saved.startsWith(" 3 \r\n 0 \r\n 0 \r\n 19 \r\n"));
}

TEST_F(SettingsPanel, FailedSaveSaysSoAndNeverReportsSuccess)
{
    keyboard::Form1& f = start();
    midi::state().AppFolder = appFolder + QStringLiteral("gone/");
    f.BCSZ->click();
    EXPECT_NE(f.FJWZ->text(), "成功保存本次设置");
    EXPECT_EQ(f.FJWZ->text(), "保存设置失败！");
    EXPECT_FALSE(QFile::exists(appFolder + QStringLiteral("gone/velqor.ini")));
}

TEST_F(SettingsPanel, SelectingKeysShowsTheirAssignments)
{
    keyboard::Form1& f = openSettingsTab();
    for (QRadioButton* key : f.Option3)   // each caption fits inside its key
        EXPECT_LE(key->sizeHint().width(), key->width()) << key->text().toStdString();
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{3, 0, 0}));   // the tab shows F1
    EXPECT_EQ(f.YQSZ[0]->currentText(), "3.酒吧钢琴");
    EXPECT_TRUE(f.YQSZ[0]->isVisibleTo(&f));
    EXPECT_FALSE(f.YQSZ[3]->isVisibleTo(&f));
    EXPECT_FALSE(f.File2->isVisibleTo(&f));

    f.Option3[2]->setChecked(true);   // F3
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{76, 0, 0}));
    f.Option3[4]->setChecked(true);   // F5
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{83, 86, 101}));
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 86, 101}));

    midi.clear();
    f.Option3[12 + 7]->setChecked(true);   // keypad 7
    EXPECT_TRUE(f.YQSZ[3]->isVisibleTo(&f));
    EXPECT_FALSE(f.YQSZ[0]->isVisibleTo(&f));
    EXPECT_EQ(f.YQSZ[3]->currentIndex(), 17);
    const std::vector<int> keys = drumKeys();
    ASSERT_FALSE(keys.empty());
    for (int k : keys) EXPECT_EQ(k, 17 + 35);
    EXPECT_EQ(midi::state().PadIndex, 7);

    // Muted previews: the keypad digit is shown, nothing sounds.
    f.Check1->setChecked(true);
    EXPECT_EQ(f.Check1->text(), "有声设置");
    midi.clear();
    f.Option3[12 + 0]->setChecked(true);
    EXPECT_EQ(f.YQSZ[3]->currentIndex(), 3);
    EXPECT_TRUE(drumKeys().empty());
    f.Check1->setChecked(false);
    EXPECT_EQ(f.Check1->text(), "静音设置");
}

TEST_F(SettingsPanel, KeypadSelectorPreviewsItsOwnDrumAfterAKeypadKeyPlayedAnother)
{
    keyboard::Form1& f = openSettingsTab();
    QApplication::setActiveWindow(&f);
    QTest::mouseClick(f.Option3[12 + 7], Qt::LeftButton);   // keypad 7: drum 17
    ASSERT_EQ(f.YQSZ[3]->currentIndex(), 17);
    ASSERT_EQ(QApplication::focusWidget(), f.SFYXYZ);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::KeypadModifier);   // drum 22
    ASSERT_EQ(drumKeys().back(), 22 + 35);
    // The list already shows drum 17, so only the selector's own preview sounds.
    midi.clear();
    QTest::mouseClick(f.Option3[12 + 7], Qt::LeftButton);
    EXPECT_EQ(drumKeys(), std::vector<int>{17 + 35});
}

TEST_F(SettingsPanel, ListsStoreAtOnceUntilTheNextActivationRereadsTheFile)
{
    keyboard::Form1& f = openSettingsTab();
    f.Option3[4]->setChecked(true);   // F5
    f.YQSZ[1]->setCurrentIndex(41);
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 41, 101}));

    f.VsbVol->setCurrentIndex(2);   // rhythm velocity "70"
    QApplication::setActiveWindow(&f);
    QTest::mouseClick(f.Option3[12 + 2], Qt::LeftButton);   // keypad 2
    midi.clear();
    f.YQSZ[3]->setFocus();
    QTest::keyClick(f.YQSZ[3], Qt::Key_Home);   // the first drum of the list
    EXPECT_EQ(midi::state().KeypadDrums[2], 0);
    // Rebuilt with the rhythm velocity of the rhythm panel, sounded, and the keys given back.
    EXPECT_EQ(midi::state().PercussionCells[5][2].Msg, 70 * 65536 + 35 * 256 + 0x99);
    EXPECT_EQ(drumKeys(), std::vector<int>{35});
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);

    f.Form_Activate();   // e.g. back from the editor, without "保存"
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 86, 101}));
    EXPECT_EQ(midi::state().KeypadDrums[2], 22);
}

TEST_F(SettingsPanel, ReopenedTabSelectsF1AndShowsIt)
{
    keyboard::Form1& f = openSettingsTab();
    QApplication::setActiveWindow(&f);
    EXPECT_TRUE(f.Option3[0]->isChecked());   // the tab shows F1, selected
    QTest::mouseClick(f.Option3[4], Qt::LeftButton);   // F5: lists show 83 86 101
    ASSERT_EQ(listIndexes(f), (std::array<int, 3>{83, 86, 101}));
    QTest::mouseClick(f.Xxk[0], Qt::LeftButton);
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    // What the lists show is the key selected: F1, and a change goes into F1, never into F5.
    EXPECT_TRUE(f.Option3[0]->isChecked());
    EXPECT_FALSE(f.Option3[4]->isChecked());
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{3, 0, 0}));
    f.YQSZ[1]->setCurrentIndex(44);
    EXPECT_EQ(preset(0), (std::array<int, 3>{3, 44, 0}));
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 86, 101}));

    // With a keypad digit selected the tab comes back on F1 as well; the digit keeps its drum.
    QTest::mouseClick(f.Option3[12 + 5], Qt::LeftButton);   // keypad 5 holds 23
    QTest::mouseClick(f.Xxk[0], Qt::LeftButton);
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    EXPECT_TRUE(f.Option3[0]->isChecked());
    EXPECT_EQ(midi::state().KeypadDrums[5], 23);
    f.YQSZ[0]->setCurrentIndex(40);
    EXPECT_EQ(midi::state().KeypadDrums[5], 23);
    EXPECT_EQ(preset(0), (std::array<int, 3>{40, 44, 0}));
    // Opened again with F1 still selected, the lists show F1 as it is.
    QTest::mouseClick(f.Xxk[0], Qt::LeftButton);
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{40, 44, 0}));
}

TEST_F(SettingsPanel, ReadingTheFileAgainShowsTheSelectedKeysValues)
{
    keyboard::Form1& f = openSettingsTab();
    QApplication::setActiveWindow(&f);
    QTest::mouseClick(f.Option3[4], Qt::LeftButton);   // F5
    f.YQSZ[1]->setCurrentIndex(41);                     // an edit, never saved
    f.Form_Activate();                                  // back from the editor
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 86, 101}));
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{83, 86, 101}));

    QTest::mouseClick(f.Option3[12 + 2], Qt::LeftButton);   // keypad 2 holds 22
    f.YQSZ[3]->setCurrentIndex(9);
    openDevice();
    f.Form_Activate();
    EXPECT_EQ(f.YQSZ[3]->currentIndex(), 22);
    EXPECT_EQ(midi::state().KeypadDrums[2], 22);
    // Shown, not stored again: the file's message stands, and nothing is previewed.
    EXPECT_EQ(midi::state().PercussionCells[5][2].Msg, 100 * 65536 + (22 + 35) * 256 + 0x99);
    EXPECT_TRUE(drumKeys().empty());
}

TEST_F(SettingsPanel, LayerLabelsStandOnlyBesideTheInstrumentLists)
{
    keyboard::Form1& f = openSettingsTab();
    auto labelsShown = [&f] {
        int shown = 0;
        for (QLabel* label : f.YQSZLabel) shown += label->isVisibleTo(&f);
        return shown;
    };
    EXPECT_EQ(f.YQSZLabel[0]->text(), QStringLiteral("乐器一"));
    EXPECT_EQ(labelsShown(), 3);
    QTest::mouseClick(f.Option3[12 + 3], Qt::LeftButton);   // keypad: the percussion list
    EXPECT_EQ(labelsShown(), 0);
    QTest::mouseClick(f.Option3[1], Qt::LeftButton);        // F2
    EXPECT_EQ(labelsShown(), 3);
    QTest::mouseClick(f.Option3[23], Qt::LeftButton);       // "Hom": the effect files
    EXPECT_EQ(labelsShown(), 0);
    QTest::mouseClick(f.Xxk[0], Qt::LeftButton);
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    EXPECT_EQ(labelsShown(), 3);
}

TEST_F(SettingsPanel, EffectKeysPreviewOnlyFilesThatExistAndTakeClickedFiles)
{
    makeEffectFile(QStringLiteral("玻璃1.wav"));
    makeEffectFile(QStringLiteral("新音效.wav"));
    QDir().mkpath(appFolder + QStringLiteral("音效/子文件夹"));
    keyboard::Form1& f = openSettingsTab();

    QStringList listed;
    for (int i = 0; i < f.File2->count(); ++i) listed << f.File2->item(i)->text();
    EXPECT_EQ(listed, (QStringList{"新音效.wav", "玻璃1.wav"}) ) << listed.join(",").toStdString();

    f.XSWB->setText("-");
    f.Option3[25]->setChecked(true);   // "Del": 瓦碎.wav is missing
    EXPECT_TRUE(f.File2->isVisibleTo(&f));
    EXPECT_FALSE(f.YQSZ[0]->isVisibleTo(&f));
    EXPECT_FALSE(f.YQSZ[3]->isVisibleTo(&f));
    EXPECT_EQ(f.XSWB->text(), "-");
    EXPECT_TRUE(f.LastFilePath.isEmpty());

    f.Option3[22]->setChecked(true);   // "Ins": 玻璃1.wav exists
    EXPECT_EQ(f.XSWB->text(), "玻璃1.wav_音效");
    EXPECT_EQ(f.LastFilePath, appFolder + QStringLiteral("音效/玻璃1.wav"));
    EXPECT_EQ(platform::LastSoundRequest().path, f.LastFilePath);
    EXPECT_FALSE(platform::LastSoundRequest().loop);
    // "循环播放" ticked: the preview loops; "停止" ends it.
    f.Check2->setChecked(true);
    QTest::mouseClick(f.Option3[22], Qt::LeftButton);
    EXPECT_EQ(platform::LastSoundRequest().path, f.LastFilePath);
    EXPECT_TRUE(platform::LastSoundRequest().loop);
    QTest::mouseClick(f.SHUAXIN, Qt::LeftButton);
    EXPECT_TRUE(platform::LastSoundRequest().path.isEmpty());
    f.Check2->setChecked(false);
    f.Option3[22]->setChecked(true);

    // A clicked file becomes the selected editing key's sound.
    f.File2->setCurrentRow(0);
    emit f.File2->itemClicked(f.File2->item(0));
    EXPECT_EQ(midi::state().EffectWavNames[0], "新音效.wav");
    EXPECT_EQ(f.XSWB->text(), "新音效.wav_音效");
    f.BCSZ->click();
    midi::state().EffectWavNames[0].clear();
    f.Form_Activate();
    EXPECT_EQ(midi::state().EffectWavNames[0], "新音效.wav");

    // With a function key selected a clicked file is previewed but stored nowhere.
    f.Option3[1]->setChecked(true);
    f.File2->setCurrentRow(1);
    emit f.File2->itemClicked(f.File2->item(1));
    EXPECT_EQ(midi::state().EffectWavNames[0], "新音效.wav");
}

TEST_F(SettingsPanel, EffectListHighlightsTheFileTheSelectedKeyHas)
{
    for (const char* name : {"玻璃1.wav", "雷声🎵.wav"}) makeEffectFile(QString::fromUtf8(name));
    keyboard::Form1& f = openSettingsTab();
    QTest::mouseClick(f.Option3[22], Qt::LeftButton);   // "Ins": 玻璃1.wav
    EXPECT_EQ(f.File2->selectedItems(), QList{f.File2->item(0)});
    QTest::mouseClick(f.Option3[25], Qt::LeftButton);   // "Del": its file is missing
    EXPECT_TRUE(f.File2->selectedItems().isEmpty());
    // A refused name leaves the file of "Ins" highlighted.
    QTest::mouseClick(f.Option3[22], Qt::LeftButton);
    QTest::mouseClick(f.File2->viewport(), Qt::LeftButton, {}, f.File2->visualItemRect(f.File2->item(1)).center());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(f.File2->selectedItems(), QList{f.File2->item(0)});
}

TEST_F(SettingsPanel, EffectNamesTheFileCannotHoldAreRefused)
{
    makeEffectFile(QStringLiteral("雷声🎵.wav"));
    keyboard::Form1& f = openSettingsTab();
    QApplication::setActiveWindow(&f);
    QTest::mouseClick(f.Option3[22], Qt::LeftButton);   // "Ins"
    ASSERT_EQ(f.File2->count(), 1);
    const QRect item = f.File2->visualItemRect(f.File2->item(0));
    QTest::mouseClick(f.File2->viewport(), Qt::LeftButton, {}, item.center());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].contains(QStringLiteral("“🎵”"))) << dialogs.messages[0].toStdString();
    EXPECT_EQ(midi::state().EffectWavNames[0], QStringLiteral("玻璃1.wav"));
    EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);   // the keys play again after the box

    // Such a name read from a file written elsewhere (UTF-8) is never saved as "?".
    QStringList lines = forms::splitLines(res::LoadResString(508));
    lines[47] = QStringLiteral("雷声🎵.wav");
    ASSERT_TRUE(forms::writeBytes(settingsPath(), (lines.join("\r\n") + "\r\n").toUtf8()));
    const QByteArray before = settingsBytes();
    f.Form_Activate();
    ASSERT_EQ(midi::state().EffectWavNames[1], QStringLiteral("雷声🎵.wav"));
    dialogs.messages.clear();
    QTest::mouseClick(f.BCSZ, Qt::LeftButton);
    EXPECT_NE(f.FJWZ->text(), QStringLiteral("成功保存本次设置"));
    EXPECT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(settingsBytes(), before);
}

TEST_F(SettingsPanel, StopClearsEveryKeyButEndAndPdo)
{
    keyboard::Form1& f = openSettingsTab();
    ASSERT_TRUE(f.Option3[0]->isChecked());   // the tab shows F1
    QTest::mouseClick(f.SHUAXIN, Qt::LeftButton);
    EXPECT_FALSE(f.Option3[0]->isChecked());
    f.YQSZ[0]->setCurrentIndex(100);
    EXPECT_EQ(preset(0), (std::array<int, 3>{3, 0, 0}));

    f.Option3[2]->setChecked(true);
    f.SHUAXIN->click();
    for (int k = 0; k < 28; ++k) EXPECT_FALSE(f.Option3[k]->isChecked()) << k;
    // With nothing selected the lists store nothing.
    f.YQSZ[0]->setCurrentIndex(100);
    EXPECT_EQ(preset(2), (std::array<int, 3>{76, 0, 0}));

    f.Option3[26]->setChecked(true);   // "End"
    f.SHUAXIN->click();
    EXPECT_TRUE(f.Option3[26]->isChecked());
    // The cleared buttons can be chosen again.
    f.Option3[2]->setChecked(true);
    EXPECT_TRUE(f.Option3[2]->isChecked());
    EXPECT_FALSE(f.Option3[26]->isChecked());
}

TEST_F(SettingsPanel, ValuesOutsideTheListsAreReplacedByTheirDefaults)
{
    QStringList lines = forms::splitLines(res::LoadResString(508));
    lines[0] = " 200 ";     // F1 layer 1
    lines[13] = "-5 ";      // F5 layer 2
    lines[36] = " 60 ";     // keypad 0
    lines[37] = "-1 ";      // keypad 1: "no drum" is kept
    ASSERT_TRUE(forms::writeLines(settingsPath(), lines));
    keyboard::Form1& f = openSettingsTab();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(preset(0), (std::array<int, 3>{3, 0, 0}));
    EXPECT_EQ(preset(4), (std::array<int, 3>{83, 86, 101}));
    EXPECT_EQ(midi::state().KeypadDrums[0], 3);
    EXPECT_EQ(midi::state().PercussionCells[5][0].Msg, 100 * 65536 + 38 * 256 + 0x99);
    EXPECT_EQ(midi::state().KeypadDrums[1], -1);
    EXPECT_EQ(listIndexes(f), (std::array<int, 3>{3, 0, 0}));
    f.Option3[12]->setChecked(true);
    EXPECT_EQ(f.YQSZ[3]->currentIndex(), 3);
}

TEST_F(SettingsPanel, ShortFileIsRewrittenWithTheDefaultsAndTheProgramEnds)
{
    QStringList lines = forms::splitLines(res::LoadResString(508));
    lines.removeLast();
    ASSERT_TRUE(forms::writeLines(settingsPath(), lines));
    start();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].startsWith("读取设置文件出错，软件需重新启动!\n"));
    EXPECT_EQ(endCount, 1);
    EXPECT_EQ(settingsBytes(), forms::encodeGbk(keyboard::DefaultSettingsText()));
}

}  // namespace
