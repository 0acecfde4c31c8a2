#include "viewer_fixture.h"

#include "viewer/search_state.h"

#include <QAction>
#include <QFile>
#include <QScrollBar>

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

class TestViewSearch : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fixture;

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<ViewerFixture>(); }
    void cleanup()
    {
        QVERIFY(m_fixture->dialogs.allAnswersUsed());
        m_fixture.reset();
    }

    void f3FromLine40_asksAndMovesToLine10()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(60, {{10, " key"}}));
        view.vscroll1()->setValue(40);
        m_fixture->launcher->searchState().SearchText = QStringLiteral("Key");
        m_fixture->dialogs.queueAnswer(Answer::Ok);

        QTest::keyClick(view.vscroll1(), Qt::Key_F3, Qt::ShiftModifier);

        QCOMPARE(view.vscroll1()->value(), 10);
        QCOMPARE(view.windowTitle(), QStringLiteral("IASMTJCL.LOG line 10 of 60"));
        QCOMPARE(m_fixture->dialogs.messages().size(), 1);
        QCOMPARE(m_fixture->dialogs.messages()[0].text,
                 QStringLiteral("KEY not found\rDo you want to start looking from the top ?"));
        QVERIFY(pointerIsDefault());
    }

    void keywordItems_searchTheirWords_andSearchOffersTheLast()
    {
        ViewFile& view = m_fixture->open(
            kLog, numberedLines(30, {{5, " ERROR: x"}, {12, " Stopped here"}, {20, " frequency table"}, {25, " error: y"}}));

        trigger(view, "mnusearchKeyError");
        QCOMPARE(view.vscroll1()->value(), 5);
        trigger(view, "mnusearchKeyStopped");
        QCOMPARE(view.vscroll1()->value(), 12);
        trigger(view, "mnusearchKeyFrequency");
        QCOMPARE(view.vscroll1()->value(), 20);
        QVERIFY(m_fixture->dialogs.calls().isEmpty());

        trigger(view, "mnusearchKeyError");
        QCOMPARE(view.vscroll1()->value(), 25);

        m_fixture->dialogs.queueInput(QStringLiteral("line 3"));
        trigger(view, "mnusearch");
        const auto& asked = m_fixture->dialogs.calls().first();
        QCOMPARE(asked.kind, ScriptedDialogs::Kind::Input);
        QCOMPARE(asked.defaultText, QStringLiteral("Error:"));
        QCOMPARE(asked.title, QStringLiteral("QELVRIN: Search"));
        QCOMPARE(view.vscroll1()->value(), 30); // "line 30" is the next below 25
    }

    void searchText_outlivesTheViewer()
    {
        ViewFile& first = m_fixture->open(kLog, numberedLines(10, {{7, " key"}}));
        m_fixture->dialogs.queueInput(QStringLiteral("key"));
        first.mnusearch_Click();
        QCOMPARE(first.vscroll1()->value(), 7);
        first.mnuexit_Click();
        QTRY_VERIFY(!m_fixture->launcher->window());

        ViewFile& second = m_fixture->open(kReport, numberedLines(10, {{3, " KEY"}}));
        QTest::keyClick(second.vscroll1(), Qt::Key_F3);
        QCOMPARE(second.vscroll1()->value(), 3);
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

        QCOMPARE(view.vscroll1()->maximum(), 13);
        QCOMPARE(view.vscroll1()->value(), 12);
        QCOMPARE(view.windowTitle(), QStringLiteral("IASMTJCL.LOG line 12 of 13"));
        QVERIFY(view.text1()->toPlainText().startsWith(QStringLiteral("ERROR: late")));
        QVERIFY(m_fixture->dialogs.messages().isEmpty());
    }

    void fileGoneSinceTheLoad_saysSo_andKeepsTheView()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(50, {{45, " key"}}));
        view.vscroll1()->setValue(20);
        const QString caption = view.windowTitle();
        QVERIFY(QFile::remove(m_fixture->drive.native(kLog)));
        m_fixture->launcher->searchState().SearchText = QStringLiteral("key");

        QTest::keyClick(view.vscroll1(), Qt::Key_F3);

        QCOMPARE(view.vscroll1()->value(), 20);
        QCOMPARE(view.windowTitle(), caption);
        const auto messages = m_fixture->dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].text.startsWith(QStringLiteral("Cannot search \\QELVRIN\\IASMTJCL.LOG: ")));
        QCOMPARE(messages[0].icon, MsgIcon::Critical);
        QVERIFY(pointerIsDefault());
    }

    void help_showsTheSixLines()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(3));
        trigger(view, "mnuHelp");
        const auto messages = m_fixture->dialogs.messages();
        QCOMPARE(messages.size(), 1);
        const QStringList lines = messages[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines, (QStringList{
                            QStringLiteral("The print and view fonts is always the same."),
                            QString(),
                            QStringLiteral("The Defect Report is 133 characters long, so you may"),
                            QStringLiteral("want to use the LANDSCAPE option in Printer Setup."),
                            QString(),
                            QStringLiteral("The search command will scroll down to next occurance of the string, after "
                                           "the first line in the window.  It will not highlight the string."),
                            QString(), // the text ends with CR LF
                        }));
        QCOMPARE(messages[0].title, QStringLiteral("QELVRIN: Help"));
        QCOMPARE(messages[0].icon, MsgIcon::None);
        QCOMPARE(messages[0].buttons, MsgButtons::Ok);
    }
};

QTEST_MAIN(TestViewSearch)
#include "tst_view_search.moc"
