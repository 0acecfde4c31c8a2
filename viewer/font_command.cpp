#include "viewer/font_command.h"

#include "settings/error_code.h"
#include "settings/global.h"
#include "viewer/view_font_settings.h"

namespace qelvrin {

namespace {

// What no text area can take: a font without a face, or a size no page can
// be drawn in.
void applyChoice(FontTarget& target, const FontChoice& choice)
{
    if (choice.face.trimmed().isEmpty())
        throw ErrorCode(ErrInvalidValue);
    target.setFace(choice.face);
    if (!isDrawableFontSize(choice.size))
        throw ErrorCode(ErrInvalidValue);
    target.setSize(choice.size);
    target.setBold(choice.bold);
    target.setItalic(choice.italic);
}

void storeChoice(const Global& settings, const FontChoice& choice)
{
    settings.WriteSetting(QStringLiteral("ViewFontName"), SettingValue(choice.face));
    settings.WriteSetting(QStringLiteral("ViewFontSize"), SettingValue(choice.size));
    settings.WriteSetting(QStringLiteral("ViewFontBold"), SettingValue(choice.bold));
    settings.WriteSetting(QStringLiteral("ViewFontItalic"), SettingValue(choice.italic));
}

QString failureText(int code)
{
    if (code == ErrInvalidValue)
        return QStringLiteral("ERROR 380: Font is not usable by this program.\r\nPlease try a different one.");
    return QStringLiteral("ERROR %1 occurred.").arg(code);
}

} // namespace

void runFontCommand(Dialogs& dialogs, FontTarget& target, const Global& settings)
{
    try {
        FontChoice choice = target.font();
        if (!dialogs.chooseFont(choice))
            return; // Cancel: nothing to say
        applyChoice(target, choice);
        storeChoice(settings, choice);
        target.relayout();
    } catch (const ErrorCode& error) {
        dialogs.message({failureText(error.code), MsgIcon::None, MsgButtons::Ok, QStringLiteral("QELVRIN: Font Error")});
    }
}

} // namespace qelvrin
