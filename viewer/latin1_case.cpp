#include "viewer/latin1_case.h"

namespace qelvrin {

unsigned char latin1Upper(unsigned char byte)
{
    const bool asciiLower = byte >= 'a' && byte <= 'z';
    const bool accentedLower = byte >= 0xE0 && byte <= 0xFE && byte != 0xF7;
    return (asciiLower || accentedLower) ? static_cast<unsigned char>(byte - 0x20) : byte;
}

QString latin1Upper(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper) {
        if (c.unicode() < 0x100)
            c = QChar(latin1Upper(static_cast<unsigned char>(c.unicode())));
    }
    return upper;
}

} // namespace qelvrin
