#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

namespace qelvrin::testing {

// `count` CR LF lines "line N", with `extra` after the lines it names and a
// form feed before those in `formFeedAt`.
inline QByteArray numberedLines(int count, const QMap<int, QByteArray>& extra = {}, const QList<int>& formFeedAt = {})
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += (formFeedAt.contains(n) ? "\f" : "") + QByteArray("line ") + QByteArray::number(n) + extra.value(n) + "\r\n";
    return bytes;
}

} // namespace qelvrin::testing
