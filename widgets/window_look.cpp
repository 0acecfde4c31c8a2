#include "widgets/window_look.h"

#include "dialogs/dialogs.h"

namespace qelvrin::look {

QFont windowFont()
{
    QFont font;
    // fontconfig would fall back to a wide face that overruns the fixed
    // label widths; Arial's metrics come closest to the designed look.
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Helvetica")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

QFont viewerFont(const FontChoice& font)
{
    QFont result(font.face);
    result.setStyleHint(QFont::TypeWriter, QFont::PreferNoShaping);
    if (font.size > 0)
        result.setPointSizeF(font.size);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    return result;
}

} // namespace qelvrin::look
