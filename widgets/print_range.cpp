#include "widgets/print_range.h"

#include <QAbstractButton>
#include <QEvent>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>

#include <algorithm>
#include <iterator>

namespace qelvrin {

namespace {

// Where the print server's job options travel, as name and value in turn.
constexpr auto kServerOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
const char* const kPageChoices[] = {"page-ranges", "page-set"};

// The dialog's own names for the choices it lays out.
const char* const kRangeWidgets[] = {"gbPrintRange", "pageSetLabel", "pageSetCombo"};

// The dialog sets its widgets up each time it is shown, so they are hidden
// again once it is.
class AllPagesOnly : public QObject {
public:
    explicit AllPagesOnly(QPrintDialog& dialog) : QObject(&dialog), m_dialog(dialog) { dialog.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &m_dialog && event->type() == QEvent::Show) {
            if (auto* all = m_dialog.findChild<QAbstractButton*>(QStringLiteral("printAll")))
                all->setChecked(true);
            for (const char* name : kRangeWidgets) {
                if (auto* widget = m_dialog.findChild<QWidget*>(QLatin1String(name)))
                    widget->hide();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QPrintDialog& m_dialog;
};

} // namespace

void offerAllPagesOnly(QPrintDialog& dialog)
{
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    new AllPagesOnly(dialog);
}

void printAllPages(QPrinter& printer)
{
    printer.setPrintRange(QPrinter::AllPages);
    printer.setPageRanges({});
    QPrintEngine* engine = printer.printEngine();
    const QVariant value = engine ? engine->property(kServerOptions) : QVariant();
    if (!value.isValid())
        return;
    const QStringList options = value.toStringList();
    QStringList kept;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (std::find(std::begin(kPageChoices), std::end(kPageChoices), options.at(i)) == std::end(kPageChoices))
            kept << options.at(i) << options.at(i + 1);
    }
    if (kept != options)
        engine->setProperty(kServerOptions, kept);
}

} // namespace qelvrin
