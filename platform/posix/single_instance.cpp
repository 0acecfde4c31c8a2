#include "platform/single_instance.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin {

SingleInstanceGuard::SingleInstanceGuard(QString lockFile) : m_path(std::move(lockFile)) {}

// The handle is the lock file's descriptor, -1 until it is open.

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

bool SingleInstanceGuard::tryAcquire()
{
    if (m_held)
        return true;
    m_error.clear();
    const QByteArray path = QFile::encodeName(m_path);
    if (m_handle < 0) {
        // Close-on-exec: a batch job that outlives us must not hold the drive.
        int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        // Another user's file, or a read-only drive: a lock taken through a
        // read-only descriptor excludes just the same on a local disk.
        if (fd < 0 && (errno == EACCES || errno == EROFS))
            fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            if (errno == ENOENT)
                return m_held = true;
            m_error = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
        struct stat info;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            m_error = QStringLiteral("it is not a plain file");
            ::close(fd);
            return false;
        }
        m_handle = fd;
    }
    if (::flock(int(m_handle), LOCK_EX | LOCK_NB) == 0)
        return m_held = true;
    if (errno != EWOULDBLOCK)
        m_error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace qelvrin
