#include "platform/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// The new file's name beside the target "name": ".name.tmp-" and a random number in base 36.
const QString kTempMark = QStringLiteral(".tmp-");

}  // namespace

WholeFileWriter::WholeFileWriter(const QString& path) : path_(path) {}

WholeFileWriter::~WholeFileWriter() { discard(); }

bool WholeFileWriter::fail(const QString& what)
{
    error_ = what + QStringLiteral("：") + qt_error_string(errno);
    failed_ = true;
    discard();
    return false;
}

bool WholeFileWriter::open()
{
    discard();
    failed_ = false;
    error_.clear();
    if (path_.isEmpty()) {
        errno = ENOENT;
        return fail(QStringLiteral("没有文件名"));
    }
    const QFileInfo link(path_);
    target_ = link.isSymLink() ? link.symLinkTarget() : link.absoluteFilePath();
    const QByteArray target = QFile::encodeName(target_);

    // A file that exists keeps its permissions; a new one gets the usual ones.
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        errno = EISDIR;
        return fail(QStringLiteral("无法写入 %1").arg(path_));
    }

    const QFileInfo info(target_);
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = info.absolutePath() + QStringLiteral("/.") + info.fileName() + kTempMark +
                QString::number(QRandomGenerator::global()->generate(), 36);
        fd_ = ::open(QFile::encodeName(temp_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     exists ? 0600 : 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temp_.clear();
        return fail(QStringLiteral("无法写入 %1").arg(path_));
    }
    if (exists) (void)::fchmod(fd_, old.st_mode & 07777);
    return true;
}

bool WholeFileWriter::write(const char* data, qint64 size)
{
    if (failed_ || fd_ < 0) return false;
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(QStringLiteral("写入 %1 失败").arg(path_));
        }
        if (n == 0) {
            errno = EIO;
            return fail(QStringLiteral("写入 %1 失败").arg(path_));
        }
        data += n;
        size -= n;
    }
    return true;
}

bool WholeFileWriter::commit()
{
    if (failed_ || fd_ < 0) {
        discard();
        return false;
    }
    if (::fsync(fd_) != 0) return fail(QStringLiteral("写入 %1 失败").arg(path_));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(QStringLiteral("写入 %1 失败").arg(path_));
    if (::rename(QFile::encodeName(temp_).constData(), QFile::encodeName(target_).constData()) != 0)
        return fail(QStringLiteral("无法写入 %1").arg(path_));
    temp_.clear();
    return true;
}

void WholeFileWriter::discard()
{
    const int saved = errno;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.isEmpty()) ::unlink(QFile::encodeName(temp_).constData());
    temp_.clear();
    errno = saved;
}

bool writeWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    WholeFileWriter out(path);
    const bool ok = out.open() && out.write(bytes) && out.commit();
    if (!ok && error) *error = out.errorString();
    return ok;
}

bool copyWholeFile(const QString& from, const QString& to, QString* error)
{
    QFile in(from);
    if (!QFileInfo(from).isFile() || !in.open(QIODevice::ReadOnly)) {
        if (error) *error = QStringLiteral("无法读取 %1").arg(from);
        return false;
    }
    WholeFileWriter out(to);
    bool ok = out.open();
    QByteArray piece;
    while (ok && !(piece = in.read(64 * 1024)).isEmpty()) ok = out.write(piece);
    if (ok && in.error() != QFileDevice::NoError) {
        if (error) *error = QStringLiteral("无法读取 %1").arg(from);
        return false;
    }
    ok = ok && out.commit();
    if (!ok && error) *error = out.errorString();
    return ok;
}

void removeLeftoverTempFiles(const QString& folder)
{
    // A 32-bit number in base 36 has one to seven digits.
    static const QRegularExpression ours(QStringLiteral("^\\..+") + QRegularExpression::escape(kTempMark) +
                                         QStringLiteral("[0-9a-z]{1,7}$"));
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::NoSymLinks))
        if (ours.match(name).hasMatch()) QFile::remove(dir.filePath(name));
}

}  // namespace platform
