#include "core/common/SafeFile.h"

#include "core/common/FileFaults.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace skelvin {

namespace {

QString describe(const QString &path, int errnum)
{
    return path + QStringLiteral(": ") + FileFaults::reasonText(errnum);
}

// Writes all of `bytes` to the open file, or gives the errno that stopped it. A disk that
// fills takes part of a write and refuses the rest, so a short write is followed by another
// for what is left, which brings out the reason. A full disk set on the file's folder lets
// through only what it has room for.
int writeAll(int fd, const QString &path, const QByteArray &bytes)
{
    const qint64 allowed = FileFaults::writable(path, bytes.size());
    qint64 done = 0;
    while (done < allowed) {
        const ssize_t n = ::write(fd, bytes.constData() + done, std::size_t(allowed - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO;
        done += n;
    }
    return allowed < bytes.size() ? ENOSPC : 0;
}

QByteArray nativePath(const QString &path)
{
    return QFile::encodeName(path);
}

} // namespace

Failure replaceFileBytes(const QString &path, const QByteArray &bytes)
{
    if (const int refused = FileFaults::openError(path))
        return describe(path, refused);
    // Written to a new file beside it, on disk, then renamed over it: the old file stays whole
    // until the new one is complete. (QSaveFile is not used: on a full disk it was seen to
    // rename an empty file over the old one.)
    QByteArray temporary = nativePath(path) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return describe(path, errno);
    struct stat existing
    {
    };
    ::fchmod(fd, ::stat(nativePath(path).constData(), &existing) == 0 ? existing.st_mode & 07777
                                                                      : 0644);
    int error = writeAll(fd, path, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && !error)
        error = errno;
    if (!error && ::rename(temporary.constData(), nativePath(path).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(temporary.constData());
        return describe(path, error);
    }
    return std::nullopt;
}

Failure appendFileBytes(const QString &path, const QByteArray &bytes)
{
    if (const int refused = FileFaults::openError(path))
        return describe(path, refused);
    const int fd =
        ::open(nativePath(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return describe(path, errno);
    struct stat before
    {
    };
    int error = ::fstat(fd, &before) != 0 ? errno : 0;
    if (!error)
        error = writeAll(fd, path, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    // A line that did not go out whole is taken back, so the file ends with a whole line.
    if (error) {
        [[maybe_unused]] const int cut = ::ftruncate(fd, before.st_size);
    }
    if (::close(fd) != 0 && !error)
        error = errno;
    if (error)
        return describe(path, error);
    return std::nullopt;
}

Failure moveFileOver(const QString &from, const QString &to)
{
    if (const int refused = FileFaults::openError(to))
        return describe(to, refused);
    const qint64 size = QFileInfo(from).size();
    // A full disk set on the target folder refuses the move as a copy there would fail.
    if (FileFaults::writable(to, size) < size)
        return describe(to, ENOSPC);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return std::nullopt;
    if (errno != EXDEV)
        return describe(to, errno);
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return from + QStringLiteral(": ") + source.errorString();
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return from + QStringLiteral(": ") + source.errorString();
    source.close();
    if (Failure failed = replaceFileBytes(to, bytes))
        return failed;
    QFile::remove(from);
    return std::nullopt;
}

} // namespace skelvin
