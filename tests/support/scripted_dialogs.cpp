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
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(result), [](const Call& call) { return call.kind == Kind::Message; });
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
    record(Call{Kind::Message, request.text, request.title, request.icon, request.buttons, {}, {}, {}});
    // A box with only OK needs no script.
    return request.buttons == MsgButtons::Ok ? Answer::Ok : takeFront(m_answers, "message", request.text);
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
    if (answer)
        font = *answer;
    return answer.has_value();
}

bool ScriptedDialogs::setupPrinter(QPrinter& printer)
{
    record(Call{Kind::Printer, {}, {}, MsgIcon::None, MsgButtons::OkCancel, {}, {}, {}});
    const std::optional<PrinterSetup> answer = takeFront(m_printers, "printer", QString());
    if (answer)
        (*answer)(printer);
    return answer.has_value();
}

} // namespace qelvrin::testing
