#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

namespace qelvrin {
struct FontChoice;
}

namespace qelvrin::look {

// Window geometry is designed in twips: 15 to a pixel on the usual screen.
inline int toPixels(int twips)
{
    return (twips * 2 + 15) / 30;
}
inline QSize toPixels(QSize twips)
{
    return {toPixels(twips.width()), toPixels(twips.height())};
}
inline QRect toPixels(const QRect& twips)
{
    return {toPixels(twips.x()), toPixels(twips.y()), toPixels(twips.width()), toPixels(twips.height())};
}

inline const QColor kLightYellow{255, 255, 224};

// MS Sans Serif 8.25 point bold, or the nearest sans-serif fontconfig offers.
QFont windowFont();

// The viewer's text font as stored; a face the system lacks falls back to a
// fixed-pitch one. A page may hold one line of 30,000 characters: text in a
// font without kerning or ligatures is laid out from its glyph widths,
// without shaping.
QFont viewerFont(const FontChoice& font);

} // namespace qelvrin::look
