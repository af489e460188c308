#include "forms/dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWindow>
#include <algorithm>
#include <deque>
#include <vector>

namespace forms {

const char* const kAppTitle = "Velqor电子琴";

namespace {

// A box or dialog stands over the window it belongs to without being that window's child: a
// window that closes or is deleted while its box is open (the start-up window handing over, a
// window deleted meanwhile) would delete the box with it, and the box lives on the stack of the
// call that shows it. So it has no parent: it blocks the whole program, stands centred on the
// window, and the window system keeps it above that window.
template <class Dialog>
class StandingOver : public Dialog {
public:
    template <class... Args>
    explicit StandingOver(QWidget* over, Args&&... args)
        : Dialog(std::forward<Args>(args)...), over_(over ? over->window() : nullptr)
    {
        this->setWindowModality(Qt::ApplicationModal);
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        Dialog::showEvent(event);   // a message box takes its final size here
        if (!over_) return;
        // Its inside is centred on the window's inside; its frame will be as wide as the window's.
        QMargins frame;
        if (QWindow* under = over_->windowHandle()) {
            frame = under->frameMargins();
            if (this->windowHandle()) this->windowHandle()->setTransientParent(under);
        }
        this->move(over_->geometry().center() - QRect(QPoint(), this->size()).center() -
                   QPoint(frame.left(), frame.top()));
    }

private:
    QPointer<QWidget> over_;
};

class QtDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& text) override
    {
        StandingOver<QMessageBox> box(parent, QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text,
                                      QMessageBox::Ok);
        box.exec();
    }
    bool question(QWidget* parent, const QString& text) override
    {
        StandingOver<QMessageBox> box(parent, QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text,
                                      QMessageBox::Yes | QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    Answer questionWithCancel(QWidget* parent, const QString& text) override
    {
        StandingOver<QMessageBox> box(parent, QMessageBox::NoIcon, QString::fromUtf8(kAppTitle), text,
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        const int chosen = box.exec();   // closing the box chooses Cancel
        return chosen == QMessageBox::Yes ? Answer::Yes : chosen == QMessageBox::No ? Answer::No : Answer::Cancel;
    }
    std::optional<QString> input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override
    {
        StandingOver<QInputDialog> box(parent);
        box.setWindowTitle(title.isEmpty() ? QString::fromUtf8(kAppTitle) : title);
        box.setLabelText(prompt);
        box.setTextValue(initial);
        if (box.exec() != QDialog::Accepted) return std::nullopt;
        return box.textValue();
    }
    std::optional<FileChoice> openFile(QWidget* parent, const FileRequest& r) override
    {
        StandingOver<QFileDialog> dialog(parent, nullptr, QString(), startPath(r), qtFilter(r.filter));
        dialog.setFileMode(QFileDialog::ExistingFile);
        return choice(dialog);
    }
    std::optional<FileChoice> saveFile(QWidget* parent, const FileRequest& r) override
    {
        // It adds the filter's extension to a name typed without one before it asks about
        // replacing, so the question is about the file that is really written.
        StandingOver<QFileDialog> dialog(parent, nullptr, QString(), startPath(r), qtFilter(r.filter));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !(r.flags & 2));
        dialog.setDefaultSuffix(defaultSuffix(r.filter));
        return choice(dialog);
    }

private:
    static QString startPath(const FileRequest& r)
    {
        if (r.fileName.isEmpty()) return r.initialDir;
        return r.initialDir.isEmpty() ? r.fileName : r.initialDir + '/' + r.fileName;
    }
    // The extension of the filter's first pattern when it names exactly one ("*.txt": "txt").
    static QString defaultSuffix(const QString& filter)
    {
        const QString pattern = filter.section('|', 1, 1);
        if (!pattern.startsWith(QLatin1String("*.")) || pattern.count('*') != 1 || pattern.contains(';')) return {};
        return pattern.mid(2);
    }
    // Qt's own file dialog everywhere: its texts come from the program's translation, and it
    // asks before replacing the file it really returns.
    static std::optional<FileChoice> choice(QFileDialog& dialog)
    {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QString path = dialog.selectedFiles().value(0);
        if (path.isEmpty()) return std::nullopt;
        return FileChoice{path, QFileInfo(path).fileName()};
    }
};

Dialogs* g_override = nullptr;
int g_open = 0;
// MIDI error boxes: the texts waiting (with the window that raised each), and the texts shown
// since the user last acted.
struct MidiBox {
    QString text;
    QPointer<QWidget> window;
};
int g_midiOpen = 0;
std::deque<MidiBox> g_midiQueue;
QStringList g_midiShownThisRound;
bool g_midiShowPosted = false;

// The windows the boxes open now stand over, the innermost last.
std::vector<QPointer<QWidget>> g_standingOver;

struct OpenGuard {
    explicit OpenGuard(QWidget* over)
    {
        ++g_open;
        g_standingOver.emplace_back(over ? over->window() : nullptr);
    }
    ~OpenGuard()
    {
        --g_open;
        g_standingOver.pop_back();
    }
};

// The window a refusal comes from is the one the user acts in: the active window, or the window
// under the dialog or box that is open over it.
QWidget* raisingWindow()
{
    QWidget* w = QApplication::activeWindow();
    while (w && w->isModal() && w->parentWidget()) w = w->parentWidget()->window();
    if (w && w->isModal()) w = g_standingOver.empty() ? nullptr : g_standingOver.back().data();
    return w;
}

void showWaitingMidiBoxes();

// The waiting texts are shown once the handler that raised them has returned: a zero-delay call,
// run when the program is back in its event loop.
void postMidiBoxes()
{
    if (g_midiShowPosted || g_midiQueue.empty()) return;
    g_midiShowPosted = true;
    QMetaObject::invokeMethod(QCoreApplication::instance(), &showWaitingMidiBoxes, Qt::QueuedConnection);
}

// Shows the waiting texts one after the other. While another box is open (its own event loop
// runs this call) they wait for it to close, and are posted again then.
void showWaitingMidiBoxes()
{
    g_midiShowPosted = false;
    if (g_open > 0) return;
    while (!g_midiQueue.empty()) {
        const MidiBox box = g_midiQueue.front();
        ++g_midiOpen;
        g_midiQueue.pop_front();
        g_midiShownThisRound << box.text;
        MsgBox(box.text, box.window);
        --g_midiOpen;
    }
}

// A key or mouse button pressed, or the wheel turned, while no box or dialog is open is a new
// action of the user: the texts shown since the last one may be shown again. The work an action
// sets going (a clock it starts, the ticks that follow its box) tells each text once.
class NewActionWatch : public QObject {
public:
    explicit NewActionWatch(QObject* app) : QObject(app) { app->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::Wheel) &&
            !QApplication::activeModalWidget())
            g_midiShownThisRound.clear();
        return QObject::eventFilter(watched, event);
    }
};

