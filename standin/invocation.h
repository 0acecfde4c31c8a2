#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace qelvrin::standin {

enum class Stage { DataLoad, InitialAssessment, FullAssessment };

// What the command line asks for. The install directory is the directory
// of the -SYSIN file; the stage is that file's base name.
struct Invocation {
    Stage stage = Stage::DataLoad;
    QString jobName;       // "DLOADJCL", upper case
    QString sysinPath;
    QString logPath;
    QString printPath;     // empty for Data Load
    QString installDir;
};

struct ParsedInvocation {
    std::optional<Invocation> invocation;
    QString error;
};

// `arguments` without the program name. Options in any letter case, each
// followed by its value: -SYSIN and -LOG always, -PRINT for the assessments.
ParsedInvocation parseInvocation(const QStringList& arguments);

} // namespace qelvrin::standin
