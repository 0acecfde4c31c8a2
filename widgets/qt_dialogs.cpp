#include "widgets/qt_dialogs.h"

#include "widgets/diskette_file_dialog.h"
#include "widgets/font_size_field.h"
#include "widgets/print_range.h"
#include "widgets/window_look.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace qelvrin {

namespace {

QMessageBox::Icon toQt(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Critical: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::Exclamation: return QMessageBox::Warning;
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton first;
    QMessageBox::StandardButton escape;
};

ButtonSet toQt(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel: return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel};
    case MsgButtons::YesNo: return {QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes, QMessageBox::No};
    case MsgButtons::Ok: break;
    }
    return {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok};
}

Answer fromQt(int button, MsgButtons asked)
{
    switch (button) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default: break;
    }
    // Closed without a choice: a box with OK alone has nothing else to say.
    switch (asked) {
    case MsgButtons::Ok: return Answer::Ok;
    case MsgButtons::YesNo: return Answer::No;
    case MsgButtons::OkCancel: break;
    }
    return Answer::Cancel;
}

// Qt filters tell case apart on Linux; the names on a diskette may come in
// either case, so every letter of a pattern matches both ("*.[iI]01").
QString caseBlind(const QString& pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

} // namespace

QStringList toNameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = caseBlind(pattern.trimmed());
        result.append(parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return result;
}

QString defaultPrintFile(const QString& documentName)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    const QString base = QFileInfo(documentName).completeBaseName();
    return folder + QLatin1Char('/') + (base.isEmpty() ? QStringLiteral("qelvrin-print") : base) + QStringLiteral(".pdf");
}

Answer QtDialogs::message(const MessageBoxRequest& request)
{
    const ButtonSet set = toQt(request.buttons);
    QMessageBox box(toQt(request.icon), request.title, withLineFeeds(request.text), set.buttons, m_parent);
    // A search string such as "<B>" is text to show, not markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(set.first);
    box.setEscapeButton(set.escape);
    return fromQt(box.exec(), request.buttons);
}

std::optional<QString> QtDialogs::input(const QString& prompt, const QString& title, const QString& defaultText)
{
    bool accepted = false;
    const QString text = QInputDialog::getText(m_parent, title, withLineFeeds(prompt), QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return text;
}

QString QtDialogs::openFile(const FileOpenRequest& request)
{
    // The built-in dialog applies the bracket patterns the same on every system.
    DisketteFileDialog dialog(m_parent, request.title, request.initialDir, m_drives);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The operator sees the program's own description, not the case-blind patterns.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = toNameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool QtDialogs::chooseFont(FontChoice& font)
{
    QFont initial = look::viewerFont(font);
    // The list holds installed families only; a stored name that is an alias
    // ("Courier New") is offered as the family actually drawn.
    initial.setFamily(QFontInfo(initial).family());
    QFontDialog dialog(m_parent);
    // Qt's own widget on every platform: no native dialog brings effects back.
    dialog.setOptions(QFontDialog::MonospacedFonts | QFontDialog::DontUseNativeDialog);
    dialog.setCurrentFont(initial);
    const FontSizeField size(dialog, initial.pointSizeF());
    // Underline and strikeout are neither offered nor stored.
    for (QCheckBox* effect : dialog.findChildren<QCheckBox*>())
        effect->parentWidget()->hide();
    const QFont offered = dialog.currentFont();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    // What the operator left as offered keeps its stored form (the alias,
    // a style the face lacks).
    const QFont chosen = dialog.selectedFont();
    if (chosen.family() != offered.family())
        font.face = chosen.family();
    if (size.points() != initial.pointSizeF())
        font.size = float(size.points());
    if (chosen.bold() != offered.bold())
        font.bold = chosen.bold();
    if (chosen.italic() != offered.italic())
        font.italic = chosen.italic();
    return true;
}

bool QtDialogs::setupPrinter(QPrinter& printer)
{
    const bool hasPrinter = !QPrinterInfo::availablePrinters().isEmpty();
    if (!hasPrinter) {
        // Without a printer the only way out is a PDF file; without a name
        // set here the dialog would offer the home folder itself.
        printer.setOutputFormat(QPrinter::PdfFormat);
        if (printer.outputFileName().isEmpty())
            printer.setOutputFileName(defaultPrintFile(printer.docName()));
    }
    QPrintDialog dialog(&printer, m_parent);
    offerAllPagesOnly(dialog);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, !hasPrinter);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printAllPages(printer);
    return true;
}

std::unique_ptr<Dialogs> QtDialogs::forWindow(QWidget& window)
{
    return std::make_unique<QtDialogs>(&window, m_drives);
}

} // namespace qelvrin
