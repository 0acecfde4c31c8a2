#include "viewer/printer_page_sink.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

#include <cmath>

namespace qelvrin {

PrinterPageSink::PrinterPageSink(QPainter& painter, QPrinter& printer)
    : m_painter(painter), m_printer(printer)
{
    const QFontMetricsF metrics(painter.font(), &printer);
    m_lineSpacing = metrics.lineSpacing();
    m_ascent = metrics.ascent();
    m_linesPerPage = qMax(1, int(std::floor(printer.height() / m_lineSpacing)));
    m_painter.setClipRect(QRectF(0, 0, printer.width(), printer.height()));
}

int PrinterPageSink::linesPerPage() const
{
    return m_linesPerPage;
}

void PrinterPageSink::printLine(int row, QByteArrayView text)
{
    m_painter.drawText(QPointF(0, row * m_lineSpacing + m_ascent), QString::fromLatin1(text));
}

bool PrinterPageSink::newPage()
{
    return m_printer.newPage();
}

} // namespace qelvrin
