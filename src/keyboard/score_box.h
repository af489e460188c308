#pragma once
// The score box: a plain-text box for a score that grows at its end while the keys record it.
//
// A score is one long paragraph, and a text box lays a paragraph out whole again whenever it
// changes, so every key would cost more the longer the score. This box keeps what it shows in
// paragraphs of its own, cut where the box wraps the lines anyway, so that text added at the end
// lays out only the last line. The cuts are the box's own: the text read from and written to it
// is the score as one string, and before anything works with positions in the text (the
// document, the cursor, the user's editing) or the width changes, the box joins them again.
#include <QPlainTextEdit>

namespace keyboard {

class ScoreBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ScoreBox(QWidget* parent = nullptr);

    // The text, without the box's own cuts.
    QString toPlainText() const;
    void setPlainText(const QString& text);
    void clear();
    // The document and the cursor, with the cuts joined: positions are those of the text.
    QTextDocument* document() const;
    QTextCursor textCursor() const;

    // Selects the text from `from` to `to` (positions of the text) and scrolls it into view.
    void select(int from, int to);

    // Adds `tail` at the end of the text. It is the keys' recording, not typing: the box keeps
    // no undo history for it.
    void appendText(const QString& tail);
    // Whether the text is kept in cut lines now.
    bool cut() const { return cut_; }

protected:
    void focusInEvent(QFocusEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    // Joins the cut lines into the paragraphs of the text, keeping the view and the cursor.
    // Const because the accessors above call it: the text does not change.
    void joinLines() const;
    // Cuts the last paragraph before its last displayed line, where the box wraps it anyway.
    void cutBeforeLastLine();

    mutable bool cut_ = false;
};

}  // namespace keyboard
