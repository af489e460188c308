#pragma once
// Small services of the operating system: single-instance lock and opening a page in the browser.
#include <QString>

namespace platform {

// Takes the program's single-instance lock; false when another instance holds it.
bool acquireSingleInstance(const QString& key = QStringLiteral("velqor-keyboard"));
// Opens a local file or an address in the user's browser; false on failure.
bool openInBrowser(const QString& pathOrUrl);

}  // namespace platform
