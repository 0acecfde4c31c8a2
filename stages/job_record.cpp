#include "stages/job_record.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin {

namespace {

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool writeJobRecord(const QString& nativePath, const BatchJob& job, QString* error)
{
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = systemReason();
        return false;
    }
    const QByteArray line = jobRecord(job);
    qsizetype done = 0;
    while (done < line.size()) {
        const ssize_t written = ::write(fd, line.constData() + done, size_t(line.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            *error = written < 0 ? systemReason() : QStringLiteral("nothing could be written");
            ::close(fd);
            return false;
        }
        done += written;
    }
    if (::close(fd) != 0) {
        *error = systemReason();
        return false;
    }
    return true;
}

std::optional<BatchJob> readJobRecord(const QString& nativePath)
{
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info;
    char bytes[256];
    ssize_t got = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        got = ::read(fd, bytes, sizeof bytes);
    ::close(fd);
    if (got <= 0)
        return std::nullopt;
    return parseJobRecord(QByteArrayView(bytes, got));
}

} // namespace qelvrin
