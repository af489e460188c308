// Start-up window, activation, exit and farewell window.
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/dzqqd.h"
#include "keyboard/form3.h"
#include "keyboard/rhythm_file.h"
#include "support/file_size_limit.h"
#include "support/main_window_fixture.h"

#include <QBitmap>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

using testing_support::MainWindowFixture;

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray defaultBytes() { return forms::encodeGbk(keyboard::DefaultSettingsText()); }

int closeCount(const platform::CaptureMidiService& midi)
{
    int n = 0;
    for (const auto& e : midi.events) n += e.kind == platform::CaptureMidiService::Kind::Close;
    return n;
}

class LifeCycle : public MainWindowFixture {
protected:
    // A start-up window with a lock name of this test run.
    std::unique_ptr<keyboard::DZQQD> startupWindow()
    {
        auto w = std::make_unique<keyboard::DZQQD>();
        w->InstanceKey = QStringLiteral("velqor-test-%1").arg(QCoreApplication::applicationPid());
        return w;
    }
};

TEST_F(LifeCycle, StartupWindowCreatesTheSettingsFileInTheProgramFolder)
{
    QTemporaryDir elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    auto w = startupWindow();
    w->Form_Load();
    QDir::setCurrent(previous);
    EXPECT_FALSE(keyboard::EndRequested());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(readFile(settingsPath()), defaultBytes());
    EXPECT_FALSE(QFileInfo::exists(elsewhere.path() + "/velqor.ini"));
    EXPECT_TRUE(w->Timer1->running());
    EXPECT_EQ(w->Timer1->interval(), 25000);
}

TEST_F(LifeCycle, SecondInstanceIsRefusedWithOneMessage)
{
    auto w = startupWindow();
    // Another instance holds the lock.
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    QLockFile other(QDir(dir).filePath(w->InstanceKey + QStringLiteral("-second.lock")));
    w->InstanceKey += QStringLiteral("-second");
    ASSERT_TRUE(other.tryLock(0));
    const QString saving = appFolder + ".velqor.ini.tmp-1x9";   // the running one's save
    writeFile(saving, "half");
    w->Form_Load();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("你已经运行这个应用程序了！")});
    EXPECT_TRUE(keyboard::EndRequested());
    EXPECT_EQ(endCount, 1);
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));   // nothing else happened
    EXPECT_TRUE(QFileInfo::exists(saving));
    EXPECT_FALSE(w->isVisible());
}

TEST_F(LifeCycle, RefusedInstanceNeverShowsTheMainWindowWhileItsBoxWaits)
{
    form = std::make_unique<keyboard::Form1>();   // registered, as at a real start
    auto w = startupWindow();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    w->InstanceKey += QStringLiteral("-waiting");
    QLockFile other(QDir(dir).filePath(w->InstanceKey + QStringLiteral(".lock")));
    ASSERT_TRUE(other.tryLock(0));
    // The start-up timer's time comes while the user still reads the box.
    w->Timer1->setInterval(5);
    dialogs.onMessage = [&w] {
        QTest::qWait(60);
        w->Timer1->tick();
    };
    w->Form_Load();
    dialogs.onMessage = nullptr;
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("你已经运行这个应用程序了！")});
    EXPECT_EQ(endCount, 1);
    EXPECT_FALSE(form->Loaded);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(w->Timer1->running());
}

TEST_F(LifeCycle, StartRemovesWhatInterruptedSavesLeftAndNothingElse)
{
    const QStringList left = {appFolder + ".velqor.ini.tmp-1x9", recordFolder() + "/.song.txt.tmp-zz0a1",
                              recordFolder() + "/.piece.lnk.tmp-k"};
    const QStringList kept = {recordFolder() + "/.录音-3kf9a.wav", recordFolder() + "/song.txt.tmp-1x9",
                              recordFolder() + "/.song.txt.tmp-", recordFolder() + "/.song.txt.tmp-1x9.bak",
                              appFolder + ".tmp-1x9", appFolder + ".notes.txt", recordFolder() + "/.a.tmp-Q1"};
    for (const QString& f : left + kept) writeFile(f, "x");
    QDir().mkdir(recordFolder() + "/.folder.tmp-1x9");
    startupWindow()->Form_Load();
    for (const QString& f : left) EXPECT_FALSE(QFileInfo::exists(f)) << f.toStdString();
    for (const QString& f : kept) EXPECT_TRUE(QFileInfo::exists(f)) << f.toStdString();
    EXPECT_TRUE(QFileInfo(recordFolder() + "/.folder.tmp-1x9").isDir());
}

