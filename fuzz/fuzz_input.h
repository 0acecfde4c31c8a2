#pragma once

#include "support/file_writer.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace qelvrin::fuzz {

// A property every input must keep. Aborting hands the input to libFuzzer,
// which saves it, and fails the replay in the test suite.
inline void require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", property);
        std::abort();
    }
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// Splits off the input's first line (up to the first LF, which is dropped):
// the targets that need a key, a search text or a path take it from there.
inline QByteArray takeLine(QByteArray& input)
{
    const qsizetype lf = input.indexOf('\n');
    const QByteArray head = lf < 0 ? input : input.left(lf);
    input = lf < 0 ? QByteArray() : input.mid(lf + 1);
    return head;
}

// Splits off the input's first byte as a small number (0 when empty).
inline int takeByte(QByteArray& input)
{
    if (input.isEmpty())
        return 0;
    const int value = uchar(input.at(0));
    input.remove(0, 1);
    return value;
}

// One folder for the whole run.
inline const QTemporaryDir& scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

// Each input replaces the file it names in the scratch folder.
inline QString scratchFile(const QString& name, const QByteArray& content)
{
    return testing::writeFile(scratch(), name, content);
}

} // namespace qelvrin::fuzz
