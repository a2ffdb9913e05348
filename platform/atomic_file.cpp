#include "atomic_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes `bytes` to a new hidden file beside `path`, flushed to disk, with
// `mode` (-1: mkstemp's 0600). Answers its name, or an empty name with errno
// set (nothing is left behind).
QByteArray writeTemporaryBeside(const QFileInfo& path, const QByteArray& bytes, int mode)
{
    QByteArray tmpl = QFile::encodeName(path.absolutePath() + QLatin1String("/.") + path.fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return {};
    if (mode >= 0)
        ::fchmod(fd, static_cast<mode_t>(mode));
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (ok)
        return tmpl;
    ::unlink(tmpl.constData());
    errno = reason;
    return {};
}

// Gives the written temporary file the name `target` unless a file has it
// already (EEXIST). Filesystems without an exclusive rename get a hard link
// and the temporary's removal; where neither exists (some removable-disk
// filesystems), a look just before the rename is the best there is.
int claimName(const QByteArray& temporary, const QByteArray& target)
{
    if (::renameat2(AT_FDCWD, temporary.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return errno;
    if (::link(temporary.constData(), target.constData()) == 0) {
        ::unlink(temporary.constData());
        return 0;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
        return errno;
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0)
        return EEXIST;
    return ::rename(temporary.constData(), target.constData()) == 0 ? 0 : errno;
}

}  // namespace

QString writeNewFile(const std::function<QString(int)>& name, const QByteArray& bytes, QString* error)
{
    const auto fail = [error](int reason) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(reason));
        return QString();
    };
    const QString wanted = name(0);
    const QFileInfo first(wanted);
    const QByteArray tmpl = writeTemporaryBeside(first, bytes, 0644);
    if (tmpl.isEmpty())
        return fail(errno);
    int reason = 0;
    for (int n = 0; n < 100000; ++n) {
        const QString candidate = n == 0 ? wanted : name(n);
        reason = claimName(tmpl, QFile::encodeName(candidate));
        if (reason == 0) {
            syncFolder(first.absolutePath());
            return candidate;
        }
        if (reason != EEXIST)
            break;
    }
    ::unlink(tmpl.constData());
    return fail(reason);
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access)
{
    const QFileInfo info(path);
    // mkstemp creates the file 0600; keep the mode the replaced file had, or
    // give a new one the usual 0644.
    struct stat st {};
    const bool existed = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    const int mode = access == FileAccess::OwnerOnly ? -1 : existed ? int(st.st_mode & 07777) : 0644;
    const QByteArray tmpl = writeTemporaryBeside(info, bytes, mode);
    if (tmpl.isEmpty())
        return false;
    if (::rename(tmpl.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(tmpl.constData());
        return false;
    }
    syncFolder(info.absolutePath());
    return true;
}

bool readWholeFile(const QString& path, QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

}  // namespace platform
