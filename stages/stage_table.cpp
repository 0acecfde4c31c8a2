#include "stages/stage_table.h"

namespace qelvrin {

const std::array<StageInfo, 3>& stageTable()
{
    static const std::array<StageInfo, 3> table{{
        {QChar('D'), QStringLiteral("DLOADJCL"), QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"), QString(), 14800,
         QStringLiteral("\\SAS\\SAS.EXE -SYSIN \\QELVRIN\\DLOADJCL -LOG \\QELVRIN\\DLOADJCL.LOG"),
         QStringLiteral("cmdLoadDataProgram"), QStringLiteral("mnuRLoadDataProgram"), QStringLiteral("mnuVLoadDataLog"),
         QStringLiteral("Label7"), QStringLiteral("Data Load Program"), QStringLiteral("LOAD PROGRAM STARTED")},
        {QChar('I'), QStringLiteral("IASMTJCL"), QStringLiteral("\\QELVRIN\\IASMTJCL.LOG"), QStringLiteral("\\QELVRIN\\SDEFECT.TXT"), 6600,
         QStringLiteral("\\SAS\\SAS.EXE -SYSIN \\QELVRIN\\IASMTJCL -LOG \\QELVRIN\\IASMTJCL.LOG -PRINT \\QELVRIN\\SDEFECT.TXT"),
         QStringLiteral("cmdRIniAss"), QStringLiteral("mnuRInitialAssesment"), QStringLiteral("mnuVInitialAssessmentLog"),
         QStringLiteral("Label8"), QStringLiteral("Initial Assessment Program"), QStringLiteral("I.A. PROGRAM STARTED")},
        {QChar('F'), QStringLiteral("FASMTJCL"), QStringLiteral("\\QELVRIN\\FASMTJCL.LOG"), QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), 114000,
         QStringLiteral("\\SAS\\SAS.EXE -SYSIN \\QELVRIN\\FASMTJCL -LOG \\QELVRIN\\FASMTJCL.LOG -PRINT \\QELVRIN\\TDEFECT.TXT"),
         QStringLiteral("cmdRTecDef"), QStringLiteral("mnuRTechnicalDefect"), QStringLiteral("mnuVTechnicalDefectLog"),
         QStringLiteral("Label9"), QStringLiteral("Full Assessment Program"), QStringLiteral("F.A. PROGRAM STARTED")},
    }};
    return table;
}

const StageInfo* stageByLetter(QChar letter)
{
    for (const StageInfo& stage : stageTable()) {
        if (stage.letter == letter)
            return &stage;
    }
    return nullptr;
}

const std::array<StageOutput, 6>& stageOutputs()
{
    static const std::array<StageOutput, 6> outputs{{
        {QStringLiteral("\\QELVRIN\\QELVDATA"), QString()},
        {QStringLiteral("\\QELVRIN\\SDEFECT.TXT"), QStringLiteral("mnuVInitialAssesmenuReport")},
        {QStringLiteral("\\QELVRIN\\TDEFECT.TXT"), QStringLiteral("mnuVTechnicalDefectReport")},
        {QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"), QStringLiteral("mnuVLoadDataLog")},
        {QStringLiteral("\\QELVRIN\\IASMTJCL.LOG"), QStringLiteral("mnuVInitialAssessmentLog")},
        {QStringLiteral("\\QELVRIN\\FASMTJCL.LOG"), QStringLiteral("mnuVTechnicalDefectLog")},
    }};
    return outputs;
}

} // namespace qelvrin
