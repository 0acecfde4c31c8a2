#include "dialogs/info_text.h"
#include "widgets/qt_dialogs.h"
#include "support/real_dialogs.h"
#include "support/viewer_fixture.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTest>
#include <QTemporaryDir>
#include <QTextDocumentFragment>
#include <QTimer>

#include <algorithm>
#include <map>

Q_DECLARE_METATYPE(qelvrin::FontChoice)

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// "description (pattern pattern)": the patterns sit in the last brackets.
bool filterMatches(const QString& nameFilter, const QString& fileName)
{
    const QStringList patterns = nameFilter.mid(nameFilter.lastIndexOf(u'(') + 1).chopped(1).split(u' ', Qt::SkipEmptyParts);
    return std::any_of(patterns.begin(), patterns.end(), [&](const QString& pattern) {
        return QRegularExpression::fromWildcard(pattern, Qt::CaseSensitive).match(fileName).hasMatch();
    });
}

// The text of a box's label as the operator reads it (the icon's is empty).
QString shownText(const QWidget* box)
{
    for (const QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            return label->textFormat() == Qt::PlainText || !Qt::mightBeRichText(label->text())
                       ? label->text()
                       : QTextDocumentFragment::fromHtml(label->text()).toPlainText();
    }
    return {};
}

} // namespace

