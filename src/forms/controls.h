#pragma once
// Small helpers that create a window's controls at their designed place.
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace forms {

// A control of kind W with its text, placed at its designed position.
template <class W>
W* placed(QWidget* parent, const QString& text, int x, int y, int w, int h)
{
    auto* c = new W(text, parent);
    c->setGeometry(x, y, w, h);
    return c;
}

// A drop-down list whose text can also be typed (the typed text raises the list's change
// handler). Designed lists start with no item selected. A wheel changes the list only while it
// has the focus.
QComboBox* combo(QWidget* parent, int x, int y, int w, int h, const QStringList& items = {});

// A one-line text box holding at most `maxLength` characters.
QLineEdit* lineEdit(QWidget* parent, int x, int y, int w, int h, int maxLength);

// The numbers from..to in steps of `step`, as list items.
QStringList numberItems(int from, int to, int step);

}  // namespace forms
