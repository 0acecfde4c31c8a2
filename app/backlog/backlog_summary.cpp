#include "app/backlog/backlog_report.h"

#include "platform/file_ops.h"
#include "stages/stage_table.h"

#include <QStringList>

namespace qelvrin::backlog {

namespace {

QString field(QString text)
{
    for (const QChar end : {QLatin1Char('\t'), QLatin1Char('\n'), QLatin1Char('\r')})
        text.replace(end, QLatin1Char(' '));
    return text;
}

} // namespace

QString outcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Completed: return QStringLiteral("completed");
    case Outcome::Abnormal: return QStringLiteral("abnormal");
    case Outcome::NotAhead: return QStringLiteral("could not go ahead");
    case Outcome::NotFinished: return QStringLiteral("not finished");
    }
    return {};
}

QByteArray summaryTsv(const QString& outdir, const QList<LineResult>& results)
{
    // One outcome column per stage, headed by its letter.
    QStringList header{QStringLiteral("line"), QStringLiteral("sdg"), QStringLiteral("exitStatus")};
    for (const StageInfo& stage : stageTable())
        header << stage.letter;
    header << QStringLiteral("cause") << QStringLiteral("startedAt") << QStringLiteral("endedAt") << QStringLiteral("durationMs")
           << QStringLiteral("outputs");
    QByteArray tsv = header.join(QLatin1Char('\t')).toUtf8() + '\n';
    for (const LineResult& result : results) {
        const QJsonObject json = result.json.value_or(QJsonObject());
        const std::optional<int> status = result.exitStatus();
        const QString sdg = json.value(QStringLiteral("sdg")).toString();
        QStringList row{
            QString::number(result.line.number),
            field(sdg.isEmpty() ? result.line.name().section(QLatin1Char('-'), 1) : sdg),
            status ? QString::number(*status) : QString(),
        };
        for (const StageInfo& stage : stageTable())
            row << result.stage(stage.letter).value(QStringLiteral("outcome")).toString();
        row << QStringList{
            field(result.finished() ? result.cause() : outcomeWord(Outcome::NotFinished)),
            json.value(QStringLiteral("startedAt")).toString(),
            json.value(QStringLiteral("endedAt")).toString(),
            json.contains(QStringLiteral("durationMs")) ? QString::number(json.value(QStringLiteral("durationMs")).toInteger()) : QString(),
            field(outputsPath(outdir, result.line)),
        };
        tsv += row.join(QLatin1Char('\t')).toUtf8() + '\n';
    }
    return tsv;
}

ReportWritten writeReport(const QString& outdir)
{
    ReportWritten written;
    const BacklogList list = readBacklogList(outdir + QStringLiteral("/list.tsv"), false);
    if (!list.errors.isEmpty()) {
        written.error = QStringLiteral("%1/list.tsv: %2").arg(outdir, list.errors.join(QStringLiteral("; ")));
        return written;
    }
    const QList<LineResult> results = loadResults(outdir, list.lines);
    written.counts = countResults(results);
    if (files::replaceContents(outdir + QStringLiteral("/summary.tsv"), summaryTsv(outdir, results), &written.error))
        files::replaceContents(outdir + QStringLiteral("/report.html"), reportHtml(outdir, results), &written.error);
    return written;
}

} // namespace qelvrin::backlog
