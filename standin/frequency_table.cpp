#include "standin/frequency_table.h"

namespace qelvrin::standin {

namespace {

constexpr qsizetype kValueWidth = 40;
constexpr qsizetype kNumberWidth = 12;
constexpr qsizetype kCumulativeWidth = 24;

QByteArray percent(int part, int whole)
{
    return QByteArray::number(whole == 0 ? 0.0 : 100.0 * part / whole, 'f', 2);
}

} // namespace

FrequencyTable frequencyTable(const QByteArray& valueHeading, const QList<QPair<QByteArray, int>>& counts)
{
    FrequencyTable table;
    table.columns = valueHeading.leftJustified(kValueWidth) + QByteArray("Frequency").rightJustified(kNumberWidth)
                    + QByteArray("Percent").rightJustified(kNumberWidth)
                    + QByteArray("Cumulative Frequency").rightJustified(kCumulativeWidth)
                    + QByteArray("Cumulative Percent").rightJustified(kCumulativeWidth);
    int total = 0;
    for (const auto& entry : counts)
        total += entry.second;
    int cumulative = 0;
    for (const auto& [value, count] : counts) {
        cumulative += count;
        table.rows.append(value.leftJustified(kValueWidth, ' ', true)
                          + QByteArray::number(count).rightJustified(kNumberWidth)
                          + percent(count, total).rightJustified(kNumberWidth)
                          + QByteArray::number(cumulative).rightJustified(kCumulativeWidth)
                          + percent(cumulative, total).rightJustified(kCumulativeWidth));
    }
    table.rows.append(QByteArray("Total").leftJustified(kValueWidth) + QByteArray::number(total).rightJustified(kNumberWidth));
    return table;
}

} // namespace qelvrin::standin
