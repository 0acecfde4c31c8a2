#pragma once

#include <QString>

namespace qelvrin {

// Capitals of 8-bit text, one byte per character: a-z and the accented
// lower-case letters of Latin-1 (except the division sign) map to their
// capitals; every other byte stays as it is, so the map never leaves a byte.
unsigned char latin1Upper(unsigned char byte);

// The same map over text; characters beyond Latin-1 stay as they are.
QString latin1Upper(const QString& text);

} // namespace qelvrin
