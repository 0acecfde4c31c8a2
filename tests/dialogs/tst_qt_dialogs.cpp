#include "platform/qt_dialogs.h"
#include "support/when_modal.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::whenModal;

namespace {

bool filterMatches(const QString& nameFilter, const QString& fileName)
{
    // "description (pattern pattern)": the patterns sit in the last brackets.
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const QStringList patterns = nameFilter.mid(open + 1).chopped(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& pattern : patterns) {
        if (QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(fileName).hasMatch())
            return true;
    }
    return false;
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameFilters_matchNamesOfEitherCase_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("offered");
        QTest::newRow("upper case") << "M12345.I01" << true;
        QTest::newRow("lower case") << "m12345.i01" << true;
        QTest::newRow("other extension") << "M12345.TXT" << false;
    }
    void nameFilters_matchNamesOfEitherCase()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, offered);
        const QStringList filters = toNameFilters(QStringLiteral("SDG Files (*.i01)|*.i01|All Files|*.*"));
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters.at(0).startsWith(QStringLiteral("SDG Files (*.i01) (")));
        QCOMPARE(filterMatches(filters.at(0), fileName), offered);
        QVERIFY(filterMatches(filters.at(1), fileName));
    }

    void printSetup_withoutPrinter_offersPdfFile()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed here");
        QtDialogs dialogs;
        QPrinter printer;
        QString fileAtShow;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            QVERIFY(dialog && dialog->testOption(QAbstractPrintDialog::PrintToFile));
            fileAtShow = dialog->printer()->outputFileName();
            dialog->reject();
        });
        QVERIFY(!dialogs.setupPrinter(printer));
        QCOMPARE(fileAtShow, defaultPrintFile());
        QVERIFY(defaultPrintFile().endsWith(QStringLiteral(".pdf")));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
