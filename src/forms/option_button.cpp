#include "forms/option_button.h"

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

}  // namespace forms
