#pragma once
// The Click of an option button: it runs when the button becomes selected (by the user or from
// code) and also when the user clicks the button that is selected already, never twice for one
// click. Qt reports the first as toggled(true) and the second only as clicked.
#include <QAbstractButton>
#include <QPaintEvent>
#include <QRadioButton>
#include <QStyleOptionButton>
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

// Paints option or check box `button` as a push button: its face as its style sheet draws it (the
// bevel, raised or pressed in; the indicator hidden by the sheet), and its caption centred over
// the whole control, in the sheet's colours, grey while disabled.
void paintAsButton(QAbstractButton& button, QStyleOptionButton option);

// An option or check box (`Base`) drawn as a button: the caption stands in the middle as on a
// push button, not where it would sit beside an indicator, and a click anywhere on the face
// counts. What the control does (checked state, groups, keys, focus) is Base's.
template <class Base>
class DrawnAsButton : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStyleOptionButton option;
        this->initStyleOption(&option);
        paintAsButton(*this, option);
    }
    bool hitButton(const QPoint& pos) const override { return this->rect().contains(pos); }
};

}  // namespace forms
