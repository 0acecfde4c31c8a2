#include "viewer/view_font_settings.h"

#include "settings/error_code.h"
#include "settings/global.h"

namespace qelvrin {

namespace {

std::optional<QString> readOrNothing(const Global& settings, const QString& key)
{
    try {
        return settings.ReadSetting(key);
    } catch (const ErrorCode&) {
        return std::nullopt;
    }
}

bool toBoolean(const std::optional<QString>& text)
{
    if (!text)
        return false;
    if (text->compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double number = text->toDouble(&isNumber);
    return isNumber && number != 0.0;
}

float toSize(const std::optional<QString>& text)
{
    if (!text)
        return DefaultViewFontSize;
    bool isNumber = false;
    const float size = text->toFloat(&isNumber);
    return isNumber && isDrawableFontSize(size) ? size : DefaultViewFontSize;
}

} // namespace

FontChoice readViewFont(const Global& settings)
{
    FontChoice font;
    const std::optional<QString> face = readOrNothing(settings, QStringLiteral("ViewFontName"));
    font.face = face && !face->isEmpty() ? *face : QString::fromLatin1(DefaultViewFontName);
    font.size = toSize(readOrNothing(settings, QStringLiteral("ViewFontSize")));
    font.bold = toBoolean(readOrNothing(settings, QStringLiteral("ViewFontBold")));
    font.italic = toBoolean(readOrNothing(settings, QStringLiteral("ViewFontItalic")));
    return font;
}

} // namespace qelvrin
