#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

namespace qelvrin::standin {

struct FrequencyTable {
    QByteArray columns;         // the column headings
    QList<QByteArray> rows;     // one line per value, then the total
};

// A one-way frequency table of `counts` (value, frequency) in the order given,
// with percent and cumulative columns.
FrequencyTable frequencyTable(const QByteArray& valueHeading, const QList<QPair<QByteArray, int>>& counts);

} // namespace qelvrin::standin
