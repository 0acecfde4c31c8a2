#include "standin/assessment_steps.h"

#include "standin/common_steps.h"

#include <QFileInfo>

namespace qelvrin::standin {

namespace {

void checkStep(BatchLog& log, const SdgData& data, Check check, qsizetype found)
{
    const CheckInfo& info = checkInfo(check);
    log.beginStep({"DATA WORK." + info.code + ";", "   SET SDG.RESULTS;", "   %CHECK(" + info.code + ");", "RUN;"});
    const qsizetype checked = check == Check::SpikeRecovery ? data.spikes.size() : data.results.size();
    log.note(info.title + " check: " + QByteArray::number(checked) + " records checked, " + QByteArray::number(found)
             + " defects found.");
    log.note("The data set WORK." + info.code + " has " + QByteArray::number(found) + " observations and 11 variables.");
    if (found > 0)
        log.warning(QByteArray::number(found) + " records fail the " + info.title.toLower() + " check.");
    log.endStep("DATA step");
}

bool reportStep(BatchLog& log, const Invocation& invocation, const AssessmentKind& kind, const SdgData& data,
                const QList<Defect>& defects)
{
    // Only the file's name goes into the log, in capitals, as the job knows it.
    const QByteArray name = QFileInfo(invocation.printPath).fileName().toUpper().toLatin1();
    log.beginStep({"PROC PRINTTO PRINT=" + name + " NEW;", "PROC PRINT DATA=WORK.DEFECTS NOOBS;",
                   "   BY SAMPLE;", "   VAR MATRIX ANALYTE METHOD RESULT UNITS LIMIT",
                   "       QUAL ANALYSED CODE TEXT;", "RUN;"});
    const DefectReport report = buildDefectReport(kind, data, defects, QDateTime::currentDateTime());
    QString error;
    if (!report.writeTo(invocation.printPath, &error)) {
        stopJob(log, invocation, "The report " + name + " cannot be written: " + error.toLocal8Bit() + ".");
        return false;
    }
    log.note("There were " + QByteArray::number(defects.size()) + " observations read from the data set WORK.DEFECTS.");
    log.note("The report " + name + " has " + QByteArray::number(report.pageCount()) + " pages of "
             + QByteArray::number(DefectReport::kPageLines) + " lines, " + QByteArray::number(DefectReport::kWidth)
             + " columns wide.");
    log.endStep("PRINT procedure");
    return true;
}

void frequencyStep(BatchLog& log, const AssessmentKind& kind, qsizetype defects)
{
    log.beginStep({"PROC FREQ DATA=WORK.DEFECTS;",
                   kind.detailedTables ? "   TABLES CODE ANALYTE SAMPLE MATRIX;" : "   TABLES CODE ANALYTE;", "RUN;"});
    const int tables = defects == 0 ? 1 : (kind.detailedTables ? 4 : 2);
    log.note("The FREQ procedure tabulated " + QByteArray::number(defects) + " defects in " + QByteArray::number(tables)
             + (tables == 1 ? " table." : " tables."));
    log.endStep("FREQ procedure");
}

} // namespace

bool writeAssessmentSteps(BatchLog& log, const Invocation& invocation, const AssessmentKind& kind, const SdgData& data)
{
    QList<Defect> defects;
    for (Check check : kind.checks) {
        const QList<Defect> found = findDefects(data, {check});
        checkStep(log, data, check, found.size());
        defects += found;
    }
    QByteArray sets = "   SET";
    for (Check check : kind.checks)
        sets += " WORK." + checkInfo(check).code;
    log.beginStep({"DATA WORK.DEFECTS;", sets + ";", "RUN;"});
    log.note("The data set WORK.DEFECTS has " + QByteArray::number(defects.size()) + " observations and 11 variables.");
    log.endStep("DATA step");
    if (!reportStep(log, invocation, kind, data, defects))
        return false;
    frequencyStep(log, kind, defects.size());
    return true;
}

} // namespace qelvrin::standin
