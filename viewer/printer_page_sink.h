#pragma once

#include "viewer/print_pages.h"

#include <QtGlobal>

class QPainter;
class QPrinter;

namespace qelvrin {

// Lines on a printer's pages, one font line apart, each drawn at a point so
// it never wraps; what runs past the printable area is cut off.
class PrinterPageSink : public PageSink {
public:
    // `painter` is active on `printer` and carries the print font.
    PrinterPageSink(QPainter& painter, QPrinter& printer);

    int linesPerPage() const override;
    void printLine(int row, QByteArrayView text) override;
    bool newPage() override;

private:
    QPainter& m_painter;
    QPrinter& m_printer;
    qreal m_lineSpacing;
    qreal m_ascent;
    int m_linesPerPage;
};

} // namespace qelvrin
