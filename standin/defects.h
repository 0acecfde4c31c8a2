#pragma once

#include "standin/sdg_data.h"

#include <QByteArray>
#include <QList>

namespace qelvrin::standin {

enum class Check { HoldingTime, Qualifier, Units, DetectionLimit, Method, SpikeRecovery };

struct CheckInfo {
    QByteArray code;        // two letters, shown in the report
    QByteArray title;       // "Holding time"
};

const CheckInfo& checkInfo(Check check);

struct Defect {
    QByteArray sample;
    QByteArray matrix;
    QByteArray analyte;
    QByteArray method;      // empty for a spike recovery
    QByteArray result;      // result or recovery as text
    QByteArray units;
    QByteArray limit;
    QByteArray qualifier;
    QByteArray analysed;    // DDMONYYYY, empty for a spike recovery
    Check check;
    QByteArray description;
};

// The defects the given checks find, in record order, check by check.
QList<Defect> findDefects(const SdgData& data, const QList<Check>& checks);

} // namespace qelvrin::standin
