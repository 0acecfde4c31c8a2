#pragma once

#include "standin/defect_report.h"
#include "standin/defects.h"
#include "standin/sdg_data.h"

#include <QByteArray>
#include <QDateTime>

namespace qelvrin::standin {

struct AssessmentKind {
    QByteArray title;            // "Initial Assessment"
    QList<Check> checks;
    bool detailedTables;         // frequency by sample and matrix as well
};

const AssessmentKind& initialAssessment();
const AssessmentKind& fullAssessment();

// The defect report: the defects sample by sample, then frequency tables.
DefectReport buildDefectReport(const AssessmentKind& kind, const SdgData& data, const QList<Defect>& defects,
                               const QDateTime& runTime);

} // namespace qelvrin::standin
