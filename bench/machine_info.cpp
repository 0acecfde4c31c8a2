#include "bench/machine_info.h"

#include "platform/tool_run.h"

#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>

namespace qelvrin::bench {

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString field(const QByteArray& text, const char* name)
{
    const QRegularExpression pattern(QStringLiteral("^%1\\s*:\\s*(.*)$").arg(QLatin1String(name)), QRegularExpression::MultilineOption);
    return pattern.match(QString::fromLatin1(text)).captured(1).trimmed();
}

// The bracketed choice of a kernel setting such as "always [madvise] never".
QString chosenSetting(const QString& path)
{
    const QString text = QString::fromLatin1(readAll(path));
    return QRegularExpression(QStringLiteral("\\[(\\w+)\\]")).match(text).captured(1);
}

} // namespace

QString machineDescription()
{
    const QByteArray cpu = readAll(QStringLiteral("/proc/cpuinfo"));
    const QByteArray memory = readAll(QStringLiteral("/proc/meminfo"));
    const double memoryGiB = field(memory, "MemTotal").section(QLatin1Char(' '), 0, 0).toDouble() / (1024.0 * 1024.0);
    return QStringLiteral("%1, %2 cores, %3 GiB memory, Linux %4, transparent huge pages %5, Qt %6, compiler %7")
        .arg(field(cpu, "model name"))
        .arg(QThread::idealThreadCount())
        .arg(memoryGiB, 0, 'f', 1)
        .arg(QSysInfo::kernelVersion(), chosenSetting(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")), QString::fromLatin1(qVersion()), QStringLiteral(__VERSION__));
}

QString loadAverage()
{
    return QString::fromLatin1(readAll(QStringLiteral("/proc/loadavg"))).section(QLatin1Char(' '), 0, 2);
}

QString toolVersion(const QString& tool)
{
    if (!toolInstalled(tool))
        return QStringLiteral("not installed");
    const ToolRun run = runTool({tool, QStringLiteral("--version")});
    return QString::fromLocal8Bit(run.output).section(QLatin1Char('\n'), 0, 0).trimmed();
}

} // namespace qelvrin::bench
