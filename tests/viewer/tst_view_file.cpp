#include "viewer/view_file.h"

#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"
#include "viewer/view_paging.h"
#include "viewer/viewer_launcher.h"

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QWheelEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kReport = QStringLiteral("\\QELVRIN\\SDEFECT.TXT");
const QString kLog = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");
const QByteArray kInstalledFont = "ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n";

QByteArray numberedLines(int count)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += "line " + QByteArray::number(n) + "\r\n";
    return bytes;
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

    std::unique_ptr<TempDrive> m_drive;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<ViewerLauncher> m_launcher;
    int m_endProgramCalls = 0;

    void makeLauncher(const QString& commandLine = {})
    {
        m_launcher = std::make_unique<ViewerLauncher>(m_drive->drives(), *m_dialogs, commandLine, [this] { ++m_endProgramCalls; });
    }

    ViewFile& openedView(const QString& path)
    {
        m_launcher->OpenInViewer(path);
        if (!m_launcher->window())
            qFatal("the viewer did not open %s", qPrintable(path));
        return *m_launcher->window();
    }

private Q_SLOTS:
    void init()
    {
        m_drive = std::make_unique<TempDrive>();
        m_drive->write(QStringLiteral("\\QELVRIN\\PCVQS.INI"), kInstalledFont);
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_endProgramCalls = 0;
        makeLauncher();
    }

    void cleanup()
    {
        m_launcher.reset();
        QVERIFY(m_dialogs->allAnswersUsed());
        m_dialogs.reset();
        m_drive.reset();
        QVERIFY(!QApplication::overrideCursor());
    }

    void load_showsFileFromLineOneWithCaption()
    {
        m_drive->write(kReport, "A\r\nB\r\nC\r\n");
        ViewFile& view = openedView(kReport);
        QVERIFY(view.isVisible());
        QCOMPARE(view.windowTitle(), QStringLiteral("SDEFECT.TXT line 1 of 3"));
        QCOMPARE(view.vscroll1()->minimum(), 1);
        QCOMPARE(view.vscroll1()->maximum(), 3);
        QCOMPARE(view.vscroll1()->value(), 1);
        QVERIFY(shownText(view).startsWith("A\r\nB\r\nC\r\n\r\n-------- End of File --------"));
        QCOMPARE(m_launcher->ViewFileName, kReport);
        QVERIFY(m_dialogs->calls().isEmpty());
    }

    void load_findsFileWhateverTheCaseOfItsName()
    {
        m_drive->write(QStringLiteral("\\QELVRIN\\sdefect.txt"), "lower\r\n");
        ViewFile& view = openedView(kReport);
        QVERIFY(shownText(view).startsWith("lower\r\n"));
    }

    void scrolling_redrawsViewAndCaption()
    {
        m_drive->write(kLog, numberedLines(100));
        ViewFile& view = openedView(kLog);
        view.vscroll1()->setValue(42);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 42 of 100"));
        QVERIFY(shownText(view).startsWith("line 42\r\nline 43\r\n"));

        view.vscroll1()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 43 of 100"));
        view.vscroll1()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        const int expected = 43 + view.vscroll1()->pageStep();
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line %1 of 100").arg(expected));
        QVERIFY(shownText(view).startsWith("line " + QByteArray::number(expected) + "\r\n"));
    }

    void draggingTheThumb_redrawsWhileItMoves()
    {
        m_drive->write(kLog, numberedLines(50));
        ViewFile& view = openedView(kLog);
        view.vscroll1()->setSliderDown(true);
        view.vscroll1()->setSliderPosition(30);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 30 of 50"));
        QVERIFY(shownText(view).startsWith("line 30\r\n"));
        view.vscroll1()->setSliderDown(false);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 30 of 50"));
    }

    void keys_onScrollBarMoveTheView()
    {
        m_drive->write(kLog, numberedLines(50));
        ViewFile& view = openedView(kLog);
        QTest::keyClick(view.vscroll1(), Qt::Key_Down);
        QCOMPARE(view.vscroll1()->value(), 2);
        QTest::keyClick(view.vscroll1(), Qt::Key_End);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 50 of 50"));
        // F3 is the viewer's own, not the scroll bar's.
        QTest::keyClick(view.vscroll1(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(view.vscroll1()->value(), 50);
    }

    void wheelOverText_movesFirstLine()
    {
        m_drive->write(kLog, numberedLines(50));
        ViewFile& view = openedView(kLog);
        const QPointF centre = QRectF(view.text1()->viewport()->rect()).center();
        QWheelEvent wheel(centre, view.text1()->viewport()->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.text1()->viewport(), &wheel);
        QVERIFY(view.vscroll1()->value() > 1);
        const QString expected = QStringLiteral("line %1\r\n").arg(view.vscroll1()->value());
        QVERIFY(shownText(view).startsWith(expected.toLatin1()));
    }

    void textArea_neverKeepsTheFocus()
    {
        m_drive->write(kLog, numberedLines(5));
        ViewFile& view = openedView(kLog);
        QApplication::setActiveWindow(&view);
        QVERIFY(QTest::qWaitForWindowActive(&view));
        view.text1()->setFocus(Qt::MouseFocusReason);
        QTRY_VERIFY(view.vscroll1()->hasFocus());
        QTest::mouseClick(view.text1()->viewport(), Qt::LeftButton);
        QTRY_VERIFY(view.vscroll1()->hasFocus());
        QVERIFY(!view.text1()->hasFocus());
    }

    void cornerDoubleClick_returnsToLineOne()
    {
        m_drive->write(kLog, numberedLines(80));
        ViewFile& view = openedView(kLog);
        view.vscroll1()->setValue(77);
        QTest::mouseDClick(view.label1(), Qt::LeftButton);
        QCOMPARE(view.vscroll1()->value(), 1);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 80"));
        QVERIFY(shownText(view).startsWith("line 1\r\n"));
    }

    void secondFile_reusesWindowAndStartsAtLineOne()
    {
        m_drive->write(kLog, numberedLines(80));
        m_drive->write(kReport, "REPORT\r\n");
        ViewFile& first = openedView(kLog);
        first.vscroll1()->setValue(60);
        const QPointer<ViewFile> window = &first;
        ViewFile& second = openedView(kReport);
        QCOMPARE(&second, window.data());
        QCOMPARE(second.windowTitle(), QStringLiteral("SDEFECT.TXT line 1 of 1"));
        QCOMPARE(second.vscroll1()->value(), 1);
        QVERIFY(shownText(second).startsWith("REPORT\r\n\r\n-------- End of File"));
        QVERIFY(second.isVisible());
    }

    void missingFile_isReportedAndLeavesNoWindow()
    {
        const QString missing = QStringLiteral("\\QELVRIN\\TDEFECT.TXT");
        m_launcher->OpenInViewer(missing);
        QCOMPARE(m_dialogs->messages().size(), 1);
        const ScriptedDialogs::Call message = m_dialogs->messages().first();
        QVERIFY(message.text.startsWith(QStringLiteral("Cannot open ") + m_drive->native(missing) + QStringLiteral(": ")));
        QCOMPARE(message.icon, MsgIcon::Critical);
        QCOMPARE(message.buttons, MsgButtons::Ok);
        QCOMPARE(message.title, QStringLiteral("QELVRIN"));
        QVERIFY(!m_launcher->window());
        QCOMPARE(m_endProgramCalls, 0);
    }

    void unreadableFile_closesAnOpenViewer()
    {
        m_drive->write(kLog, numberedLines(3));
        const QPointer<ViewFile> view = &openedView(kLog);
        QDir().mkpath(m_drive->native(QStringLiteral("\\QELVRIN\\FOLDER.LOG")));
        m_launcher->OpenInViewer(QStringLiteral("\\QELVRIN\\FOLDER.LOG"));
        QCOMPARE(m_dialogs->messages().size(), 1);
        QVERIFY(!m_launcher->window());
        QTRY_VERIFY(view.isNull());
        // The program goes on: the next file opens normally.
        QCOMPARE(openedView(kLog).windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 3"));
    }

    void noFileName_asksForFileThenSaysGoodbye()
    {
        m_dialogs->queueFile(QString());
        m_launcher->OpenInViewer(QString());
        const QList<ScriptedDialogs::Call> calls = m_dialogs->calls();
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls[0].kind, ScriptedDialogs::Kind::OpenFile);
        QCOMPARE(calls[0].file.filter, QStringLiteral("*.* | *.*| *.txt | *.txt| *.dat | *.dat | *.log | *.log"));
        QCOMPARE(calls[0].file.flags, 0x1004u);
        QCOMPARE(calls[1].kind, ScriptedDialogs::Kind::Message);
        QCOMPARE(calls[1].text, QStringLiteral("No file name has been specified. Goodbye"));
        QCOMPARE(calls[1].icon, MsgIcon::None);
        QCOMPARE(calls[1].buttons, MsgButtons::Ok);
        QCOMPARE(calls[1].title, QStringLiteral("QELVRIN"));
        QCOMPARE(m_endProgramCalls, 1);
        QVERIFY(!m_launcher->window());
    }

    void noFileName_takesFileChosenInDialog()
    {
        const QString chosen = m_drive->root() + QStringLiteral("/chosen.dat");
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("picked\r\n");
        file.close();
        m_dialogs->queueFile(chosen);
        ViewFile& view = openedView(QString());
        QCOMPARE(m_launcher->ViewFileName, chosen);
        QCOMPARE(view.windowTitle(), QStringLiteral("CHOSEN.DAT line 1 of 1"));
    }

    void noFileName_takesCommandLineText()
    {
        m_drive->write(QStringLiteral("\\DATA\\ARGS.LOG"), "from the command line\r\n");
        makeLauncher(QStringLiteral("\\DATA\\ARGS.LOG"));
        ViewFile& view = openedView(QString());
        QCOMPARE(m_launcher->ViewFileName, QStringLiteral("\\DATA\\ARGS.LOG"));
        QVERIFY(shownText(view).startsWith("from the command line\r\n"));
        QVERIFY(m_dialogs->calls().isEmpty());
    }

    void font_comesFromSettings()
    {
        m_drive->write(QStringLiteral("\\QELVRIN\\PCVQS.INI"), "ViewFontName = Liberation Mono\r\nViewFontSize = 12\r\nViewFontBold = True\r\nViewFontItalic = True\r\n");
        m_drive->write(kLog, "x\r\n");
        const QFont font = openedView(kLog).text1()->font();
        QCOMPARE(font.family(), QStringLiteral("Liberation Mono"));
        QCOMPARE(font.pointSizeF(), 12.0);
        QVERIFY(font.bold());
        QVERIFY(font.italic());
    }

    void font_missingSettingsFile_givesDefaultWithoutMessage()
    {
        QFile::remove(m_drive->native(QStringLiteral("\\QELVRIN\\PCVQS.INI")));
        m_drive->write(kLog, "x\r\n");
        const QFont font = openedView(kLog).text1()->font();
        QCOMPARE(font.family(), QStringLiteral("Courier New"));
        QCOMPARE(font.pointSizeF(), 10.0);
        QVERIFY(!font.bold());
        QVERIFY(!font.italic());
        QVERIFY(m_dialogs->calls().isEmpty());
    }

    void layout_fillsClientAreaAndSetsPageStep()
    {
        m_drive->write(kLog, numberedLines(200));
        ViewFile& view = openedView(kLog);
        QCOMPARE(view.centralWidget()->size(), QSize(483, 408));
        view.resize(700, 500);
        QTRY_COMPARE(view.size(), QSize(700, 500));
        const QSize client = view.centralWidget()->size();
        const int bar = 17;
        QCOMPARE(view.text1()->geometry(), QRect(0, 0, client.width() - bar, client.height()));
        QCOMPARE(view.vscroll1()->geometry(), QRect(client.width() - bar, 0, bar, client.height() - bar));
        QCOMPARE(view.label1()->geometry(), QRect(client.width() - bar, client.height() - bar, bar, bar));
        QCOMPARE(view.vscroll1()->pageStep(), largeChange(float(client.height() * 15), 10.0f));
        QCOMPARE(view.label1()->palette().color(QPalette::Window), QColor(192, 192, 192));
    }

    void menuBar_holdsCommandsInOrder()
    {
        m_drive->write(kLog, "x\r\n");
        ViewFile& view = openedView(kLog);
        QStringList names;
        QStringList captions;
        for (QAction* action : view.menuBar()->actions()) {
            names << action->objectName();
            captions << action->text();
        }
        QCOMPARE(names, (QStringList{"mnuexit", "mnuprint", "mnusearch", "mnusearchKey", "mnufonts", "mnublank1", "mnublank2", "mnuHelp"}));
        QCOMPARE(captions, (QStringList{"E&xit", "&Print", "&Search", "Search&KeyWord", "&Fonts", "", "", "&Help"}));
        QStringList items;
        for (QAction* action : view.findChild<QMenu*>(QStringLiteral("mnusearchKey"))->actions())
            items << action->text();
        QCOMPARE(items, (QStringList{"Error:", "Stopped", "Frequency"}));
    }

    void exit_closesViewerAndProgramGoesOn()
    {
        m_drive->write(kLog, "x\r\n");
        const QPointer<ViewFile> view = &openedView(kLog);
        view->findChild<QAction*>(QStringLiteral("mnuexit"))->trigger();
        QTRY_VERIFY(view.isNull());
        QVERIFY(!m_launcher->window());
        QCOMPARE(m_launcher->ViewFileName, kLog);
        QCOMPARE(openedView(kLog).windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 1"));
    }

    void emptyFile_drawsLineOneOfZero()
    {
        m_drive->write(kLog, QByteArray());
        ViewFile& view = openedView(kLog);
        QCOMPARE(view.windowTitle(), QStringLiteral("DLOADJCL.LOG line 1 of 0"));
        QVERIFY(shownText(view).startsWith("\r\n-------- End of File --------"));
        // A following file gets its minimum of 1 back.
        m_drive->write(kReport, numberedLines(4));
        QCOMPARE(openedView(kReport).vscroll1()->minimum(), 1);
    }

    void binaryFile_textAreaHoldsEveryByte()
    {
        QByteArray bytes;
        for (int value = 0; value < 256; ++value) {
            if (value != '\r' && value != '\n')
                bytes += char(value);
        }
        m_drive->write(kLog, bytes + "\r\nsecond\r\n");
        ViewFile& view = openedView(kLog);
        QCOMPARE(shownText(view), view.document().viewText(1).toByteArray());
        QVERIFY(shownText(view).startsWith(bytes + "\r\nsecond\r\n"));
    }
};

QTEST_MAIN(TestViewFile)
#include "tst_view_file.moc"
