// Key codes, text files, timers, the palette and the dialog seam.
#include "forms/dialogs.h"
#include "forms/form_timer.h"
#include "forms/geometry.h"
#include "forms/keycodes.h"
#include "forms/textfile.h"
#include "platform/whole_file.h"
#include "support/file_size_limit.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace {

TEST(KeyCodes, MapsKeysToClassicCodes)
{
    EXPECT_EQ(forms::keyCode(Qt::Key_G, Qt::NoModifier), 71);
    EXPECT_EQ(forms::keyCode(Qt::Key_5, Qt::NoModifier), 53);
    EXPECT_EQ(forms::keyCode(Qt::Key_5, Qt::KeypadModifier), 101);
    EXPECT_EQ(forms::keyCode(Qt::Key_F1, Qt::NoModifier), 112);
    EXPECT_EQ(forms::keyCode(Qt::Key_F12, Qt::NoModifier), 123);
    EXPECT_EQ(forms::keyCode(Qt::Key_Semicolon, Qt::NoModifier), 186);
    EXPECT_EQ(forms::keyCode(Qt::Key_Comma, Qt::NoModifier), 188);
    EXPECT_EQ(forms::keyCode(Qt::Key_Slash, Qt::NoModifier), 191);
    EXPECT_EQ(forms::keyCode(Qt::Key_BracketLeft, Qt::NoModifier), 219);
    EXPECT_EQ(forms::keyCode(Qt::Key_Apostrophe, Qt::NoModifier), 222);
    EXPECT_EQ(forms::keyCode(Qt::Key_Plus, Qt::KeypadModifier), 107);
    EXPECT_EQ(forms::keyCode(Qt::Key_Minus, Qt::KeypadModifier), 109);
    // NumLock off: the keypad gives the editing keys.
    EXPECT_EQ(forms::keyCode(Qt::Key_Home, Qt::KeypadModifier), 36);
    EXPECT_EQ(forms::keyCode(Qt::Key_Insert, Qt::NoModifier), 45);
    EXPECT_EQ(forms::keyCode(Qt::Key_Delete, Qt::NoModifier), 46);
    EXPECT_EQ(forms::keyCode(Qt::Key_PageDown, Qt::NoModifier), 34);
    EXPECT_EQ(forms::keyCode(Qt::Key_Backspace, Qt::NoModifier), 8);
    EXPECT_EQ(forms::keyCode(Qt::Key_Space, Qt::NoModifier), 32);
    EXPECT_EQ(forms::keyCode(Qt::Key_unknown, Qt::NoModifier), 0);
}

TEST(TextFiles, WritesGbkCrlfAndReadsEveryLineEnd)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    ASSERT_TRUE(forms::writeLines(path, {"音效", " 3 "}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes, QByteArray("\xD2\xF4\xD0\xA7\r\n 3 \r\n"));
    EXPECT_EQ(*forms::readLines(path), (QStringList{"音效", " 3 "}));

    // UTF-8 (with or without BOM), LF and CR line ends read the same.
    ASSERT_TRUE(forms::writeBytes(path, QByteArray("\xEF\xBB\xBF") + QString("音效\n x\r").toUtf8()));
    EXPECT_EQ(*forms::readLines(path), (QStringList{"音效", " x"}));
    ASSERT_TRUE(forms::writeBytes(path, QString("音效\r\n\r\nend").toUtf8()));
    EXPECT_EQ(*forms::readLines(path), (QStringList{"音效", "", "end"}));

    EXPECT_FALSE(forms::readLines(dir.filePath("missing.txt")));
}

TEST(TextFiles, FindsTheFirstCharacterGbkLacks)
{
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("玻璃1.wav ?")), -1);
    EXPECT_EQ(forms::firstCharOutsideGbk(QString()), -1);
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("雷声🎵.wav")), 2);   // a surrogate pair
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("a한")), 1);
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("한.wav")), 0);   // the very first character
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("a🎵")), 1);   // after one plain character
    EXPECT_EQ(forms::firstCharOutsideGbk(QStringLiteral("ab🎵")), 2);
    EXPECT_EQ(forms::charOutsideGbk(QStringLiteral("雷声🎵.wav")), QStringLiteral("🎵"));
    EXPECT_EQ(forms::charOutsideGbk(QStringLiteral("a한b")), QStringLiteral("한"));
    EXPECT_TRUE(forms::charOutsideGbk(QStringLiteral("玻璃1.wav")).isEmpty());
    EXPECT_EQ(forms::charForBox(QString(QChar(0xAD))), "U+00AD");   // a soft hyphen shows nothing
}

