#include "platform/file_ops.h"

#include "platform/regular_open.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qelvrin::files {

bool isPlainFile(const QString& nativePath)
{
    if (nativePath.isEmpty())
        return false;
    // The native file system tells case apart, so the exact name is looked up.
    return QFileInfo(nativePath).isFile();
}

QString findNoCase(const QString& dir, const QString& name)
{
    if (name.isEmpty())
        return {};
    const QDir directory(dir);
    const QStringList entries = directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    const QString* first = nullptr;
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0 && (!first || entry < *first))
            first = &entry;
    }
    return first ? directory.filePath(*first) : QString();
}

bool entryExists(const QString& nativePath)
{
    struct stat info;
    return !nativePath.isEmpty() && ::lstat(QFile::encodeName(nativePath).constData(), &info) == 0;
}

std::optional<qint64> size(const QString& nativePath)
{
    const QFileInfo info(nativePath);
    if (!info.isFile())
        return std::nullopt;
    return info.size();
}

bool remove(const QString& nativePath, QString* error)
{
    const QByteArray path = QFile::encodeName(nativePath);
    struct stat info;
    if (::lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return true;
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        if (error)
            *error = QStringLiteral("it is a folder");
        return false;
    }
    if (::unlink(path.constData()) == 0 || errno == ENOENT)
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

namespace {

bool fail(QString* error, int code)
{
    if (error)
        *error = qt_error_string(code);
    return false;
}

bool isLink(const QByteArray& path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
}

} // namespace

bool openForWriting(QFile& file, const QString& nativePath, bool append, QString* error)
{
    // A link of the name is replaced, never written through: the new file is
    // made where the link was. Appending refuses a link (O_NOFOLLOW) instead.
    const QByteArray path = QFile::encodeName(nativePath);
    if (!append && isLink(path) && ::unlink(path.constData()) != 0 && errno != ENOENT)
        return fail(error, errno);
    QString reason;
    if (!openRegularForWriting(file, path, !append, &reason)) {
        if (error)
            *error = reason;
        return false;
    }
    return true;
}

bool truncateCreate(const QString& nativePath, QString* error)
{
    QFile file;
    return openForWriting(file, nativePath, false, error);
}

bool replaceContents(const QString& nativePath, QByteArrayView bytes, QString* error, unsigned mode)
{
    const QByteArray path = QFile::encodeName(nativePath);
    if (mode == 0) {
        struct stat old;
        if (::lstat(path.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            mode = 0666 & ~mask;
        }
    }
    const qsizetype slash = path.lastIndexOf('/');
    QByteArray temporary = path.first(slash + 1) + '.' + path.sliced(slash + 1) + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(error, errno);
    int code = 0;
    for (qsizetype done = 0; code == 0 && done < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (written < 0 && errno != EINTR)
            code = errno;
        else if (written == 0)
            code = ENOSPC;
        else if (written > 0)
            done += written;
    }
    if (code == 0 && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0))
        code = errno;
    if (::close(fd) != 0 && code == 0)
        code = errno;
    if (code == 0 && ::rename(temporary.constData(), path.constData()) != 0)
        code = errno;
    if (code != 0) {
        ::unlink(temporary.constData());
        return fail(error, code);
    }
    return true;
}

namespace {

bool matches(const QString& name, const QString& pattern)
{
    if (name.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (pattern.at(i) == QLatin1Char('?'))
            continue;
        if (name.at(i).toUpper() != pattern.at(i).toUpper())
            return false;
    }
    return true;
}

} // namespace

QList<EntryName> listMatching(const QString& dir, const QString& pattern, QString* error, bool withFolders)
{
    QList<EntryName> result;
    DIR* listing = ::opendir(QFile::encodeName(dir).constData());
    if (!listing) {
        fail(error, errno);
        return result;
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray bytes(entry->d_name);
        if (bytes == "." || bytes == "..")
            continue;
        QString text = utf8.decode(bytes);
        if (utf8.hasError()) {
            text = QString::fromLatin1(bytes);
            utf8.resetState();
        }
        // Only a name that fits is looked at further: the stage tick asks
        // this of the install folder twice a second.
        if (!matches(text, pattern))
            continue;
        struct stat info;
        // A link that leads nowhere is kept: reading it tells the operator.
        if (!withFolders && ::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode))
            continue;
        result.append({bytes, text});
        errno = 0;
    }
    if (errno != 0) {
        fail(error, errno);
        result.clear();
    }
    ::closedir(listing);
    std::sort(result.begin(), result.end(), [](const EntryName& a, const EntryName& b) {
        const int order = a.text.compare(b.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.bytes < b.bytes;
    });
    return result;
}

bool writeNoFollow(const QString& nativePath, QByteArrayView bytes, QString* error)
{
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(error, errno);
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written < 0)
                fail(error, errno);
            else if (error)
                *error = QStringLiteral("nothing could be written");
            ::close(fd);
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return ::close(fd) == 0 || fail(error, errno);
}

QByteArray readHead(const QString& nativePath, qsizetype maxBytes)
{
    const int fd = ::open(QFile::encodeName(nativePath).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info;
    QByteArray bytes(maxBytes, Qt::Uninitialized);
    ssize_t got = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
        got = ::read(fd, bytes.data(), size_t(maxBytes));
    ::close(fd);
    bytes.truncate(std::max<ssize_t>(got, 0));
    return bytes;
}

bool writeAll(QFile& file, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = file.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

} // namespace qelvrin::files
