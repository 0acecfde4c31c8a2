#pragma once

#include "platform/line_reader.h"

#include <QByteArray>
#include <QChar>
#include <QString>

namespace qelvrin::testing {

// Capitals by way of Unicode, independent of the code under test: a byte
// keeps its value when its capital lies beyond Latin-1.
inline QByteArray referenceUpper(QByteArrayView bytes)
{
    QByteArray upper;
    for (const char c : bytes) {
        const char16_t u = QChar(char16_t(uchar(c))).toUpper().unicode();
        upper.append(u < 0x100 ? char(u) : c);
    }
    return upper;
}

// The search done the plain way: every line in turn, as the viewer's load
// reads them. The number of the first line after `after` that holds
// `needle` in either case; 0 when none does.
inline qint64 referenceFind(const QString& path, const QByteArray& needle, qint64 after)
{
    LineReader reader(path, 1 << 16);
    const QByteArray upperNeedle = referenceUpper(needle);
    qint64 number = 0;
    while (const auto line = reader.next()) {
        ++number;
        if (number > after && referenceUpper(*line).contains(upperNeedle))
            return number;
    }
    return 0;
}

} // namespace qelvrin::testing
