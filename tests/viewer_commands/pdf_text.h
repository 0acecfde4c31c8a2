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

inline QString runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The page count pdfinfo reports; 0 when it cannot tell.
inline int pdfPageCount(const QString& pdf)
{
    const QString info = runTool(popplerTool(QStringLiteral("pdfinfo")), {pdf});
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                                             QRegularExpression::MultilineOption)
                                              .match(info);
    return pages.hasMatch() ? pages.captured(1).toInt() : 0;
}

// The text of one page (from 1), laid out as printed.
inline QString pdfPageText(const QString& pdf, int page)
{
    const QString number = QString::number(page);
    return runTool(popplerTool(QStringLiteral("pdftotext")),
                   {QStringLiteral("-layout"), QStringLiteral("-f"), number, QStringLiteral("-l"), number, pdf,
                    QStringLiteral("-")});
}

} // namespace qelvrin::testing
