#pragma once

#include <QByteArray>
#include <QList>

namespace qelvrin::testing {

// Lines of a file, split the plain way, independent of the line reader: at
// CR LF, lone CR or lone LF; no line after a final line end.
inline QList<QByteArray> splitLines(const QByteArray& file)
{
    QList<QByteArray> lines;
    qsizetype i = 0;
    while (i < file.size()) {
        qsizetype end = i;
        while (end < file.size() && file[end] != '\r' && file[end] != '\n')
            ++end;
        lines.append(file.mid(i, end - i));
        if (end < file.size())
            end += (file[end] == '\r' && end + 1 < file.size() && file[end + 1] == '\n') ? 2 : 1;
        i = end;
    }
    return lines;
}

} // namespace qelvrin::testing
