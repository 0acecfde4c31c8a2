#include "standin/job.h"

#include "platform/regular_open.h"

#include "platform/file_ops.h"
#include "standin/assessment_steps.h"
#include "standin/batch_log.h"
#include "standin/common_steps.h"
#include "standin/data_load_steps.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace qelvrin::standin {

namespace {

// Room kept for the closing notes when the audit steps fill the log.
constexpr qint64 kEpilogueBytes = 300;

enum class JobResult { RanThrough, Stopped, LogUnwritable };

void forcedFailure(BatchLog& log, const Invocation& invocation)
{
    log.beginStep({"PROC SORT DATA=SDG.RESULTS OUT=WORK.SORTED;", "   BY SAMPLE ANALYTE METHOD;", "RUN;"});
    stopJob(log, invocation, "The SORT procedure ran out of memory for the work file.");
    log.endStep("SORT procedure");
}

JobResult runSteps(BatchLog& log, const Invocation& invocation, Outcome outcome)
{
    writePrologue(log, invocation);
    const std::optional<SdgData> data = readDataStep(log, invocation);
    if (!data) {
        writeEpilogue(log, invocation);
        return JobResult::Stopped;
    }
    if (outcome == Outcome::Abend) {
        forcedFailure(log, invocation);
        writeEpilogue(log, invocation);
        return JobResult::Stopped;
    }
    bool ranThrough = true;
    switch (invocation.stage) {
    case Stage::DataLoad:
        writeDataLoadSteps(log, *data);
        break;
    case Stage::InitialAssessment:
        ranThrough = writeAssessmentSteps(log, invocation, initialAssessment(), *data);
        break;
    case Stage::FullAssessment:
        ranThrough = writeAssessmentSteps(log, invocation, fullAssessment(), *data);
        break;
    }
    if (ranThrough)
        writeAuditSteps(log, *data, kEpilogueBytes);
    writeEpilogue(log, invocation);
    return ranThrough ? JobResult::RanThrough : JobResult::Stopped;
}

// A signal whose text a full disk refuses is still created: its name alone
// ends the front end's wait.
bool writeSignal(const Invocation& invocation)
{
    const QString path = QDir(invocation.installDir).filePath(QStringLiteral("SIGNAL.TXT"));
    QFile signal;
    QString error;
    // A link planted in its place is not followed.
    if (files::openRegularForWriting(signal, QFile::encodeName(path), true, &error)
        && files::writeAll(signal, "END " + invocation.jobName.toLatin1() + "\r\n"))
        return true;
    if (error.isEmpty())
        error = signal.errorString();
    std::fprintf(stderr, "qelvrin-sas: cannot write the end signal %s: %s\n", qPrintable(path), qPrintable(error));
    return false;
}

} // namespace

qint64 expectedLogBytes(Stage stage)
{
    switch (stage) {
    case Stage::DataLoad:
        return 14800;
    case Stage::InitialAssessment:
        return 6600;
    case Stage::FullAssessment:
        return 114000;
    }
    return 0;
}

int runJob(const Invocation& invocation, const RunSettings& settings)
{
    JobResult result = JobResult::LogUnwritable;
    {
        BatchLog log(invocation.logPath, expectedLogBytes(invocation.stage), settings.paceMs);
        QString error;
        if (log.open(&error)) {
            result = runSteps(log, invocation, settings.outcome);
            if (log.failed()) {
                result = JobResult::LogUnwritable;
                error = log.writeError();
            }
        }
        if (result == JobResult::LogUnwritable)
            std::fprintf(stderr, "qelvrin-sas: cannot write the log %s: %s\n", qPrintable(invocation.logPath),
                         qPrintable(error));
    }
    const int exitCode = result == JobResult::RanThrough ? 0 : (result == JobResult::Stopped ? 1 : 3);
    switch (settings.outcome) {
    case Outcome::Normal:
    case Outcome::Abend:
        // Even a job that could not log ends with the signal, so the front
        // end is not left waiting; it then finds no normal log.
        return writeSignal(invocation) ? exitCode : 3;
    case Outcome::NoSignal:
        for (;;)
            pause();
    case Outcome::ExitNoSignal:
        return exitCode;
    }
    return exitCode;
}

} // namespace qelvrin::standin