TEST(TextFiles, AFullDiskLeavesTheOldFileByteForByteAndReportsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("song.txt");
    const QByteArray old = QByteArray("KC8KDKEKF4TZ\r\n").repeated(10);   // 140 bytes
    ASSERT_TRUE(forms::writeBytes(path, old));
    const QByteArray bigger(5000, 'x');

    // Every way of writing: the first write already passes the limit, or a later one does.
    const std::function<bool()> writers[] = {
        [&] { return forms::writeBytes(path, bigger); },
        [&] { return forms::writeText(path, QString(bigger)); },
        [&] {
            platform::WholeFileWriter out(path);
            return out.open() && out.write(bigger.left(500)) && out.write(bigger) && out.commit();
        },
    };
    for (const auto& write : writers) {
        EXPECT_EQ(testing_support::writeUnderFileSizeLimit(1000, write), std::optional<bool>(false));
        EXPECT_EQ(*forms::readBytes(path), old);
        EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"song.txt"});
    }
    // The reason names the file.
    EXPECT_EQ(testing_support::writeUnderFileSizeLimit(1000, [&] {
                  QString why;
                  return !platform::writeWholeFile(path, bigger, &why) && why.contains(path);
              }),
              std::optional<bool>(true));
    // Below the limit the same write succeeds.
    EXPECT_EQ(testing_support::writeUnderFileSizeLimit(10000, writers[0]), std::optional<bool>(true));
    EXPECT_EQ(*forms::readBytes(path), bigger);
    EXPECT_EQ(testing_support::folderEntries(dir.path()), QStringList{"song.txt"});
}

TEST(TextFiles, ReplacingKeepsTheFilesPermissionsAndWritesThroughALink)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("velqor.ini");
    ASSERT_TRUE(forms::writeText(path, "old"));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(forms::writeText(path, "new"));
    const auto others = QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
    EXPECT_EQ(QFile::permissions(path) & (others | QFile::ReadOwner), QFile::ReadOwner | QFile::ReadGroup);
    ASSERT_TRUE(QFile::link(path, dir.filePath("link.ini")));
    ASSERT_TRUE(forms::writeText(dir.filePath("link.ini"), "linked"));
    EXPECT_TRUE(QFileInfo(dir.filePath("link.ini")).isSymLink());
    EXPECT_EQ(*forms::readText(path), "linked");
    // A folder in the file's place is not replaced.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.txt"));
    EXPECT_FALSE(forms::writeText(dir.filePath("folder.txt"), "x"));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder.txt")).isDir());
}

TEST(TextFiles, Utf16WithItsMarkReadsAndTakesAddedTextInKind)
{
    const QString text = QStringLiteral("音效\r\n 3 \r\n");
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
    }
    for (const QByteArray& bytes : {le, be}) {
        EXPECT_EQ(forms::decodeText(bytes), text);
        EXPECT_EQ(forms::decodeText(bytes + *forms::encodeLike(bytes, "中x")), text + "中x");
        EXPECT_FALSE(forms::encodeLike(bytes + 'x', "x"));   // cut in the middle of a character
    }
    // A lone byte 0x80 is GBK's euro sign, not broken UTF-8.
    EXPECT_EQ(forms::decodeText("\x80.wav"), QStringLiteral("€.wav"));
    // Plain ASCII and GBK take GBK, UTF-8 with more than ASCII takes UTF-8.
    EXPECT_EQ(*forms::encodeLike("KC--", "中"), forms::encodeGbk("中"));
    EXPECT_EQ(*forms::encodeLike(forms::encodeGbk("音效"), "中"), forms::encodeGbk("中"));
    EXPECT_EQ(*forms::encodeLike(QString("音效").toUtf8(), "中"), QString("中").toUtf8());
}

