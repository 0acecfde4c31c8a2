#include "platform/qt_dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace qelvrin;

namespace {

// Runs `answer` on the next modal window once it is up.
void whenModal(std::function<void(QWidget*)> answer)
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
        QTest::newRow("mixed case") << "M12345.i01" << true;
        QTest::newRow("second diskette") << "M12345.I02" << false;
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

    void nameFilters_oddInput_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("count");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("description without pattern") << "Text" << 0;
        QTest::newRow("two patterns in one") << "Logs|*.log;*.txt" << 1;
    }
    void nameFilters_oddInput()
    {
        QFETCH(QString, filter);
        QFETCH(int, count);
        const QStringList filters = toNameFilters(filter);
        QCOMPARE(filters.size(), count);
        if (count == 1) {
            QVERIFY(filterMatches(filters.at(0), QStringLiteral("A.LOG")));
            QVERIFY(filterMatches(filters.at(0), QStringLiteral("b.txt")));
        }
    }

    void message_showsWhatWasAsked_data()
    {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("pressFirst");
        QTest::addColumn<int>("answer");
        QTest::newRow("OK pressed") << int(MsgButtons::OkCancel) << true << int(Answer::Ok);
        QTest::newRow("OK/Cancel closed without choice") << int(MsgButtons::OkCancel) << false << int(Answer::Cancel);
        QTest::newRow("Yes pressed") << int(MsgButtons::YesNo) << true << int(Answer::Yes);
        QTest::newRow("Yes/No closed without choice") << int(MsgButtons::YesNo) << false << int(Answer::No);
        QTest::newRow("OK only, closed") << int(MsgButtons::Ok) << false << int(Answer::Ok);
    }
    void message_showsWhatWasAsked()
    {
        QFETCH(int, buttons);
        QFETCH(bool, pressFirst);
        QFETCH(int, answer);
        QtDialogs dialogs;
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool defaultIsFirst = false;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            QAbstractButton* first = box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok) : box->button(QMessageBox::Yes);
            defaultIsFirst = static_cast<QAbstractButton*>(box->defaultButton()) == first;
            if (pressFirst)
                first->click();
            else
                box->reject();
        });
        const Answer result = dialogs.message({QStringLiteral("Text of the box"), MsgIcon::Exclamation, MsgButtons(buttons), QStringLiteral("QELVRIN")});
        QCOMPARE(int(result), answer);
        QCOMPARE(title, QStringLiteral("QELVRIN"));
        QCOMPARE(text, QStringLiteral("Text of the box"));
        QCOMPARE(icon, QMessageBox::Warning);
        QVERIFY(defaultIsFirst);
    }

    void input_returnsTextOrNothing()
    {
        QtDialogs dialogs;
        whenModal([](QWidget* modal) { QTimer::singleShot(0, modal, [modal] { qobject_cast<QDialog*>(modal)->accept(); }); });
        QCOMPARE(dialogs.input(QStringLiteral("Find:"), QStringLiteral("QELVRIN: Search"), QStringLiteral("stopped")), std::optional<QString>(QStringLiteral("stopped")));
        whenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
        QCOMPARE(dialogs.input(QStringLiteral("Find:"), QStringLiteral("QELVRIN: Search"), QString()), std::nullopt);
    }

    void openFile_honoursTitleAndFilter()
    {
        QTemporaryDir dir;
        QtDialogs dialogs;
        QString title;
        QStringList filters;
        QString directory;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            directory = dialog->directory().absolutePath();
            dialog->reject();
        });
        const QString chosen = dialogs.openFile({QStringLiteral("Select SDG File"), QStringLiteral("SDG|*.i01"), 0, dir.path()});
        QVERIFY(chosen.isEmpty());
        QCOMPARE(title, QStringLiteral("Select SDG File"));
        QCOMPARE(filters, toNameFilters(QStringLiteral("SDG|*.i01")));
        QCOMPARE(directory, dir.path());
    }

    void printSetup_withoutPrinter_offersPdfFile()
    {
        if (!QPrinterInfo::availablePrinters().isEmpty())
            QSKIP("a printer is installed here");
        QtDialogs dialogs;
        QPrinter printer;
        bool fileOffered = false;
        bool selectionOffered = true;
        bool rangeOffered = true;
        QString fileAtShow;
        whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QPrintDialog*>(modal);
            QVERIFY(dialog);
            fileOffered = dialog->testOption(QAbstractPrintDialog::PrintToFile);
            selectionOffered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
            rangeOffered = dialog->testOption(QAbstractPrintDialog::PrintPageRange);
            fileAtShow = dialog->printer()->outputFileName();
            dialog->reject();
        });
        QVERIFY(!dialogs.setupPrinter(printer));
        QVERIFY(fileOffered);
        QVERIFY(!selectionOffered);
        QVERIFY(!rangeOffered);
        QCOMPARE(fileAtShow, defaultPrintFile());
        QVERIFY(defaultPrintFile().endsWith(QStringLiteral(".pdf")));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
