#pragma once
// The Click of an option button: it runs when the button becomes selected (by the user or from
// code) and also when the user clicks the button that is selected already, never twice for one
// click. Qt reports the first as toggled(true) and the second only as clicked.
#include <QAbstractButton>
#include <QRadioButton>
#include <functional>

namespace forms {

// Connects `handler` as the Click of option button `button`, for as long as `context` lives.
void onOptionClick(QAbstractButton* button, QObject* context, std::function<void()> handler);

// Clears an option button from code; its Click, which runs on selection only, does not run. Qt
// keeps the selected button of an auto-exclusive group selected when it is cleared directly;
// this clears it all the same.
void unselectOption(QAbstractButton* button);

// An option button that a click only ever selects. Qt lets a click clear a radio button that has
// no other option button beside it in its container; an option button stays selected until
// code clears it.
class OptionButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override;
};

}  // namespace forms
