#include "app/backlog/backlog_results.h"

#include "platform/regular_open.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace qelvrin::backlog {

namespace {

constexpr qint64 kMaxResultBytes = 1 << 20;
constexpr int kInterrupted = 130;

} // namespace

bool LineResult::finished() const
{
    const std::optional<int> status = exitStatus();
    return status && *status != kInterrupted;
}

std::optional<int> LineResult::exitStatus() const
{
    if (!json || !json->value(QStringLiteral("exitStatus")).isDouble())
        return std::nullopt;
    return json->value(QStringLiteral("exitStatus")).toInt();
}

Outcome LineResult::outcome() const
{
    if (!finished())
        return Outcome::NotFinished;
    switch (*exitStatus()) {
    case 0: return Outcome::Completed;
    case 1: return Outcome::Abnormal;
    default: return Outcome::NotAhead;
    }
}

QString LineResult::cause() const
{
    if (!json)
        return {};
    for (const char* key : {"cause", "error"}) {
        const QString text = json->value(QLatin1String(key)).toString();
        if (!text.isEmpty())
            return text;
    }
    for (const QJsonValue stage : json->value(QStringLiteral("stages")).toArray()) {
        const QString reason = stage[QStringLiteral("reason")].toString();
        if (!reason.isEmpty())
            return reason;
    }
    return {};
}

QJsonObject LineResult::stage(QChar letter) const
{
    if (!json)
        return {};
    for (const QJsonValue stage : json->value(QStringLiteral("stages")).toArray()) {
        if (stage[QStringLiteral("stage")].toString() == QString(letter))
            return stage.toObject();
    }
    return {};
}

QString resultPath(const QString& outdir, const BacklogLine& line)
{
    return outdir + QStringLiteral("/results/") + line.name() + QStringLiteral(".json");
}

QString outputsPath(const QString& outdir, const BacklogLine& line)
{
    return outdir + QStringLiteral("/outputs/") + line.name();
}

std::optional<QJsonObject> readResult(const QString& path)
{
    QFile file;
    QString error;
    if (!files::openRegularForReading(file, QFile::encodeName(path), &error))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxResultBytes + 1);
    if (bytes.size() > kMaxResultBytes)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    if (!document.isObject())
        return std::nullopt;
    return document.object();
}

QList<LineResult> loadResults(const QString& outdir, const QList<BacklogLine>& lines)
{
    QList<LineResult> results;
    for (const BacklogLine& line : lines)
        results.append({line, readResult(resultPath(outdir, line))});
    return results;
}

Counts countResults(const QList<LineResult>& results)
{
    Counts counts;
    counts.total = int(results.size());
    for (const LineResult& result : results) {
        switch (result.outcome()) {
        case Outcome::Completed: ++counts.completed; break;
        case Outcome::Abnormal: ++counts.abnormal; break;
        case Outcome::NotAhead: ++counts.notAhead; break;
        case Outcome::NotFinished: ++counts.notFinished; break;
        }
    }
    return counts;
}

QString countsText(const Counts& counts)
{
    return QStringLiteral("%1 SDGs: %2 completed, %3 abnormal, %4 could not go ahead, %5 not finished")
        .arg(counts.total)
        .arg(counts.completed)
        .arg(counts.abnormal)
        .arg(counts.notAhead)
        .arg(counts.notFinished);
}

int backlogStatus(const Counts& counts)
{
    if (counts.notFinished > 0)
        return kInterrupted;
    if (counts.notAhead > 0)
        return 2;
    return counts.abnormal > 0 ? 1 : 0;
}

} // namespace qelvrin::backlog
