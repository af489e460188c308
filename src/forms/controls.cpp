#include "forms/controls.h"

#include <QEvent>
#include <QSignalBlocker>

namespace forms {
namespace {

// Lists change only by a choice: a wheel turned over a list that has no focus (on its way to
// another control) is swallowed, so it neither changes the list nor reaches its handler.
class WheelOnlyWithFocus : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) return false;
        event->ignore();
        return true;
    }
};

}  // namespace

QComboBox* combo(QWidget* parent, int x, int y, int w, int h, const QStringList& items)
{
    auto* c = new QComboBox(parent);
    c->setGeometry(x, y, w, h);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->setMaxVisibleItems(20);
    c->setFocusPolicy(Qt::StrongFocus);   // a wheel gives no focus
    c->installEventFilter(new WheelOnlyWithFocus(c));
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
