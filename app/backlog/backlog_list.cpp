#include "app/backlog/backlog_list.h"

#include "platform/regular_open.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace qelvrin::backlog {

QString BacklogLine::name() const
{
    // As GNU parallel's {/.}: the file name without its last extension.
    QString base = files.value(0).section(QLatin1Char('/'), -1);
    const qsizetype dot = base.lastIndexOf(QLatin1Char('.'));
    if (dot > 0)
        base.truncate(dot);
    return QString::number(number) + QLatin1Char('-') + base;
}

BacklogList parseBacklogList(const QByteArray& bytes, const QString& baseDir, bool checkFiles)
{
    BacklogList list;
    const QList<QByteArray> rows = bytes.split('\n');
    const QDir base(baseDir);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QByteArray row = rows.at(i);
        if (i == rows.size() - 1 && row.isEmpty())
            break; // the end of the last line
        if (row.endsWith('\r'))
            row.chop(1);
        const auto refuse = [&](const QString& why) { list.errors.append(QStringLiteral("line %1: %2").arg(i + 1).arg(why)); };
        if (row.trimmed().isEmpty() || row.startsWith('#')) {
            list.kept += row + '\n';
            continue;
        }
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(row);
        if (utf8.hasError() || row.contains('\0')) {
            refuse(QStringLiteral("not UTF-8 text"));
            continue;
        }
        if (row.contains('\r')) {
            refuse(QStringLiteral("a CR inside the line"));
            continue;
        }
        BacklogLine line;
        line.number = int(i + 1);
        line.ordinal = int(list.lines.size() + 1);
        for (const QString& field : text.split(QLatin1Char('\t'))) {
            if (field.isEmpty()) {
                refuse(QStringLiteral("an empty file name (two tabs, or a tab at an end)"));
                break;
            }
            const QString path = QDir::cleanPath(base.absoluteFilePath(field));
            if (const QFileInfo info(path); checkFiles && !info.isFile()) {
                refuse((info.exists() ? QStringLiteral("not a file: %1") : QStringLiteral("no such file: %1")).arg(path));
                break;
            }
            line.files.append(path);
        }
        if (line.files.size() != text.count(QLatin1Char('\t')) + 1)
            continue;
        list.kept += line.files.join(QLatin1Char('\t')).toUtf8() + '\n';
        list.lines.append(line);
    }
    if (list.lines.isEmpty() && list.errors.isEmpty())
        list.errors.append(QStringLiteral("names no SDG"));
    return list;
}

BacklogList readBacklogList(const QString& path, bool checkFiles)
{
    QFile file;
    QString error;
    BacklogList list;
    if (!files::openRegularForReading(file, QFile::encodeName(path), &error)) {
        list.errors.append(error);
        return list;
    }
    const QByteArray bytes = file.read(kMaxListBytes + 1);
    if (bytes.size() > kMaxListBytes) {
        list.errors.append(QStringLiteral("longer than %1 bytes").arg(kMaxListBytes));
        return list;
    }
    return parseBacklogList(bytes, QDir::currentPath(), checkFiles);
}

} // namespace qelvrin::backlog
