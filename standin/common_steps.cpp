#include "standin/common_steps.h"

#include <QDateTime>

#include <array>

namespace qelvrin::standin {

namespace {

constexpr int kListedErrors = 20;

QByteArray job(const Invocation& invocation)
{
    return invocation.jobName.toLatin1();
}

QByteArray now()
{
    const QDateTime time = QDateTime::currentDateTime();
    return logDate(time.date()) + " at " + time.time().toString(QStringLiteral("HH:mm:ss")).toLatin1();
}

QByteArray plural(qsizetype count, const QByteArray& singular, const QByteArray& pluralForm)
{
    return QByteArray::number(count) + ' ' + (count == 1 ? singular : pluralForm);
}

void logRecordErrors(BatchLog& log, const QList<RecordError>& errors)
{
    for (qsizetype i = 0; i < std::min<qsizetype>(errors.size(), kListedErrors); ++i) {
        const RecordError& e = errors.at(i);
        if (e.recordNumber > 0)
            log.error("Record " + QByteArray::number(e.recordNumber) + " of QELVDATA: " + e.message);
        else
            log.error("QELVDATA: " + e.message);
    }
    if (errors.size() > kListedErrors)
        log.error(plural(errors.size() - kListedErrors, "further error is", "further errors are") + " not listed.");
}

} // namespace

QByteArray logDate(const QDate& date)
{
    return date.toString(QStringLiteral("ddMMMyyyy")).toUpper().toLatin1();
}

void writePrologue(BatchLog& log, const Invocation& invocation)
{
    log.note("QELVRIN batch stand-in, release 1.6, running on Linux.");
    log.note("Job " + job(invocation) + " started on " + now() + ".");
    log.note("Options in effect: LINESIZE=133 PAGESIZE=60 NOCENTER NODATE.");
    log.note("The library SDG is the install directory; WORK is temporary.");
}

void stopJob(BatchLog& log, const Invocation& invocation, const QByteArray& reason)
{
    log.error(reason);
    log.error("Job " + job(invocation) + ": processing stopped because of the errors above.");
}

std::optional<SdgData> readDataStep(BatchLog& log, const Invocation& invocation)
{
    log.beginStep({"DATA WORK.RAW;", "   INFILE QELVDATA LRECL=200 TRUNCOVER END=LAST;",
                   "   INPUT RECORD $CHAR200.;", "   LENGTH TYPE $1;", "   TYPE = SCAN(RECORD, 1, ',');", "RUN;"});
    SdgLoad load = loadSdgData(invocation.installDir);
    switch (load.status) {
    case SdgLoad::Status::Missing:
        stopJob(log, invocation, "The data file QELVDATA is missing from the install directory.");
        return std::nullopt;
    case SdgLoad::Status::Unreadable:
        stopJob(log, invocation, "The data file QELVDATA cannot be read: " + load.reason + ".");
        return std::nullopt;
    case SdgLoad::Status::Empty:
        stopJob(log, invocation, "The data file QELVDATA holds no records.");
        return std::nullopt;
    case SdgLoad::Status::Malformed:
        logRecordErrors(log, load.errors);
        stopJob(log, invocation, "QELVDATA does not follow the SDG record layout.");
        return std::nullopt;
    case SdgLoad::Status::Loaded:
        break;
    }
    const SdgData& data = load.data;
    log.note("The infile QELVDATA holds " + QByteArray::number(data.bytes) + " bytes.");
    log.note(plural(data.records, "record was", "records were") + " read from the infile QELVDATA.");
    log.note("The shortest record was " + QByteArray::number(data.shortest) + " bytes; the longest was "
             + QByteArray::number(data.longest) + ".");
    if (data.blankLines > 0)
        log.note(plural(data.blankLines, "blank line was", "blank lines were") + " passed over.");
    log.note("The data set WORK.RAW has " + plural(data.records, "observation", "observations") + " and 2 variables.");
    log.endStep("DATA step");
    return std::move(load.data);
}

void writeAuditSteps(BatchLog& log, const SdgData& data, qint64 reserve)
{
    static const std::array<QByteArray, 12> audits{
        "FORMAT", "RANGE", "SAMPLE", "DATE", "LIMIT", "UNITS",
        "METHOD", "QUALIFIER", "DUPLICATE", "SEQUENCE", "MATRIX", "SOLIDS",
    };
    const qint64 stopAt = log.expectedBytes() - reserve;
    for (std::size_t pass = 0; !data.results.isEmpty() && log.bytes() < stopAt; ++pass) {
        const QByteArray& audit = audits.at(pass % audits.size());
        log.beginStep({"DATA _NULL_;", "   SET SDG.RESULTS;", "   AUDIT " + audit + ";", "RUN;"});
        int listed = 0;
        for (const ResultRecord& r : data.results) {
            if (log.bytes() >= stopAt)
                break;
            ++listed;
            log.note("Audit " + audit + ": sample " + r.sample + ' ' + r.analyte + ' ' + r.method + ' ' + r.resultText + ' '
                     + r.units + " passed.");
        }
        log.note(plural(listed, "result was", "results were") + " listed by the " + audit + " audit.");
        log.endStep("DATA step");
    }
}

void writeEpilogue(BatchLog& log, const Invocation& invocation)
{
    log.line({});
    log.note("Job " + job(invocation) + " ended on " + now() + " after " + plural(log.steps(), "step", "steps") + ".");
    log.note("The job wrote " + plural(log.errors(), "error", "errors") + " and "
             + plural(log.warnings(), "warning", "warnings") + " to this log.");
    log.note("The batch session has ended.");
}

} // namespace qelvrin::standin
