#include "stages/job_record.h"

#include "platform/file_ops.h"

#include <QList>

namespace qelvrin {

QByteArray jobRecord(const BatchJob& job)
{
    return QByteArray::number(job.pid) + ' ' + job.identity + "\r\n";
}

std::optional<BatchJob> parseJobRecord(QByteArrayView text)
{
    const QByteArray line = text.toByteArray().simplified();
    const qsizetype blank = line.indexOf(' ');
    if (blank < 0)
        return std::nullopt;
    bool pidOk = false;
    BatchJob job;
    job.pid = line.first(blank).toLongLong(&pidOk);
    job.identity = line.sliced(blank + 1);
    if (!pidOk || !job.isValid())
        return std::nullopt;
    return job;
}

bool writeJobRecord(const QString& nativePath, const BatchJob& job, QString* error)
{
    return files::writeNoFollow(nativePath, jobRecord(job), error);
}

std::optional<BatchJob> readJobRecord(const QString& nativePath)
{
    // The note is one short line; a longer file is not one.
    const QByteArray bytes = files::readHead(nativePath, 256);
    if (bytes.isEmpty())
        return std::nullopt;
    return parseJobRecord(bytes);
}

} // namespace qelvrin
