#include "bench/batch_figures.h"

#include "bench/figure.h"
#include "bench/timing.h"
#include "platform/tool_run.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <thread>
#include <vector>

namespace qelvrin::bench {

namespace {

constexpr int kSdgCount = 20;
constexpr double kGiveUpSeconds = 120;
constexpr double kOverheadTargetMs = 50;

// What the runs on one drive gave.
struct DriveRuns {
    QList<double> overheadMs; // one per stage
    QList<double> runSeconds; // one per SDG, the whole runner process
    QString failure;
};

// One small SDG per folder: the processor reads none of it, the data load all.
QStringList writeSdgs(const QString& dir)
{
    QStringList files;
    for (int i = 0; i < kSdgCount; ++i) {
        const QString folder = QStringLiteral("%1/sdg%2").arg(dir).arg(i);
        QDir().mkpath(folder);
        const QString file = QStringLiteral("%1/M%2.I01").arg(folder).arg(50000 + i);
        QFile out(file);
        if (out.open(QIODevice::WriteOnly))
            out.write("SDG record one\r\nSDG record two\r\nSDG record three\r\n");
        files << file;
    }
    return files;
}

// The processor's own runs, in microseconds, in the order of the stages.
QList<double> ownRunsMs(const QString& jobTimes)
{
    QList<double> runs;
    QFile in(jobTimes);
    if (!in.open(QIODevice::ReadOnly))
        return runs;
    for (const QByteArray& line : in.readAll().split('\n')) {
        const QList<QByteArray> times = line.split(' ');
        if (times.size() == 2)
            runs << (times[1].toDouble() - times[0].toDouble()) / 1000.0;
    }
    return runs;
}

void runDrive(const QString& program, const QStringList& environment, const QString& drive, const QStringList& sdgs, DriveRuns& result)
{
    const QString jobTimes = drive + QStringLiteral("/JOBTIMES");
    for (const QString& sdg : sdgs) {
        QFile::remove(jobTimes);
        const ToolRun run = runTool({program, QStringLiteral("--json"), QStringLiteral("--drive"), drive, sdg},
                                    {.environment = environment, .discardErrors = true, .timeoutSeconds = kGiveUpSeconds});
        const QJsonArray stages = QJsonDocument::fromJson(run.output).object().value(QStringLiteral("stages")).toArray();
        const QList<double> own = ownRunsMs(jobTimes);
        if (run.exitStatus != 0 || stages.size() != 3 || own.size() != 3) {
            result.failure = QStringLiteral("%1 on %2: exit status %3, %4 stages, %5 processor runs")
                                 .arg(sdg, drive).arg(run.exitStatus).arg(stages.size()).arg(own.size());
            return;
        }
        for (qsizetype i = 0; i < stages.size(); ++i)
            result.overheadMs << stages[i].toObject().value(QStringLiteral("durationMs")).toDouble() - own[i];
        result.runSeconds << run.seconds;
    }
}

} // namespace

void batchFigures(const QString& programDir, const QString& dataDir, const BenchOptions&)
{
    const QString program = QDir(programDir).filePath(QStringLiteral("qelvrin-batch"));
    const QString base = QDir(dataDir).filePath(QStringLiteral("batch"));
    QDir(base).removeRecursively();
    const QStringList sdgs = writeSdgs(base + QStringLiteral("/sdgs"));
    // New drives get the instant processor; the end pause is the program's own.
    const QStringList environment{QStringLiteral("QELVRIN_STANDIN=") + QDir(programDir).filePath(QStringLiteral("qelvrin-bench-job")),
                                  QStringLiteral("QELVRIN_END_PAUSE_MS=")};

    double oneDrivePerMinute = 0;
    for (const int drives : {1, 2, 4}) {
        std::vector<DriveRuns> results(static_cast<size_t>(drives));
        std::vector<std::thread> workers;
        const Clock::time_point start = Clock::now();
        for (int d = 0; d < drives; ++d) {
            QStringList share;
            for (int i = d; i < sdgs.size(); i += drives)
                share << sdgs[i];
            const QString drive = QStringLiteral("%1/k%2-drive%3").arg(base).arg(drives).arg(d);
            workers.emplace_back(runDrive, program, environment, drive, share, std::ref(results[static_cast<size_t>(d)]));
        }
        for (std::thread& worker : workers)
            worker.join();
        const double wall = secondsSince(start);

        Figure overhead;
        overhead.name = QStringLiteral("batch overhead per stage");
        Figure rate;
        rate.name = QStringLiteral("batch SDGs per minute");
        overhead.input = rate.input = QStringLiteral("%1 SDGs, %2 drive%3").arg(kSdgCount).arg(drives).arg(drives == 1 ? "" : "s");
        QList<double> runSeconds;
        for (const DriveRuns& result : results) {
            if (!result.failure.isEmpty())
                overhead.failure = rate.failure = result.failure;
            for (const double ms : result.overheadMs)
                overhead.seconds << ms / 1000.0;
            runSeconds << result.runSeconds;
        }
        const double perMinute = kSdgCount / wall * 60.0;
        if (drives == 1)
            oneDrivePerMinute = perMinute;
        const double ideal = drives * oneDrivePerMinute;
        overhead.detail = QStringLiteral("%1 stages, slowest %2; whole runner per SDG median %3")
                              .arg(overhead.seconds.size())
                              .arg(formatDuration(overhead.seconds.isEmpty() ? 0 : *std::max_element(overhead.seconds.begin(), overhead.seconds.end())),
                                   formatDuration(median(runSeconds)));
        rate.seconds = {wall};
        rate.detail = QStringLiteral("%1 SDGs a minute; ideal %2 (%3 x one drive), %4 of it")
                          .arg(perMinute, 0, 'f', 0)
                          .arg(ideal, 0, 'f', 0)
                          .arg(drives)
                          .arg(QStringLiteral("%1%").arg(perMinute / ideal * 100.0, 0, 'f', 0));
        // The target is one drive's: side by side the drives share two cores.
        if (overhead.failure.isEmpty() && drives == 1) {
            overhead.target = QStringLiteral("median <= 50 ms");
            overhead.holds = overhead.medianSeconds() * 1000.0 <= kOverheadTargetMs;
        }
        printFigure(overhead);
        printFigure(rate);
    }
}

} // namespace qelvrin::bench
