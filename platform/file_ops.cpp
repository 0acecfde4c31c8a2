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

bool truncateCreate(const QString& nativePath, QString* error)
{
    QString reason;
    QFile file;
    if (!openRegularForWriting(file, QFile::encodeName(nativePath), true, &reason)) {
        if (error)
            *error = reason;
        return false;
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

QList<EntryName> listMatching(const QString& dir, const QString& pattern)
{
    QList<EntryName> result;
    DIR* listing = ::opendir(QFile::encodeName(dir).constData());
    if (!listing)
        return result;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
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
        if (::fstatat(::dirfd(listing), entry->d_name, &info, 0) == 0 && S_ISDIR(info.st_mode))
            continue;
        result.append({bytes, text});
    }
    ::closedir(listing);
    std::sort(result.begin(), result.end(), [](const EntryName& a, const EntryName& b) {
        const int order = a.text.compare(b.text, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.bytes < b.bytes;
    });
    return result;
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
