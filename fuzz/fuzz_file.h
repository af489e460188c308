#pragma once
// What the file-level fuzz targets share: the input as file bytes, now and then grown past a
// reader's size limit, and a folder of their own to lay them in.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>

namespace fuzz_file {

// The input's bytes. An input that starts with 0xFF 0xFE 0xFD is padded with blanks to one byte
// below, at or one byte over `limit` (by its fourth byte), so that every reader meets files
// right at its size limit too.
inline QByteArray bytesOf(const uint8_t* data, size_t size, qint64 limit)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (size >= 4 && data[0] == 0xFF && data[1] == 0xFE && data[2] == 0xFD) {
        const qint64 target = limit - 1 + data[3] % 3;
        bytes.remove(0, 4);
        if (bytes.size() < target) bytes.append(QByteArray(target - bytes.size(), ' '));
    }
    return bytes;
}

// A folder for the run (in memory where the system has one), with a trailing "/".
class Folder {
public:
    Folder()
        : dir_((QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath()) +
               QStringLiteral("/velqor-fuzz-XXXXXX")) {}
    QString path() const { return dir_.path() + QLatin1Char('/'); }
    QString file(const QString& name) const { return path() + name; }
    bool write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
    }

private:
    QTemporaryDir dir_;
};

}  // namespace fuzz_file
