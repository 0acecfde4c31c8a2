#include "standin/data_load_steps.h"

#include "standin/common_steps.h"

namespace qelvrin::standin {

namespace {

QByteArray observations(qsizetype count, int variables)
{
    return QByteArray::number(count) + (count == 1 ? " observation" : " observations") + " and "
           + QByteArray::number(variables) + " variables.";
}

void splitStep(BatchLog& log, const SdgData& data)
{
    log.beginStep({"DATA SDG.HEADER SDG.SAMPLES SDG.RESULTS SDG.SPIKES;", "   SET WORK.RAW;",
                   "   SELECT (TYPE);", "      WHEN ('H') OUTPUT SDG.HEADER;", "      WHEN ('S') OUTPUT SDG.SAMPLES;",
                   "      WHEN ('R') OUTPUT SDG.RESULTS;", "      WHEN ('Q') OUTPUT SDG.SPIKES;", "   END;", "RUN;"});
    const HeaderRecord& h = data.header;
    log.note("SDG " + h.sdg + " from laboratory " + h.lab + ", case " + h.caseNumber + ", received " + logDate(h.received) + ".");
    log.note("The data set SDG.HEADER has " + observations(1, 4));
    log.note("The data set SDG.SAMPLES has " + observations(data.samples.size(), 4));
    log.note("The data set SDG.RESULTS has " + observations(data.results.size(), 9));
    log.note("The data set SDG.SPIKES has " + observations(data.spikes.size(), 3));
    log.endStep("DATA step");
}

void sortStep(BatchLog& log, const SdgData& data)
{
    log.beginStep({"PROC SORT DATA=SDG.RESULTS;", "   BY SAMPLE ANALYTE;", "RUN;"});
    log.note("There were " + QByteArray::number(data.results.size()) + " observations read from the data set SDG.RESULTS.");
    log.note("The data set SDG.RESULTS has " + observations(data.results.size(), 9));
    log.endStep("SORT procedure");
}

void sampleSummaryStep(BatchLog& log, const SdgData& data)
{
    log.beginStep({"DATA _NULL_;", "   MERGE SDG.SAMPLES SDG.RESULTS(IN=R) SDG.SPIKES(IN=Q);", "   BY SAMPLE;",
                   "   IF LAST.SAMPLE THEN PUT SAMPLE= RESULTS= SPIKES=;", "RUN;"});
    for (const SampleRecord& s : data.samples) {
        qsizetype results = 0;
        for (const ResultRecord& r : data.results)
            results += r.sample == s.sample ? 1 : 0;
        qsizetype spikes = 0;
        for (const SpikeRecord& q : data.spikes)
            spikes += q.sample == s.sample ? 1 : 0;
        const QByteArray solids = s.matrix == "SOIL" ? QByteArray::number(s.percentSolids, 'g', 4) + "% solids, " : QByteArray();
        log.note("Sample " + s.sample + " (" + s.matrix + ", " + solids + "collected " + logDate(s.collected) + "): "
                 + QByteArray::number(results) + " results, " + QByteArray::number(spikes) + " spike recoveries.");
        if (results == 0)
            log.warning("Sample " + s.sample + " has no results.");
    }
    log.endStep("DATA step");
}

void contentsStep(BatchLog& log)
{
    log.beginStep({"PROC DATASETS LIBRARY=SDG NOLIST;", "   MODIFY RESULTS;", "   INDEX CREATE SAMPLE;", "QUIT;"});
    log.note("Simple index SAMPLE has been defined on SDG.RESULTS.");
    log.note("The library SDG holds 4 data sets.");
    log.endStep("DATASETS procedure");
}

} // namespace

void writeDataLoadSteps(BatchLog& log, const SdgData& data)
{
    splitStep(log, data);
    sortStep(log, data);
    sampleSummaryStep(log, data);
    contentsStep(log);
}

} // namespace qelvrin::standin
