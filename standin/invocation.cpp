#include "standin/invocation.h"

#include <QFileInfo>
#include <QMap>

namespace qelvrin::standin {

namespace {

std::optional<Stage> stageOfJob(const QString& job)
{
    if (job == QLatin1String("DLOADJCL"))
        return Stage::DataLoad;
    if (job == QLatin1String("IASMTJCL"))
        return Stage::InitialAssessment;
    if (job == QLatin1String("FASMTJCL"))
        return Stage::FullAssessment;
    return std::nullopt;
}

ParsedInvocation failure(const QString& error)
{
    return {std::nullopt, error};
}

} // namespace

ParsedInvocation parseInvocation(const QStringList& arguments)
{
    QMap<QString, QString> options;
    for (qsizetype i = 0; i < arguments.size(); i += 2) {
        const QString option = arguments.at(i).toUpper();
        if (option != QLatin1String("-SYSIN") && option != QLatin1String("-LOG") && option != QLatin1String("-PRINT"))
            return failure(QStringLiteral("unknown option \"%1\"").arg(arguments.at(i)));
        if (i + 1 >= arguments.size() || arguments.at(i + 1).isEmpty())
            return failure(QStringLiteral("option %1 needs a file name").arg(option));
        if (options.contains(option))
            return failure(QStringLiteral("option %1 is given twice").arg(option));
        options.insert(option, arguments.at(i + 1));
    }
    if (!options.contains(QStringLiteral("-SYSIN")))
        return failure(QStringLiteral("option -SYSIN is missing"));
    if (!options.contains(QStringLiteral("-LOG")))
        return failure(QStringLiteral("option -LOG is missing"));

    Invocation inv;
    inv.sysinPath = options.value(QStringLiteral("-SYSIN"));
    inv.logPath = options.value(QStringLiteral("-LOG"));
    inv.printPath = options.value(QStringLiteral("-PRINT"));
    const QFileInfo sysin(inv.sysinPath);
    inv.jobName = sysin.baseName().toUpper();
    inv.installDir = sysin.absolutePath();
    const std::optional<Stage> stage = stageOfJob(inv.jobName);
    if (!stage)
        return failure(QStringLiteral("-SYSIN names no known job: \"%1\" (expected DLOADJCL, IASMTJCL or FASMTJCL)").arg(sysin.fileName()));
    inv.stage = *stage;
    if (inv.stage != Stage::DataLoad && inv.printPath.isEmpty())
        return failure(QStringLiteral("option -PRINT is missing; job %1 writes a report").arg(inv.jobName));
    return {inv, {}};
}

} // namespace qelvrin::standin
