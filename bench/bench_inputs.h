#pragma once

#include <QList>
#include <QString>

namespace qelvrin::bench {

struct BenchFile {
    QString label; // "log 10 MiB"
    QString path;
    qint64 bytes = 0;
};

// The generated inputs. Each is written once into the data folder (through
// a temporary name, so an interrupted run leaves nothing half-made) and
// reused by later runs.
struct BenchInputs {
    QList<BenchFile> logs;  // batch logs, smallest first
    BenchFile longLines;    // lines far longer than a viewer block
    BenchFile report;       // a defect report of 100 pages
};

// Makes the inputs that are missing: logs of the given sizes in MiB, the
// long-line file and the report. False, with the reason printed, when a
// file cannot be written.
bool prepareInputs(const QString& dataDir, const QList<int>& logSizesMiB, BenchInputs& inputs);

// Reads every file once so the figures start on a warm page cache.
void warmPageCache(const BenchInputs& inputs);

} // namespace qelvrin::bench
