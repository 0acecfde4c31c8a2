#include "platform/read_only_file.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin {

// The handle is the file descriptor, -1 while closed.

ReadOnlyFile::~ReadOnlyFile()
{
    close();
}

bool ReadOnlyFile::open(const QString& nativePath, QString* error)
{
    close();
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_RDONLY | O_CLOEXEC);
    m_handle = fd;
    struct stat info {};
    QString reason;
    if (fd < 0 || ::fstat(fd, &info) != 0)
        reason = qt_error_string(errno);
    else if (S_ISDIR(info.st_mode))
        reason = QStringLiteral("Is a directory");
    if (reason.isEmpty()) {
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return true;
    }
    close();
    if (error)
        *error = reason;
    return false;
}

void ReadOnlyFile::close()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
}

bool ReadOnlyFile::isOpen() const
{
    return m_handle >= 0;
}

ReadOnlyFile::Status ReadOnlyFile::status() const
{
    struct stat info {};
    if (m_handle < 0 || ::fstat(int(m_handle), &info) != 0)
        return {};
    return {true, qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

qint64 ReadOnlyFile::readAt(qint64 offset, char* out, qint64 count, QString* error) const
{
    for (;;) {
        const ssize_t got = ::pread(int(m_handle), out, size_t(count), offset);
        if (got >= 0)
            return got;
        if (errno != EINTR) {
            if (error)
                *error = qt_error_string(errno);
            return -1;
        }
    }
}

} // namespace qelvrin
