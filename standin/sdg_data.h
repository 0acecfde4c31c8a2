#pragma once

#include "standin/sdg_record.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace qelvrin::standin {

// All records of the data file, sorted by type.
struct SdgData {
    HeaderRecord header;
    QList<SampleRecord> samples;
    QList<ResultRecord> results;
    QList<SpikeRecord> spikes;
    int records = 0;
    int blankLines = 0;
    qint64 bytes = 0;
    qsizetype shortest = 0;
    qsizetype longest = 0;

    const SampleRecord* sample(QByteArrayView id) const;
};

struct RecordError {
    int recordNumber; // 1-based line number in the data file; 0 for the file as a whole
    QByteArray message;
};

struct SdgLoad {
    enum class Status { Loaded, Missing, Unreadable, Empty, Malformed };
    Status status = Status::Missing;
    SdgData data;
    QList<RecordError> errors;
    QByteArray reason; // for Unreadable
};

// Reads and checks the data file QELVDATA of `installDir` (name matched
// without regard to case). Every record is checked, then the file as a whole:
// one header record, and a sample record for every sample named.
SdgLoad loadSdgData(const QString& installDir);

} // namespace qelvrin::standin
