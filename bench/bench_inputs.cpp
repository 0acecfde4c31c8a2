#include "bench/bench_inputs.h"

#include "bench/log_lines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <functional>

namespace qelvrin::bench {

namespace {

constexpr qint64 kMiB = 1024 * 1024;
constexpr qint64 kFlushBytes = 8 * kMiB;
constexpr qint64 kLongLinesBytes = 100 * kMiB;
constexpr qint64 kLongLineBytes = 200000;
constexpr int kReportPages = 100;
constexpr int kReportLinesPerPage = 50;
constexpr int kReportWidth = 133;

// Fills `out` chunk by chunk; `more` appends to the chunk and says whether
// anything is left to write.
bool writeFile(const QString& path, const std::function<bool(QByteArray&)>& more)
{
    if (QFileInfo(path).isFile())
        return true;
    std::printf("generating %s\n", qPrintable(QFileInfo(path).fileName()));
    std::fflush(stdout);
    const QString partial = path + QStringLiteral(".partial");
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::printf("cannot write %s: %s\n", qPrintable(partial), qPrintable(file.errorString()));
        return false;
    }
    QByteArray chunk;
    chunk.reserve(kFlushBytes + 4 * kLongLineBytes);
    bool going = true;
    while (going) {
        chunk.clear();
        while (going && chunk.size() < kFlushBytes)
            going = more(chunk);
        if (file.write(chunk) != chunk.size()) {
            std::printf("cannot write %s: %s\n", qPrintable(partial), qPrintable(file.errorString()));
            file.remove();
            return false;
        }
    }
    file.close();
    QFile::remove(path);
    return QFile::rename(partial, path);
}

bool writeLog(const QString& path, qint64 targetBytes)
{
    LogLines lines;
    qint64 written = 0;
    const qint64 lastLine = qint64(sizeof kLastLogLine - 1) + 2;
    QByteArray line;
    return writeFile(path, [&](QByteArray& chunk) {
        line.clear();
        lines.appendTo(line);
        if (written + line.size() + lastLine > targetBytes) {
            chunk.append(kLastLogLine).append("\r\n");
            return false;
        }
        chunk.append(line);
        written += line.size();
        return true;
    });
}

// Log messages run together, blank between them, into lines of about
// kLongLineBytes.
bool writeLongLines(const QString& path)
{
    LogLines lines(7);
    qint64 written = 0;
    qint64 lineBytes = 0;
    QByteArray message;
    return writeFile(path, [&](QByteArray& chunk) {
        message.clear();
        lines.appendTo(message);
        message.chop(2);
        message.append(' ');
        lineBytes += message.size();
        if (lineBytes >= kLongLineBytes) {
            message.append("\r\n");
            lineBytes = 0;
        }
        chunk.append(message);
        written += message.size();
        return written < kLongLinesBytes || lineBytes != 0;
    });
}

// Pages of a fixed number of lines, each after the first opened by a form
// feed, as the assessment's reports are.
bool writeReport(const QString& path)
{
    LogLines lines(3);
    int page = 1;
    int row = 0;
    QByteArray text;
    return writeFile(path, [&](QByteArray& chunk) {
        if (row == 0 && page > 1)
            chunk.append('\f');
        if (row == 0) {
            text = QByteArray("QELVRIN DEFECT REPORT").leftJustified(kReportWidth - 10) + "PAGE " + QByteArray::number(page);
        } else {
            text.clear();
            lines.appendTo(text);
            text.chop(2);
            text = text.leftJustified(kReportWidth - 8) + QByteArray::number(row).rightJustified(8);
        }
        chunk.append(text).append("\r\n");
        if (++row == kReportLinesPerPage) {
            row = 0;
            ++page;
        }
        return page <= kReportPages;
    });
}

BenchFile benchFile(const QString& label, const QString& path)
{
    return {label, path, QFileInfo(path).size()};
}

} // namespace

bool prepareInputs(const QString& dataDir, const QList<int>& logSizesMiB, BenchInputs& inputs)
{
    if (!QDir().mkpath(dataDir)) {
        std::printf("cannot make %s\n", qPrintable(dataDir));
        return false;
    }
    const QDir dir(dataDir);
    for (const int mib : logSizesMiB) {
        const QString path = dir.filePath(QStringLiteral("log-%1MiB.log").arg(mib));
        if (!writeLog(path, mib * kMiB))
            return false;
        const QString size = mib % 1024 == 0 ? QStringLiteral("%1 GiB").arg(mib / 1024) : QStringLiteral("%1 MiB").arg(mib);
        inputs.logs.append(benchFile(QStringLiteral("log %1").arg(size), path));
    }
    const QString longPath = dir.filePath(QStringLiteral("long-lines.log"));
    const QString reportPath = dir.filePath(QStringLiteral("report-100-pages.txt"));
    if (!writeLongLines(longPath) || !writeReport(reportPath))
        return false;
    inputs.longLines = benchFile(QStringLiteral("long lines"), longPath);
    inputs.report = benchFile(QStringLiteral("report"), reportPath);
    return true;
}

void warmPageCache(const BenchInputs& inputs)
{
    QList<BenchFile> files = inputs.logs;
    files << inputs.longLines << inputs.report;
    QByteArray buffer(4 * kMiB, Qt::Uninitialized);
    for (const BenchFile& benchFile : files) {
        QFile file(benchFile.path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            continue;
        while (file.read(buffer.data(), buffer.size()) > 0) {
        }
    }
}

} // namespace qelvrin::bench
