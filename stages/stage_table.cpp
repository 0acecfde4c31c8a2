#include "stages/stage_table.h"

namespace qelvrin {

namespace {

StageInfo row(QChar letter, StageRole role, const QString& program, const QString& report, qint64 expectedLogSize,
              const QString& programName, const QString& markerText, const StageControls& controls)
{
    const QString logPath = kInstallDir + program + QStringLiteral(".LOG");
    const QString reportPath = report.isEmpty() ? QString() : kInstallDir + report;
    QString commandLine = kBatchProcessorPath + QStringLiteral(" -SYSIN ") + kInstallDir + program + QStringLiteral(" -LOG ") + logPath;
    if (!reportPath.isEmpty())
        commandLine += QStringLiteral(" -PRINT ") + reportPath;
    return {letter, role, program, logPath, reportPath, expectedLogSize, commandLine, programName, markerText, controls};
}

} // namespace

const std::array<StageInfo, 3>& stageTable()
{
    static const std::array<StageInfo, 3> table{
        row(QChar('D'), StageRole::LoadsData, QStringLiteral("DLOADJCL"), QString(), 14800, QStringLiteral("Data Load Program"),
            QStringLiteral("LOAD PROGRAM STARTED"),
            {QStringLiteral("cmdLoadDataProgram"), QStringLiteral("Label2"), QStringLiteral("Data Load"), 972, QStringLiteral("Label7"),
             QStringLiteral("mnuRLoadDataProgram"), QStringLiteral("&Data Load Program..."), QStringLiteral("mnuVLoadDataLog"),
             QStringLiteral("&Data Load Log"), QString(), QString()}),
        row(QChar('I'), StageRole::ReadsData, QStringLiteral("IASMTJCL"), QStringLiteral("SDEFECT.TXT"), 6600,
            QStringLiteral("Initial Assessment Program"), QStringLiteral("I.A. PROGRAM STARTED"),
            {QStringLiteral("cmdRIniAss"), QStringLiteral("Label5"), QStringLiteral("Initial Assessment"), 1572, QStringLiteral("Label8"),
             QStringLiteral("mnuRInitialAssesment"), QStringLiteral("&Initial Assessment"), QStringLiteral("mnuVInitialAssessmentLog"),
             QStringLiteral("I&nitial Assessment Log"), QStringLiteral("mnuVInitialAssesmenuReport"), QStringLiteral("&Initial Assessment Report")}),
        row(QChar('F'), StageRole::ReadsData, QStringLiteral("FASMTJCL"), QStringLiteral("TDEFECT.TXT"), 114000,
            QStringLiteral("Full Assessment Program"), QStringLiteral("F.A. PROGRAM STARTED"),
            {QStringLiteral("cmdRTecDef"), QStringLiteral("Label6"), QStringLiteral("Full Assessment"), 1452, QStringLiteral("Label9"),
             QStringLiteral("mnuRTechnicalDefect"), QStringLiteral("&Full Assessment"), QStringLiteral("mnuVTechnicalDefectLog"),
             QStringLiteral("F&ull Assessment Log"), QStringLiteral("mnuVTechnicalDefectReport"), QStringLiteral("&Full Assessment Report")}),
    };
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

const StageInfo& dataLoadStage()
{
    for (const StageInfo& stage : stageTable()) {
        if (stage.role == StageRole::LoadsData)
            return stage;
    }
    Q_UNREACHABLE();
}

QString stageLetters()
{
    QString letters;
    for (const StageInfo& stage : stageTable())
        letters += stage.letter;
    return letters;
}

QList<StageOutput> stageOutputs()
{
    QList<StageOutput> outputs{{kDataFilePath, nullptr, false}};
    for (const StageInfo& stage : stageTable()) {
        if (!stage.reportPath.isEmpty())
            outputs.append({stage.reportPath, &stage, true});
    }
    for (const StageInfo& stage : stageTable())
        outputs.append({stage.logPath, &stage, false});
    return outputs;
}

} // namespace qelvrin
