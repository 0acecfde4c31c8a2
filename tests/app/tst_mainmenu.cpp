#include "app/mainmenu.h"
#include "platform/process.h"
#include "stages/run_marker.h"
#include "platform/termination_signals.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <csignal>
#include <memory>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QStringList& kOutputs = qelvrin::testing::kStageOutputNames;
const QString kIdleCaption = QStringLiteral("Inorganic Quorvane ");
const QString kSdgCaption = QStringLiteral("Inorganic PC-VQS [ SDG: M12345 ]");
const QString kQuitQuestion =
    QStringLiteral("The SAS Software is running. Do you want to quit? [If you select OK you will lose all your data files]");

// A loaded window on its own drive, with the operator scripted and the end
// of the program recorded instead of carried out.
struct Fixture {
    explicit Fixture(const QStringList& outputs = {})
    {
        drive.writeInstalled(outputs);
        drive.installBatchProcessor("exec sleep 60\n");
        window = std::make_unique<Mainmenu>(drive.drives(), dialogs, [this](const QString& path) { viewed << path; });
        window->setEndProgram([this] { ++ended; });
        if (!window->Form_Load())
            qFatal("the window did not load");
    }
    ~Fixture()
    {
        sendCloseRequest(window->runner().job());
    }

    template <typename T = QWidget>
    T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    void trigger(const QString& item) const { child<QAction>(item)->trigger(); }
    bool enabled(const QString& item) const { return child<QAction>(item)->isEnabled(); }

    TempDrive drive;
    ScriptedDialogs dialogs;
    std::unique_ptr<Mainmenu> window;
    QStringList viewed;
    int ended = 0;
};

} // namespace

class TestMainmenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each stage's mark, beside the marks of those done before it.
    void doneMark_isTheStagesOwn()
    {
        Fixture f;
        QStringList shown;
        for (const auto& [letter, label] : {std::pair{'D', "Label7"}, {'I', "Label8"}, {'F', "Label9"}}) {
            f.window->showDoneMark(QLatin1Char(letter));
            shown << QLatin1String(label);
            for (const QString name : {"Label7", "Label8", "Label9"})
                QCOMPARE(f.child<QLabel>(name)->isVisibleTo(f.window.get()), shown.contains(name));
            QCOMPARE(f.child<QLabel>(QLatin1String(label))->text(), QStringLiteral("(Done)"));
        }
    }

    void caption_followsWindowState()
    {
        Fixture f;
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Inorganic Quorvane System"));
        f.window->show();
        QCOMPARE(f.window->windowTitle(), kIdleCaption);
        // A change of size alone, in the normal state, runs the rule too.
        f.window->setCaption(kSdgCaption);
        f.window->resize(f.window->size() + QSize(120, 90));
        QTRY_COMPARE(f.window->windowTitle(), kIdleCaption);
        f.window->setWindowState(Qt::WindowMinimized);
        QTRY_COMPARE(f.window->windowTitle(), QStringLiteral(" PC-VQS Inorganic"));
        f.window->setCaption(kSdgCaption);
        f.window->setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(f.window->isMaximized());
        QCOMPARE(f.window->windowTitle(), kSdgCaption);
    }

    void enlargedWindow_isLightYellowThroughout_controlsStayPut()
    {
        Fixture f;
        f.window->show();
        QWidget* quit = f.child(QStringLiteral("cmdQuit"));
        const QPoint quitAt = quit->mapTo(f.window.get(), QPoint(0, 0));
        f.window->resize(f.window->size() + QSize(200, 150));
        QTRY_COMPARE(f.window->centralWidget()->size().width(), 584);
        const QImage shot = f.window->grab().toImage();
        QCOMPARE(shot.pixelColor(shot.width() - 3, shot.height() - 3), QColor(255, 255, 224));
        QCOMPARE(quit->mapTo(f.window.get(), QPoint(0, 0)), quitAt);
    }

    // However the command ends, the pointer is the normal one afterwards.
    void dataLoad_leavesTheNormalPointer_data()
    {
        QTest::addColumn<QStringList>("chosen"); // DOS paths, one per diskette; empty for Cancel
        QTest::addColumn<bool>("lastAccepted");
        QTest::newRow("three diskettes") << QStringList{"A:\\M12345.I01", "A:\\M12345.I04", "A:\\M12345.I05"} << true;
        QTest::newRow("Cancel on the second") << QStringList{"A:\\M12345.I01", ""} << false;
        QTest::newRow("refused name on the second") << QStringList{"A:\\M12345.I01", "A:\\X12345.I01"} << false;
    }
    void dataLoad_leavesTheNormalPointer()
    {
        QFETCH(QStringList, chosen);
        QFETCH(bool, lastAccepted);
        Fixture f;
        f.window->show();
        for (const QString& path : chosen) {
            if (!path.isEmpty())
                f.drive.write(path, "line\r\n");
            f.dialogs.queueFile(path.isEmpty() ? QString() : f.drive.native(path));
        }
        for (qsizetype i = 1; i < chosen.size(); ++i)
            f.dialogs.queueAnswer(Answer::Yes);
        if (lastAccepted)
            f.dialogs.queueAnswer(Answer::No);
        f.trigger(QStringLiteral("mnuRLoadDataProgram"));
        QVERIFY(f.dialogs.allAnswersUsed());
        QCOMPARE(f.window->runner().sasRunning(), lastAccepted);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(f.window->isEnabled());
    }

    void buttons_runTheirMenuHandlers_evenWhenItemDisabled()
    {
        Fixture f;
        // After a stage has ended with no data left, the buttons are usable
        // while the Run items are not.
        f.window->LockCommands();
        f.window->UnlockCommands();
        QVERIFY(!f.enabled(QStringLiteral("mnuRTechnicalDefect")));
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdRTecDef")), Qt::LeftButton);
        QCOMPARE(f.window->runner().state().StageLetter, QStringLiteral("F"));
    }

    // Space and Enter work from the start: the first of 2, 3, Quit, 1 that
    // can take the focus has it when the window is first shown.
    void firstShow_focusesTheFirstUsableButton_data()
    {
        QTest::addColumn<QStringList>("outputs");
        QTest::addColumn<QString>("focused");
        QTest::newRow("fresh drive") << QStringList{} << QStringLiteral("cmdQuit");
        QTest::newRow("data loaded") << QStringList{"QELVDATA"} << QStringLiteral("cmdRIniAss");
        QTest::newRow("reports without data") << QStringList{"SDEFECT.TXT", "IASMTJCL.LOG"} << QStringLiteral("cmdQuit");
    }
    void firstShow_focusesTheFirstUsableButton()
    {
        QFETCH(QStringList, outputs);
        QFETCH(QString, focused);
        Fixture f(outputs);
        f.window->show();
        QCOMPARE(f.window->focusWidget(), f.child(focused));
        f.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(QApplication::focusWidget(), f.child(focused));
    }

    // Each View item opens its file; Delete, answered OK, purges and disables itself.
    void viewItemsOpenTheirFile_deletePurges()
    {
        Fixture f(kOutputs);
        for (const char* name : {"mnuVInitialAssesmenuReport", "mnuVTechnicalDefectReport", "mnuVLoadDataLog", "mnuVInitialAssessmentLog",
                                 "mnuVTechnicalDefectLog"})
            f.trigger(QLatin1String(name));
        f.window->openStageLog(QLatin1Char('I'));
        QCOMPARE(f.viewed, (QStringList{"\\QELVRIN\\SDEFECT.TXT", "\\QELVRIN\\TDEFECT.TXT", "\\QELVRIN\\DLOADJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG",
                                        "\\QELVRIN\\FASMTJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG"}));
        f.dialogs.queueAnswer(Answer::Ok);
        f.trigger(QStringLiteral("mnuDelete"));
        QCOMPARE(f.drive.countInstalled(kOutputs), 0);
        QVERIFY(!f.enabled(QStringLiteral("mnuDelete")));
    }

    // Exit, and a kill, a logout or Ctrl-C (as Exit answered OK): while a
    // stage runs every process of the job gets the close request and the
    // marker keeps the launch's text; otherwise the marker says NORMAL.
    void exitOrSignal_endsAsExitWould_data()
    {
        QTest::addColumn<int>("signalNumber"); // 0: Exit, answered OK; -1: the window closed, Cancel
        QTest::addColumn<bool>("stageRuns");
        QTest::newRow("close, Cancel") << -1 << true;
        QTest::newRow("Exit, OK") << 0 << true;
        QTest::newRow("Exit, idle") << 0 << false;
        QTest::newRow("SIGTERM, stage runs") << int(SIGTERM) << true;
        QTest::newRow("SIGHUP, stage runs") << int(SIGHUP) << true;
        QTest::newRow("SIGINT, stage runs") << int(SIGINT) << true;
        QTest::newRow("SIGTERM, idle") << int(SIGTERM) << false;
    }
    void exitOrSignal_endsAsExitWould()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, stageRuns);
        Fixture f({"QELVDATA"});
        f.drive.installBatchProcessor("sleep 60\ntrue\n"); // a wrapper that does not exec
        const TerminationSignals termination;
        connect(&termination, &TerminationSignals::received, f.window.get(), &Mainmenu::terminationRequested);
        int endedBy = 0;
        f.window->setEndOnSignal([&](int number) { endedBy = number; });
        if (stageRuns) {
            f.trigger(QStringLiteral("mnuRInitialAssesment"));
            QVERIFY(f.window->runner().sasRunning());
        }
        const BatchJob job = f.window->runner().job();
        if (signalNumber < 0) { // closing asks as Exit does, and Cancel keeps all
            f.dialogs.queueAnswer(Answer::Cancel);
            f.window->show();
            QVERIFY(!f.window->close() && f.window->isVisible() && f.ended == 0 && f.window->runner().Timer1().isActive() && jobRunning(job));
            return;
        }
        if (signalNumber == 0) {
            if (stageRuns)
                f.dialogs.queueAnswer(Answer::Ok);
            f.trigger(QStringLiteral("mnuExit"));
            QCOMPARE(f.ended, 1);
            QCOMPARE(f.dialogs.boxes(), stageRuns ? QStringList{ScriptedDialogs::box(kQuitQuestion, MsgIcon::Information, MsgButtons::OkCancel,
                                                                                      QStringLiteral("QELVR [notice]"))}
                                                  : QStringList{});
        } else {
            ::raise(signalNumber);
            QTRY_COMPARE(endedBy, signalNumber);
            QCOMPARE(f.dialogs.calls().size(), 0);
        }
        QCOMPARE(f.drive.read(kMarkerPath), stageRuns ? QByteArray("\"I.A. PROGRAM STARTED\"\r\n") : QByteArray("\"NORMAL\"\r\n"));
        QTRY_VERIFY_WITH_TIMEOUT(!jobRunning(job), 20000);
    }
};

QTEST_MAIN(TestMainmenu)
#include "tst_mainmenu.moc"
