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
    const QFileInfo first(name(0));
    const QString folder = first.absolutePath();
    QByteArray tmpl = QFile::encodeName(folder + QLatin1String("/.") + first.fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail(errno);
    ::fchmod(fd, 0644);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int reason = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok) {
        ::unlink(tmpl.constData());
        return fail(reason);
    }
    for (int n = 0; n < 100000; ++n) {
        const QString candidate = name(n);
        reason = claimName(tmpl, QFile::encodeName(candidate));
        if (reason == 0) {
            syncFolder(folder);
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
    const QString folder = info.absolutePath();
    QByteArray tmpl = QFile::encodeName(folder + QLatin1String("/.") + info.fileName() + QLatin1String(".XXXXXX"));
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    // mkstemp creates the file 0600; keep the mode the replaced file had, or
    // give a new one the usual 0644.
    struct stat st {};
    const bool existed = ::stat(QFile::encodeName(path).constData(), &st) == 0;
    if (access == FileAccess::Usual)
        ::fchmod(fd, existed ? (st.st_mode & 07777) : 0644);
    bool ok = writeAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(tmpl.constData(), QFile::encodeName(path).constData()) == 0;
    if (!ok) {
        ::unlink(tmpl.constData());
        return false;
    }
    syncFolder(folder);
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
