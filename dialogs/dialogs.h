#pragma once

#include <QString>

#include <memory>
#include <optional>

class QPrinter;
class QWidget;

namespace qelvrin {

// The title of every box that has none of its own.
inline const QString kApplicationTitle = QStringLiteral("QELVRIN");

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo };
// Closing a box without a choice answers Cancel (or No for Yes/No boxes).
enum class Answer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    QString text;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    QString title;
};

// The program's texts end their lines with CR LF or a lone CR; a label and
// a terminal break lines only at LF (a label draws a CR as a blank).
inline QString withLineFeeds(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

struct FileOpenRequest {
    QString title;
    QString filter;           // "description|pattern|..." as the program states it
    unsigned flags = 0;       // the program's flag word, kept for the record
    QString initialDir;       // empty: the dialog's own choice
};

struct FontChoice {
    QString face;
    float size = 0;
    bool bold = false;
    bool italic = false;

    bool operator==(const FontChoice&) const = default;
};

// Every modal question the program asks goes through here, so tests can
// script the operator's answers and check exactly what was asked.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer message(const MessageBoxRequest& request) = 0;
    // nullopt on Cancel.
    virtual std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) = 0;
    // Native path of the chosen file; empty on Cancel.
    virtual QString openFile(const FileOpenRequest& request) = 0;
    // Fixed-pitch fonts only; false on Cancel. `font` holds the initial selection.
    virtual bool chooseFont(FontChoice& font) = 0;
    // Print setup on `printer` (selection and page range disabled; print to
    // file only where the system has no printer); false on Cancel.
    virtual bool setupPrinter(QPrinter& printer) = 0;

    // Dialogs whose boxes belong to `window` (modal on it), for a window
    // other than the one these serve; null when these serve every window.
    virtual std::unique_ptr<Dialogs> forWindow(QWidget& /*window*/) { return nullptr; }
};

} // namespace qelvrin
