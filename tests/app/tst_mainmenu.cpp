#include "app/completion_panel.h"
#include "app/mainmenu.h"
#include "platform/process.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
const QStringList& kOutputs = qelvrin::testing::kStageOutputNames;
const QString kIdleCaption = QStringLiteral("Inorganic Quorvane ");
const QString kSdgCaption = QStringLiteral("Inorganic PC-VQS [ SDG: M12345 ]");

// A loaded window on its own drive, with the operator scripted and the end
// of the program recorded instead of carried out.
struct Fixture {
    explicit Fixture(const QStringList& outputs = {}, const QByteArray& batchProcessor = "exec sleep 60\n")
    {
        drive.writeInstalled(outputs);
        drive.installBatchProcessor(batchProcessor);
        window = std::make_unique<Mainmenu>(drive.drives(), dialogs, [this](const QString& path) { viewed << path; });
        window->setEndProgram([this] { ++ended; });
        if (!window->Form_Load())
            qFatal("the window did not load");
    }
    ~Fixture()
    {
        if (const qint64 pid = window->runner().state().SasTaskId; pid > 0)
            sendCloseRequest(pid);
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
    bool enabled(const QString& name) const
    {
        if (auto* menu = window->findChild<QMenu*>(name))
            return menu->menuAction()->isEnabled();
        if (auto* item = window->findChild<QAction*>(name))
            return item->isEnabled();
        return child<QPushButton>(name)->isEnabled();
    }

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

    void caption_afterAStageHasEnded_beginsWithZero()
    {
        // Arguments: -SYSIN program -LOG log -PRINT report.
        Fixture f({"QELVDATA"}, "printf 'NOTE: done\\r\\n' > \"$4\"\n: > \"$6\"\n: > \"$(dirname \"$4\")/SIGNAL.TXT\"\n");
        f.window->show();
        f.trigger(QStringLiteral("mnuRInitialAssesment"));
        QTRY_VERIFY_WITH_TIMEOUT(!f.window->runner().sasRunning(), 20000);
        QVERIFY(!f.child(QStringLiteral("Label8"))->isHidden());
        f.window->setWindowState(Qt::WindowMinimized);
        QTRY_COMPARE(f.window->windowTitle(), QStringLiteral("0 PC-VQS Inorganic"));
    }

    void delete_okPurgesCancelKeeps_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void delete_okPurgesCancelKeeps()
    {
        QFETCH(bool, confirm);
        Fixture f(kOutputs);
        f.window->setCaption(QStringLiteral("something else"));
        f.dialogs.queueAnswer(confirm ? Answer::Ok : Answer::Cancel);
        f.trigger(QStringLiteral("mnuDelete"));
        QCOMPARE(f.dialogs.boxes(), QStringList{ScriptedDialogs::box(QStringLiteral("This will purge all existing data and reports."),
                                                                      MsgIcon::Information, MsgButtons::OkCancel, QStringLiteral("Delete old data"))});
        QCOMPARE(f.drive.countInstalled(kOutputs), confirm ? 0 : 6);
        QCOMPARE(f.enabled(QStringLiteral("mnuDelete")), !confirm);
        QCOMPARE(f.window->windowTitle(), confirm ? kIdleCaption : QStringLiteral("something else"));
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"ABNORMAL\"\r\n"));
    }

    // Exit from the menu is the end-to-end run's.
    void exit_withoutStage_writesNormalAndEnds_data()
    {
        QTest::addColumn<bool>("button");
        QTest::newRow("Quit button") << true;
        QTest::newRow("closing the window") << false;
    }
    void exit_withoutStage_writesNormalAndEnds()
    {
        QFETCH(bool, button);
        Fixture f(kOutputs);
        f.window->show();
        if (button)
            QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdQuit")), Qt::LeftButton);
        else
            QVERIFY(f.window->close());
        QCOMPARE(f.ended, 1);
        QVERIFY(f.dialogs.calls().isEmpty());
        QCOMPARE(f.drive.read(kMarker), QByteArray::fromHex("224E4F524D414C220D0A"));
    }

    // Exit from the menu while a stage runs is the end-to-end run's; closing
    // the window goes the other way in.
    void close_whileStageRuns_asksFirst_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void close_whileStageRuns_asksFirst()
    {
        QFETCH(bool, confirm);
        Fixture f({"QELVDATA"});
        f.window->show();
        f.trigger(QStringLiteral("mnuRInitialAssesment"));
        const qint64 pid = f.window->runner().state().SasTaskId;
        QVERIFY(pid > 0);
        f.dialogs.queueAnswer(confirm ? Answer::Ok : Answer::Cancel);
        const bool closed = f.window->close();
        QCOMPARE(f.dialogs.boxes(), QStringList{ScriptedDialogs::box(
                                        QStringLiteral("The SAS Software is running. Do you want to quit? [If you select OK you will lose all your data files]"),
                                        MsgIcon::Information, MsgButtons::OkCancel, QStringLiteral("QELVR [notice]"))});
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));
        QCOMPARE(f.ended, confirm ? 1 : 0);
        QCOMPARE(f.window->runner().Timer1().isActive(), !confirm);
        if (confirm)
            QTRY_VERIFY(!processAlive(pid));
        else
            QVERIFY(processAlive(pid) && !closed && f.window->isVisible());
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
        QVERIFY(f.window->runner().sasRunning());
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"F.A. PROGRAM STARTED\"\r\n"));
        QVERIFY(!f.enabled(QStringLiteral("cmdRTecDef")) && !f.enabled(QStringLiteral("mnuRun")));
        QCOMPARE(f.child<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Full Assessment Program"));
    }

    void viewItems_openTheirFileInTheViewer()
    {
        Fixture f(kOutputs);
        for (const char* name : {"mnuVInitialAssesmenuReport", "mnuVTechnicalDefectReport", "mnuVLoadDataLog", "mnuVInitialAssessmentLog",
                                 "mnuVTechnicalDefectLog"})
            f.trigger(QLatin1String(name));
        f.window->openStageLog(QLatin1Char('I'));
        QCOMPARE(f.viewed, (QStringList{"\\QELVRIN\\SDEFECT.TXT", "\\QELVRIN\\TDEFECT.TXT", "\\QELVRIN\\DLOADJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG",
                                        "\\QELVRIN\\FASMTJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG"}));
    }

    void progressPanel_showsAndColoursTheBar()
    {
        Fixture f;
        f.window->setProgressPanelVisible(true);
        f.window->setCompletionBar(99, true);
        auto* panel = f.child<CompletionPanel>(QStringLiteral("Panel3D1"));
        QVERIFY(!panel->isHidden() && !f.child(QStringLiteral("Label4"))->isHidden());
        QCOMPARE(panel->text(), QStringLiteral("99%"));
        QCOMPARE(panel->textColour(), QColor(255, 0, 0));
        f.window->setCompletionBar(0, false);
        QCOMPARE(panel->textColour(), QColor(255, 255, 255));
    }
};

QTEST_MAIN(TestMainmenu)
#include "tst_mainmenu.moc"
