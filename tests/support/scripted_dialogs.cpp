#include "support/scripted_dialogs.h"

#include <QFileInfo>

namespace testing_support {

forms::FileChoice ScriptedDialogs::file(const QString& path) { return {path, QFileInfo(path).fileName()}; }

}  // namespace testing_support
