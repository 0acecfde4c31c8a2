#include "stages/fake_stage_host.h"
#include "support/real_dialogs.h"
#include "support/viewer_fixture.h"

#include "widgets/qt_dialogs.h"
#include "stages/stage_runner.h"
#include "stages/stage_table.h"

#include <QFile>
#include <QMessageBox>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

// The main window's part in a stage, with the window system's own boxes.
class BoxedStageHost : public FakeStageHost {
public:
    Dialogs& dialogs() override { return real; }
    QtDialogs real;
};

} // namespace

class TestViewerStageEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A stage that ends while the viewer loads a long file has its outcome
    // box answered from the keyboard, and its end runs to completion.
    void stageEndsDuringALoad_outcomeBoxTakesReturn()
    {
        ViewerFixture fixture;
        const QString log = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");
        fixture.drive.write(log, numberedLines(3));
        QVERIFY(QFile::resize(fixture.drive.native(log), qint64(4) << 30));
        fixture.drive.installBatchProcessor("exit 0\n");
        BoxedStageHost host;
        StageRunner runner(fixture.drive.drives(), host);
        QVERIFY(runner.launchAssessment(QChar('I')));
        runner.Timer1().stop();
        fixture.drive.write(stageByLetter(QChar('I'))->logPath, "NOTE: all went well\r\n");
        fixture.drive.write(QStringLiteral("\\QELVRIN\\SIGNAL.TXT"), QByteArray());

        fixture.launcher->OpenInViewer(log);
        QPointer<ViewFile> view = fixture.launcher->window();
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
};

QTEST_MAIN(TestViewerStageEnd)
#include "tst_viewer_stage_end.moc"