TEST_F(LifeCycle, StartupWindowKeepsAnExistingSettingsFile)
{
    writeFile(settingsPath(), "my own settings\r\n");
    startupWindow()->Form_Load();
    EXPECT_EQ(readFile(settingsPath()), "my own settings\r\n");
}

TEST_F(LifeCycle, KnownAtOnceHandsOverAndTheTimerNeverFires)
{
    form = std::make_unique<keyboard::Form1>();   // registered, not yet loaded
    auto w = startupWindow();
    w->Form_Load();
    w->show();
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    EXPECT_FALSE(w->Timer1->running());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->WindowReady);
}

TEST_F(LifeCycle, HandOverWithARefusingDeviceOutlivesTheStartupWindowAndShowsEachTextOnce)
{
    midi.refuseOpen = platform::kMidiError;
    form = std::make_unique<keyboard::Form1>();
    keyboard::DZQQD* w = startupWindow().release();
    w->Form_Load();
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    const QPoint centre = w->geometry().center();
    forms::setDialogs(nullptr);   // the real boxes
    QStringList shown;
    QTimer user;   // reads each box and closes it
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (w) { EXPECT_LE((box->geometry().center() - centre).manhattanLength(), 6); }
            delete std::exchange(w, nullptr);   // the closed start-up window goes while its box is open
            shown << box->text();
            QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
        }
    });
    user.start(5);
    QTest::mouseClick(w->Command1, Qt::LeftButton);
    QTest::qWait(100);
    forms::setDialogs(&dialogs);
    EXPECT_EQ(shown.value(0), platform::midiErrorText(platform::kMidiError));
    EXPECT_EQ(shown.removeDuplicates(), 0);
    EXPECT_TRUE(form->WindowReady);
}

TEST_F(LifeCycle, StartupTimerHandsOverLikeTheButton)
{
    form = std::make_unique<keyboard::Form1>();
    auto w = startupWindow();
    w->Form_Load();
    w->show();
    w->Timer1->tick();
    EXPECT_FALSE(w->Timer1->running());
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(form->isVisible());
}

TEST_F(LifeCycle, DamagedSettingsAreKeptBesideTheDefaultsAndTheProgramEnds)
{
    const QStringList good = forms::splitLines(keyboard::DefaultSettingsText());
    auto withLine = [&](int index, const QString& text) {
        QStringList lines = good;
        lines[index] = text;
        return forms::encodeGbk(lines.join("\r\n") + "\r\n");
    };
    const QByteArray damaged[] = {
        forms::encodeGbk(good.mid(0, 51).join("\r\n") + "\r\n"),   // 51 lines
        forms::encodeGbk(good.mid(0, 40).join("\r\n") + "\r\n"),   // 40 of 52 lines
        withLine(4, " 40000 "),                                        // not a 16-bit number
        withLine(37, " 200 "),                                         // a drum past the message
        withLine(0, " 3 ") + QByteArray(keyboard::kSettingsFileLimit, ' '),   // too big to be settings
    };
    const QString kept = appFolder + QStringLiteral("velqor.ini.bad");
    writeFile(kept, "an older damaged copy");
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.left(40).toStdString());
        dialogs.messages.clear();
        endCount = 0;
        writeFile(settingsPath(), bytes);
        keyboard::Form1& f = start(false);
        EXPECT_EQ(dialogs.messages, QStringList{"读取设置文件出错，软件需重新启动!\n原来的设置文件已保存为 " +
                                                QDir::toNativeSeparators(kept)});
        EXPECT_EQ(endCount, 1);
        EXPECT_EQ(readFile(settingsPath()), defaultBytes());
        EXPECT_EQ(readFile(kept), bytes);   // the damaged file byte for byte, the older copy replaced
        EXPECT_FALSE(f.WindowReady);       // the set-up did not run
        EXPECT_EQ(testing_support::folderEntries(appFolder),
                  (QStringList{"velqor.ini", "velqor.ini.bad", "演奏记录", "音效"}));
    }
}

