#include "viewer/view_file.h"

#include "support/viewer_fixture.h"

#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QSignalSpy>
#include <QTextDocument>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kReport = QStringLiteral("\\QELVRIN\\SDEFECT.TXT");
const QString kLog = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");

// The line of the page the text area shows at its top: 0 when it shows the
// page from its beginning, as it is to.
int topOfPageShown(const ViewFile& view)
{
    return view.text1()->cursorForPosition(QPoint(2, 2)).blockNumber();
}

QWheelEvent wheelOver(QWidget* widget, QPoint delta)
{
    const QPointF centre = QRectF(widget->rect()).center();
    return QWheelEvent(centre, widget->mapToGlobal(centre), QPoint(), delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
}

// What the text area holds, character for character, with its line ends as
// the document stores them.
QByteArray shownText(const ViewFile& view)
{
    QString text = view.text1()->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    return text.toLatin1();
}

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

    // A file opens at line 1, in the window already open if there is one.
    void open_showsLineOneWithCaption_data()
    {
        QTest::addColumn<int>("previous"); // lines of a file viewed before, at its end; -1: none
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("three lines") << -1 << QByteArray("A\r\nB\r\nC\r\n") << "SDEFECT.TXT line 1 of 3"
                                     << QByteArray("A\r\nB\r\nC\r\n\r\n-------- End of File --------");
        QTest::newRow("empty") << -1 << QByteArray() << "SDEFECT.TXT line 1 of 0" << QByteArray("\r\n-------- End of File --------");
        QTest::newRow("into the open window") << 80 << QByteArray("REPORT\r\n") << "SDEFECT.TXT line 1 of 1"
                                              << QByteArray("REPORT\r\n\r\n-------- End of File");
        QTest::newRow("after an empty file") << 0 << numberedLines(4) << "SDEFECT.TXT line 1 of 4" << QByteArray("line 1\r\n");
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

    void scrolling_redrawsViewAndCaption_cornerReturnsToLineOne()
    {
        ViewFile& view = open(kLog, numberedLines(100));
        view.vscroll1()->setValue(42);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 42 of 100"));
        QVERIFY(shownText(view).startsWith("line 42\r\nline 43\r\n"));
        view.vscroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QVERIFY(view.vscroll1()->value() > 42);
        QVERIFY(shownText(view).startsWith("line " + QByteArray::number(view.vscroll1()->value()) + "\r\n"));
        QTest::mouseDClick(view.label1(), Qt::LeftButton);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 100"));
        QVERIFY(shownText(view).startsWith("line 1\r\n"));
    }

    // The first line on screen is always the scroll bar's value, whatever
    // reaches the text area itself.
    void textArea_neverScrollsItsOwnText_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QKeyCombination>("key"); // for "key"
        QTest::addColumn<int>("value");           // the scroll bar's value after it
        const QKeyCombination none;
        QTest::newRow("selection dragged past the lower edge") << "drag" << none << 1;
        QTest::newRow("page down") << "key" << QKeyCombination(Qt::Key_PageDown) << 1;
        QTest::newRow("cursor moved to the end") << "cursor" << none << 1;
        QTest::newRow("wheel over the frame") << "wheel" << none << 4;
        QTest::newRow("wheel sideways") << "sideways" << none << 1;
    }
    void textArea_neverScrollsItsOwnText()
    {
        QFETCH(QString, action);
        QFETCH(QKeyCombination, key);
        QFETCH(int, value);
        ViewFile& view = open(kLog, numberedLines(2091));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QWidget* text = view.text1()->viewport();
        if (action == QLatin1String("drag")) {
            // The text area scrolls itself on a timer while the pointer is
            // held below it, one line per tick.
            QSignalSpy ticks(view.text1()->verticalScrollBar(), &QAbstractSlider::actionTriggered);
            const QPoint below(5, text->height() + 40);
            QTest::mousePress(text, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
            QCursor::setPos(text->mapToGlobal(below));
            QTest::mouseMove(text, below);
            QTRY_VERIFY(ticks.count() >= 3);
            QTest::mouseRelease(text, Qt::LeftButton, Qt::NoModifier, below);
        } else if (action == QLatin1String("cursor")) {
            view.text1()->moveCursor(QTextCursor::End);
        } else if (action == QLatin1String("wheel") || action == QLatin1String("sideways")) {
            QWheelEvent wheel = wheelOver(view.text1(), action == QLatin1String("wheel") ? QPoint(0, -120) : QPoint(-120, 0));
            QApplication::sendEvent(view.text1(), &wheel);
        } else {
            QTest::keyClick(view.text1(), key.key(), key.keyboardModifiers());
        }
        QCOMPARE(view.vscroll1()->value(), value);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line %1 of 2091").arg(value));
        QVERIFY(shownText(view).startsWith(QStringLiteral("line %1\r\n").arg(value).toLatin1()));
        QCOMPARE(topOfPageShown(view), 0);
    }

    // At the last line indexed, a key that moves on finds the lines the
    // file has gained since.
    void keyAtTheLastLine_findsTheLinesAddedSince_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("end") << int(Qt::Key_End) << 1000;
        QTest::newRow("down") << int(Qt::Key_Down) << 290;
    }
    void keyAtTheLastLine_findsTheLinesAddedSince()
    {
        QFETCH(int, key);
        QFETCH(int, value);
        ViewFile& view = open(kLog, numberedLines(289));
        view.vscroll1()->setValue(289);
        QFile log(m_fixture->drive.native(kLog));
        QVERIFY(log.open(QIODevice::Append));
        const QByteArray added = numberedLines(1000).mid(numberedLines(289).size());
        QCOMPARE(log.write(added), added.size());
        log.close();
        QTest::keyClick(view.vscroll1(), Qt::Key(key));
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line %1 of 1000").arg(value));
        QVERIFY(shownText(view).startsWith(QStringLiteral("line %1\r\n").arg(value).toLatin1()));
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

    // A stage may write its log while it is shown: the next draw follows.
    void fileChangedWhileShown_nextDrawFollowsIt_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QByteArray>("shown");
        const QString unchanged = QStringLiteral("DLOADJCL.LOG line 42 of 100");
        QTest::newRow("deleted") << "delete" << unchanged << QByteArray("line 42\r\n");
        QTest::newRow("renamed over") << "rename over" << unchanged << QByteArray("line 42\r\n");
        // Loaded afresh at the same line, or the last one there is.
        QTest::newRow("truncated") << "truncate" << "DLOADJCL.LOG line 10 of 10" << QByteArray("line 10\r\n\r\n---");
        QTest::newRow("rewritten shorter") << "rewrite shorter" << "DLOADJCL.LOG line 1 of 1" << QByteArray("new\r\n\r\n---");
        QTest::newRow("rewritten in place") << "rewrite in place" << "DLOADJCL.LOG line 42 of 199" << QByteArray("\r\nline 22\r\n");
        // The last line, left open, goes on in the bytes appended.
        QTest::newRow("appended") << "append" << "DLOADJCL.LOG line 42 of 105" << QByteArray("line 42\r\n");
    }
    void fileChangedWhileShown_nextDrawFollowsIt()
    {
        QFETCH(QString, change);
        QFETCH(QString, caption);
        QFETCH(QByteArray, shown);
        const QByteArray original = numberedLines(100).chopped(2);
        ViewFile& view = open(kLog, original);
        view.vscroll1()->setValue(42);
        const QString path = m_fixture->drive.native(kLog);
        QFile file(path);
        if (change == QLatin1String("delete")) {
            QVERIFY(file.remove());
        } else if (change == QLatin1String("rename over")) {
            m_fixture->drive.write(kReport, "other\r\n");
            QCOMPARE(::rename(QFile::encodeName(m_fixture->drive.native(kReport)).constData(), QFile::encodeName(path).constData()), 0);
        } else if (change == QLatin1String("truncate")) {
            QVERIFY(file.resize(numberedLines(10).size()));
        } else if (change == QLatin1String("rewrite in place")) {
            QVERIFY(file.open(QIODevice::ReadWrite));
            QCOMPARE(file.write(QByteArray(original).replace("\r\n", "\n\n")), original.size());
        } else {
            const bool append = change == QLatin1String("append");
            QVERIFY(file.open(append ? QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate));
            const QByteArray bytes = append ? "\r\n" + numberedLines(105).mid(numberedLines(100).size()) : QByteArray("new\r\n");
            QCOMPARE(file.write(bytes), bytes.size());
        }
        file.close();
        view.vscroll1_Change();
        QTRY_COMPARE(view.windowTitle(), caption);
        QVERIFY2(shownText(view).startsWith(shown), shownText(view).left(40).constData());
        if (change == QLatin1String("append")) {
            view.vscroll1()->setValue(100);
            QVERIFY(shownText(view).startsWith("line 100\r\nline 101\r\n"));
        }
    }

    // Lines added by the megabyte are indexed on a worker, as a load is.
    void manyLinesAdded_areIndexedOffTheGuiThread()
    {
        ViewFile& view = open(kLog, numberedLines(100));
        QFile log(m_fixture->drive.native(kLog));
        QVERIFY(log.open(QIODevice::Append));
        const QByteArray added = numberedLines(200000).mid(numberedLines(100).size());
        QCOMPARE(log.write(added), added.size());
        log.close();
        view.vscroll1_Change();
        QVERIFY(view.reading());
        QTRY_COMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 200000"));
    }

    void binaryFile_textAreaHoldsEveryByte()
    {
        QByteArray bytes;
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                bytes += char(value);
        }
        ViewFile& view = open(kLog, bytes + "\r\nsecond\r\n");
        QCOMPARE(shownText(view), view.document().viewText(1));
        QVERIFY(shownText(view).startsWith(bytes + "\r\nsecond\r\n"));
    }
};

QTEST_MAIN(TestViewFile)
#include "tst_view_file.moc"
