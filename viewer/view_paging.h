#pragma once

#include <QString>

namespace qelvrin {

// The short name the viewer's caption shows: the last 12 characters of the
// file name, from after the first path separator among them.
QString CaptionName(const QString& fileName);

// "NAME line N of M", the name in capitals.
QString viewCaption(const QString& captionName, qint64 firstLine, qint64 lastLine);

// Lines per page step for a text area of the given height: one less than
// the lines that fit, taking a line as 27 twips per point of font size,
// worked in single precision and rounded half to even. Never below 1.
int largeChange(float textHeightTwips, float fontSizePoints);

} // namespace qelvrin
