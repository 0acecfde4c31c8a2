#pragma once

#include <QChar>
#include <QString>

#include <array>

namespace qelvrin {

// Everything that differs between the three batch stages, as data. Code that
// needs a stage-specific value looks it up here instead of branching.
struct StageInfo {
    QChar letter;              // StageLetter: 'D', 'I', 'F'
    QString sasProgram;        // "DLOADJCL"
    QString logPath;           // "\QELVRIN\DLOADJCL.LOG"
    QString reportPath;        // "\QELVRIN\SDEFECT.TXT"; empty for Data Load
    qint64 expectedLogSize;    // bytes that count as 100 percent
    QString commandLine;       // the batch processor's command line
    QString buttonName;        // "cmdLoadDataProgram"
    QString menuItemName;      // "mnuRLoadDataProgram"
    QString viewLogItemName;   // "mnuVLoadDataLog"
    QString doneMarkName;      // "Label7"
    QString programName;       // "Data Load Program"
    QString markerText;        // "LOAD PROGRAM STARTED"
};

const std::array<StageInfo, 3>& stageTable();
// nullptr for a letter that names no stage.
const StageInfo* stageByLetter(QChar letter);

// A stage output: a file whose existence drives the commands.
struct StageOutput {
    QString path;              // "\QELVRIN\QELVDATA"
    QString viewItemName;      // empty for the data file
};

// The six outputs in the fixed order every procedure visits them.
const std::array<StageOutput, 6>& stageOutputs();

inline const QString kInstallDir = QStringLiteral("\\QELVRIN\\");
inline const QString kDataFilePath = QStringLiteral("\\QELVRIN\\QELVDATA");
inline const QString kSignalPath = QStringLiteral("\\QELVRIN\\SIGNAL.TXT");
inline const QString kSettingsReadPath = QStringLiteral("\\QELVRIN\\PCVQS.INI");
inline const QString kSettingsWriteName = QStringLiteral("pcvqs.ini");
inline const QString kBatchProcessorPath = QStringLiteral("\\SAS\\SAS.EXE");

} // namespace qelvrin
