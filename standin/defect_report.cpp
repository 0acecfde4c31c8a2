#include "standin/defect_report.h"

#include "platform/regular_open.h"

#include "platform/file_ops.h"

#include <QFile>

namespace qelvrin::standin {

namespace {

constexpr int kHeaderLines = 5;
constexpr int kBodyLines = DefectReport::kPageLines - kHeaderLines;

QByteArray fit(const QByteArray& text)
{
    return text.left(DefectReport::kWidth);
}

QByteArray rule()
{
    return QByteArray(DefectReport::kWidth, '-');
}

} // namespace

DefectReport::DefectReport(QByteArray title, QByteArray subtitle)
    : m_title(std::move(title)), m_subtitle(std::move(subtitle))
{
    m_sections.append(Section{});
}

void DefectReport::startSection(const QByteArray& heading, const QByteArray& columns)
{
    // The blank line before a section belongs to it, so a page that starts
    // with it shows the section's own columns.
    m_sections.append(Section{columns});
    if (!m_lines.isEmpty())
        add({});
    add(heading);
    add(QByteArray(heading.size(), '='));
}

void DefectReport::add(const QByteArray& line)
{
    m_lines.append(Line{fit(line), static_cast<int>(m_sections.size()) - 1});
}

int DefectReport::pageCount() const
{
    return std::max<int>(1, static_cast<int>((m_lines.size() + kBodyLines - 1) / kBodyLines));
}

QList<QByteArray> DefectReport::pageHeader(int page, int section) const
{
    const QByteArray pageText = "Page " + QByteArray::number(page);
    QByteArray top = m_title.left(kWidth - pageText.size() - 1);
    top = top.leftJustified(kWidth - pageText.size()) + pageText;
    return {top, fit(m_subtitle), rule(), fit(m_sections.at(section).columns), rule()};
}

QList<QByteArray> DefectReport::render() const
{
    QList<QByteArray> out;
    for (int page = 1; page <= pageCount(); ++page) {
        const qsizetype first = static_cast<qsizetype>(page - 1) * kBodyLines;
        const int section = first < m_lines.size() ? m_lines.at(first).section : 0;
        QList<QByteArray> header = pageHeader(page, section);
        if (page > 1)
            header.first().prepend('\f');
        out.append(header);
        for (qsizetype i = first; i < std::min<qsizetype>(first + kBodyLines, m_lines.size()); ++i)
            out.append(m_lines.at(i).text);
    }
    return out;
}

bool DefectReport::writeTo(const QString& path, QString* error) const
{
    QByteArray text;
    for (const QByteArray& line : render())
        text.append(line).append("\r\n");
    QFile file;
    // Unbuffered, so a full disk fails the write itself, with its reason;
    // never through a link planted in the report's place.
    if (!files::openRegularForWriting(file, QFile::encodeName(path), true, error))
        return false;
    if (!files::writeAll(file, text)) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace qelvrin::standin
