#include "stages/fake_stage_host.h"
#include "support/real_dialogs.h"
#include "support/viewer_fixture.h"

#include "stages/stage_runner.h"
#include "stages/stage_table.h"
#include "widgets/qt_dialogs.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextDocument>
#include <QWheelEvent>

#include <cstdio>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kReport = QStringLiteral("\\QELVRIN\\SDEFECT.TXT");
const QString kLog = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");

// What the text area holds, character for character, with its line ends as
// the document stores them.
QByteArray shownText(const ViewFile& view)
{
    QString text = view.text1()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text.toLatin1();
}

// The main window's part in a stage, with the window system's own boxes.
class BoxedStageHost : public FakeStageHost {
public:
    Dialogs& dialogs() override { return real; }
    QtDialogs real;
};

} // namespace

class TestViewFile : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fixture;

    ViewFile& open(const QString& dosPath, const QByteArray& bytes) { return m_fixture->open(dosPath, bytes); }

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<ViewerFixture>(); }
    void cleanup()
    {
        QVERIFY(m_fixture->dialogs.allAnswersUsed());
        m_fixture.reset();
        QVERIFY(pointerIsDefault());
    }

    // A file opens at line 1, in the window already open if there is one,
    // every byte of it shown as it is.
    void open_showsLineOneWithCaption_data()
    {
        QTest::addColumn<int>("previous"); // lines of a file viewed before, at its end; -1: none
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("three lines") << -1 << QByteArray("A\r\nB\r\nC\r\n") << "SDEFECT.TXT line 1 of 3"
                                     << QByteArray("A\r\nB\r\nC\r\n\r\n-------- End of File --------");
        QTest::newRow("empty") << -1 << QByteArray() << "SDEFECT.TXT line 1 of 0" << QByteArray("\r\n-------- End of File --------");
        QTest::newRow("after an empty file") << 0 << numberedLines(4) << "SDEFECT.TXT line 1 of 4" << QByteArray("line 1\r\n");
        QByteArray binary;
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                binary += char(value);
        }
        binary += "\r\nsecond\r\n";
        QTest::newRow("every byte value") << -1 << binary << "SDEFECT.TXT line 1 of 2" << binary;
    }
    void open_showsLineOneWithCaption()
    {
        QFETCH(int, previous);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, caption);
        QFETCH(QByteArray, shown);
        QPointer<ViewFile> before;
        if (previous >= 0) {
            before = &open(kLog, numberedLines(previous));
            before->vscroll1()->setValue(previous);
        }
        ViewFile& view = open(kReport, bytes);
        QVERIFY(view.isVisible() && (!before || before == &view));
        QCOMPARE(view.windowTitle(), caption);
        // An empty file's bar starts at 0; the next file gets its 1 back.
        QCOMPARE(view.vscroll1()->minimum(), bytes.isEmpty() ? 0 : 1);
        QCOMPARE(view.vscroll1()->value(), view.vscroll1()->minimum());
        QVERIFY(shownText(view).startsWith(shown));
        QVERIFY(m_fixture->dialogs.calls().isEmpty());
    }

    // The first line on screen is always the scroll bar's value, whatever
    // reaches the text area itself; the corner box takes it back to line 1.
    void firstLineShown_isTheScrollBars_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("from");  // the scroll bar's value before it
        QTest::addColumn<int>("value"); // and after it
        QTest::newRow("cursor moved to the end") << "cursor" << 1 << 1;
        QTest::newRow("wheel over the frame") << "wheel" << 1 << 4;
        QTest::newRow("wheel sideways") << "sideways" << 1 << 1;
        QTest::newRow("corner double-clicked") << "corner" << 42 << 1;
    }
    void firstLineShown_isTheScrollBars()
    {
        QFETCH(QString, action);
        QFETCH(int, from);
        QFETCH(int, value);
        ViewFile& view = open(kLog, numberedLines(2091));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.vscroll1()->setValue(from);
        if (action == QLatin1String("cursor")) {
            view.text1()->moveCursor(QTextCursor::End);
        } else if (action == QLatin1String("wheel") || action == QLatin1String("sideways")) {
            const QPointF centre = QRectF(view.text1()->rect()).center();
            const QPoint delta = action == QLatin1String("wheel") ? QPoint(0, -120) : QPoint(-120, 0);
            QWheelEvent wheel(centre, view.text1()->mapToGlobal(centre), QPoint(), delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(view.text1(), &wheel);
        } else {
            QTest::mouseDClick(view.label1(), Qt::LeftButton);
        }
        QCOMPARE(view.vscroll1()->value(), value);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line %1 of 2091").arg(value));
        QVERIFY(shownText(view).startsWith(QStringLiteral("line %1\r\n").arg(value).toLatin1()));
        // The text area shows the page from its first line.
        QCOMPARE(view.text1()->cursorForPosition(QPoint(2, 2)).blockNumber(), 0);
    }

    // A long load ends as soon as the window is closed; the next open
    // starts afresh. A load asked for during a load replaces it.
    void duringALongLoad_data()
    {
        QTest::addColumn<QString>("then");
        QTest::newRow("exit") << "exit";
        QTest::newRow("window closed") << "close";
        QTest::newRow("another file opened") << "open";
    }
    void duringALongLoad()
    {
        QFETCH(QString, then);
        QPointer<ViewFile> view = &open(kLog, numberedLines(3));
        QVERIFY(QTest::qWaitForWindowExposed(view));
        // Long enough to read for the window to be asked to close midway.
        m_fixture->drive.write(kReport, numberedLines(3));
        QVERIFY(QFile::resize(m_fixture->drive.native(kReport), qint64(4) << 30));
        m_fixture->launcher->OpenInViewer(kReport);
        QVERIFY(view->reading() && !view->vscroll1()->isEnabled() && !pointerIsDefault());
        if (then == QLatin1String("open")) {
            ViewFile& next = open(kLog, "A\r\nB\r\nC\r\n");
            QCOMPARE(&next, view.data());
            QCOMPARE(next.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 3"));
            QVERIFY(next.vscroll1()->isEnabled() && pointerIsDefault());
            return;
        }
        if (then == QLatin1String("exit")) {
            QMenuBar* bar = view->menuBar();
            QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(view->findChild<QAction*>("mnuexit")).center());
        } else {
            view->close();
        }
        QVERIFY(!view->reading() && pointerIsDefault());
        QTRY_VERIFY(!view);
        QVERIFY(!m_fixture->launcher->window());
        QVERIFY(m_fixture->dialogs.calls().isEmpty());
        ViewFile& next = open(kLog, "A\r\nB\r\nC\r\n");
        QCOMPARE(next.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 3"));
    }

    // A stage that ends while the viewer loads a long file has its outcome
    // box answered from the keyboard, and its end runs to completion.
    void stageEndsDuringALoad_outcomeBoxTakesReturn()
    {
        m_fixture->drive.write(kLog, numberedLines(3));
        QVERIFY(QFile::resize(m_fixture->drive.native(kLog), qint64(4) << 30));
        m_fixture->drive.installBatchProcessor("exit 0\n");
        BoxedStageHost host;
        StageRunner runner(m_fixture->drive.drives(), host);
        QVERIFY(runner.launchAssessment(QChar('I')));
        runner.Timer1().stop();
        m_fixture->drive.write(stageByLetter(QChar('I'))->logPath, "NOTE: all went well\r\n");
        m_fixture->drive.write(QStringLiteral("\\QELVRIN\\SIGNAL.TXT"), QByteArray());

        m_fixture->launcher->OpenInViewer(kLog);
        QPointer<ViewFile> view = m_fixture->launcher->window();
        QVERIFY(view && view->reading());
        QString boxText;
        whenModal([&boxText](QWidget* box) {
            boxText = static_cast<QMessageBox*>(box)->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        bool loadRanThroughout = false;
        QTimer::singleShot(0, &runner, [&] {
            runner.Timer1_Timer();
            loadRanThroughout = view && view->reading();
        });
        QTRY_VERIFY_WITH_TIMEOUT(!runner.sasRunning(), 20000);
        QCOMPARE(boxText, QStringLiteral("The Initial Assessment Program has successfully completed."));
        QVERIFY(loadRanThroughout);
        view->close();
        QTRY_VERIFY(!view);
    }

    // Loading into the open window lays it out for the font the settings
    // now hold, as a new window would. A size no page can be drawn in gives
    // the default size, and the file keeps what it holds.
    void reopening_laysOutForTheFontNowStored_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<double>("drawn");
        for (const char* size : {"20", "7.5", "1", "1638"})
            QTest::newRow(size) << QByteArray(size) << QByteArray(size).toDouble();
        for (const char* size : {"5000", "1e30", "1639", "0.5", "0", "-12", "nan", "inf", "-inf"})
            QTest::newRow(size) << QByteArray(size) << 10.0;
    }
    void reopening_laysOutForTheFontNowStored()
    {
        QFETCH(QByteArray, stored);
        QFETCH(double, drawn);
        const int atSize10 = open(kLog, numberedLines(80)).vscroll1()->pageStep();
        const QByteArray settings = QByteArray(kInstalledFont).replace("Size = 10", "Size = " + stored);
        m_fixture->drive.write(kSettingsFile, settings);
        ViewFile& view = open(kLog, numberedLines(80));
        QCOMPARE(view.text1()->font().pointSizeF(), drawn);
        const auto order = [](double a, double b) { return (a > b) - (a < b); };
        QCOMPARE(order(view.vscroll1()->pageStep(), atSize10), order(10, drawn));
        QCOMPARE(m_fixture->drive.read(kSettingsFile), settings);
    }

    void missingFile_isReportedAndLeavesNoWindow()
    {
        const QString missing = QStringLiteral("\\QELVRIN\\TDEFECT.TXT");
        m_fixture->launcher->OpenInViewer(missing);
        QTRY_COMPARE(m_fixture->dialogs.messages().size(), 1);
        QVERIFY(m_fixture->dialogs.messages().first().text.contains(m_fixture->drive.native(missing)));
        QTRY_VERIFY(!m_fixture->launcher->window());
        QCOMPARE(m_fixture->endProgramCalls, 0);
    }

    // A stage may write its log while it is shown: the next draw follows,
    // on a worker when it reloads or has many new lines to index. At the
    // last line indexed, a key that moves on finds the lines added since.
    void fileChangedWhileShown_nextDrawFollowsIt_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("key"); // pressed at the last line; 0: the view is drawn again at line 42
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("shown");
        QTest::addColumn<bool>("onWorker");
        // The file opened stays the one shown when another takes its name.
        QTest::newRow("renamed over") << "rename over" << 0 << "DLOADJCL.LOG line 42 of 100" << QByteArray("line 42\r\n") << false;
        // Loaded afresh at the same line, or the last one there is.
        QTest::newRow("truncated") << "truncate" << 0 << "DLOADJCL.LOG line 10 of 10" << QByteArray("line 10\r\n\r\n---") << true;
        QTest::newRow("rewritten in place") << "rewrite in place" << 0 << "DLOADJCL.LOG line 42 of 199" << QByteArray("\r\nline 22\r\n")
                                            << true;
        // The last line, left open, goes on in the bytes appended.
        QTest::newRow("appended") << "append" << 0 << "DLOADJCL.LOG line 42 of 105" << QByteArray("line 42\r\n") << false;
        QTest::newRow("appended by the megabyte") << "append" << 0 << "DLOADJCL.LOG line 42 of 200000" << QByteArray("line 42\r\n") << true;
        QTest::newRow("appended, Down at the end")
            << "append" << int(Qt::Key_Down) << "DLOADJCL.LOG line 101 of 105" << QByteArray("line 101\r\n") << false;
        QTest::newRow("appended, End at the end")
            << "append" << int(Qt::Key_End) << "DLOADJCL.LOG line 105 of 105" << QByteArray("line 105\r\n") << false;
    }
    void fileChangedWhileShown_nextDrawFollowsIt()
    {
        QFETCH(QString, change);
        QFETCH(int, key);
        QFETCH(QString, caption);
        QFETCH(QByteArray, shown);
        QFETCH(bool, onWorker);
        const QByteArray original = numberedLines(100).chopped(2);
        ViewFile& view = open(kLog, original);
        view.vscroll1()->setValue(key ? 100 : 42);
        const QString path = m_fixture->drive.native(kLog);
        QFile file(path);
        if (change == QLatin1String("rename over")) {
            m_fixture->drive.write(kReport, "other\r\n");
            QCOMPARE(::rename(QFile::encodeName(m_fixture->drive.native(kReport)).constData(), QFile::encodeName(path).constData()), 0);
        } else if (change == QLatin1String("truncate")) {
            QVERIFY(file.resize(numberedLines(10).size()));
        } else if (change == QLatin1String("rewrite in place")) {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QCOMPARE(file.write(QByteArray(original).replace("\r\n", "\n\n")), original.size());
        } else {
            QVERIFY(file.open(QIODevice::Append));
            const QByteArray added = "\r\n" + numberedLines(caption.section(u' ', -1).toInt()).mid(numberedLines(100).size());
            QCOMPARE(file.write(added), added.size());
        }
        file.close();
        if (key)
            QTest::keyClick(view.vscroll1(), Qt::Key(key));
        else
            view.vscroll1_Change();
        QCOMPARE(view.reading(), onWorker);
        QTRY_COMPARE(view.windowTitle(), caption);
        QVERIFY2(shownText(view).startsWith(shown), shownText(view).left(40).constData());
        if (change == QLatin1String("append")) {
            view.vscroll1()->setValue(100);
            QVERIFY(shownText(view).startsWith("line 100\r\nline 101\r\n"));
        }
    }
};

QTEST_MAIN(TestViewFile)
#include "tst_view_file.moc"
