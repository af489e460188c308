#pragma once
// The window registry: the main window and the score editor show and hide each other through
// it, never by calling each other's procedures.
#include <QString>
#include <functional>

namespace forms {

struct WindowEntry {
    std::function<void()> show;   // shows the window and runs its activation
    std::function<void()> hide;
    std::function<bool()> visible;
};

void registerWindow(const QString& name, WindowEntry entry);
void unregisterWindow(const QString& name);
bool hasWindow(const QString& name);
// False when no window of that name is registered.
bool showWindow(const QString& name);
bool hideWindow(const QString& name);
bool windowVisible(const QString& name);

namespace window {
inline const QString Main = QStringLiteral("main");
inline const QString Editor = QStringLiteral("editor");
inline const QString ScoreEntry = QStringLiteral("score-entry");
}  // namespace window

}  // namespace forms
