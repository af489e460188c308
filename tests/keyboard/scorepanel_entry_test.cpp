// The score-entry dialog: saving and opening score files, and going back to the main window.
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/yylr.h"
#include "support/midi_fixture.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

class ScoreEntryTest : public testing_support::MidiFixture {
protected:
    ScoreEntryTest()
    {
        midi::state().AppFolder = dir.path() + "/";
        forms::registerWindow(forms::window::Main, {[this] { ++mainShown; }, [] {}, [] { return false; }});
    }
    ~ScoreEntryTest() override { forms::unregisterWindow(forms::window::Main); }

    QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    int mainShown = 0;
};

TEST_F(ScoreEntryTest, SaveAndOpenRoundTripKeepsChineseAndLineBreaks)
{
    keyboard::YYLR d;
    d.Show();
    d.Text1->setPlainText(QString::fromUtf8("小星星\nKC8KCKGKG\nKAKAKG16TZ"));
    const QString path = dir.filePath("小星星.txt");
    dialogs.saveFiles.push_back(dialogs.file(path));
    d.Command1->click();

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].filter, QString::fromUtf8("乐谱记录txt|*.txt"));
    EXPECT_EQ(dialogs.saveRequests[0].flags & 2, 2);   // asks before overwriting
    EXPECT_EQ(dialogs.saveRequests[0].initialDir, forms::joinPath(dir.path() + "/", "演奏记录/"));
    EXPECT_EQ(bytesOf(path), forms::encodeGbk(QString::fromUtf8("小星星\r\nKC8KCKGKG\r\nKAKAKG16TZ\r\n")));
    EXPECT_EQ(d.EntryPath, path);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // Back to the main window: the typed text is gone, the dialog's fields stay.
    d.FANHUI->click();
    EXPECT_EQ(mainShown, 1);
    EXPECT_FALSE(d.isVisible());
    d.Show();
    EXPECT_TRUE(d.Text1->toPlainText().isEmpty());

    dialogs.openFiles.push_back(dialogs.file(path));
    d.DKYP->click();
    EXPECT_EQ(d.WJMC->text(), QString::fromUtf8("小星星.txt"));
    EXPECT_EQ(d.EntryText, QString::fromUtf8("小星星\r\nKC8KCKGKG\r\nKAKAKG16TZ\r\n"));
    EXPECT_EQ(d.Text1->toPlainText(), QString::fromUtf8("小星星\nKC8KCKGKG\nKAKAKG16TZ\n"));
}

TEST_F(ScoreEntryTest, CancelledOrEmptyChangesNothing)
{
    keyboard::YYLR d;
    d.Show();
    const QString existing = dir.filePath("old.txt");
    ASSERT_TRUE(forms::writeText(existing, "KC8TZ\r\n"));

    // An empty box asks for a name but writes nothing.
    dialogs.saveFiles.push_back(dialogs.file(existing));
    d.Command1->click();
    EXPECT_EQ(bytesOf(existing), QByteArray("KC8TZ\r\n"));

    // A cancelled save writes nothing; a cancelled open keeps the texts.
    d.Text1->setPlainText("KDTZ");
    d.WJMC->setText("name");
    d.Command1->click();
    d.DKYP->click();
    EXPECT_EQ(d.Text1->toPlainText(), "KDTZ");
    EXPECT_EQ(d.WJMC->text(), "name");

    // A chosen name that names no file changes no text either.
    dialogs.openFiles.push_back(dialogs.file(dir.filePath("missing.txt")));
    d.DKYP->click();
    EXPECT_EQ(d.Text1->toPlainText(), "KDTZ");
    EXPECT_EQ(d.WJMC->text(), "name");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ScoreEntryTest, AFailedSaveIsReported)
{
    keyboard::YYLR d;
    d.Show();
    d.Text1->setPlainText("KC8TZ");
    dialogs.saveFiles.push_back(dialogs.file(dir.filePath("no/such/folder/x.txt")));
    d.Command1->click();
    EXPECT_EQ(dialogs.messages.size(), 1);
}

TEST_F(ScoreEntryTest, ClosingTheWindowShowsTheMainWindowAndUnloads)
{
    keyboard::YYLR d;
    EXPECT_TRUE(forms::showWindow(forms::window::ScoreEntry));
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.loaded());
    d.Text1->setPlainText("KC");
    d.close();
    EXPECT_EQ(mainShown, 1);
    EXPECT_FALSE(d.loaded());
    EXPECT_TRUE(d.Text1->toPlainText().isEmpty());
}

}  // namespace
