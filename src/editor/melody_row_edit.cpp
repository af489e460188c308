#include "editor/melody_row_edit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace editor {

MelodyRowEdit::MelodyRowEdit(QWidget* parent) : QLineEdit(parent)
{
    // Printable ASCII only: letters, digits, "-" and the like; no input method text.
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\x20-\\x7E]*")), this));
    setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    setMaxLength(limit_);
    // The box never cuts what it holds: its maximum follows a longer text down to the limit as
    // characters are taken out, so typing cannot make a text longer than the limit.
    connect(this, &QLineEdit::textChanged, this, [this] { followLength(); });
}

void MelodyRowEdit::setTypingLimit(int characters)
{
    limit_ = std::max(1, characters);
    followLength();
}

void MelodyRowEdit::showText(const QString& text)
{
    setMaxLength(std::max<int>(limit_, text.size()));
    setText(text);
}

void MelodyRowEdit::followLength()
{
    setMaxLength(std::max<int>(limit_, text().size()));
}

}  // namespace editor