TEST_F(LifeCycle, SettingsInUtf16OrUpToTheSizeLimitAreRead)
{
    QStringList lines = forms::splitLines(keyboard::DefaultSettingsText());
    lines[0] = QStringLiteral(" 7 ");
    lines[46] = QStringLiteral("钢琴.wav");
    const QString text = lines.join("\r\n") + "\r\n";
    QByteArray le("\xFF\xFE"), be("\xFE\xFF");
    for (QChar c : text) {
        le += char(c.unicode() & 0xFF), le += char(c.unicode() >> 8);
        be += char(c.unicode() >> 8), be += char(c.unicode() & 0xFF);
    }
    for (const QByteArray& bytes : {le, be}) {
        writeFile(settingsPath(), bytes);
        keyboard::Form1& f = start(false);
        EXPECT_TRUE(dialogs.messages.isEmpty());
        EXPECT_TRUE(f.WindowReady);
        EXPECT_EQ(midi::state().PresetTable[0][0], 7);
        EXPECT_EQ(midi::state().EffectWavNames[0], QStringLiteral("钢琴.wav"));
        EXPECT_EQ(readFile(settingsPath()), bytes);   // untouched
    }
    // Lines after the 52nd are ignored, up to the size limit.
    QByteArray full = defaultBytes();
    full += QByteArray(keyboard::kSettingsFileLimit - full.size(), ' ');
    writeFile(settingsPath(), full);
    keyboard::Form1& f = start(false);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(f.WindowReady);
}

TEST_F(LifeCycle, ReactivationRereadsTheSettingsWithoutRepeatingTheSetup)
{
    keyboard::Form1& f = start();
    QCheckBox* box = f.BZA[16];
    auto& s = midi::state();
    EXPECT_EQ(s.PresetTable[4][1], 86);
    s.PresetTable[4][1] = 1;   // changed on the panel, not saved
    s.ScoreText = QStringLiteral("KC4KD2TZ");
    f.ComSounds[0]->setCurrentIndex(10);
    f.MiniWindow = true;
    f.hide();
    ASSERT_TRUE(forms::showWindow(forms::window::Main));
    EXPECT_EQ(s.PresetTable[4][1], 86);
    EXPECT_EQ(f.Text3->toPlainText(), QStringLiteral("KC4KD2TZ"));
    EXPECT_EQ(f.BZA[16], box);
    EXPECT_EQ(f.StepRows[0]->findChildren<QCheckBox*>().size(), 17);
    EXPECT_EQ(f.ComSounds[0]->currentIndex(), 10);
    EXPECT_EQ(f.ComSounds[0]->count(), 129);
    EXPECT_FALSE(f.MiniWindow);
    EXPECT_EQ(endCount, 0);
}

TEST_F(LifeCycle, FirstRhythmFileOfTheRecordFolderIsApplied)
{
    const QString first = keyboard::rhythmRecord(keyboard::RhythmPattern{}, QStringLiteral("a.bin")) + "\r\n";
    writeFile(recordFolder() + "/b.bin", "second pattern");
    writeFile(recordFolder() + "/a.bin", first.toLatin1());
    writeFile(recordFolder() + "/notes.txt", "not a rhythm");
    keyboard::Form1& f = start();
    EXPECT_EQ(f.File1->count(), 2);
    EXPECT_EQ(f.Label11->text(), QStringLiteral(" 1★a.bin"));
    EXPECT_EQ(midi::state().RhythmFileText, first);
    EXPECT_EQ(f.CommonDialog1.InitDir, recordFolder() + "/");
}

TEST_F(LifeCycle, StartGoesOnWithoutRecordFolderOrWithAnOversizedRhythmFile)
{
    const QString designed = keyboard::Form1().Label11->text();
    QDir(recordFolder()).removeRecursively();
    {
        keyboard::Form1& f = start();
        EXPECT_TRUE(f.WindowReady);
        EXPECT_TRUE(QFileInfo(recordFolder()).isDir());
        EXPECT_EQ(f.Label11->text(), designed);
    }
    // A file too big to be a rhythm file is refused unread, as a damaged one; grid and label stay.
    writeFile(recordFolder() + "/big.bin", QByteArray(40000, '*'));
    keyboard::Form1& f = start();
    EXPECT_TRUE(f.WindowReady);
    EXPECT_TRUE(midi::state().RhythmFileText.isEmpty());
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("打开节奏文件出错，请检查！")});
    EXPECT_EQ(f.Label11->text(), designed);
    for (QCheckBox* box : f.BZA) EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(endCount, 0);
}

TEST_F(LifeCycle, ExitClosesTheDeviceOnceAndShowsTheFarewell)
{
    keyboard::Form1& f = start();
    openDevice();
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    EXPECT_EQ(closeCount(midi), 1);
    EXPECT_EQ(midi::state().MidiOutHandle, 0);
    EXPECT_TRUE(media.ops.contains(QStringLiteral("close")));
    EXPECT_FALSE(f.isVisible());
    EXPECT_FALSE(f.Timer2->running());
    ASSERT_NE(f.Farewell, nullptr);
    EXPECT_TRUE(f.Farewell->isVisible());
    EXPECT_EQ(endCount, 0);
}

