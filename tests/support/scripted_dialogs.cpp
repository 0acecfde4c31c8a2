#include "scripted_dialogs.h"

#include <QTest>

namespace qelvrin::testing {

namespace {

template <typename Queue>
auto takeFront(Queue& queue, const char* what, const QString& asked)
{
    if (queue.empty())
        qFatal("ScriptedDialogs: no scripted answer for %s \"%s\"", what, qPrintable(asked));
    auto value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

void ScriptedDialogs::record(const Call& call)
{
    m_calls.append(call);
    if (onCall)
        onCall(call);
}

QList<ScriptedDialogs::Call> ScriptedDialogs::messages() const
{
    QList<Call> result;
    for (const Call& call : m_calls) {
        if (call.kind == Kind::Message)
            result.append(call);
    }
    return result;
}

QStringList ScriptedDialogs::boxes() const
{
    QStringList result;
    for (const Call& call : messages())
        result.append(box(call.text, call.icon, call.buttons, call.title));
    return result;
}

QString ScriptedDialogs::box(const QString& text, MsgIcon icon, MsgButtons buttons, const QString& title)
{
    return QStringLiteral("%1 [icon %2, buttons %3] %4").arg(title).arg(int(icon)).arg(int(buttons)).arg(text);
}

bool ScriptedDialogs::allAnswersUsed() const
{
    return m_answers.empty() && m_inputs.empty() && m_files.empty() && m_fonts.empty() && m_printers.empty();
}

Answer ScriptedDialogs::message(const MessageBoxRequest& request)
{
    Call call{Kind::Message, request.text, request.title, request.icon, request.buttons, {}, {}, {}};
    record(call);
    if (!m_messageHooks.empty()) {
        auto hook = std::move(m_messageHooks.front());
        m_messageHooks.pop_front();
        hook(call);
    }
    // A box with only OK needs no script.
    if (request.buttons == MsgButtons::Ok)
        return Answer::Ok;
    return takeFront(m_answers, "message", request.text);
}

std::optional<QString> ScriptedDialogs::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    record(Call{Kind::Input, prompt, title, MsgIcon::None, MsgButtons::OkCancel, defaultText, {}, {}});
    return takeFront(m_inputs, "input", prompt);
}

QString ScriptedDialogs::openFile(const FileOpenRequest& request)
{
    record(Call{Kind::OpenFile, {}, request.title, MsgIcon::None, MsgButtons::OkCancel, {}, request, {}});
    return takeFront(m_files, "open file", request.title);
}

bool ScriptedDialogs::chooseFont(FontChoice& font)
{
    record(Call{Kind::Font, {}, {}, MsgIcon::None, MsgButtons::OkCancel, {}, {}, font});
    const std::optional<FontChoice> answer = takeFront(m_fonts, "font", QString());
    if (!answer)
        return false;
    font = *answer;
    return true;
}

bool ScriptedDialogs::setupPrinter(QPrinter& printer)
{
    record(Call{Kind::Printer, {}, {}, MsgIcon::None, MsgButtons::OkCancel, {}, {}, {}});
    auto answer = takeFront(m_printers, "printer", QString());
    if (!answer)
        return false;
    (*answer)(printer);
    return true;
}

} // namespace qelvrin::testing
