// Files bigger than their kind allows are refused before they are read, with a message, and what
// the window shows stays; saves never leave a half-written file.
#include "accomp_window_fixture.h"
#include "keyboard/chord_patterns.h"
#include "keyboard/rhythm_file.h"
#include "keyboard/yylr.h"
#include "midi/score_notation.h"
#include "support/file_size_limit.h"

#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// `text` as GBK, then `fill` up to exactly `size` bytes.
QByteArray padded(const QString& text, qint64 size, char fill)
{
    QByteArray bytes = forms::encodeGbk(text);
    bytes.append(QByteArray(size - bytes.size(), fill));
    return bytes;
}

class FileLimits : public accomp_testing::AccompWindow {
protected:
    QString patternPath() const { return appFolder + keyboard::kPatternFileName; }
};

TEST_F(FileLimits, AScoreOverTheLimitIsRefusedAndTheScoreInTheWindowStays)
{
    keyboard::Form1& f = startQuiet();
    const QString big = QDir(recordFolder()).filePath("big.txt");
    const QString fits = QDir(recordFolder()).filePath("fits.txt");
    ASSERT_TRUE(forms::writeBytes(big, padded("TZ\r\n", midi::kScoreFileLimit + 1, 'X')));
    ASSERT_TRUE(forms::writeBytes(fits, padded("TZ\r\n", midi::kScoreFileLimit, 'X')));
    f.Text3->setPlainText("KC4KDTZ");
    midi::state().ScoreText = "KC4KDTZ";

    dialogs.openFiles.push_back(dialogs.file(big));
    f.Yuepu[2]->click();
    EXPECT_EQ(dialogs.messages, QStringList{midi::scoreFileTooLargeText()});
    EXPECT_EQ(midi::state().ScoreText, "KC4KDTZ");
    EXPECT_EQ(f.Text3->toPlainText(), "KC4KDTZ");
    EXPECT_NE(f.LastFilePath, big);   // "删除" cannot reach the refused file
    EXPECT_EQ(QFileInfo(big).size(), midi::kScoreFileLimit + 1);

    dialogs.messages.clear();
    dialogs.openFiles.push_back(dialogs.file(fits));
    f.Yuepu[2]->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(midi::state().ScoreText.size(), midi::kScoreFileLimit - 2);   // the line end joined away

    // The score-entry dialog refuses it the same way and keeps what was typed.
    keyboard::YYLR& entry = *f.ScoreEntry;
    entry.Show();
    entry.Text1->setPlainText("KC8KDKE");
    dialogs.messages.clear();
    dialogs.openFiles.push_back(dialogs.file(big));
    entry.DKYP->click();
    EXPECT_EQ(dialogs.messages, QStringList{midi::scoreFileTooLargeText()});
    EXPECT_EQ(entry.Text1->toPlainText(), "KC8KDKE");
    EXPECT_TRUE(entry.WJMC->text().isEmpty());
    dialogs.openFiles.push_back(dialogs.file(fits));
    entry.DKYP->click();
    EXPECT_EQ(entry.EntryText.size(), midi::kScoreFileLimit);
    entry.FANHUI->click();
}

