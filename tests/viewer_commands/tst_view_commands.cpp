#include "support/viewer_fixture.h"

#include "viewer/search_state.h"

#include <QFile>
#include <QPrinter>
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

    // The keyword items search their words; a hit in lines written since
    // the load is reached by loading the file again; a font chosen is laid
    // out at once. The text searched for and the font outlive the window.
    void searchesAndFont_outliveTheWindow()
    {
        ViewFile& view = m_fixture->open(
            kLog, numberedLines(30, {{5, " ERROR: x"}, {12, " Stopped here"}, {20, " frequency table"}, {25, " error: y"}}));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (const auto& [item, line] : {std::pair("mnusearchKeyError", 5), {"mnusearchKeyStopped", 12}, {"mnusearchKeyFrequency", 20},
                                         {"mnusearchKeyError", 25}}) {
            trigger(view, item);
            QTRY_COMPARE(view.vscroll1()->value(), line);
        }
        QFile log(m_fixture->drive.native(kLog));
        QVERIFY(log.open(QIODevice::Append));
        log.write("NOTE: still running\r\nERROR: late\r\nNOTE: more\r\n");
        log.close();
        trigger(view, "mnusearchKeyError");
        QTRY_COMPARE(view.vscroll1()->maximum(), 33);
        QTRY_COMPARE(view.vscroll1()->value(), 32);
        QCOMPARE(view.windowTitle(), QStringLiteral("IASMTJCL.LOG line 32 of 33"));
        QVERIFY(view.text1()->toPlainText().startsWith(QStringLiteral("ERROR: late")));

        const int pageStep = view.vscroll1()->pageStep();
        m_fixture->dialogs.queueFont(FontChoice{QStringLiteral("DejaVu Sans Mono"), 20, true, true});
        trigger(view, "mnufonts");
        const auto described = [](const QFont& font) {
            return QStringLiteral("%1 %2 %3 %4").arg(font.family()).arg(font.pointSizeF()).arg(font.bold()).arg(font.italic());
        };
        const QString chosen = QStringLiteral("DejaVu Sans Mono 20 1 1");
        QCOMPARE(described(view.text1()->font()), chosen);
        QVERIFY(view.vscroll1()->pageStep() < pageStep);
        QTRY_COMPARE(view.vscroll1()->value(), 32);
        view.mnuexit_Click();
        QTRY_VERIFY(!m_fixture->launcher->window());

        ViewFile& second = m_fixture->open(kReport, numberedLines(10, {{3, " error: again"}}));
        QCOMPARE(described(second.text1()->font()), chosen);
        QTest::keyClick(second.vscroll1(), Qt::Key_F3);
        QTRY_COMPARE(second.vscroll1()->value(), 3);
        QCOMPARE(m_fixture->dialogs.calls().size(), 1); // only the font box
    }

    // The count is told under the hourglass, which goes once the job is
    // released; a file that cannot be read is told in a box without an icon.
    void print_boxesAndPointer_data()
    {
        QTest::addColumn<bool>("fileThere");
        QTest::addColumn<QString>("told");
        QTest::newRow("printed") << true << "Printed 1 pages";
        QTest::newRow("file gone") << false << "Cannot print \\QELVRIN\\SDEFECT.TXT: No such file or directory";
    }
    void print_boxesAndPointer()
    {
        QFETCH(bool, fileThere);
        QFETCH(QString, told);
        ViewFile& view = m_fixture->open(kReport, numberedLines(5));
        const QString caption = view.windowTitle();
        if (!fileThere)
            QVERIFY(QFile::remove(m_fixture->drive.native(kReport)));
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
        QCOMPARE(busyAtBox, QList<bool>{fileThere});
        QVERIFY(pointerIsDefault());
        QCOMPARE(view.windowTitle(), caption);
    }
};

QTEST_MAIN(TestViewCommands)
#include "tst_view_commands.moc"