class TestQtDialogs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The release, not the package's version (1.6.0).
    void about_namesTheRelease() { QVERIFY(composeAboutText().startsWith(QStringLiteral("Inorganic Quorvane System QELVR Version 1.6\n"))); }

    void nameFilters_matchNamesOfEitherCase()
    {
        const QStringList filters = toNameFilters(QStringLiteral("SDG Files (*.i01)|*.i01|All Files|*.*"));
        QVERIFY(filters.size() == 2 && filters.at(0).startsWith(QStringLiteral("SDG Files (*.i01) (")));
        for (const char* name : {"M12345.I01", "m12345.i01", "M12345.TXT"})
            QVERIFY(filterMatches(filters.at(0), QLatin1String(name)) == !QByteArray(name).endsWith("TXT") && filterMatches(filters.at(1), QLatin1String(name)));
    }

    // What a box shows: its lines as lines, markup as text, its icon.
    void boxes_showTheirLinesAsLines_data()
    {
        QTest::addColumn<bool>("prompt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("icon"); // the Qt icon shown for the program's
        QTest::newRow("prompt, lone CR") << true << "Enter a String.\r\r(Press F3)" << "Enter a String.\n\n(Press F3)" << -1;
        QTest::newRow("stop, CR LF") << false << "ERROR 380: Font\r\nTry another." << "ERROR 380: Font\nTry another." << int(QMessageBox::Critical);
        QTest::newRow("exclamation, markup-like") << false << "<B> not in file\r" << "<B> not in file\n" << int(QMessageBox::Warning);
        QTest::newRow("question") << false << "End it?" << "End it?" << int(QMessageBox::Question);
    }
    void boxes_showTheirLinesAsLines()
    {
        QFETCH(bool, prompt);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QFETCH(int, icon);
        const std::map<int, MsgIcon> ours{{QMessageBox::Critical, MsgIcon::Critical}, {QMessageBox::Warning, MsgIcon::Exclamation},
                                          {QMessageBox::Question, MsgIcon::Question}};
        QWidget owner;
        QtDialogs dialogs(&owner);
        QString seen;
        QWidget* parent = nullptr;
        int iconSeen = -1;
        whenModal([&](QWidget* modal) {
            seen = shownText(modal);
            parent = modal->parentWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                iconSeen = box->icon();
            qobject_cast<QDialog*>(modal)->reject();
        });
        if (prompt)
            dialogs.input(text, kApplicationTitle, {});
        else
            dialogs.message({text, ours.at(icon), MsgButtons::Ok, kApplicationTitle});
        QCOMPARE(seen, shown);
        QCOMPARE(parent, &owner);
        QCOMPARE(iconSeen, icon);
    }

    // The dialog opens on the font in use, its size to the fraction, with a
    // sample drawn in it, and offers no effects; what is typed in the size
    // field is what is chosen.
    void fontDialog_offersTheFontInUse_andReturnsTheSizeTyped_data()
    {
        QTest::addColumn<FontChoice>("inUse");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QString>("typed"); // in the size field; empty: OK unchanged
        QTest::addColumn<float>("chosenSize");
        QTest::newRow("installed alias") << FontChoice{"Courier New", 10, false, false} << "Liberation Mono" << "" << 10.0f;
        QTest::newRow("size between steps") << FontChoice{"DejaVu Sans Mono", 10.5, true, true} << "DejaVu Sans Mono" << "" << 10.5f;
        QTest::newRow("fraction typed") << FontChoice{"Courier New", 7.5, false, false} << "Liberation Mono" << "9.5" << 9.5f;
        QTest::newRow("whole size typed") << FontChoice{"Courier New", 7.5, false, false} << "Liberation Mono" << "12" << 12.0f;
    }
    void fontDialog_offersTheFontInUse_andReturnsTheSizeTyped()
    {
        QFETCH(FontChoice, inUse);
        QFETCH(QString, drawn);
        QFETCH(QString, typed);
        QFETCH(float, chosenSize);
        QtDialogs dialogs;
        QFont offered;
        QString sizeShown;
        QLineEdit* sample = nullptr;
        bool effectOffered = true;
        whenModal([&](QWidget* modal) {
            offered = qobject_cast<QFontDialog*>(modal)->currentFont();
            const QList<QCheckBox*> boxes = modal->findChildren<QCheckBox*>();
            effectOffered = std::any_of(boxes.begin(), boxes.end(), [](const QCheckBox* box) { return box->isVisible(); });
            // The size field checks what is typed; the sample is the other
            // field that can be typed in.
            QLineEdit* size = nullptr;
            for (QLineEdit* edit : modal->findChildren<QLineEdit*>())
                (edit->validator() ? size : edit->isReadOnly() ? edit : sample) = edit;
            if (!size || !sample)
                return qobject_cast<QDialog*>(modal)->reject();
            sizeShown = size->text();
            if (!typed.isEmpty()) {
                size->selectAll();
                QTest::keyClicks(size, typed);
            }
            const bool sampleSeen = QTest::qWaitFor([sample] {
                return sample->isVisible() && sample->height() >= QFontMetrics(sample->font()).height();
            });
            qobject_cast<QDialog*>(modal)->accept(); // before any check, which would leave it open
            QVERIFY(sampleSeen && !sample->text().trimmed().isEmpty());
            QCOMPARE(QFontInfo(sample->font()).family(), drawn);
            QCOMPARE(sample->font().pointSizeF(), qreal(chosenSize));
        });
        FontChoice chosen = inUse;
        QVERIFY(dialogs.chooseFont(chosen));
        QVERIFY(sample);
        QCOMPARE(offered.family(), drawn);
        QVERIFY(offered.bold() == inUse.bold && offered.italic() == inUse.italic);
        QCOMPARE(offered.pointSizeF(), qreal(inUse.size));
        QCOMPARE(sizeShown, QString::number(inUse.size));
        QVERIFY(!effectOffered);
        QCOMPARE(chosen, (FontChoice{inUse.face, chosenSize, inUse.bold, inUse.italic}));
    }

    // Whatever the operator does in the dialog, every page is printed: no
    // page range, page list or page set is offered, nor left for the job.
    void printDialog_offersNoChoiceOfPages_data()
    {
        QTest::addColumn<QString>("tried"); // chosen through the dialog's widgets, hidden or not
        QTest::newRow("as offered") << "";
        QTest::newRow("pages 1 to 1") << "range";
        QTest::newRow("odd pages") << "page set";
    }
    void printDialog_offersNoChoiceOfPages()
    {
        QFETCH(QString, tried);
        QTemporaryDir out;
        QWidget owner;
        QtDialogs dialogs(&owner);
        QStringList offered;
        whenModal([&](QWidget* modal) {
            expandPrintOptions(modal);
            offered = pageChoicesShown(modal);
            choosePages(modal, tried);
            qobject_cast<QDialog*>(modal)->accept();
        });
        QPrinter printer;
        printer.setOutputFileName(out.filePath(QStringLiteral("out.pdf")));
        QVERIFY(dialogs.setupPrinter(printer));
        QCOMPARE(offered, QStringList());
        QCOMPARE(printer.printRange(), QPrinter::AllPages);
        QVERIFY(printer.pageRanges().isEmpty() && printer.fromPage() == 0 && printer.toPage() == 0);
        QCOMPARE(serverPageChoices(printer), QStringList());
    }

    // The mapped diskettes stand in the sidebar under their drives' names,
    // and a DOS name typed in any case opens through the drive map.
    void fileDialog_offersTheDiskettes_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opened");
        QTest::newRow("A:") << "a:\\m12345.i01" << "A:\\M12345.I01";
        QTest::newRow("B:") << "B:\\M12345.I04" << "B:\\M12345.I04";
    }
    void fileDialog_offersTheDiskettes()
    {
        QFETCH(QString, typed);
        QFETCH(QString, opened);
        TempDrive drive;
        drive.write(QStringLiteral("A:\\M12345.I01"), "H\r\n");
        drive.write(QStringLiteral("B:\\M12345.I04"), "H\r\n");
        QtDialogs dialogs(nullptr, drive.drives());
        QStringList places;
        whenModal([&](QWidget* modal) {
            const QAbstractItemModel* sidebar = modal->findChild<QListView*>(QStringLiteral("sidebar"))->model();
            for (int row = 0; row < sidebar->rowCount(); ++row)
                places << sidebar->index(row, 0).data().toString() + u'=' + sidebar->index(row, 0).data(Qt::UserRole + 1).toUrl().toLocalFile();
            auto* name = modal->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        QCOMPARE(dialogs.openFile({QStringLiteral("Select SDG"), QStringLiteral("SDG Files (*.i01)|*.i01|"), 0, {}}), drive.native(opened));
        QVERIFY2(places.contains(QStringLiteral("A:=") + drive.diskA()) && places.contains(QStringLiteral("B:=") + drive.diskB()),
                 qPrintable(places.join(u' ')));
    }

    // Every command's box comes up over the viewer, not the main window;
    // OK on an unchanged font leaves settings and view as they were. With
    // no printer, the PDF file offered is named after the file shown, in
    // the documents folder, and bears its name as title.
    void viewerBoxes_belongToTheViewer_data()
    {
        QTest::addColumn<QString>("command");
        for (const char* command : {"mnuHelp", "mnusearch", "mnufonts", "mnuprint"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void viewerBoxes_belongToTheViewer()
    {
        QFETCH(QString, command);
        QWidget mainWindow;
        QtDialogs dialogs(&mainWindow);
        ViewerFixture fixture(&dialogs);
        ViewFile& viewer = fixture.open(QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"), numberedLines(3));
        const QFont font = viewer.text1()->font();
        // Asked to show its file again, a minimised viewer is restored and comes to the front.
        QWidget other;
        other.show();
        viewer.setWindowState(Qt::WindowMinimized);
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        fixture.launcher->OpenInViewer(QStringLiteral("\\QELVRIN\\DLOADJCL.LOG"));
        QVERIFY(!viewer.isMinimized());
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QTRY_VERIFY(!viewer.reading()); // the commands wait for the file loaded anew
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("Documents")));
        qputenv("HOME", home.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
        QWidget* owner = nullptr;
        QString printedAs;
        whenModal([&](QWidget* modal) {
            owner = modal->parentWidget();
            if (auto* print = qobject_cast<QPrintDialog*>(modal))
                printedAs = print->printer()->docName() + u' ' + print->printer()->outputFileName();
            // Printing would write a file; the other boxes are answered OK.
            qobject_cast<QDialog*>(modal)->done(command == QStringLiteral("mnuprint") ? QDialog::Rejected : QDialog::Accepted);
        });
        viewer.findChild<QAction*>(command)->trigger();
        QCOMPARE(owner, &viewer);
        if (command == QStringLiteral("mnuprint") && QPrinterInfo::availablePrinters().isEmpty())
            QCOMPARE(printedAs, QStringLiteral("DLOADJCL.LOG ") + home.filePath(QStringLiteral("Documents/DLOADJCL.pdf")));
        QCOMPARE(fixture.drive.read(kSettingsFile), kInstalledFont);
        QCOMPARE(viewer.text1()->font(), font);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
