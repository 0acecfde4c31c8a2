#pragma once

#include "dialogs/dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <optional>

namespace qelvrin::testing {

// Stands in for the operator: every question is recorded, every answer comes
// from a queue the test filled. An unexpected question fails loudly.
class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, Input, OpenFile, Font, Printer };

    struct Call {
        Kind kind;
        QString text; // message text, input prompt
        QString title;
        MsgIcon icon = MsgIcon::None;
        MsgButtons buttons = MsgButtons::OkCancel;
        QString defaultText;  // input default
        FileOpenRequest file; // open-file request
        FontChoice font;      // font dialog's initial selection
    };
    using PrinterSetup = std::function<void(QPrinter&)>;

    // Answers, consumed in order per kind; nullopt cancels.
    void queueAnswer(Answer answer) { m_answers.push_back(answer); }
    void queueInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void queueFile(QString nativePath) { m_files.push_back(std::move(nativePath)); }
    void queueFont(std::optional<FontChoice> font) { m_fonts.push_back(std::move(font)); }
    void queuePrinter(std::optional<PrinterSetup> setup) { m_printers.push_back(std::move(setup)); }

    // Runs as each question is recorded, before it is answered.
    std::function<void(const Call&)> onCall;

    const QList<Call>& calls() const { return m_calls; }
    QList<Call> messages() const;
    // Every message so far as one comparable line each, see box().
    QStringList boxes() const;
    static QString box(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title);
    bool allAnswersUsed() const;

    Answer message(const MessageBoxRequest& request) override;
    std::optional<QString> input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const FileOpenRequest& request) override;
    bool chooseFont(FontChoice& font) override;
    bool setupPrinter(QPrinter& printer) override;

private:
    void record(const Call& call);

    QList<Call> m_calls;
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<QString> m_files;
    std::deque<std::optional<FontChoice>> m_fonts;
    std::deque<std::optional<PrinterSetup>> m_printers;
};

} // namespace qelvrin::testing
