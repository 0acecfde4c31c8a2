#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>

namespace qelvrin::testing {

// Poppler's tools, run as separate programs; empty when they are missing.
inline QString popplerTool(const QString& name)
{
    return QStandardPaths::findExecutable(name);
}

// The tool's output; empty when it fails.
inline QString runTool(const QString& name, const QStringList& arguments)
{
    QProcess process;
    process.start(popplerTool(name), arguments);
    const bool ran = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// The page count pdfinfo reports; 0 when it cannot tell.
inline int pdfPageCount(const QString& pdf)
{
    return QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
        .match(runTool(QStringLiteral("pdfinfo"), {pdf}))
        .captured(1)
        .toInt();
}

// The text of one page (from 1), laid out as printed.
inline QString pdfPageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf, QStringLiteral("-")});
}

} // namespace qelvrin::testing
