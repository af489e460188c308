#include "keyboard/yylr.h"

#include "forms/dialogs.h"
#include "forms/textfile.h"
#include "forms/windows.h"
#include "keyboard/score_recording.h"
#include "midi/score_notation.h"
#include "midi/state.h"

#include <QCloseEvent>
#include <QFileInfo>

namespace keyboard {
namespace {

const char* const kScoreFilter = "乐谱记录txt|*.txt";

QString forTextBox(const QString& fileText)
{
    QString t = fileText;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace('\r', '\n');
    return t;
}

}  // namespace

YYLR::YYLR(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setWindowTitle(QString::fromUtf8("乐谱录入201411"));
    setFixedSize(600, 470);

    NameLabel = new QLabel(QString::fromUtf8("请在这里输入歌曲名字"), this);
    NameLabel->setGeometry(16, 12, 300, 20);
    WJMC = new QLineEdit(this);
    WJMC->setGeometry(16, 34, 300, 24);

    ScoreLabel = new QLabel(QString::fromUtf8(
        "请在下面的文本框中输入乐谱(请使用大写的英文字母(乐谱格式如(KC8KDKEKF4KGKAKB)))"), this);
    ScoreLabel->setGeometry(16, 66, 570, 20);
    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(16, 88, 568, 190);
    // A score is a run of tokens without blanks: looking for word ends in a long line takes the
    // box seconds, wrapping anywhere is instant and looks the same.
    Text1->setWordWrapMode(QTextOption::WrapAnywhere);

    HelpLabel = new QLabel(QString::fromUtf8(
        "乐谱格式：每个音用两个大写字母表示。第一个字母是音区：L 最低音，W 低音，K 中音，"
        "H 高音，M 最高音；第二个字母是音名：C D E F G A B 依次是 1 2 3 4 5 6 7。"
        "音后面的数字 1～99 是这个音的长度，以八分之一拍为单位（8 为一拍），"
        "和前一个音一样长时可以不写。XZ 表示休止，TZ 表示乐曲结束。乐谱中可以随意换行。"
        "保存的乐谱文件可以用主窗口的<打开>按钮演奏，也可以导入乐谱编辑窗口。"), this);
    HelpLabel->setWordWrap(true);
    HelpLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HelpLabel->setGeometry(16, 286, 568, 110);

    Command1 = new QPushButton(QString::fromUtf8("保存"), this);
    Command1->setGeometry(16, 414, 120, 36);
    DKYP = new QPushButton(QString::fromUtf8("打开"), this);
    DKYP->setGeometry(160, 414, 120, 36);
    FANHUI = new QPushButton(QString::fromUtf8("返回主窗口"), this);
    FANHUI->setGeometry(440, 414, 144, 36);

    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(DKYP, &QPushButton::clicked, this, [this] { DKYP_Click(); });
    connect(FANHUI, &QPushButton::clicked, this, [this] { FANHUI_Click(); });

    forms::registerWindow(forms::window::ScoreEntry,
                          {[this] { Show(); }, [this] { hide(); }, [this] { return isVisible(); }});
}

YYLR::~YYLR() { forms::unregisterWindow(forms::window::ScoreEntry); }

void YYLR::Show()
{
    if (!loaded_) Form_Load();
    show();
    raise();
    activateWindow();
}

void YYLR::Form_Load()
{
    loaded_ = true;
    InitDir = forms::joinPath(midi::state().AppFolder, QString::fromUtf8("演奏记录\\"));
}

void YYLR::Unload()
{
    if (!loaded_) return;
    loaded_ = false;
    unloading_ = true;
    hide();
    unloading_ = false;
    // Showing the dialog again starts from the designed, empty controls.
    Text1->clear();
    WJMC->clear();
}

void YYLR::Form_Unload()
{
    forms::showWindow(forms::window::Main);
    Unload();
}

void YYLR::closeEvent(QCloseEvent* event)
{
    if (!unloading_) Form_Unload();
    event->accept();
}

void YYLR::Command1_Click()
{
    EntryText = midi::withCrLfBreaks(Text1->toPlainText());   // the box keeps LF
    // A character the score file's encoding lacks would be written as "?": nothing is written.
    if (const QString refusal = unsavableScoreText(EntryText); !refusal.isEmpty()) {
        forms::MsgBox(refusal, this);
        return;
    }
    forms::FileRequest request{QString::fromUtf8(kScoreFilter), InitDir, 2, QString()};
    auto choice = forms::ShowSave(request, this);
    if (!choice) return;   // cancelled: nothing written
    EntryPath = choice->path;
    if (EntryText.isEmpty()) return;
    if (!midi::writeScoreFile(EntryPath, EntryText))
        forms::MsgBox(QString::fromUtf8("乐谱文件保存失败，请检查！"), this);
}

void YYLR::DKYP_Click()
{
    forms::FileRequest request{QString::fromUtf8(kScoreFilter), InitDir, 16, QString()};
    auto choice = forms::ShowOpen(request, this);
    if (!choice) return;   // cancelled: the texts stay as they were
    forms::ReadFailure why = forms::ReadFailure::None;
    auto text = forms::readTextFile(choice->path, midi::kScoreFileLimit, &why);
    if (!text) {
        // The typed score stays; a name that names no file is passed over without a word.
        if (why != forms::ReadFailure::Unreadable) forms::MsgBox(midi::scoreFileRefusalText(why), this);
        return;
    }
    EntryPath = choice->path;
    WJMC->setText(choice->title);
    EntryText = *text;
    Text1->setPlainText(forTextBox(EntryText));
    if (ScoreChosen) ScoreChosen();
}

void YYLR::FANHUI_Click()
{
    forms::showWindow(forms::window::Main);
    Unload();
}

}  // namespace keyboard
