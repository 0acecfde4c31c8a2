#include "platform/process.h"

#include "platform/drive_map.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/types.h>

namespace qelvrin {

namespace {

bool looksLikeDosPath(const QString& word)
{
    return word.startsWith(QLatin1Char('\\')) || (word.size() >= 3 && word.at(1) == QLatin1Char(':') && word.at(2) == QLatin1Char('\\'));
}

QString reasonNotStartable(const QString& program)
{
    const QFileInfo info(program);
    if (program.isEmpty())
        return QStringLiteral("its drive is not mapped");
    if (!info.exists())
        return QStringLiteral("the file does not exist");
    if (info.isDir())
        return QStringLiteral("it is a directory");
    if (!info.isExecutable())
        return QStringLiteral("the file is not executable");
    return {};
}

} // namespace

ProcessStart startDetached(const DriveMap& drives, const QString& commandLine, const QString& workingDir)
{
    ProcessStart result;
    QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty()) {
        result.error = QStringLiteral("the command line is empty");
        return result;
    }
    for (QString& word : words) {
        if (looksLikeDosPath(word))
            word = drives.toNative(word);
    }
    result.program = words.takeFirst();
    const QString reason = reasonNotStartable(result.program);
    if (!reason.isEmpty()) {
        result.error = reason;
        return result;
    }
    QProcess process;
    process.setProgram(result.program);
    process.setArguments(words);
    process.setWorkingDirectory(workingDir);
    // Inherited streams would keep a caller that captures our output waiting
    // for the batch run to end.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!process.startDetached(&pid) || pid <= 0) {
        result.error = process.errorString();
        return result;
    }
    result.pid = pid;
    return result;
}

void sendCloseRequest(qint64 pid)
{
    if (pid > 0)
        ::kill(static_cast<pid_t>(pid), SIGTERM);
}

bool processAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = status.readAll();
    const qsizetype at = text.indexOf("State:");
    if (at < 0)
        return false;
    const QByteArray state = text.mid(at + 6, 4).trimmed();
    return !state.startsWith('Z') && !state.startsWith('X');
}

} // namespace qelvrin