TEST(TextFiles, ReadersTakeOnlyPlainFilesWithinTheirLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("a.txt");
    ASSERT_TRUE(forms::writeBytes(path, QByteArray(100, 'x')));
    forms::ReadFailure why = forms::ReadFailure::None;
    EXPECT_EQ(forms::readBytes(path, 100, &why)->size(), 100);
    EXPECT_EQ(why, forms::ReadFailure::None);
    EXPECT_FALSE(forms::readText(path, 99, &why));
    EXPECT_EQ(why, forms::ReadFailure::TooLarge);
    EXPECT_FALSE(forms::readLines(dir.path(), 100, &why));   // a folder
    EXPECT_EQ(why, forms::ReadFailure::Unreadable);
    EXPECT_FALSE(forms::readBytes("/dev/zero", 100, &why));  // a device never ends
    EXPECT_EQ(why, forms::ReadFailure::Unreadable);
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    EXPECT_FALSE(forms::readText(dir.filePath("pipe"), 100, &why));   // would wait for a writer
    EXPECT_EQ(why, forms::ReadFailure::Unreadable);
    // A file that holds more than its measured size (as one still being written does; this one
    // the system measures as 0 bytes) is still held to the limit.
    EXPECT_FALSE(forms::readBytes("/proc/self/status", 10, &why));
    EXPECT_EQ(why, forms::ReadFailure::TooLarge);
    // A plain file whose reading fails (an I/O error at its first byte) is unreadable, not empty.
    EXPECT_FALSE(forms::readText("/proc/self/mem", 100, &why));
    EXPECT_EQ(why, forms::ReadFailure::Unreadable);
    EXPECT_EQ(forms::sizeText(4096), "4 KB");
    EXPECT_EQ(forms::sizeText(1024 * 1024), "1 MB");
    EXPECT_EQ(forms::sizeText(1000), "1000 字节");
    EXPECT_EQ(forms::sizeText(1024), "1 KB");
    EXPECT_EQ(forms::sizeText(1536), "1536 字节");
}

TEST(TextFiles, PlainFileNamesStayInTheirFolder)
{
    for (const char* name : {"玻璃1.wav", "a..b.wav", ".hidden", "C:x.wav"}) EXPECT_TRUE(forms::isPlainFileName(name)) << name;
    for (const char* name : {"", ".", "..", "../x.wav", "..\\x.wav", "a/b.wav", "/etc/passwd"})
        EXPECT_FALSE(forms::isPlainFileName(name)) << name;
    EXPECT_FALSE(forms::isPlainFileName(QString("a") + QChar(0) + "b"));
}

TEST(TextFiles, JoinPathTakesBackslashesAsSeparators)
{
    EXPECT_EQ(forms::joinPath("/a/b/", "音效\\玻璃1.wav"), "/a/b/音效/玻璃1.wav");
    EXPECT_EQ(forms::joinPath("/a/b", "x.txt"), "/a/b/x.txt");
}

TEST(FormTimer, IntervalZeroNeverTicksAndTicksAreManual)
{
    forms::FormTimer t(nullptr, 0, true);
    int ticks = 0;
    t.onTick([&] { ++ticks; });
    EXPECT_FALSE(t.running());
    t.setInterval(5);
    EXPECT_TRUE(t.running());
    t.setEnabled(false);
    EXPECT_FALSE(t.running());
    t.tick();
    EXPECT_EQ(ticks, 1);
}

TEST(FormTimer, RealTicksArrive)
{
    forms::FormTimer t(nullptr, 5, true);
    int ticks = 0;
    t.onTick([&] {
        if (++ticks == 3) t.setEnabled(false);
    });
    QElapsedTimer clock;
    clock.start();
    while (ticks < 3 && clock.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(ticks, 3);
}

TEST(Palette, ConsoleColours)
{
    EXPECT_EQ(forms::QBColor(8), QColor(128, 128, 128));
    EXPECT_EQ(forms::QBColor(14), QColor(255, 255, 0));
    EXPECT_EQ(forms::QBColor(99), QColor(0, 0, 0));
}

TEST(Dialogs, BoxOpenWhileShownAndFilterConversion)
{
    testing_support::ScriptedDialogs d;
    bool openDuring = false;
    d.onMessage = [&] { openDuring = forms::boxOpen(); };
    forms::MsgBox("hi");
    EXPECT_TRUE(openDuring);
    EXPECT_FALSE(forms::boxOpen());
    EXPECT_EQ(forms::qtFilter("乐谱记录txt|*.txt"), "乐谱记录txt (*.txt)");
    EXPECT_EQ(forms::qtFilter("a|*.wav;*.mp3|b|*.*"), "a (*.wav *.mp3);;b (*.*)");
}

// Runs `act` on the real modal window the seam has just opened (from the event loop it runs),
// once that window has the keyboard focus.
void onModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) (void)QTest::qWaitForWindowActive(modal);
        act(modal);
    });
}

