#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QPrintEngine>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace qelvrin::testing {

// Answers the next modal window from inside its own event loop, once it is up.
inline void whenModal(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        }
    });
    timer->start(10);
}

// The print dialog's lower half, where the pages are chosen, as the
// operator opens it.
inline void expandPrintOptions(QWidget* dialog)
{
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text().startsWith(QStringLiteral("&Options >>")))
            button->click();
    }
}

// The print dialog's choices of pages that the operator can see.
inline QStringList pageChoicesShown(const QWidget* dialog)
{
    QStringList shown;
    for (const char* name : {"printRange", "from", "to", "pagesRadioButton", "pagesLineEdit", "printSelection",
                             "printCurrentPage", "pageSetCombo"}) {
        const auto* widget = dialog->findChild<QWidget*>(QLatin1String(name));
        if (widget && widget->isVisible())
            shown << QLatin1String(name);
    }
    return shown;
}

// Chooses pages through the dialog's widgets, shown or not: "range" is
// pages 1 to 1, "page set" odd pages only.
inline void choosePages(QWidget* dialog, const QString& how)
{
    if (how == QLatin1String("range")) {
        for (const char* name : {"from", "to"}) {
            if (auto* spin = dialog->findChild<QSpinBox*>(QLatin1String(name))) {
                spin->setEnabled(true);
                spin->setValue(1);
            }
        }
        if (auto* range = dialog->findChild<QAbstractButton*>(QStringLiteral("printRange"))) {
            range->setEnabled(true);
            range->setChecked(true);
        }
    } else if (how == QLatin1String("page set")) {
        if (auto* set = dialog->findChild<QComboBox*>(QStringLiteral("pageSetCombo"))) {
            set->setEnabled(true);
            set->setCurrentIndex(set->count() > 1 ? 1 : 0);
        }
    }
}

// The job options a print server would pick pages by.
inline QStringList serverPageChoices(QPrinter& printer)
{
    const QStringList options =
        printer.printEngine()->property(QPrintEngine::PrintEnginePropertyKey(0xfe00)).toStringList();
    QStringList choices;
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (options.at(i) == QLatin1String("page-ranges") || options.at(i) == QLatin1String("page-set"))
            choices << options.at(i) + u'=' + options.at(i + 1);
    }
    return choices;
}

} // namespace qelvrin::testing
