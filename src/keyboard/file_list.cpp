#include "keyboard/file_list.h"

#include "forms/dialogs.h"
#include "forms/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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
    list->addItems(ListFiles(folder, pattern));
    SelectListedFile(list, selected);
}

void SelectListedFile(QListWidget* list, const QString& name)
{
    QSignalBlocker block(list);
    int row = -1;
    for (int i = 0; i < list->count() && row < 0 && !name.isEmpty(); ++i)
        if (list->item(i)->text() == name) row = i;
    list->setCurrentRow(row);
}

DeleteResult DeleteFileAsked(const QString& path, const QString& kind, QWidget* parent)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) return DeleteResult::NoFile;
    const QString name = QFileInfo(path).fileName();
    if (!forms::AskYesNo(QStringLiteral("确实要删除%1“%2”吗？").arg(kind, name), parent)) return DeleteResult::Kept;
    if (QFile::remove(path)) return DeleteResult::Deleted;
    forms::MsgBox(QStringLiteral("%1“%2”删除失败，请检查文件和文件夹是否可写！").arg(kind, name), parent);
    return DeleteResult::Failed;
}

}  // namespace keyboard
