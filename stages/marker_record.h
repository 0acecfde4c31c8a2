#pragma once

#include <QString>

namespace qelvrin {

// Replaces the run marker with one record: the text in double quotes, then
// CR LF. False when the file could not be written.
bool writeMarkerRecord(const QString& nativePath, const QString& text);

} // namespace qelvrin
