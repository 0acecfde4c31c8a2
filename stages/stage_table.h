#pragma once

#include <QChar>
#include <QList>
#include <QString>

#include <array>

namespace qelvrin {

// What a stage is for, beyond its own files.
enum class StageRole {
    // Copies the SDG files into the data file, then checks them; it starts
    // only after that copy, and comes before the stages that read the data.
    LoadsData,
    // Assesses the loaded data and prints a report: it needs the data file.
    ReadsData,
};

// A stage's controls in the window: the object names that scripts and the
// screen reader know, and the captions.
struct StageControls {
    QString button;          // "cmdLoadDataProgram"; its caption is the stage's place, "1"
    QString label;           // "Label2"
    QString labelCaption;    // "Data Load"
    int labelWidth;          // twips
    QString doneMark;        // "Label7"
    QString runItem;         // "mnuRLoadDataProgram"
    QString runCaption;      // "&Data Load Program..."
    QString logItem;         // "mnuVLoadDataLog"
    QString logCaption;      // "&Data Load Log"
    QString reportItem;      // "mnuVInitialAssesmenuReport"; empty without a report
    QString reportCaption;   // "&Initial Assessment Report"
};

// Everything that differs between the batch stages, as data. Code that needs
// a stage-specific value looks it up here instead of branching; the paths
// and the command line follow from the program and report names.
struct StageInfo {
    QChar letter;              // StageLetter: 'D', 'I', 'F'
    StageRole role;
    QString sasProgram;        // "DLOADJCL"
    QString logPath;           // "\QELVRIN\DLOADJCL.LOG"
    QString reportPath;        // "\QELVRIN\SDEFECT.TXT"; empty for a stage without a report
    qint64 expectedLogSize;    // bytes that count as 100 percent
    QString commandLine;       // the batch processor's command line
    QString programName;       // "Data Load Program"
    QString markerText;        // "LOAD PROGRAM STARTED"
    StageControls controls;
};

// The stages in the order they run.
const std::array<StageInfo, 3>& stageTable();
// nullptr for a letter that names no stage.
const StageInfo* stageByLetter(QChar letter);
// The one stage that loads the data.
const StageInfo& dataLoadStage();
// The stage letters in table order: "DIF".
QString stageLetters();

// A stage output: a file whose existence drives the commands.
struct StageOutput {
    QString path;              // "\QELVRIN\QELVDATA"
    const StageInfo* viewedAs; // the stage whose View item shows it; nullptr for the data file
    bool report;               // the stage's report rather than its log
};

// The outputs in the fixed order every procedure visits them: the data file,
// the reports, then the logs.
QList<StageOutput> stageOutputs();

inline const QString kInstallDir = QStringLiteral("\\QELVRIN\\");
inline const QString kDataFilePath = QStringLiteral("\\QELVRIN\\QELVDATA");
inline const QString kSignalPath = QStringLiteral("\\QELVRIN\\SIGNAL.TXT");
inline const QString kSettingsReadPath = QStringLiteral("\\QELVRIN\\PCVQS.INI");
inline const QString kSettingsWriteName = QStringLiteral("pcvqs.ini");
inline const QString kBatchProcessorPath = QStringLiteral("\\SAS\\SAS.EXE");

} // namespace qelvrin
