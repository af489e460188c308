#pragma once
// The one seam through which every modal box and file dialog of the program is shown.
// The program installs the Qt implementation; tests install a scripted one.
#include <QString>
#include <QTranslator>
#include <QWidget>
#include <memory>
#include <optional>

namespace forms {

extern const char* const kAppTitle;   // "Velqor电子琴", the title of every message box

// A file dialog request: filter as "描述|*.txt", flags (2 = ask before overwriting).
struct FileRequest {
    QString filter;
    QString initialDir;
    int flags = 0;
    QString fileName;   // proposed name, may be empty
};

// The chosen file: the full path and the file title (the name without its folder).
struct FileChoice {
    QString path;
    QString title;
};

// A window's common file dialog control: its initial folder and the last choice.
struct CommonDialog {
    QString InitDir;
    QString FileName;    // full path of the last choice
    QString FileTitle;   // the name without its folder
};

// The answer to a question with a cancel: "是", "否", or "取消" (also closing the box).
enum class Answer { Yes, No, Cancel };

// Each box and dialog stands centred on `parent`'s window and blocks the whole program; it is
// not that window's child, so the window may close or be deleted while the box is open.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box with an OK button, no icon and the program's title.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Yes/No question; true for Yes.
    virtual bool question(QWidget* parent, const QString& text) = 0;
    // Yes/No/Cancel question.
    virtual Answer questionWithCancel(QWidget* parent, const QString& text) = 0;
    // An input box; nullopt on cancel.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt,
                                         const QString& title, const QString& initial) = 0;
    // File dialogs; nullopt on cancel.
    virtual std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& request) = 0;
    virtual std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& request) = 0;
};

Dialogs& dialogs();
// Installs `d` (not owned); nullptr restores the Qt dialogs.
void setDialogs(Dialogs* d);

// True while a modal box or dialog shown through the seam is open.
bool boxOpen();
// True while a MIDI error box is open or a MIDI error text waits to be shown. Music clocks skip
// their ticks while it is; file dialogs and other boxes do not stop the music.
bool midiErrorBoxOpen();

// Shows a message box through the seam.
void MsgBox(const QString& text, QWidget* parent = nullptr);
bool AskYesNo(const QString& text, QWidget* parent = nullptr);
Answer AskYesNoCancel(const QString& text, QWidget* parent = nullptr);
std::optional<QString> InputBox(const QString& prompt, const QString& title = QString(),
                                const QString& initial = QString(), QWidget* parent = nullptr);
std::optional<FileChoice> ShowOpen(const FileRequest& request, QWidget* parent = nullptr);
std::optional<FileChoice> ShowSave(const FileRequest& request, QWidget* parent = nullptr);

// A MIDI error box never opens inside the handler whose send was refused, and never nests: the
// text waits and is shown right after that handler has returned and any box open then has
// closed, one box after the other. A text that is waiting, or showing or shown since the user
// last acted (pressed a key or a mouse button, or turned the wheel, with no box open), is not
// queued again: a key stroke or a click, with the clocks it sets going, and the start-up show at
// most one box per distinct text. The box is centred on the window the refusal came from (the
// active one then), also when that has closed meanwhile.
void MidiErrorBox(const QString& text);

// Qt's own texts (file dialogs, standard buttons) in Chinese: Qt's zh_CN translation from Qt's
// translations folder, to install on the application; nullptr when it is not installed, and Qt's
// English texts then stay.
std::unique_ptr<QTranslator> qtChineseTexts();

// Qt filter text ("描述 (*.txt)") from the classic form ("描述|*.txt").
QString qtFilter(const QString& classic);

}  // namespace forms
