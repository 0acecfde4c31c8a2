#pragma once

#include "app/backlog/backlog_results.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace qelvrin::backlog {

// summary.tsv: a header, then one row per list line, for a spreadsheet or
// a tracking system. A tab or line end inside a field becomes a blank, so
// every row has the header's columns.
QByteArray summaryTsv(const QString& outdir, const QList<LineResult>& results);

// report.html: one page for a person, nothing fetched from elsewhere and
// no script: counts, a chart of outcomes and stage durations, a row per
// SDG coloured by outcome with its cause and links to its files.
QByteArray reportHtml(const QString& outdir, const QList<LineResult>& results);

// Reads the list kept in OUTDIR and its results, and writes both files;
// the backlog's counts, or the reason nothing could be written.
struct ReportWritten {
    Counts counts;
    QString error;
};
ReportWritten writeReport(const QString& outdir);

QString outcomeWord(Outcome outcome);

} // namespace qelvrin::backlog
