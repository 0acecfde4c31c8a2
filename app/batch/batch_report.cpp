#include "app/batch/batch_report.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace qelvrin::batch {

namespace {

QJsonValue textOrNull(const QString& text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QByteArray BatchReport::toJson(int exitStatus, qint64 durationMs) const
{
    QJsonArray stages;
    for (const StageRecord& record : m_stages) {
        QJsonObject stage{
            {QStringLiteral("stage"), QString(record.letter)},
            {QStringLiteral("name"), record.name},
            {QStringLiteral("outcome"), record.outcome},
            {QStringLiteral("log"), record.logPath},
            {QStringLiteral("durationMs"), record.durationMs},
        };
        if (record.failureLineNumber > 0) {
            stage.insert(QStringLiteral("failureLineNumber"), record.failureLineNumber);
            // Log bytes are Latin-1 text, as the viewer shows them.
            stage.insert(QStringLiteral("failureLine"), QString::fromLatin1(record.failureLine));
            stage.insert(QStringLiteral("failureLineCut"), record.failureLineCut);
        }
        if (!record.reason.isEmpty())
            stage.insert(QStringLiteral("reason"), record.reason);
        if (record.batchProcessorExitStatus)
            stage.insert(QStringLiteral("batchProcessorExitStatus"), *record.batchProcessorExitStatus);
        if (record.batchProcessorSignal)
            stage.insert(QStringLiteral("batchProcessorSignal"), *record.batchProcessorSignal);
        stages.append(stage);
    }
    const QJsonObject result{
        {QStringLiteral("sdg"), textOrNull(m_sdg)},
        {QStringLiteral("drive"), textOrNull(m_drive)},
        {QStringLiteral("stages"), stages},
        {QStringLiteral("error"), textOrNull(m_error)},
        {QStringLiteral("durationMs"), durationMs},
        {QStringLiteral("exitStatus"), exitStatus},
    };
    return QJsonDocument(result).toJson(QJsonDocument::Compact);
}

} // namespace qelvrin::batch
