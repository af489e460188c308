// The score panel: the score box, the score buttons, the score-entry dialog button and the
// pop-up behaviour of the rhythm file list.
#include "keyboard/form1.h"

#include "forms/dialogs.h"
#include "forms/keycodes.h"
#include "forms/textfile.h"
#include "keyboard/file_list.h"
#include "keyboard/score_recording.h"
#include "midi/score_notation.h"
#include "keyboard/yylr.h"
#include "midi/state.h"
#include "resources/pictures.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace keyboard {
namespace {

const char* const kScoreFilter = "乐谱记录txt|*.txt";
const char* const kPlayingHint = "正在进行自动演奏,点击<保存>按钮可把音乐保存为txt格式的乐谱文件！";
constexpr int kFlagHelpButton = 16;
constexpr int kFlagAskOverwrite = 2;

// Letters a-z upper-cased; nothing else changes, so positions in the text stay where they are.
QString asciiUpper(const QString& text)
{
    QString t = text;
    for (QChar& c : t)
        if (c.unicode() >= 'a' && c.unicode() <= 'z') c = QChar(c.unicode() - 'a' + 'A');
    return t;
}

// A key without a row of its own shows its key code in the score box (the recorded score is
// left as it was). Such a box holds a bare number that differs from the score.
bool boxShowsKeyCode(const QString& box, const QString& score)
{
    if (box == score || box.isEmpty() || box.size() > 3) return false;
    for (QChar c : box)
        if (c.unicode() < '0' || c.unicode() > '9') return false;
    return true;
}

}  // namespace

void Form1::wireScorePanel()
{
    for (int i = 0; i < 5; ++i) {
        connect(Yuepu[i], &QPushButton::clicked, this, [this, i] { Yuepu_Click(i); });
        connect(Yuepu[i], &QPushButton::pressed, this, [this, i] { Yuepu_MouseDown(i); });
    }
    // The other mouse buttons press the play button too (they give no click).
    Yuepu[0]->installEventFilter(this);
    connect(XINJIAN, &QPushButton::clicked, this, [this] { XINJIAN_Click(); });
    connect(Text3, &QPlainTextEdit::textChanged, this, [this] { Text3_Change(); });
    Label11->installEventFilter(this);
    Text3->installEventFilter(this);
    // Moves over the panels reach filterScorePanel through the filter wirePanels installs on them.
    // Playback selects the token it reads while the keyboard focus stays on the key catcher:
    // the selection looks the same with and without the focus.
    QPalette palette = Text3->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    Text3->setPalette(palette);
    ScoreEntry = new YYLR(this);
    // A score chosen in the score-entry dialog ends a take the main window was recording.
    ScoreEntry->ScoreChosen = [this] { EndLiveTake(); };
}

bool Form1::filterScorePanel(QObject* watched, QEvent* event)
{
    if (watched == Yuepu[0] && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
        Yuepu_MouseDown(0);
        return false;
    }
    // The box takes no typing while a score plays, but the space bar there stops the score as on
    // the key catcher, which then has the keyboard again.
    if (watched == Text3 && event->type() == QEvent::KeyPress && ScorePlaying()) {
        auto* e = static_cast<QKeyEvent*>(event);
        if (e->key() != Qt::Key_Space || e->isAutoRepeat()) return false;
        SFYXYZ_KeyDown(forms::keyCode(e), 0);
        SFYXYZ_Click();
        return true;
    }
    if (event->type() != QEvent::MouseMove) return false;
    if (watched == Label11) {
        Label11_MouseMove();
        return false;
    }
    // Moves over the panel's children reach the panel too; only its own area counts.
    const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
    for (int i = 0; i < int(Jiezhou.size()); ++i)
        if (watched == Jiezhou[i] && !Jiezhou[i]->childAt(at)) Jiezhou_MouseMove(i);
    return false;
}

void Form1::ReleaseKeyPicture(int key)
{
    if (key < 0 || key >= int(Picture1.size())) return;
    const bool white = midi::state().KeyIsWhite[size_t(key)] != 0;
    SetKeyPicture(key, white ? res::WhiteKeyUp : res::BlackKeyUp);
}

void Form1::ReleasePressedKeys()
{
    for (int key = 0; key < int(Picture1.size()); ++key)
        if (KeyPicture[key] == res::WhiteKeyDown || KeyPicture[key] == res::BlackKeyDown) ReleaseKeyPicture(key);
}

void Form1::HaltScorePlayback()
{
    Timer3->setInterval(0);
    Timer3->setEnabled(false);
    SilenceScoreNote();
    EndScorePlayback();
}

void Form1::StopScorePlayback()
{
    HaltScorePlayback();
    BZDS->setEnabled(false);
    BzQd->setChecked(false);
}

void Form1::StartScorePlayback()
{
    PlaybackTicks = 0;
    Player.rewind();
    Auditioning = true;
    Yuepu[0]->setText(QStringLiteral("停止"));
    XSWB->setText(QString::fromUtf8(kPlayingHint));
    // While the score plays the keys play along and the space bar stops it; nothing typed
    // changes the score.
    Text3->setReadOnly(true);
    YXYZ();
    YSCX();
}

void Form1::TakeScoreFromBox(bool upperCase)
{
    auto& s = midi::state();
    QString box = Text3->toPlainText();
    if (boxShowsKeyCode(box, s.ScoreText)) box = s.ScoreText;
    if (upperCase) box = asciiUpper(box);
    if (Text3->toPlainText() != box) Text3->setPlainText(box);
    s.ScoreText = box;
}

