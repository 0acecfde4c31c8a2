#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace qelvrin::standin {

// What the assessments know about each analyte an SDG may report.
struct Analyte {
    QByteArray symbol;        // "HG"
    QByteArray name;          // "Mercury"
    double waterLimit;        // contract detection limit in UG/L
    int holdingDays;          // days allowed between collection and analysis
    QByteArray method;        // required method; empty when P or F will do
};

// nullptr for a symbol outside the contract list.
const Analyte* findAnalyte(QByteArrayView symbol);

// Soil limits are the water limits scaled to MG/KG.
inline constexpr double kSoilLimitFactor = 0.2;

} // namespace qelvrin::standin