TEST_F(LifeCycle, ClosingTheWindowAlsoUnloadsIt)
{
    keyboard::Form1& f = start();
    openDevice();
    f.close();
    EXPECT_EQ(closeCount(midi), 1);
    ASSERT_NE(f.Farewell, nullptr);
    EXPECT_TRUE(f.Farewell->isVisible());
}

TEST_F(LifeCycle, FarewellWindowIsCutToTheTextAndEndsTheProgram)
{
    keyboard::Form3 w;
    w.Show();
    const QRegion mask = w.mask();
    ASSERT_FALSE(mask.isEmpty());
    EXPECT_EQ(w.palette().color(QPalette::Window), QColor(128, 128, 128));
    EXPECT_EQ(w.Timer1->interval(), 4000);
    EXPECT_TRUE(w.Timer1->running());

    // The mask follows the glyphs: filled strokes are in it, the window's corner and the
    // enclosed holes of the glyphs are not.
    EXPECT_FALSE(mask.contains(QPoint(0, w.height() - 1)));
    const QPainterPath& path = w.TextOutline;
    const auto polygons = path.toSubpathPolygons();
    int strokes = 0, holes = 0, wrong = 0;
    for (int y = 2; y < w.height() - 2; y += 3) {
        for (int x = 2; x < w.width() - 2; x += 3) {
            bool allIn = true, allOut = true;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const bool in = path.contains(QPointF(x + dx + 0.5, y + dy + 0.5));
                    allIn = allIn && in;
                    allOut = allOut && !in;
                }
            const QPoint p(x, y);
            if (allIn) {
                ++strokes;
                wrong += !mask.contains(p);
            } else if (allOut) {
                bool enclosed = false;
                for (const QPolygonF& poly : polygons) enclosed = enclosed || poly.containsPoint(p, Qt::OddEvenFill);
                if (enclosed) {
                    ++holes;
                    wrong += mask.contains(p);
                }
            }
        }
    }
    EXPECT_GT(strokes, 100);
    EXPECT_GT(holes, 10);
    EXPECT_EQ(wrong, 0);

    w.Timer1->tick();
    EXPECT_EQ(endCount, 1);
    QTest::mouseClick(&w, Qt::LeftButton, {}, path.pointAtPercent(0.0).toPoint());
    EXPECT_EQ(endCount, 2);
}

}  // namespace

namespace {

TEST_F(LifeCycle, KeyCatcherHoldsTheFocusAndTakesEveryKey)
{
    keyboard::Form1& f = start();
    EXPECT_EQ(f.focusWidget(), f.SFYXYZ);
    EXPECT_FALSE(f.SFYXYZ->testAttribute(Qt::WA_InputMethodEnabled));
    for (int key : {Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Left, Qt::Key_Down, Qt::Key_F1}) {
        QTest::keyClick(f.SFYXYZ, Qt::Key(key));
        EXPECT_EQ(f.focusWidget(), f.SFYXYZ) << key;
    }
    // A key that some shortcut might claim is handed to the catcher as a plain key press.
    QKeyEvent probe(QEvent::ShortcutOverride, Qt::Key_F1, Qt::NoModifier);
    probe.ignore();
    QCoreApplication::sendEvent(f.SFYXYZ, &probe);
    EXPECT_TRUE(probe.isAccepted());
}

}  // namespace

namespace {

TEST_F(LifeCycle, UnwritableSettingsFileStartsWithTheDefaultsInMemory)
{
    // The start-up window cannot create the file in a folder that does not exist.
    keyboard::setProgramFolder(appFolder + "missing");
    auto w = startupWindow();
    w->Form_Load();
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("无法写入设置文件，本次使用默认设置！")});
    EXPECT_FALSE(keyboard::EndRequested());
    EXPECT_EQ(midi::state().PresetTable[4][2], 101);

    // A damaged file that cannot be replaced (here a folder in its place): the start goes on
    // with the defaults, and the message is shown once, not at every activation.
    midi::resetState();
    dialogs.messages.clear();
    keyboard::setProgramFolder(appFolder);
    QDir().mkpath(settingsPath());
    keyboard::Form1& f = start(false);
    EXPECT_TRUE(f.WindowReady);
    EXPECT_EQ(endCount, 0);
    EXPECT_EQ(midi::state().KeypadDrums[0], 3);
    f.hide();
    f.Show();
    EXPECT_EQ(dialogs.messages.count(QStringLiteral("无法写入设置文件，本次使用默认设置！")), 1);
    EXPECT_FALSE(dialogs.messages.contains(QStringLiteral("读取设置文件出错，软件需重新启动!")));
}

}  // namespace
