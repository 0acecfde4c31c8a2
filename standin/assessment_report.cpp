#include "standin/assessment_report.h"

#include "standin/common_steps.h"
#include "standin/frequency_table.h"

#include <algorithm>

namespace qelvrin::standin {

namespace {

struct Column {
    const char* heading;
    qsizetype width;
};

constexpr Column kColumns[] = {
    {"Sample", 9}, {"Matrix", 7}, {"Analyte", 8}, {"Method", 7}, {"Result", 12}, {"Units", 7},
    {"Det.Limit", 11}, {"Qual", 5}, {"Analysed", 10}, {"Code", 5}, {"Description", 0},
};

QByteArray row(const QList<QByteArray>& cells)
{
    QByteArray line;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const qsizetype width = kColumns[i].width;
        line += width == 0 ? cells.at(i) : cells.at(i).leftJustified(width - 1, ' ', true) + ' ';
    }
    return line;
}

QByteArray defectColumns()
{
    QList<QByteArray> headings;
    for (const Column& c : kColumns)
        headings.append(c.heading);
    return row(headings);
}

QByteArray defectLine(const Defect& d)
{
    return row({d.sample, d.matrix, d.analyte, d.method, d.result, d.units, d.limit, d.qualifier, d.analysed,
                checkInfo(d.check).code, d.description});
}

template <typename KeyOf>
QList<QPair<QByteArray, int>> countBy(const QList<Defect>& defects, KeyOf keyOf)
{
    QList<QPair<QByteArray, int>> counts;
    for (const Defect& d : defects) {
        const QByteArray key = keyOf(d);
        auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == key; });
        if (it == counts.end())
            counts.append({key, 1});
        else
            ++it->second;
    }
    std::sort(counts.begin(), counts.end());
    return counts;
}

void addFrequencySection(DefectReport& report, const QByteArray& by, const QByteArray& heading,
                         const QList<QPair<QByteArray, int>>& counts)
{
    const FrequencyTable table = frequencyTable(heading, counts);
    report.startSection("Frequency of defects by " + by, table.columns);
    for (const QByteArray& line : table.rows)
        report.add(line);
}

void addDefectSection(DefectReport& report, const SdgData& data, QList<Defect> defects)
{
    report.startSection("Defects by sample", defectColumns());
    if (defects.isEmpty()) {
        report.add("No defects were found in the " + QByteArray::number(data.results.size()) + " results of this SDG.");
        return;
    }
    std::stable_sort(defects.begin(), defects.end(), [](const Defect& a, const Defect& b) {
        return std::tie(a.sample, a.analyte) < std::tie(b.sample, b.analyte);
    });
    for (qsizetype i = 0; i < defects.size(); ++i) {
        if (i > 0 && defects.at(i).sample != defects.at(i - 1).sample)
            report.add({});
        report.add(defectLine(defects.at(i)));
    }
}

} // namespace

const AssessmentKind& initialAssessment()
{
    static const AssessmentKind kind{"Initial Assessment", {Check::HoldingTime, Check::Qualifier, Check::Units}, false};
    return kind;
}

const AssessmentKind& fullAssessment()
{
    static const AssessmentKind kind{"Full Assessment",
                                     {Check::HoldingTime, Check::Qualifier, Check::Units, Check::DetectionLimit,
                                      Check::Method, Check::SpikeRecovery},
                                     true};
    return kind;
}

DefectReport buildDefectReport(const AssessmentKind& kind, const SdgData& data, const QList<Defect>& defects,
                               const QDateTime& runTime)
{
    const HeaderRecord& h = data.header;
    DefectReport report("QELVRIN Inorganic Data Assessment  -  " + kind.title + " Defect Report",
                        "SDG: " + h.sdg + "   Laboratory: " + h.lab + "   Case: " + h.caseNumber + "   Received: "
                            + logDate(h.received) + "   Run: " + logDate(runTime.date()) + ' '
                            + runTime.time().toString(QStringLiteral("HH:mm")).toLatin1());
    addDefectSection(report, data, defects);
    if (defects.isEmpty()) {
        report.startSection("Frequency of defects by code", frequencyTable("Code  Check", {}).columns);
        report.add("No defects to tabulate.");
        return report;
    }
    addFrequencySection(report, "code", "Code  Check", countBy(defects, [](const Defect& d) {
        const CheckInfo& info = checkInfo(d.check);
        return info.code + "    " + info.title;
    }));
    addFrequencySection(report, "analyte", "Analyte", countBy(defects, [](const Defect& d) { return d.analyte; }));
    if (kind.detailedTables) {
        addFrequencySection(report, "sample", "Sample", countBy(defects, [](const Defect& d) { return d.sample; }));
        addFrequencySection(report, "matrix", "Matrix", countBy(defects, [](const Defect& d) { return d.matrix; }));
    }
    return report;
}

} // namespace qelvrin::standin
