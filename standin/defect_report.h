#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace qelvrin::standin {

// A printed report of fixed pages: 133 characters wide, 60 lines a page.
// Every page begins with the title, the subtitle and the column headings of
// the section its first line belongs to; every page after the first starts
// with a form feed.
class DefectReport {
public:
    static constexpr qsizetype kWidth = 133;
    static constexpr int kPageLines = 60;

    DefectReport(QByteArray title, QByteArray subtitle);

    // Lines added from now on appear under these column headings.
    void startSection(const QByteArray& heading, const QByteArray& columns);
    void add(const QByteArray& line);

    int pageCount() const;
    bool writeTo(const QString& path, QString* error) const;

private:
    struct Line {
        QByteArray text;
        int section;
    };
    struct Section {
        QByteArray columns;
    };

    QList<QByteArray> render() const;
    QList<QByteArray> pageHeader(int page, int section) const;

    QByteArray m_title;
    QByteArray m_subtitle;
    QList<Section> m_sections;
    QList<Line> m_lines;
};

} // namespace qelvrin::standin