// Types into the widget that holds the keyboard focus, as the user does.
void typeText(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
void pressKey(Qt::Key key) { QTest::keyClick(QApplication::focusWidget(), key); }

TEST(Dialogs, SaveAsksBeforeReplacingTheFileReallyWrittenWithItsExtension)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("rec2.txt");
    ASSERT_TRUE(platform::writeWholeFile(existing, "old"));
    QStringList asked;
    onModal([&](QWidget* dialog) {
        ASSERT_TRUE(qobject_cast<QFileDialog*>(dialog));
        typeText("rec2");
        // The question for rec2.txt: "No" keeps the file and the dialog open.
        onModal([&](QWidget* box) {
            ASSERT_TRUE(qobject_cast<QMessageBox*>(box));
            asked << static_cast<QMessageBox*>(box)->text();
            QTest::mouseClick(static_cast<QMessageBox*>(box)->button(QMessageBox::No), Qt::LeftButton);
        });
        pressKey(Qt::Key_Return);
        ASSERT_TRUE(dialog->isVisible());
        // The window system gives the focus back to the dialog (offscreen has no window manager).
        dialog->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
        // A new name is taken at once, with the extension added.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        typeText("rec3");
        pressKey(Qt::Key_Return);
    });
    const auto choice = forms::ShowSave({"乐谱记录txt|*.txt", dir.path(), 2, {}});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains("rec2.txt")) << asked[0].toStdString();
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->path, dir.filePath("rec3.txt"));
    EXPECT_EQ(choice->title, "rec3.txt");
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old");
}

TEST(Dialogs, QtButtonsReadChineseWhereQtsTranslationIsInstalled)
{
    const bool installed =
        QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_zh_CN.qm");
    const auto texts = forms::qtChineseTexts();
    EXPECT_EQ(texts != nullptr, installed);
    if (texts) QCoreApplication::installTranslator(texts.get());
    QString ok, open;
    onModal([&](QWidget* box) {
        ASSERT_TRUE(qobject_cast<QMessageBox*>(box));
        QAbstractButton* button = static_cast<QMessageBox*>(box)->button(QMessageBox::Ok);
        ok = button->text();
        QTest::mouseClick(button, Qt::LeftButton);
    });
    forms::MsgBox("hi");
    onModal([&](QWidget* dialog) {
        ASSERT_TRUE(dialog);
        open = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)->text();
        pressKey(Qt::Key_Escape);
    });
    EXPECT_FALSE(forms::ShowOpen({"乐谱记录txt|*.txt", QDir::tempPath(), 16, {}}));
    if (texts) QCoreApplication::removeTranslator(texts.get());
    // Where it is missing, Qt's English texts stay.
    EXPECT_EQ(ok, installed ? "确定" : "OK");
    EXPECT_EQ(open, installed ? "打开(&O)" : "&Open");
}

TEST(Dialogs, TheQuestionWithCancelAnswersByItsButtonsAndCancelsWhenClosed)
{
    // The real box, answered as the user would while it is open.
    auto answer = [](std::function<void(QMessageBox*)> act) {
        onModal([act](QWidget* box) { act(qobject_cast<QMessageBox*>(box)); });
        return forms::AskYesNoCancel(QStringLiteral("保存吗？"));
    };
    using forms::Answer;
    EXPECT_EQ(answer([](QMessageBox* b) { QTest::mouseClick(b->button(QMessageBox::Yes), Qt::LeftButton); }), Answer::Yes);
    EXPECT_EQ(answer([](QMessageBox* b) { QTest::mouseClick(b->button(QMessageBox::No), Qt::LeftButton); }), Answer::No);
    EXPECT_EQ(answer([](QMessageBox*) { pressKey(Qt::Key_Escape); }), Answer::Cancel);
    EXPECT_EQ(answer([](QMessageBox* b) {
                  QCloseEvent closeBox;
                  QApplication::sendEvent(b->windowHandle(), &closeBox);
              }),
              Answer::Cancel);
    EXPECT_FALSE(forms::boxOpen());
}

}  // namespace
