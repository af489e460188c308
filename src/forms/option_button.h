#pragma once
// The Click of an option button: it runs when the button becomes selected (by the user or from
// code) and also when the user clicks the button that is selected already, never twice for one
// click. Qt reports the first as toggled(true) and the second only as clicked.
#include <QAbstractButton>
#include <functional>

namespace forms {

// Connects `handler` as the Click of option button `button`, for as long as `context` lives.
void onOptionClick(QAbstractButton* button, QObject* context, std::function<void()> handler);

}  // namespace forms
