#include "app/batch/batch_report.h"

#include "platform/line_reader.h"
#include "stages/stage_runner.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>

namespace qelvrin::batch {

namespace {

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString isoTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QJsonValue slurmNumber(const char* variable)
{
    bool ok = false;
    const qint64 number = qEnvironmentVariable(variable).toLongLong(&ok);
    return ok ? QJsonValue(number) : QJsonValue(QJsonValue::Null);
}

// The job that ran us, when a Slurm job did.
QJsonValue slurmJob()
{
    if (!qEnvironmentVariableIsSet("SLURM_JOB_ID"))
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("jobId"), slurmNumber("SLURM_JOB_ID")},
        {QStringLiteral("arrayJobId"), slurmNumber("SLURM_ARRAY_JOB_ID")},
        {QStringLiteral("arrayTaskId"), slurmNumber("SLURM_ARRAY_TASK_ID")},
    };
}

} // namespace

QByteArray firstErrorLine(const QString& logPath, bool* cut)
{
    *cut = false;
    LineReader reader(logPath);
    QByteArray cause;
    qint64 seen = 0;
    bool atLineStart = true;
    while (const std::optional<LineReader::Piece> piece = reader.nextPiece()) {
        // The completion check has read the whole log already; a hostile
        // one of gigabytes is not read twice.
        seen += piece->bytes.size();
        if (seen > kCauseScanLimit)
            break;
        const bool starts = atLineStart;
        atLineStart = piece->lineEnds;
        const QByteArrayView head = piece->bytes.first(std::min(piece->bytes.size(), kFailureLineLimit));
        if (cause.isEmpty()) {
            if (starts && head.startsWith("ERROR:")) {
                cause = head.toByteArray();
                *cut = head.size() < piece->bytes.size() || !piece->lineEnds;
            }
            continue;
        }
        if (!starts) { // the rest of a line too long to keep
            *cut = true;
            continue;
        }
        // The batch processor wraps a long message onto indented lines.
        if (head.isEmpty() || (head.front() != ' ' && head.front() != '\t') || cause.size() > kFailureLineLimit)
            break;
        cause += ' ' + head.trimmed().toByteArray();
        *cut = *cut || head.size() < piece->bytes.size() || !piece->lineEnds;
    }
    if (cause.size() > kFailureLineLimit) {
        cause.truncate(kFailureLineLimit);
        *cut = true;
    }
    return cause;
}

void BatchReport::addStage(StageRecord record)
{
    Stage stage{std::move(record), QDateTime::currentDateTimeUtc(), {}, false};
    if (stage.record.outcome == QLatin1String("abnormal"))
        stage.cause = firstErrorLine(stage.record.logPath, &stage.causeCut);
    m_stages.append(stage);
}

QByteArray BatchReport::toJson(int exitStatus, qint64 durationMs) const
{
    QJsonArray stages;
    QJsonValue cause = QJsonValue::Null;
    for (const Stage& entry : m_stages) {
        const StageRecord& record = entry.record;
        // The stage's clock is monotonic; its start on the wall clock follows from its end.
        QJsonObject stage{
            {QStringLiteral("stage"), QString(record.letter)},
            {QStringLiteral("name"), record.name},
            {QStringLiteral("outcome"), record.outcome},
            {QStringLiteral("log"), record.logPath},
            {QStringLiteral("report"), textOrNull(record.reportPath)},
            {QStringLiteral("startedAt"), isoTime(entry.endedAt.addMSecs(-record.durationMs))},
            {QStringLiteral("endedAt"), isoTime(entry.endedAt)},
            {QStringLiteral("durationMs"), record.durationMs},
        };
        if (record.failureLineNumber > 0) {
            stage.insert(QStringLiteral("failureLineNumber"), record.failureLineNumber);
            // Log bytes are Latin-1 text, as the viewer shows them.
            stage.insert(QStringLiteral("failureLine"), QString::fromLatin1(record.failureLine));
            stage.insert(QStringLiteral("failureLineCut"), record.failureLineCut);
        }
        if (!entry.cause.isEmpty()) {
            cause = QString::fromLatin1(entry.cause);
            stage.insert(QStringLiteral("cause"), cause);
            stage.insert(QStringLiteral("causeCut"), entry.causeCut);
        }
        if (!record.reason.isEmpty())
            stage.insert(QStringLiteral("reason"), record.reason);
        if (record.batchProcessorExitStatus)
            stage.insert(QStringLiteral("batchProcessorExitStatus"), *record.batchProcessorExitStatus);
        if (record.batchProcessorSignal)
            stage.insert(QStringLiteral("batchProcessorSignal"), *record.batchProcessorSignal);
        stages.append(stage);
    }
    QJsonArray inputs;
    for (const QString& file : m_inputs)
        inputs.append(file);
    const QJsonObject result{
        {QStringLiteral("version"), QCoreApplication::applicationVersion()},
        {QStringLiteral("host"), QSysInfo::machineHostName()},
        {QStringLiteral("sdg"), textOrNull(m_sdg)},
        {QStringLiteral("inputs"), inputs},
        {QStringLiteral("drive"), textOrNull(m_drive)},
        {QStringLiteral("startedAt"), isoTime(m_startedAt)},
        {QStringLiteral("endedAt"), isoTime(QDateTime::currentDateTimeUtc())},
        {QStringLiteral("stages"), stages},
        {QStringLiteral("cause"), cause},
        {QStringLiteral("error"), textOrNull(m_error)},
        {QStringLiteral("errorCode"), textOrNull(m_errorCode)},
        {QStringLiteral("slurm"), slurmJob()},
        {QStringLiteral("durationMs"), durationMs},
        {QStringLiteral("exitStatus"), exitStatus},
    };
    return QJsonDocument(result).toJson(QJsonDocument::Compact);
}

} // namespace qelvrin::batch
