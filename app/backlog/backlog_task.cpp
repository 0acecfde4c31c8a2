#include "app/backlog/backlog_task.h"

#include "app/backlog/backlog_results.h"
#include "platform/file_ops.h"
#include "stages/stage_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>

namespace qelvrin::backlog {

QString batchProgram()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/qelvrin-batch");
    return QFileInfo(beside).isExecutable() ? beside : QStringLiteral("qelvrin-batch");
}

BacklogTask::BacklogTask(QString outdir, BacklogLine line)
    : m_outdir(std::move(outdir)), m_line(std::move(line)), m_scratch(QDir::tempPath() + QStringLiteral("/qelvrin.XXXXXXXX"))
{
}

bool BacklogTask::start()
{
    QTextStream err(stderr);
    if (!m_scratch.isValid()) {
        err << "qelvrin-backlog: no scratch folder in " << QDir::tempPath() << ": " << m_scratch.errorString() << '\n';
        return false;
    }
    // A result left by an earlier try would stand for this one if it dies.
    const QString result = resultPath(m_outdir, m_line);
    QString error;
    if (!files::remove(result, &error) || !QDir(m_outdir).mkpath(QStringLiteral("results"))) {
        err << "qelvrin-backlog: " << result << ": " << error << '\n';
        return false;
    }
    m_runner.setStandardOutputFile(result + QStringLiteral(".part"));
    m_runner.setStandardErrorFile(m_outdir + QStringLiteral("/results/") + m_line.name() + QStringLiteral(".log"));
    connect(&m_runner, &QProcess::finished, this, [this](int code, QProcess::ExitStatus how) {
        keep(how == QProcess::NormalExit ? code : 1);
    });
    m_runner.start(batchProgram(), QStringList{QStringLiteral("--json"), QStringLiteral("--drive"), m_scratch.path() + QStringLiteral("/drive"),
                                               QStringLiteral("--")} + m_line.files);
    if (!m_runner.waitForStarted()) {
        err << "qelvrin-backlog: " << batchProgram() << ": " << m_runner.errorString() << '\n';
        return false;
    }
    return true;
}

void BacklogTask::interrupt()
{
    if (m_interrupted || m_runner.state() == QProcess::NotRunning)
        return;
    m_interrupted = true;
    m_runner.terminate();
}

void BacklogTask::keep(int exitStatus)
{
    const QString outputs = outputsPath(m_outdir, m_line);
    const QString installDir = m_scratch.path() + QStringLiteral("/drive/QELVRIN/");
    QDir(outputs).removeRecursively(); // an earlier try's files are not this run's
    QDir().mkpath(outputs);
    // Where each stage's file is kept now; a file the run did not write as
    // a plain file is not kept, and its result names none.
    const auto kept = [&](const QString& drivePath) -> QJsonValue {
        const QString name = drivePath.section(QLatin1Char('\\'), -1);
        const QFileInfo source(installDir + name);
        if (name.isEmpty() || !source.isFile() || source.isSymLink() || !QFile::copy(source.filePath(), outputs + QLatin1Char('/') + name))
            return QJsonValue::Null;
        return outputs + QLatin1Char('/') + name;
    };
    QJsonObject json = readResult(resultPath(m_outdir, m_line) + QStringLiteral(".part")).value_or(QJsonObject());
    QJsonArray stages = json.value(QStringLiteral("stages")).toArray();
    for (qsizetype i = 0; i < stages.size(); ++i) {
        QJsonObject stage = stages.at(i).toObject();
        const QString letter = stage.value(QStringLiteral("stage")).toString();
        const StageInfo* info = letter.size() == 1 ? stageByLetter(letter.at(0)) : nullptr;
        stage.insert(QStringLiteral("log"), info ? kept(info->logPath) : QJsonValue::Null);
        stage.insert(QStringLiteral("report"), info && !info->reportPath.isEmpty() ? kept(info->reportPath) : QJsonValue::Null);
        stages.replace(i, stage);
    }
    files::remove(resultPath(m_outdir, m_line) + QStringLiteral(".part"));
    QTextStream out(stdout);
    if (json.isEmpty()) {
        out << "qelvrin-backlog: line " << m_line.number << " (" << m_line.name() << ") left no result; the runner ended with " << exitStatus << '\n';
        Q_EMIT finished(exitStatus == 0 ? 1 : exitStatus);
        return;
    }
    json.insert(QStringLiteral("stages"), stages);
    json.insert(QStringLiteral("drive"), outputs);
    QString error;
    if (!files::replaceContents(resultPath(m_outdir, m_line), QJsonDocument(json).toJson(QJsonDocument::Compact) + '\n', &error)) {
        out << "qelvrin-backlog: " << resultPath(m_outdir, m_line) << ": " << error << '\n';
        Q_EMIT finished(2);
        return;
    }
    out << "qelvrin-backlog: line " << m_line.number << " (" << m_line.name() << ") ended with exit status " << exitStatus << '\n';
    Q_EMIT finished(exitStatus);
}

} // namespace qelvrin::backlog
