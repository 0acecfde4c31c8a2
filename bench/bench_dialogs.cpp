#include "bench/bench_dialogs.h"

#include <QPrinter>

namespace qelvrin::bench {

Answer BenchDialogs::message(const MessageBoxRequest& request)
{
    m_lastMessage = request.text;
    return Answer::Ok;
}

std::optional<QString> BenchDialogs::input(const QString&, const QString&, const QString&)
{
    return std::nullopt;
}

QString BenchDialogs::openFile(const FileOpenRequest&)
{
    return {};
}

bool BenchDialogs::chooseFont(FontChoice&)
{
    return false;
}

bool BenchDialogs::setupPrinter(QPrinter& printer)
{
    if (m_pdfPath.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(m_pdfPath);
    return true;
}

} // namespace qelvrin::bench
