#include "keyboard/score_box.h"

#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextLayout>
#include <algorithm>
#include <vector>

namespace keyboard {
namespace {

// The user state of a paragraph that ends at one of the box's own cuts.
constexpr int kCutEnd = 1;

// Runs edits on the document without undo history, without the box's change signal, and with
// the view where it was.
class QuietEdit {
public:
    explicit QuietEdit(QPlainTextEdit* box)
        : box_(box), doc_(box->document()), undo_(doc_->isUndoRedoEnabled()),
          top_(box->verticalScrollBar()->value()), quiet_(box)
    {
        doc_->setUndoRedoEnabled(false);
    }
    ~QuietEdit()
    {
        doc_->setUndoRedoEnabled(undo_);
        box_->verticalScrollBar()->setValue(top_);
    }

private:
    QPlainTextEdit* box_;
    QTextDocument* doc_;
    bool undo_;
    int top_;
    QSignalBlocker quiet_;
};

}  // namespace

ScoreBox::ScoreBox(QWidget* parent) : QPlainTextEdit(parent) {}

QString ScoreBox::toPlainText() const
{
    const QString text = QPlainTextEdit::toPlainText();
    if (!cut_) return text;
    // One character per document position: the paragraph ends of the cuts are left out.
    QString joined;
    joined.reserve(text.size());
    for (QTextBlock b = QPlainTextEdit::document()->firstBlock(); b.isValid(); b = b.next()) {
        const qsizetype end = std::min<qsizetype>(b.position() + b.length(), text.size());
        const qsizetype keep = b.userState() == kCutEnd ? end - 1 : end;
        joined += QStringView(text).mid(b.position(), keep - b.position());
    }
    return joined;
}

void ScoreBox::setPlainText(const QString& text)
{
    cut_ = false;
    QPlainTextEdit::setPlainText(text);
}

void ScoreBox::clear()
{
    cut_ = false;
    QPlainTextEdit::clear();
}

QTextDocument* ScoreBox::document() const
{
    joinLines();
    return QPlainTextEdit::document();
}

QTextCursor ScoreBox::textCursor() const
{
    joinLines();
    return QPlainTextEdit::textCursor();
}

void ScoreBox::select(int from, int to)
{
    QTextCursor c = textCursor();
    // Placing the cursor measures the paragraph it is in, and the paragraph's layout forgets
    // those measurements each time the box paints: in a score of one long paragraph, playback
    // would measure the whole score again at every token. The paragraph keeps them instead (a
    // few MB at the longest score).
    QPlainTextEdit::document()->findBlock(from).layout()->setCacheEnabled(true);
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

void ScoreBox::appendText(const QString& tail)
{
    QTextDocument* doc = QPlainTextEdit::document();
    {
        // Inserting is the change the box reports; only the undo history is left out.
        const bool undo = doc->isUndoRedoEnabled();
        doc->setUndoRedoEnabled(false);
        QTextCursor end(doc);
        end.movePosition(QTextCursor::End);
        end.insertText(tail);
        doc->setUndoRedoEnabled(undo);
    }
    cutBeforeLastLine();
}

void ScoreBox::cutBeforeLastLine()
{
    QTextDocument* doc = QPlainTextEdit::document();
    QTextBlock last = doc->lastBlock();
    const QTextLayout* layout = last.layout();
    // A paragraph the box has not laid out (the window is hidden) is left as it is.
    const int lines = layout ? layout->lineCount() : 0;
    if (lines < 2) return;
    const int cutAt = last.position() + layout->lineAt(lines - 1).textStart();
    const QuietEdit quiet(this);
    QTextCursor c(doc);
    c.setPosition(cutAt);
    c.insertBlock();
    QTextBlock before = doc->findBlock(cutAt - 1);
    // The lines before the cut must wrap as they did; where they would not (a glyph measured
    // differently without its neighbour), the cut is taken back.
    if (!before.layout() || before.layout()->lineCount() != lines - 1) {
        c.setPosition(cutAt);
        c.deletePreviousChar();
        return;
    }
    before.setUserState(kCutEnd);
    doc->lastBlock().setUserState(-1);
    cut_ = true;
}

void ScoreBox::joinLines() const
{
    if (!cut_) return;
    cut_ = false;
    auto* self = const_cast<ScoreBox*>(this);
    QTextDocument* doc = self->QPlainTextEdit::document();
    std::vector<int> ends;   // positions of the cut paragraph ends, in order
    for (QTextBlock b = doc->firstBlock(); b.isValid(); b = b.next())
        if (b.userState() == kCutEnd) ends.push_back(b.position() + b.length() - 1);
    if (ends.empty()) return;
    const QuietEdit quiet(self);
    QTextCursor c(doc);
    // One edit: the box lays the joined paragraphs out once. From the last cut to the first, so
    // that the positions before each stay as they were; a joined paragraph ends as the one
    // behind the cut did.
    c.beginEditBlock();
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        const int state = doc->findBlock(*it + 1).userState();
        c.setPosition(*it);
        c.deleteChar();
        doc->findBlock(*it).setUserState(state);
    }
    c.endEditBlock();
}

void ScoreBox::focusInEvent(QFocusEvent* e)
{
    joinLines();   // the user edits the text itself
    QPlainTextEdit::focusInEvent(e);
}

void ScoreBox::dragEnterEvent(QDragEnterEvent* e)
{
    joinLines();
    QPlainTextEdit::dragEnterEvent(e);
}

void ScoreBox::resizeEvent(QResizeEvent* e)
{
    // At another width the box wraps elsewhere: the cuts would show as short lines.
    if (e->oldSize().width() != e->size().width()) joinLines();
    QPlainTextEdit::resizeEvent(e);
}

}  // namespace keyboard
