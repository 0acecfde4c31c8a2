#include "standin/defects.h"

#include "standin/analytes.h"

#include <array>

namespace qelvrin::standin {

namespace {

constexpr double kLowestRecovery = 75;
constexpr double kHighestRecovery = 125;

QByteArray number(double value)
{
    return QByteArray::number(value, 'g', 6);
}

QByteArray dateText(const QDate& date)
{
    return date.toString(QStringLiteral("ddMMMyyyy")).toUpper().toLatin1();
}

Defect defectOf(const SampleRecord& sample, const ResultRecord& r, Check check, QByteArray description)
{
    return {r.sample, sample.matrix, r.analyte, r.method, r.resultText, r.units, r.limitText, r.qualifier,
            dateText(r.analysed), check, std::move(description)};
}

// The description of the defect, or empty when the result passes.
QByteArray judge(Check check, const SampleRecord& sample, const ResultRecord& r)
{
    const Analyte& analyte = *findAnalyte(r.analyte);
    switch (check) {
    case Check::HoldingTime: {
        const qint64 days = sample.collected.daysTo(r.analysed);
        if (days < 0)
            return "Analysed " + QByteArray::number(-days) + " days before collection";
        if (days > analyte.holdingDays) {
            return "Analysed after " + QByteArray::number(days) + " days; holding time is "
                   + QByteArray::number(analyte.holdingDays) + " days";
        }
        return {};
    }
    case Check::Qualifier:
        if (r.result < r.detectionLimit && r.qualifier != "U")
            return "Result below detection limit is not qualified U";
        if (r.result >= r.detectionLimit && r.qualifier == "U")
            return "Qualified U but at or above its detection limit";
        return {};
    case Check::Units: {
        const QByteArray expected = sample.matrix == "SOIL" ? "MG/KG" : "UG/L";
        if (r.units != expected)
            return sample.matrix + " result reported in " + r.units + ", expected " + expected;
        return {};
    }
    case Check::DetectionLimit: {
        const double limit = analyte.waterLimit * (sample.matrix == "SOIL" ? kSoilLimitFactor : 1.0);
        if (r.detectionLimit > limit)
            return "Detection limit exceeds the contract limit of " + number(limit);
        return {};
    }
    case Check::Method:
        if (!analyte.method.isEmpty() && r.method != analyte.method)
            return analyte.name + " requires method " + analyte.method;
        if (analyte.method.isEmpty() && r.method != "P" && r.method != "F")
            return analyte.name + " requires method P or F";
        return {};
    case Check::SpikeRecovery:
        return {};
    }
    return {};
}

void findSpikeDefects(const SdgData& data, QList<Defect>& defects)
{
    for (const SpikeRecord& spike : data.spikes) {
        if (spike.recovery >= kLowestRecovery && spike.recovery <= kHighestRecovery)
            continue;
        Defect d;
        d.sample = spike.sample;
        d.matrix = data.sample(spike.sample)->matrix;
        d.analyte = spike.analyte;
        d.result = number(spike.recovery) + "%";
        d.check = Check::SpikeRecovery;
        d.description = "Spike recovery outside " + number(kLowestRecovery) + " to " + number(kHighestRecovery)
                        + " percent";
        defects.append(d);
    }
}

} // namespace

const CheckInfo& checkInfo(Check check)
{
    // In the order of the enumeration.
    static const std::array<CheckInfo, 6> infos{{
        {"HT", "Holding time"},
        {"QU", "Result qualifier"},
        {"UN", "Reporting units"},
        {"DL", "Detection limit"},
        {"MT", "Analytical method"},
        {"SR", "Spike recovery"},
    }};
    return infos.at(static_cast<std::size_t>(check));
}

QList<Defect> findDefects(const SdgData& data, const QList<Check>& checks)
{
    QList<Defect> defects;
    for (Check check : checks) {
        if (check == Check::SpikeRecovery) {
            findSpikeDefects(data, defects);
            continue;
        }
        for (const ResultRecord& r : data.results) {
            const SampleRecord& sample = *data.sample(r.sample);
            QByteArray description = judge(check, sample, r);
            if (!description.isEmpty())
                defects.append(defectOf(sample, r, check, std::move(description)));
        }
    }
    return defects;
}

} // namespace qelvrin::standin
