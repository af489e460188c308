#pragma once
// Text files: written in GBK with CRLF line ends, whole or not at all; read as GBK, UTF-8 or
// UTF-16 (with its byte-order mark) with any line ends, and never past a size limit.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace forms {

// Decodes file bytes: UTF-16 when they start with its byte-order mark, UTF-8 when they carry a
// BOM or are valid UTF-8, else GBK.
QString decodeText(const QByteArray& bytes);
// The text file bytes hold, decoded as decodeText does; nullopt when they are not text: their
// encoding cannot decode them, or they hold a control character other than tab, CR and LF (a
// NUL, say). A Ctrl-Z as the very last character marks the end of the text and is dropped.
std::optional<QString> decodeIfText(const QByteArray& bytes);
// Encodes text as GBK (characters GBK lacks become '?').
QByteArray encodeGbk(const QString& text);
// Encodes `text` to be added to a file that holds `bytes`, in the encoding decodeText reads
// them in: UTF-16 or UTF-8 when they are (UTF-8 only when they hold more than plain ASCII),
// else GBK. nullopt when nothing can be added (UTF-16 cut in the middle of a character).
std::optional<QByteArray> encodeLike(const QByteArray& bytes, const QString& text);
// Whether text added to a file holding `bytes` starts on a line of its own: the file is empty or
// ends with a line end (a dangling first byte of a GBK character would take the next one).
bool endsWithLineEnd(const QByteArray& bytes);
// The position of the first character of `text` that GBK lacks (a surrogate pair counts as one
// character, at its first half); -1 when the whole text can be written.
qsizetype firstCharOutsideGbk(const QString& text);
// That character itself (both halves of a surrogate pair); empty when the whole text can be
// written.
QString charOutsideGbk(const QString& text);
// A character as a box names it: a visible one between quotes (“字”), one that shows nothing or
// turns the text around it (a control, a space, a direction mark, a combining mark) by its code
// (U+202E).
QString charForBox(const QString& ch);

// The largest file a reader takes when it names no limit of its own. Every text file of the
// program is far smaller; a bigger one is not one of ours, and reading it would keep the window
// from answering.
inline constexpr qint64 kTextFileLimit = 1024 * 1024;

// Why a read gave nothing.
enum class ReadFailure {
    None,
    Unreadable,   // missing, not a plain file (a folder, a pipe, a device) or not readable
    TooLarge,     // bigger than the reader's limit: nothing of it was read
    NotText,      // not text (see decodeIfText)
    Empty,        // nothing in it but line ends
};

// The file's bytes; nullopt when it is not a readable plain file or holds more than `limit`
// bytes (checked before anything is read).
std::optional<QByteArray> readBytes(const QString& path, qint64 limit = kTextFileLimit, ReadFailure* why = nullptr);
// Whole file as text; nullopt as for readBytes.
std::optional<QString> readText(const QString& path, qint64 limit = kTextFileLimit, ReadFailure* why = nullptr);
// Whole file as text, for a reader that replaces what the user has with what it reads: nullopt
// as for readText, and also when the file is not text or holds nothing but line ends.
std::optional<QString> readTextFile(const QString& path, qint64 limit, ReadFailure* why = nullptr);
// The text of a file's bytes as readTextFile gives it: nullopt (NotText or Empty in `why`) when
// they are not text or hold nothing but line ends.
std::optional<QString> textFromFileBytes(const QByteArray& bytes, ReadFailure* why = nullptr);
// The file's lines (CRLF, LF or CR); a final line end does not make an extra empty line.
std::optional<QStringList> readLines(const QString& path, qint64 limit = kTextFileLimit, ReadFailure* why = nullptr);
// Size limits as the messages state them ("4 KB", "512 KB", "1 MB").
QString sizeText(qint64 bytes);
// Splits text into lines as readLines does.
QStringList splitLines(const QString& text);

// Writes `text` as GBK, whole or not at all; false (the old file kept byte for byte) on failure.
bool writeText(const QString& path, const QString& text);
// Writes each line followed by CRLF.
bool writeLines(const QString& path, const QStringList& lines);
// Writes raw bytes, whole or not at all.
bool writeBytes(const QString& path, const QByteArray& bytes);

// Whether `name` can only be a file directly in the folder it is joined to: not empty, not "."
// or "..", and without a separator ("/" or "\") or a NUL character.
bool isPlainFileName(const QString& name);

// Joins a folder that ends with a separator and a relative name (a "\" in the name is a folder
// separator, as in "音效\玻璃1.wav").
QString joinPath(const QString& folder, const QString& name);

}  // namespace forms
