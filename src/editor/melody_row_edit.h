#pragma once
// The text box of one melody row: typing is held to 2 x S printable ASCII characters (the edit
// file is ASCII), while a text shown from code is shown whole, however long.
#include <QLineEdit>

namespace editor {

class MelodyRowEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MelodyRowEdit(QWidget* parent = nullptr);

    // The most characters typing may leave in the box: 2 x S.
    void setTypingLimit(int characters);
    int typingLimit() const { return limit_; }
    // Shows a text from code, whole.
    void showText(const QString& text);

private:
    void followLength();
    int limit_ = 32;
};

}  // namespace editor