void Form1::Yuepu_MouseDown(int Index)
{
    if (Index != 0) return;
    // The press stops playback at once; the click that follows knows it was a stop.
    PressStoppedPlayback = Auditioning;
    StopScorePlayback();
}

void Form1::Yuepu_Click(int Index)
{
    switch (Index) {
    case 0: PlayOrStopScore(); return;
    case 1: DeleteScoreFile(); return;
    case 2: OpenScoreFile(); return;
    case 3: ClearScore(); return;
    case 4: SaveScoreFile(); return;
    default: return;
    }
}

void Form1::PlayOrStopScore()
{
    if (PressStoppedPlayback || Auditioning) {
        // The press has stopped it already, unless the click came without one.
        if (!PressStoppedPlayback) StopScorePlayback();
        PressStoppedPlayback = false;
        YXYZ();
        return;
    }
    EndLiveTake();
    ReleaseKeyPicture(midi::state().LastKey);
    TakeScoreFromBox(true);
    StartScorePlayback();
}

void Form1::DeleteScoreFile()
{
    // Only the score file this panel opened or saved is deleted, after the question, which
    // names the file: the box may show another score by now, or none.
    const QString path = ScoreFilePath;
    const bool isScoreFile = path.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    switch (isScoreFile ? DeleteFileAsked(path, QStringLiteral("乐谱文件"), this) : DeleteResult::NoFile) {
    case DeleteResult::NoFile: FJWZ->setText(QStringLiteral("没有可删除的乐谱文件。。。")); return;
    case DeleteResult::Kept: return;
    case DeleteResult::Failed: FJWZ->setText(QStringLiteral("删除文件失败。。。")); return;
    case DeleteResult::Deleted: break;
    }
    // The score goes with its file: its playback and a take being recorded end first.
    if (ScorePlaying()) HaltScorePlayback();
    EndLiveTake();
    ScoreFilePath.clear();
    midi::state().ScoreText.clear();
    Text3->clear();
    FJWZ->setText(QStringLiteral("成功删除文件。。。"));
}

void Form1::OpenScoreFile()
{
    auto& s = midi::state();
    // Playback and a take being recorded stop; the free rhythm goes on.
    HaltScorePlayback();
    EndLiveTake();
    forms::FileRequest request{QString::fromUtf8(kScoreFilter), CommonDialog1.InitDir,
                               kFlagHelpButton, QString()};
    const auto choice = forms::ShowOpen(request, this);
    if (!choice) return;   // cancelled: the score stays
    forms::ReadFailure why = forms::ReadFailure::None;
    const auto score = midi::readScoreFile(choice->path, &why);
    if (!score) {
        // A file that cannot be read, or is too large to be a score: the score stays.
        forms::MsgBox(midi::scoreFileRefusalText(why), this);
        return;
    }
    CommonDialog1.FileName = choice->path;
    CommonDialog1.FileTitle = choice->title;
    LastFilePath = choice->path;
    // "删除" removes only a file this panel really read or wrote.
    ScoreFilePath = choice->path;
    s.ScoreText = *score;
    File1->setVisible(false);
    Text3->setPlainText(s.ScoreText);
    s.CurStep = 0;
    s.RhythmStep = 0;
    s.ChordIndex = 1;
    FJWZ->setText(QStringLiteral("自动演奏中。。。"));
    StartScorePlayback();
}

void Form1::ClearScore()
{
    auto& s = midi::state();
    // A score that is playing stops before it is cleared: it ends without a score error.
    if (ScorePlaying()) HaltScorePlayback();
    EndLiveTake();
    Text3->clear();
    s.ScoreText.clear();
    s.CurStep = 0;
    s.RhythmStep = 0;
    s.ChordIndex = 1;
    SFYXYZ->setEnabled(true);
    SFYXYZ->setFocus();
    FJWZ->setText(QStringLiteral("成功清空乐谱。。。"));
}

void Form1::SaveScoreFile()
{
    auto& s = midi::state();
    // Playback stops; the free rhythm goes on.
    HaltScorePlayback();
    TakeScoreFromBox(false);
    // A character the score file's encoding lacks would be written as "?": nothing is
    // written, and the user is told which character it is.
    if (const QString refusal = unsavableScoreText(s.ScoreText); !refusal.isEmpty()) {
        forms::MsgBox(refusal, this);
        FJWZ->setText(QStringLiteral("乐谱保存失败。。。"));
        return;
    }
    forms::FileRequest request{QString::fromUtf8(kScoreFilter), CommonDialog1.InitDir,
                               kFlagAskOverwrite, QString()};
    const auto choice = forms::ShowSave(request, this);
    if (!choice) return;   // cancelled: nothing written
    CommonDialog1.FileName = choice->path;
    CommonDialog1.FileTitle = choice->title;
    LastFilePath = choice->path;
    // A save that writes nothing leaves the file "删除" would remove as it was.
    if (s.ScoreText.isEmpty()) return;
    if (!midi::writeScoreFile(LastFilePath, s.ScoreText)) {
        FJWZ->setText(QStringLiteral("乐谱保存失败。。。"));
        return;
    }
    ScoreFilePath = choice->path;
    FJWZ->setText(QStringLiteral("成功保存乐谱。。。"));
}

void Form1::XINJIAN_Click()
{
    ScoreEntry->Show();
    hide();
}

void Form1::Text3_Change() { File1->setVisible(false); }

void Form1::Label11_MouseMove()
{
    RefreshFileList(File1, File1Path, QStringLiteral("*.bin"));
    File1->setVisible(true);
}

void Form1::Jiezhou_MouseMove(int Index)
{
    if (Index == 2) File1->setVisible(false);
}

}  // namespace keyboard
