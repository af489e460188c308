#pragma once
// A file list control: the files of one folder that match a pattern, listed as a file list box
// lists them (by name, ignoring case).
#include <QString>
#include <QStringList>

class QListWidget;
class QWidget;

namespace keyboard {

// The names of the files in `folder` matching `pattern` (for example "*.bin", any case).
QStringList ListFiles(const QString& folder, const QString& pattern);
// Refills `list` with ListFiles(folder, pattern) with its signals blocked; the selection is
// kept when its name is still listed, else the list has none.
void RefreshFileList(QListWidget* list, const QString& folder, const QString& pattern);
// Selects the entry named exactly `name` with the list's signals blocked; none when the list
// does not hold it.
void SelectListedFile(QListWidget* list, const QString& name);

enum class DeleteResult { NoFile, Kept, Deleted, Failed };
// Deletes the plain file at `path` once the user has answered 是 to a question that names it as
// a `kind` ("乐谱文件"); 否 keeps it. A delete that fails (a read-only folder) says so in a box.
// NoFile, without a question, when `path` names no plain file.
DeleteResult DeleteFileAsked(const QString& path, const QString& kind, QWidget* parent);

}  // namespace keyboard
