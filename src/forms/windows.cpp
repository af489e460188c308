#include "forms/windows.h"

#include <QHash>

namespace forms {
namespace {
QHash<QString, WindowEntry>& registry()
{
    static QHash<QString, WindowEntry> r;
    return r;
}
}  // namespace

void registerWindow(const QString& name, WindowEntry entry) { registry().insert(name, std::move(entry)); }
void unregisterWindow(const QString& name) { registry().remove(name); }
bool hasWindow(const QString& name) { return registry().contains(name); }

bool showWindow(const QString& name)
{
    auto it = registry().find(name);
    if (it == registry().end() || !it->show) return false;
    auto show = it->show;   // the call may change the registry
    show();
    return true;
}

bool hideWindow(const QString& name)
{
    auto it = registry().find(name);
    if (it == registry().end() || !it->hide) return false;
    auto hide = it->hide;
    hide();
    return true;
}

bool windowVisible(const QString& name)
{
    auto it = registry().find(name);
    return it != registry().end() && it->visible && it->visible();
}

}  // namespace forms
