#include "viewer/view_paging.h"

#include <QtGlobal>

#include <cfenv>
#include <climits>
#include <cmath>

namespace qelvrin {

namespace {
constexpr qsizetype kCaptionNameLength = 12;
constexpr float kTwipsPerPointOfLine = 27.0f;
}

QString CaptionName(const QString& fileName)
{
    const QString tail = fileName.right(kCaptionNameLength);
    // A native path separates with '/', a DOS path with '\'.
    for (qsizetype i = 0; i < tail.size(); ++i) {
        if (tail.at(i) == QLatin1Char('\\') || tail.at(i) == QLatin1Char('/'))
            return tail.mid(i + 1);
    }
    return tail;
}

QString viewCaption(const QString& captionName, qint64 firstLine, qint64 lastLine)
{
    return captionName.toUpper() + QStringLiteral(" line ") + QString::number(firstLine) + QStringLiteral(" of ")
        + QString::number(lastLine);
}

int largeChange(float textHeightTwips, float fontSizePoints)
{
    if (!(fontSizePoints > 0.0f))
        return 1;
    const float lines = textHeightTwips / fontSizePoints / kTwipsPerPointOfLine - 1.0f;
    if (!std::isfinite(lines) || lines < 1.0f)
        return 1;
    if (lines >= float(INT_MAX))
        return INT_MAX;
    // The default rounding mode takes halves to the even neighbour.
    Q_ASSERT(std::fegetround() == FE_TONEAREST);
    return int(std::nearbyint(lines));
}

} // namespace qelvrin