TEST_F(FileLimits, ARhythmFileOverTheLimitIsRefusedAsDamagedAndTheGridStays)
{
    keyboard::RhythmPattern p;
    p.velocityIndex = 2;
    p.metre = keyboard::Metre34;
    p.voices = {10, 11, 12};
    p.ticked[0][3] = true;
    const QString record = keyboard::rhythmRecord(p, "x.bin") + "\r\n";
    ASSERT_TRUE(forms::writeBytes(recordPath("a-big.bin"), padded(record, keyboard::kRhythmFileLimit + 1, ' ')));
    ASSERT_TRUE(forms::writeBytes(recordPath("b-fits.bin"), padded(record, keyboard::kRhythmFileLimit, ' ')));
    keyboard::Form1& f = start();
    // The first file of the list, applied at the start, is refused as well.
    EXPECT_EQ(dialogs.messages, QStringList{"打开节奏文件出错，请检查！"});
    EXPECT_FALSE(f.BZA[3]->isChecked());
    EXPECT_NE(f.VsbVol->currentIndex(), 2);

    dialogs.messages.clear();
    f.File1->setCurrentRow(0);
    EXPECT_EQ(dialogs.messages, QStringList{"打开节奏文件出错，请检查！"});
    EXPECT_FALSE(f.BZA[3]->isChecked());
    EXPECT_FALSE(f.Option1[1]->isChecked());

    dialogs.messages.clear();
    f.File1->setCurrentRow(1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(f.BZA[3]->isChecked());
    EXPECT_EQ(f.VsbVol->currentIndex(), 2);
    EXPECT_TRUE(f.Option1[1]->isChecked());
}

TEST_F(FileLimits, APatternFileOverTheLimitIsNeitherReadNorAppendedTo)
{
    const QString line = "KC--KE--KG--HC--KG--KE--KC--XZ--\r\n";
    const QByteArray big = forms::encodeGbk(line).repeated(int(keyboard::kPatternFileLimit / line.size()) + 1)
                               .left(keyboard::kPatternFileLimit + 1);
    ASSERT_TRUE(forms::writeBytes(patternPath(), big));
    keyboard::Form1& f = start();
    EXPECT_EQ(dialogs.messages, QStringList{keyboard::patternFileTooLargeText()});
    EXPECT_EQ(f.Text4->text(), keyboard::kBuiltInVoice1);   // nothing in the boxes yet: the built-in lines
    EXPECT_EQ(f.Text5->text(), keyboard::kBuiltInVoice2);

    // A new random pattern keeps the patterns in the boxes.
    f.Text4->setText("WC--WE--WG--WE--WC--WE--WG--WE--");
    f.Text5->setText("LC--------------LG--------------");
    dialogs.messages.clear();
    f.Command3->click();
    EXPECT_EQ(dialogs.messages, QStringList{keyboard::patternFileTooLargeText()});
    EXPECT_EQ(f.Text4->text(), "WC--WE--WG--WE--WC--WE--WG--WE--");
    EXPECT_EQ(f.Text5->text(), "LC--------------LG--------------");

    f.Command4->click();
    EXPECT_EQ(f.FJWZ->text(), keyboard::patternFileTooLargeText());
    EXPECT_EQ(bytesOf(patternPath()), big);

    // At the limit the file is read and the voices draw from it.
    ASSERT_TRUE(forms::writeBytes(patternPath(), big.left(keyboard::kPatternFileLimit)));
    dialogs.messages.clear();
    f.Command3->click();
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(f.Text4->text(), line.trimmed());
}

TEST_F(FileLimits, AFullDiskLeavesEverySavedFileAsItWas)
{
    // Each writer of a user file, given a disk with 50 bytes of room, fails and keeps the old file.
    start();
    const QString score = QDir(recordFolder()).filePath("song.txt");
    const QString rhythm = recordPath("mine.bin");
    ASSERT_TRUE(forms::writeBytes(score, "KC4TZ\r\n"));
    ASSERT_TRUE(forms::writeBytes(rhythm, "01"));
    ASSERT_TRUE(forms::writeBytes(patternPath(), "LC--\r\n"));
    const QByteArray settings = bytesOf(settingsPath());
    ASSERT_GT(settings.size(), 300);

    const std::pair<QString, std::function<bool()>> writers[] = {
        {settingsPath(), [&] { return keyboard::WriteSettingsFile(appFolder, midi::state()); }},
        {settingsPath(), [&] { return keyboard::WriteDefaultSettings(appFolder); }},
        {score, [&] { return midi::writeScoreFile(score, QString("KC4KD").repeated(100)); }},
        {rhythm, [&] { return forms::writeLines(rhythm, {keyboard::rhythmRecord({}, "mine.bin")}); }},
        {patternPath(),
         [&] { return keyboard::appendPatternLines(patternPath(), QString(200, 'K'), "") == keyboard::AppendResult::Appended; }},
    };
    for (const auto& [path, write] : writers) {
        SCOPED_TRACE(path.toStdString());
        const QByteArray before = bytesOf(path);
        EXPECT_EQ(testing_support::writeUnderFileSizeLimit(50, write), std::optional<bool>(false));
        EXPECT_EQ(bytesOf(path), before);
    }
    EXPECT_EQ(testing_support::folderEntries(recordFolder()), (QStringList{"mine.bin", "song.txt"}));
    EXPECT_EQ(testing_support::folderEntries(appFolder),
              (QStringList{keyboard::kPatternFileName, "velqor.ini", "演奏记录", "音效"}));
}

}  // namespace