void watchNewActions()
{
    static const NewActionWatch* const watch = new NewActionWatch(QCoreApplication::instance());
    (void)watch;
}

// Shows one box or dialog through the seam: it counts as open while it stands, and once it has
// closed the MIDI error texts that waited for it are posted.
template <class Show>
auto shown(QWidget* over, Show show)
{
    struct PostWaiting {
        ~PostWaiting() { postMidiBoxes(); }
    } afterClose;   // declared first, so it runs after the guard has counted the box closed
    OpenGuard guard(over);
    return show();
}

}  // namespace

Dialogs& dialogs()
{
    static QtDialogs qt;
    return g_override ? *g_override : qt;
}

void setDialogs(Dialogs* d)
{
    g_override = d;
    g_midiQueue.clear();
    g_midiShownThisRound.clear();
}

bool boxOpen() { return g_open > 0; }

bool midiErrorBoxOpen() { return g_midiOpen > 0 || !g_midiQueue.empty(); }

void MsgBox(const QString& text, QWidget* parent)
{
    shown(parent, [&] { dialogs().message(parent, text); });
}

bool AskYesNo(const QString& text, QWidget* parent)
{
    return shown(parent, [&] { return dialogs().question(parent, text); });
}

Answer AskYesNoCancel(const QString& text, QWidget* parent)
{
    return shown(parent, [&] { return dialogs().questionWithCancel(parent, text); });
}

std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& initial,
                                QWidget* parent)
{
    return shown(parent, [&] { return dialogs().input(parent, prompt, title, initial); });
}

std::optional<FileChoice> ShowOpen(const FileRequest& request, QWidget* parent)
{
    return shown(parent, [&] { return dialogs().openFile(parent, request); });
}

std::optional<FileChoice> ShowSave(const FileRequest& request, QWidget* parent)
{
    return shown(parent, [&] { return dialogs().saveFile(parent, request); });
}

void MidiErrorBox(const QString& text)
{
    watchNewActions();
    // A refusal whose text is waiting, or showing or shown since the user last acted, adds no box.
    if (g_midiShownThisRound.contains(text) ||
        std::any_of(g_midiQueue.begin(), g_midiQueue.end(), [&](const MidiBox& b) { return b.text == text; }))
        return;
    g_midiQueue.push_back({text, raisingWindow()});
    postMidiBoxes();
}

std::unique_ptr<QTranslator> qtChineseTexts()
{
    auto texts = std::make_unique<QTranslator>();
    if (!texts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    return texts;
}

QString qtFilter(const QString& classic)
{
    const QStringList parts = classic.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        out << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    return out.join(QStringLiteral(";;"));
}

}  // namespace forms
