// The WAV effect keys and the settings panel's effect files: names stay inside the effect
// folder, and a file that is there but cannot be played says so.
#include "platform/sound_check.h"
#include "platform/wave_player.h"
#include "support/main_window_fixture.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTest>

namespace {

class EffectFiles : public testing_support::MainWindowFixture {
protected:
    void writeBytes(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeWav(const QString& path)
    {
        ASSERT_TRUE(sound_check::writeSound(path, sound_check::tone(440, 22050, 1, 0.2), 22050, 1,
                                            SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    }
    QString effect(const QString& name) const { return appFolder + QStringLiteral("音效/") + name; }
    keyboard::Form1& startActive()
    {
        keyboard::Form1& f = start();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
        f.SFYXYZ->setFocus();
        return f;
    }
    // A key pressed where the keyboard focus is.
    static void press(Qt::Key key)
    {
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    QStringList listed(keyboard::Form1& f)
    {
        QStringList names;
        for (int i = 0; i < f.File2->count(); ++i) names << f.File2->item(i)->text();
        return names;
    }
};

TEST_F(EffectFiles, NamesReachingOutsideTheEffectFolderAreMissingFiles)
{
    writeWav(appFolder + "outside.wav");
    writeWav(effect("inside.wav"));
    keyboard::Form1& f = startActive();
    auto& s = midi::state();
    const QString outsideNames[] = {"../outside.wav", "..\\outside.wav", "./../outside.wav", "..", ""};
    for (const QString& name : outsideNames) {
        SCOPED_TRACE(name.toStdString());
        s.EffectWavNames[0] = name;
        s.SoundFlags = 0;
        const int decodes = platform::SoundFileDecodes();
        press(Qt::Key_Insert);
        EXPECT_EQ(s.SoundFlags, 0);   // silent, as for a missing file
        EXPECT_EQ(platform::SoundFileDecodes(), decodes);
        EXPECT_EQ(f.XSWB->text(), name + "_音效");
    }
    // A plain name of the folder plays.
    s.EffectWavNames[0] = "inside.wav";
    press(Qt::Key_Insert);
    EXPECT_EQ(s.SoundFlags, 3);
    EXPECT_EQ(f.XSWB->text(), "inside.wav_音效");

    // The panel previews none of them either.
    s.EffectWavNames[0] = "../outside.wav";
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    f.XSWB->setText("-");
    f.Option3[22]->setChecked(true);   // "Ins"
    EXPECT_EQ(f.XSWB->text(), "-");
    EXPECT_TRUE(f.LastFilePath.isEmpty());
}

TEST_F(EffectFiles, ThePanelListsOnlyPlainFileNamesOfTheFolder)
{
    writeWav(effect("inside.wav"));
    writeWav(effect("..\\outside.wav"));   // a file whose name holds a backslash
    writeWav(effect("a\\b.wav"));
    keyboard::Form1& f = startActive();
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    EXPECT_EQ(listed(f), QStringList{"inside.wav"});
}

TEST_F(EffectFiles, AnEffectFileThatCannotBePlayedSaysSo)
{
    writeBytes(effect("玻璃1.wav"), "");                                // 0 bytes
    writeBytes(effect("雷声3.WAV"), "这不是声音文件，只是一段文字。\r\n");  // text
    writeBytes(effect("刹车2.wav"), QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16));   // cut off
    keyboard::Form1& f = startActive();
    auto& s = midi::state();
    const std::pair<Qt::Key, QString> keys[] = {
        {Qt::Key_Insert, "玻璃1.wav"}, {Qt::Key_Home, "雷声3.WAV"}, {Qt::Key_PageUp, "刹车2.wav"}};
    for (bool loop : {false, true}) {
        f.Check2->setChecked(loop);
        for (const auto& [key, name] : keys) {
            SCOPED_TRACE(name.toStdString());
            press(key);
            EXPECT_EQ(f.XSWB->text(), "无法播放音效文件 " + name);
            EXPECT_EQ(QApplication::focusWidget(), f.SFYXYZ);   // the keyboard goes on
        }
    }
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // A missing file still shows only its name.
    press(Qt::Key_Delete);
    EXPECT_EQ(f.XSWB->text(), s.EffectWavNames[3] + "_音效");

    // The panel's previews say the same.
    QTest::mouseClick(f.Xxk[5], Qt::LeftButton);
    f.Option3[23]->setChecked(true);   // "Hom"
    EXPECT_EQ(f.XSWB->text(), "无法播放音效文件 雷声3.WAV");
    const int row = int(listed(f).indexOf("玻璃1.wav"));
    ASSERT_GE(row, 0);
    f.File2->setCurrentRow(row);
    emit f.File2->itemClicked(f.File2->item(row));
    EXPECT_EQ(f.XSWB->text(), "无法播放音效文件 玻璃1.wav");
}

}  // namespace
