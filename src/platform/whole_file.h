#pragma once
// Writing a file whole or not at all. The data goes into a new file beside the target; every
// write is checked, the data is flushed to the disk, and only then does the new file take the
// target's name in one step. Any failure on the way (a full disk, a file-size limit, a folder
// that cannot be written) removes the new file and leaves the old one byte for byte.
#include <QByteArray>
#include <QString>

namespace platform {

class WholeFileWriter {
public:
    explicit WholeFileWriter(const QString& path);
    ~WholeFileWriter();   // an uncommitted write is discarded
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // Creates the new file beside the target (a symbolic link's target is the one replaced).
    bool open();
    // Appends bytes; false, and every later call false, once a write has failed.
    bool write(const char* data, qint64 size);
    bool write(const QByteArray& bytes) { return write(bytes.constData(), bytes.size()); }
    // Flushes the data to the disk and puts the new file in the target's place; false (the old
    // file untouched, the new one removed) when any step failed.
    bool commit();
    // Drops the new file.
    void discard();
    // Why the last step failed.
    QString errorString() const { return error_; }

private:
    bool fail(const QString& what);

    QString path_;
    QString target_;
    QString temp_;
    int fd_ = -1;
    bool failed_ = false;
    QString error_;
};

// Writes `bytes` as the whole file at `path`; false, with the reason in `error`, when the file
// could not be written whole (the old file is then kept as it was).
bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);

// Removes from `folder` the new files of writes that never ended (the program was killed during
// a save): the hidden files named as WholeFileWriter names them, and nothing else. Only where no
// write of the program can be going on.
void removeLeftoverTempFiles(const QString& folder);

// Copies the file `from` to `to` a piece at a time, whole or not at all (an older `to` is
// replaced only by a complete copy).
bool copyWholeFile(const QString& from, const QString& to, QString* error = nullptr);

}  // namespace platform
