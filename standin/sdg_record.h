#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>

#include <variant>

namespace qelvrin::standin {

// One line of an SDG file: comma-separated fields, the first naming the
// record type. The layout is documented in standin/README.md.
struct HeaderRecord {
    QByteArray sdg;
    QByteArray lab;
    QByteArray caseNumber;
    QDate received;
};

struct SampleRecord {
    QByteArray sample;
    QByteArray matrix;      // "WATER" or "SOIL"
    QDate collected;
    double percentSolids = 0;
};

struct ResultRecord {
    QByteArray sample;
    QByteArray analyte;
    QByteArray method;
    QByteArray resultText;  // as delivered, for the report
    double result = 0;
    QByteArray units;       // "UG/L" or "MG/KG"
    QByteArray limitText;
    double detectionLimit = 0;
    QByteArray qualifier;   // empty, "U", "J" or "B"
    QDate analysed;
};

struct SpikeRecord {
    QByteArray sample;
    QByteArray analyte;
    double recovery = 0;    // percent
};

using SdgRecord = std::variant<HeaderRecord, SampleRecord, ResultRecord, SpikeRecord>;

// Either a record or, for a malformed line, the reason in plain words.
struct ParsedRecord {
    SdgRecord record;
    QByteArray error;
    bool ok() const { return error.isEmpty(); }
};

ParsedRecord parseRecord(QByteArrayView line);

} // namespace qelvrin::standin
