#include "platform/regular_open.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin::files {

namespace {

int keepIfRegular(int fd, QString* error)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        *error = qt_error_string(errno);
    } else if (S_ISDIR(info.st_mode)) {
        // A folder opens for reading; only its first read would fail.
        *error = qt_error_string(EISDIR);
    } else if (!S_ISREG(info.st_mode)) {
        *error = QString::fromLatin1(kNotRegular);
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
            return fd;
        *error = qt_error_string(errno);
    }
    ::close(fd);
    return -1;
}

bool adopt(QFile& file, int fd, QIODevice::OpenMode mode, QString* error)
{
    if (fd < 0)
        return false;
    if (file.open(fd, mode | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    *error = file.errorString();
    ::close(fd);
    return false;
}

} // namespace

bool openRegularForReading(QFile& file, const QByteArray& nativePath, QString* error, Links links)
{
    struct stat link {};
    const bool judgeLink = links == Links::SameOwnerOnly && ::lstat(nativePath.constData(), &link) == 0 && S_ISLNK(link.st_mode);
    // What was no link when looked at is not followed should one appear.
    const int noFollow = links == Links::SameOwnerOnly && !judgeLink ? O_NOFOLLOW : 0;
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | noFollow);
    if (fd < 0) {
        *error = qt_error_string(errno);
        return false;
    }
    if (judgeLink) {
        // Looked at again after the open: the link judged is the one followed.
        struct stat target {};
        struct stat after {};
        if (::fstat(fd, &target) != 0 || ::lstat(nativePath.constData(), &after) != 0 || after.st_ino != link.st_ino
            || after.st_dev != link.st_dev || target.st_uid != link.st_uid) {
            *error = QString::fromLatin1(kForeignLink);
            ::close(fd);
            return false;
        }
    }
    return adopt(file, keepIfRegular(fd, error), QIODevice::ReadOnly, error);
}

bool openRegularForWriting(QFile& file, const QByteArray& nativePath, bool truncate, QString* error)
{
    const int fd = ::open(nativePath.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | (truncate ? 0 : O_APPEND), 0666);
    if (fd < 0) {
        // A FIFO that nobody reads refuses a non-blocking open for writing
        // with ENXIO, whose text ("No such device or address") misleads.
        *error = errno == ENXIO ? QString::fromLatin1(kNotRegular) : qt_error_string(errno);
        return false;
    }
    int kept = keepIfRegular(fd, error);
    if (kept >= 0 && truncate && ::ftruncate(kept, 0) != 0) {
        *error = qt_error_string(errno);
        ::close(kept);
        kept = -1;
    }
    return adopt(file, kept, QIODevice::WriteOnly, error);
}

} // namespace qelvrin::files
