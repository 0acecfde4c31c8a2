#include "platform/qt_dialogs.h"
#include "support/viewer_fixture.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QLabel>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

#include <algorithm>

Q_DECLARE_METATYPE(qelvrin::FontChoice)

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// Answers the next modal window from inside its own event loop, once it is up.
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
        QVERIFY(filters.size() == 2 && filters.at(0).startsWith(QStringLiteral("SDG Files (*.i01) (")));
        QCOMPARE(filterMatches(filters.at(0), fileName), offered);
        QVERIFY(filterMatches(filters.at(1), fileName));
    }

    void boxes_showTheirLinesAsLines_data()
    {
        QTest::addColumn<bool>("prompt");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("prompt, lone CR") << true << "Enter a String.\r\r(Press F3)" << "Enter a String.\n\n(Press F3)";
        QTest::newRow("message, CR LF") << false << "ERROR 380: Font\r\nTry another." << "ERROR 380: Font\nTry another.";
        QTest::newRow("message, markup-like") << false << "<B> not in file\r" << "<B> not in file\n";
    }
    void boxes_showTheirLinesAsLines()
    {
        QFETCH(bool, prompt);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QWidget owner;
        QtDialogs dialogs(&owner);
        QString seen;
        QWidget* parent = nullptr;
        whenModal([&](QWidget* modal) {
            seen = shownText(modal);
            parent = modal->parentWidget();
            qobject_cast<QDialog*>(modal)->reject();
        });
        if (prompt)
            dialogs.input(text, kApplicationTitle, {});
        else
            dialogs.message({text, MsgIcon::None, MsgButtons::Ok, kApplicationTitle});
        QCOMPARE(seen, shown);
        QCOMPARE(parent, &owner);
    }

    void fontDialog_offersTheFontInUse_andAnUnchangedOkKeepsIt_data()
    {
        QTest::addColumn<FontChoice>("inUse");
        QTest::addColumn<QString>("drawn");
        QTest::newRow("installed alias") << FontChoice{"Courier New", 10, false, false} << "Liberation Mono";
        QTest::newRow("size between steps") << FontChoice{"DejaVu Sans Mono", 10.5, true, true} << "DejaVu Sans Mono";
    }
    void fontDialog_offersTheFontInUse_andAnUnchangedOkKeepsIt()
    {
        QFETCH(FontChoice, inUse);
        QFETCH(QString, drawn);
        QtDialogs dialogs;
        QFont offered;
        bool effectOffered = true;
        whenModal([&](QWidget* modal) {
            offered = qobject_cast<QFontDialog*>(modal)->currentFont();
            const QList<QCheckBox*> boxes = modal->findChildren<QCheckBox*>();
            effectOffered = std::any_of(boxes.begin(), boxes.end(), [](const QCheckBox* box) { return box->isVisible(); });
            qobject_cast<QDialog*>(modal)->accept();
        });
        FontChoice chosen = inUse;
        QVERIFY(dialogs.chooseFont(chosen));
        QCOMPARE(offered.family(), drawn);
        QVERIFY(offered.pointSize() == qRound(inUse.size) && offered.bold() == inUse.bold && offered.italic() == inUse.italic);
        QVERIFY(!effectOffered && chosen == inUse);
    }

    // Every command's box comes up over the viewer, not the main window;
    // OK on an unchanged font leaves settings and view as they were.
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
        QWidget* owner = nullptr;
        whenModal([&](QWidget* modal) {
            owner = modal->parentWidget();
            // Printing would write a file; the other boxes are answered OK.
            qobject_cast<QDialog*>(modal)->done(command == QStringLiteral("mnuprint") ? QDialog::Rejected : QDialog::Accepted);
        });
        viewer.findChild<QAction*>(command)->trigger();
        QCOMPARE(owner, &viewer);
        QCOMPARE(fixture.drive.read(kSettingsFile), kInstalledFont);
        QCOMPARE(viewer.text1()->font(), font);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qt_dialogs.moc"
