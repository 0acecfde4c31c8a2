#pragma once

#include "app/backlog/backlog_list.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace qelvrin::backlog {

// How a line of the backlog stands.
enum class Outcome { Completed, Abnormal, NotAhead, NotFinished };

// A line with its result, when OUTDIR holds a readable one.
struct LineResult {
    BacklogLine line;
    std::optional<QJsonObject> json;

    // A result whose run ended by itself: an interrupted run, or none, is
    // not finished and runs again on resume.
    bool finished() const;
    std::optional<int> exitStatus() const;
    Outcome outcome() const;
    // Why it did not end with 0, in one line: the log's first error, the
    // runner's refusal or a stage's reason.
    QString cause() const;
    // Its entry for the stage of `letter`; empty when it has none.
    QJsonObject stage(QChar letter) const;
};

QString resultPath(const QString& outdir, const BacklogLine& line);
QString outputsPath(const QString& outdir, const BacklogLine& line);

// A result file of at most 1 MiB; none when it is missing, not a regular
// file or not one JSON object.
std::optional<QJsonObject> readResult(const QString& path);
QList<LineResult> loadResults(const QString& outdir, const QList<BacklogLine>& lines);

struct Counts {
    int total = 0;
    int completed = 0;
    int abnormal = 0;
    int notAhead = 0;
    int notFinished = 0;
};
Counts countResults(const QList<LineResult>& results);
QString countsText(const Counts& counts);

// The backlog's exit status: 130 while a line is not finished, else 2 when
// one could not go ahead, else 1 when a stage ended abnormally, else 0.
int backlogStatus(const Counts& counts);

} // namespace qelvrin::backlog
