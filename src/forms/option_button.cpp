#include "forms/option_button.h"

#include <QStyle>
#include <QStylePainter>
#include <memory>

namespace forms {

void onOptionClick(QAbstractButton* button, QObject* context, std::function<void()> handler)
{
    // Whether the button was selected when the press began: a click on a selected button changes
    // nothing, so toggled does not report it.
    auto selectedAtPress = std::make_shared<bool>(false);
    QObject::connect(button, &QAbstractButton::pressed, context,
                     [button, selectedAtPress] { *selectedAtPress = button->isChecked(); });
    QObject::connect(button, &QAbstractButton::toggled, context, [handler](bool on) {
        if (on) handler();
    });
    QObject::connect(button, &QAbstractButton::clicked, context, [handler, selectedAtPress] {
        if (*selectedAtPress) handler();
        *selectedAtPress = false;
    });
}

void unselectOption(QAbstractButton* button)
{
    if (!button->isChecked()) return;
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

void OptionButton::nextCheckState()
{
    if (!isChecked()) setChecked(true);
}

void paintAsButton(QAbstractButton& button, QStyleOptionButton option)
{
    const bool radio = qobject_cast<QRadioButton*>(&button) != nullptr;
    QStylePainter painter(&button);
    // The face and the focus frame as the style draws them, without the caption, which would
    // stand where it sits beside an indicator.
    QStyleOptionButton face = option;
    face.text.clear();
    painter.drawControl(radio ? QStyle::CE_RadioButton : QStyle::CE_CheckBox, face);
    // The caption drawn by the style's own label element, given exactly the room the text takes
    // in the middle of the control, so that its left alignment centres it.
    option.rect = button.style()->itemTextRect(button.fontMetrics(), button.rect(),
                                               Qt::AlignCenter | Qt::TextShowMnemonic,
                                               button.isEnabled(), option.text);
    painter.drawControl(radio ? QStyle::CE_RadioButtonLabel : QStyle::CE_CheckBoxLabel, option);
}

}  // namespace forms
