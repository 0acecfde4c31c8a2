#include "app/backlog/backlog_report.h"
#include "stages/stage_table.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <array>

namespace qelvrin::backlog {

namespace {

struct Look {
    Outcome outcome;
    const char* className;
    const char* colour;
};
constexpr std::array<Look, 4> kLooks{{
    {Outcome::Completed, "completed", "#cdeccd"},
    {Outcome::Abnormal, "abnormal", "#f6c6c6"},
    {Outcome::NotAhead, "not-ahead", "#f6e3b4"},
    {Outcome::NotFinished, "not-finished", "#dcdcdc"},
}};
constexpr std::array<const char*, 3> kStageColours{"#5b8bd0", "#d0a05b", "#7bb36b"};

const Look& lookOf(Outcome outcome)
{
    return *std::find_if(kLooks.begin(), kLooks.end(), [outcome](const Look& look) { return look.outcome == outcome; });
}

QString html(const QString& text)
{
    return text.toHtmlEscaped();
}

QString link(const QString& relative, const QString& caption)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(QString::fromUtf8(QUrl::toPercentEncoding(relative, "/")), html(caption));
}

qint64 stageDuration(const LineResult& result, int index)
{
    return result.stage(stageTable().at(index).letter).value(QStringLiteral("durationMs")).toInteger();
}

QString outcomeChart(const Counts& counts)
{
    const std::array<int, 4> values{counts.completed, counts.abnormal, counts.notAhead, counts.notFinished};
    const int most = std::max(1, *std::max_element(values.begin(), values.end()));
    QString svg = QStringLiteral("<svg class=\"chart\" id=\"outcomes\" width=\"520\" height=\"%1\" role=\"img\" aria-label=\"Outcomes\">").arg(4 * 24);
    for (int i = 0; i < 4; ++i) {
        const Look& look = kLooks.at(i);
        svg += QStringLiteral("<text x=\"0\" y=\"%1\">%2</text><rect x=\"150\" y=\"%3\" width=\"%4\" height=\"18\" fill=\"%5\" stroke=\"#666\"/>"
                              "<text x=\"%6\" y=\"%1\">%7</text>")
                   .arg(i * 24 + 14)
                   .arg(outcomeWord(look.outcome))
                   .arg(i * 24 + 1)
                   .arg(300 * values.at(i) / most)
                   .arg(QLatin1String(look.colour))
                   .arg(156 + 300 * values.at(i) / most)
                   .arg(values.at(i));
    }
    return svg + QStringLiteral("</svg>");
}

QString durationChart(const QList<LineResult>& results)
{
    qint64 longest = 1;
    for (const LineResult& result : results)
        longest = std::max(longest, stageDuration(result, 0) + stageDuration(result, 1) + stageDuration(result, 2));
    QString svg = QStringLiteral("<svg class=\"chart\" id=\"durations\" width=\"520\" height=\"%1\" role=\"img\" aria-label=\"Stage durations\">")
                      .arg(results.size() * 16 + 20);
    for (int i = 0; i < 3; ++i)
        svg += QStringLiteral("<rect x=\"%1\" y=\"2\" width=\"12\" height=\"12\" fill=\"%2\"/><text x=\"%3\" y=\"12\">%4</text>")
                   .arg(150 + i * 110)
                   .arg(QLatin1String(kStageColours.at(i)))
                   .arg(166 + i * 110)
                   .arg(QStringList{QStringLiteral("Data Load"), QStringLiteral("Initial"), QStringLiteral("Full")}.at(i));
    for (qsizetype row = 0; row < results.size(); ++row) {
        const LineResult& result = results.at(row);
        const qsizetype y = row * 16 + 20;
        svg += QStringLiteral("<text x=\"0\" y=\"%1\">%2</text>").arg(y + 11).arg(html(result.line.name().left(40)));
        qint64 x = 150;
        for (int i = 0; i < 3; ++i) {
            const qint64 ms = stageDuration(result, i);
            const qint64 width = 360 * ms / longest;
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"12\" fill=\"%4\"><title>%5 ms</title></rect>")
                       .arg(x)
                       .arg(y)
                       .arg(width)
                       .arg(QLatin1String(kStageColours.at(i)))
                       .arg(ms);
            x += width;
        }
    }
    return svg + QStringLiteral("</svg>");
}

QString links(const QString& outdir, const LineResult& result)
{
    const QString name = result.line.name();
    QStringList found;
    for (const char* suffix : {".json", ".log"}) {
        if (QFileInfo(outdir + QStringLiteral("/results/") + name + QLatin1String(suffix)).isFile())
            found.append(link(QStringLiteral("results/") + name + QLatin1String(suffix), QStringLiteral("result") + QLatin1String(suffix)));
    }
    const QDir outputs(outputsPath(outdir, result.line));
    for (const QString& file : outputs.entryList(QDir::Files | QDir::NoSymLinks, QDir::Name))
        found.append(link(QStringLiteral("outputs/") + name + QLatin1Char('/') + file, file));
    return found.join(QLatin1Char(' '));
}

} // namespace

QByteArray reportHtml(const QString& outdir, const QList<LineResult>& results)
{
    const Counts counts = countResults(results);
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>QELVRIN backlog</title><style>"
        "body{font-family:sans-serif;margin:1em}table{border-collapse:collapse}td,th{border:1px solid #999;padding:2px 6px;text-align:left}"
        ".chart text{font-size:12px}");
    for (const Look& look : kLooks)
        page += QStringLiteral("tr.%1{background:%2}").arg(QLatin1String(look.className), QLatin1String(look.colour));
    page += QStringLiteral("</style></head><body><h1>QELVRIN backlog</h1><p id=\"outdir\">%1</p>").arg(html(outdir));
    page += QStringLiteral("<p id=\"counts\">%1</p>").arg(html(countsText(counts)));
    page += QStringLiteral("<h2>Outcomes</h2>") + outcomeChart(counts);
    page += QStringLiteral("<h2>Stage durations</h2>") + durationChart(results);
    page += QStringLiteral("<h2>SDGs</h2><table id=\"sdgs\"><thead><tr><th>Line</th><th>SDG</th><th>Outcome</th><th>Exit status</th>"
                           "<th>Cause</th><th>Started</th><th>Duration (ms)</th><th>Files</th></tr></thead><tbody>\n");
    for (const LineResult& result : results) {
        const QJsonObject json = result.json.value_or(QJsonObject());
        const std::optional<int> status = result.exitStatus();
        page += QStringLiteral("<tr class=\"%1\"><td>%2</td><td>%3</td><td>%4</td><td>%5</td><td>%6</td><td>%7</td><td>%8</td><td>%9</td></tr>\n")
                    .arg(QLatin1String(lookOf(result.outcome()).className))
                    .arg(result.line.number)
                    .arg(html(result.line.name()), html(outcomeWord(result.outcome())), status ? QString::number(*status) : QString(),
                         html(result.cause()), html(json.value(QStringLiteral("startedAt")).toString()),
                         json.contains(QStringLiteral("durationMs")) ? QString::number(json.value(QStringLiteral("durationMs")).toInteger()) : QString(),
                         links(outdir, result));
    }
    page += QStringLiteral("</tbody></table></body></html>\n");
    return page.toUtf8();
}

} // namespace qelvrin::backlog
