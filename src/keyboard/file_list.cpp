#include "keyboard/file_list.h"

#include "forms/textfile.h"

#include <QDir>
#include <QListWidget>
#include <QSignalBlocker>

namespace keyboard {

QStringList ListFiles(const QString& folder, const QString& pattern)
{
    QDir dir(folder);
    QStringList names = dir.entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    // A name holding "\" would be read as a path when it is joined to the folder again.
    names.removeIf([](const QString& name) { return !forms::isPlainFileName(name); });
    return names;
}

void RefreshFileList(QListWidget* list, const QString& folder, const QString& pattern)
{
    QSignalBlocker block(list);
    const QString selected = list->currentItem() ? list->currentItem()->text() : QString();
    list->clear();
    const QStringList names = ListFiles(folder, pattern);
    list->addItems(names);
    list->setCurrentRow(selected.isEmpty() ? -1 : int(names.indexOf(selected)));
}

}  // namespace keyboard
