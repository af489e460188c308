#pragma once
// Text files: written in GBK with CRLF line ends, atomically; read as GBK or UTF-8 with any
// line ends.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace forms {

// Decodes file bytes: UTF-8 when they carry a BOM or are valid UTF-8, else GBK.
QString decodeText(const QByteArray& bytes);
// Encodes text as GBK (characters GBK lacks become '?').
QByteArray encodeGbk(const QString& text);

// Whole file as text; nullopt when it cannot be read.
std::optional<QString> readText(const QString& path);
// The file's lines (CRLF, LF or CR); a final line end does not make an extra empty line.
std::optional<QStringList> readLines(const QString& path);
// Splits text into lines as readLines does.
QStringList splitLines(const QString& text);

// Writes `text` as GBK atomically; false (old file kept) on failure.
bool writeText(const QString& path, const QString& text);
// Writes each line followed by CRLF.
bool writeLines(const QString& path, const QStringList& lines);
// Writes raw bytes atomically.
bool writeBytes(const QString& path, const QByteArray& bytes);

// Joins a folder that ends with a separator and a relative name (a "\" in the name is a folder
// separator, as in "音效\玻璃1.wav").
QString joinPath(const QString& folder, const QString& name);

}  // namespace forms
