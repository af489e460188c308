#include "forms/controls.h"

#include <QSignalBlocker>

namespace forms {

QComboBox* combo(QWidget* parent, int x, int y, int w, int h, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setGeometry(x, y, w, h);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    QSignalBlocker block(c);
    c->addItems(items);
    c->setCurrentIndex(-1);
    return c;
}

QLineEdit* lineEdit(QWidget* parent, int x, int y, int w, int h, int maxLength)
{
    auto* e = new QLineEdit(parent);
    e->setGeometry(x, y, w, h);
    e->setMaxLength(maxLength);
    return e;
}

QStringList numberItems(int from, int to, int step)
{
    QStringList items;
    for (int v = from; v <= to; v += step) items << QString::number(v);
    return items;
}

}  // namespace forms
