#include "support/viewer_fixture.h"

#include "viewer/search_state.h"

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kLog = QStringLiteral("\\QELVRIN\\IASMTJCL.LOG");
const QString kReport = QStringLiteral("\\QELVRIN\\SDEFECT.TXT");

void trigger(ViewFile& view, const char* name)
{
    QAction* action = view.findChild<QAction*>(QLatin1String(name));
    QVERIFY2(action, name);
    action->trigger();
}

} // namespace

class TestViewCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fixture;

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<ViewerFixture>(); }
    void cleanup()
    {
        QVERIFY(m_fixture->dialogs.allAnswersUsed());
        m_fixture.reset();
    }

    void keywordItems_searchTheirWords()
    {
        ViewFile& view = m_fixture->open(
            kLog, numberedLines(30, {{5, " ERROR: x"}, {12, " Stopped here"}, {20, " frequency table"}, {25, " error: y"}}));

        trigger(view, "mnusearchKeyError");
        QTRY_COMPARE(view.vscroll1()->value(), 5);
        trigger(view, "mnusearchKeyStopped");
        QTRY_COMPARE(view.vscroll1()->value(), 12);
        trigger(view, "mnusearchKeyFrequency");
        QTRY_COMPARE(view.vscroll1()->value(), 20);
        QVERIFY(m_fixture->dialogs.calls().isEmpty());

        trigger(view, "mnusearchKeyError");
        QTRY_COMPARE(view.vscroll1()->value(), 25);
    }

    void searchText_outlivesTheViewer()
    {
        ViewFile& first = m_fixture->open(kLog, numberedLines(10, {{7, " key"}}));
        m_fixture->dialogs.queueInput(QStringLiteral("key"));
        first.mnusearch_Click();
        QTRY_COMPARE(first.vscroll1()->value(), 7);
        first.mnuexit_Click();
        QTRY_VERIFY(!m_fixture->launcher->window());

        ViewFile& second = m_fixture->open(kReport, numberedLines(10, {{3, " KEY"}}));
        QTest::keyClick(second.vscroll1(), Qt::Key_F3);
        QTRY_COMPARE(second.vscroll1()->value(), 3);
        QCOMPARE(m_fixture->dialogs.calls().size(), 1); // only the first input box
    }

    void hitInLinesWrittenSinceTheLoad_reloadsAndShowsIt()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(10));
        QFile log(m_fixture->drive.native(kLog));
        QVERIFY(log.open(QIODevice::Append));
        log.write("NOTE: still running\r\nERROR: late\r\nNOTE: more\r\n");
        log.close();

        view.mnusearchKeyError_Click();

        QTRY_COMPARE(view.vscroll1()->maximum(), 13);
        QTRY_COMPARE(view.vscroll1()->value(), 12);
        QCOMPARE(view.windowTitle(), QStringLiteral("IASMTJCL.LOG line 12 of 13"));
        QVERIFY(view.text1()->toPlainText().startsWith(QStringLiteral("ERROR: late")));
        QVERIFY(m_fixture->dialogs.messages().isEmpty());
    }

    void chosenFont_isLaidOut_andOpensTheNextViewer()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(40));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.vscroll1()->setValue(7);
        const int pageStep = view.vscroll1()->pageStep();
        m_fixture->dialogs.queueFont(FontChoice{QStringLiteral("DejaVu Sans Mono"), 20, true, true});
        trigger(view, "mnufonts");
        QVERIFY(view.vscroll1()->pageStep() < pageStep);
        QTRY_COMPARE(view.vscroll1()->value(), 7);
        view.mnuexit_Click();
        QTRY_VERIFY(!m_fixture->launcher->window());
        const QFont font = m_fixture->open(kReport, numberedLines(40)).text1()->font();
        QCOMPARE(font.family(), QStringLiteral("DejaVu Sans Mono"));
        QVERIFY(font.pointSize() == 20 && font.bold() && font.italic());
    }

    // The count is told under the hourglass, which goes once the job is
    // released; a file that cannot be read is told in a box without an icon.
    void print_boxesAndPointer_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("told");
        QTest::addColumn<bool>("busyWhileTold");
        QTest::newRow("printed") << true << "Printed 1 pages" << true;
        QTest::newRow("file gone") << false << "Cannot print \\QELVRIN\\TDEFECT.TXT: No such file or directory" << false;
    }
    void print_boxesAndPointer()
    {
        QFETCH(bool, fileThere);
        QFETCH(QString, told);
        QFETCH(bool, busyWhileTold);
        const QString report = QStringLiteral("\\QELVRIN\\TDEFECT.TXT");
        ViewFile& view = m_fixture->open(report, numberedLines(5));
        const QString caption = view.windowTitle();
        if (!fileThere)
            QVERIFY(QFile::remove(m_fixture->drive.native(report)));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("printout.pdf"));
        m_fixture->dialogs.queuePrinter(std::function<void(QPrinter&)>([pdf](QPrinter& printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
        }));
        QList<bool> busyAtBox;
        m_fixture->dialogs.onCall = [&](const ScriptedDialogs::Call& call) {
            if (call.kind == ScriptedDialogs::Kind::Message)
                busyAtBox << !pointerIsDefault();
        };

        trigger(view, "mnuprint");
        QVERIFY(view.reading()); // the file is read and drawn on a worker
        QTRY_VERIFY(!view.reading());

        const QString title = fileThere ? QStringLiteral("QELVRIN: Print") : QStringLiteral("QELVRIN: Print Error");
        QCOMPARE(m_fixture->dialogs.boxes(), QStringList{ScriptedDialogs::box(told, MsgIcon::None, MsgButtons::Ok, title)});
        QCOMPARE(busyAtBox, QList<bool>{busyWhileTold});
        QVERIFY(pointerIsDefault());
        QCOMPARE(view.windowTitle(), caption);
    }
};

QTEST_MAIN(TestViewCommands)
#include "tst_view_commands.moc"
