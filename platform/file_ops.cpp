#include "platform/file_ops.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    if (QFileInfo::exists(directory.filePath(name)))
        return directory.filePath(name);
    const QStringList entries = directory.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return directory.filePath(entry);
    }
    return {};
}

std::optional<qint64> size(const QString& nativePath)
{
    const QFileInfo info(nativePath);
    if (!info.isFile())
        return std::nullopt;
    return info.size();
}

bool remove(const QString& nativePath)
{
    if (!isPlainFile(nativePath))
        return !QFileInfo::exists(nativePath);
    return QFile::remove(nativePath);
}

bool truncateCreate(const QString& nativePath, QString* error)
{
    QFile file(nativePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.close();
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

QStringList listMatching(const QString& dir, const QString& pattern)
{
    QStringList result;
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    for (const QString& entry : entries) {
        if (matches(entry, pattern))
            result.append(entry);
    }
    return result;
}

} // namespace qelvrin::files
