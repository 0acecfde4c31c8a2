#include "app/completion_panel.h"
#include "app/mainmenu.h"
#include "dialogs/info_text.h"
#include "platform/process.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kMarker = QStringLiteral("\\QELVRIN\\SHUTDOWN.DAT");
const QStringList kOutputs{"QELVDATA", "SDEFECT.TXT", "TDEFECT.TXT", "DLOADJCL.LOG", "IASMTJCL.LOG", "FASMTJCL.LOG"};

// A window on its own drive, with the operator scripted and the end of the
// program recorded instead of carried out.
struct Fixture {
    Fixture(const QStringList& outputs = {})
    {
        for (const QString& name : outputs)
            drive.write(QStringLiteral("\\QELVRIN\\") + name, "x\r\n");
        window = std::make_unique<Mainmenu>(drive.drives(), dialogs, [this](const QString& path) { viewed << path; });
        window->setEndProgram([this] { ++ended; });
    }
    ~Fixture()
    {
        const qint64 pid = window->runner().state().SasTaskId;
        if (pid > 0)
            sendCloseRequest(pid);
    }

    template <typename T>
    T* child(const QString& name) const
    {
        T* found = window->findChild<T*>(name);
        if (!found)
            qFatal("no child %s", qPrintable(name));
        return found;
    }
    bool enabled(const QString& name) const
    {
        if (auto* menu = window->findChild<QMenu*>(name))
            return menu->menuAction()->isEnabled();
        if (auto* item = window->findChild<QAction*>(name))
            return item->isEnabled();
        return child<QPushButton>(name)->isEnabled();
    }
    void installBatchProcessor(const QByteArray& script) const
    {
        drive.write(QStringLiteral("\\SAS\\SAS.EXE"), "#!/bin/sh\n" + script);
        QFile::setPermissions(drive.native(QStringLiteral("\\SAS\\SAS.EXE")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // One that only waits, so a stage stays running.
    void installWaitingBatchProcessor() const { installBatchProcessor("exec sleep 60\n"); }

    TempDrive drive;
    ScriptedDialogs dialogs;
    std::unique_ptr<Mainmenu> window;
    QStringList viewed;
    int ended = 0;
};

const QStringList kCommands{"mnuDelete", "mnuRun", "mnuRLoadDataProgram", "mnuRInitialAssesment", "mnuRTechnicalDefect", "mnuView",
                            "mnuVInitialAssesmenuReport", "mnuVTechnicalDefectReport", "mnuVLoadDataLog", "mnuVInitialAssessmentLog",
                            "mnuVTechnicalDefectLog", "cmdLoadDataProgram", "cmdRIniAss", "cmdRTecDef"};

QStringList enabledCommands(const Fixture& f)
{
    QStringList names;
    for (const QString& name : kCommands) {
        if (f.enabled(name))
            names << name;
    }
    return names;
}

// Answers the next modal window from inside its own event loop.
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

} // namespace

class TestMainmenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void freshStart_onlyDataLoadQuitOptionsAndHelpUsable()
    {
        Fixture f;
        QVERIFY(f.window->Form_Load());
        QCOMPARE(enabledCommands(f), (QStringList{"mnuRun", "mnuRLoadDataProgram", "mnuView", "cmdLoadDataProgram"}));
        for (const char* name : {"mnuExit", "mnuDisplayProgress", "mnuDisplayLogAbend", "mnuObtTecSup", "mnuAboutInorganic"})
            QVERIFY2(f.child<QAction>(QLatin1String(name))->isEnabled(), name);
        QVERIFY(!f.child<QAction>(QStringLiteral("mnuContents"))->isEnabled());
        QVERIFY(f.child<QPushButton>(QStringLiteral("cmdQuit"))->isEnabled());
        QVERIFY(f.window->displayProgressChecked());
        QVERIFY(f.window->displayLogOnAbendChecked());
        for (const char* name : {"Label7", "Label8", "Label9", "Label3", "Label4"})
            QVERIFY2(f.child<QLabel>(QLatin1String(name))->isHidden(), name);
        QVERIFY(f.child<CompletionPanel>(QStringLiteral("Panel3D1"))->isHidden());
        for (const char* name : {"Label1", "Label2", "Label5", "Label6", "Picture1"})
            QVERIFY2(!f.child<QLabel>(QLatin1String(name))->isHidden(), name);
        QVERIFY(!f.window->runner().Timer1().isActive());
    }

    void startWithOutputs_enablesWhatTheyAllow()
    {
        Fixture f({"QELVDATA", "DLOADJCL.LOG"});
        QVERIFY(f.window->Form_Load());
        QCOMPARE(enabledCommands(f), (QStringList{"mnuDelete", "mnuRun", "mnuRLoadDataProgram", "mnuRInitialAssesment", "mnuRTechnicalDefect",
                                                  "mnuView", "mnuVLoadDataLog", "cmdLoadDataProgram", "cmdRIniAss", "cmdRTecDef"}));
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        const char* rows[][2] = {
            {"mnuFile", "&File"}, {"mnuDelete", "&Delete"}, {"mnuExit", "E&xit"},
            {"mnuRun", "&Run"}, {"mnuRLoadDataProgram", "&Data Load Program..."}, {"mnuRInitialAssesment", "&Initial Assessment"},
            {"mnuRTechnicalDefect", "&Full Assessment"},
            {"mnuView", "&View"}, {"mnuVInitialAssesmenuReport", "&Initial Assessment Report"},
            {"mnuVTechnicalDefectReport", "&Full Assessment Report"}, {"mnuVLoadDataLog", "&Data Load Log"},
            {"mnuVInitialAssessmentLog", "I&nitial Assessment Log"}, {"mnuVTechnicalDefectLog", "F&ull Assessment Log"},
            {"mnuOption", "&Options"}, {"mnuDisplayProgress", "Display &Progress"}, {"mnuDisplayLogAbend", "Display &Log on Abend"},
            {"mnuHelp", "&Help"}, {"mnuContents", "&Contents"}, {"mnuObtTecSup", "&Obtaining Technical Support"},
            {"mnuAboutInorganic", "&About Inorganic VQS QELVR"},
            {"cmdLoadDataProgram", "1"}, {"cmdRIniAss", "2"}, {"cmdRTecDef", "3"}, {"cmdQuit", "Quit"},
            {"Label2", "Data Load"}, {"Label5", "Initial Assessment"}, {"Label6", "Full Assessment"}, {"Label7", "(Done)"},
            {"Label3", "Program Completion Percentage"}, {"Label4", ""}, {"Label1", "Windows 95"},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        Fixture f;
        QString actual;
        if (auto* menu = f.window->findChild<QMenu*>(name))
            actual = menu->title();
        else if (auto* item = f.window->findChild<QAction*>(name))
            actual = item->text();
        else if (auto* button = f.window->findChild<QPushButton*>(name))
            actual = button->text();
        else
            actual = f.child<QLabel>(name)->text();
        QCOMPARE(actual, caption);
    }

    void menus_inBarOrderWithSeparatorsAndNoShortcuts()
    {
        Fixture f;
        QStringList layout;
        for (QAction* title : f.window->menuBar()->actions()) {
            QStringList items;
            for (QAction* item : title->menu()->actions()) {
                QVERIFY(item->shortcut().isEmpty());
                items << (item->isSeparator() ? QStringLiteral("-") : item->objectName());
            }
            layout << title->menu()->objectName() + QLatin1Char(':') + items.join(QLatin1Char(','));
        }
        QCOMPARE(layout, (QStringList{
                             "mnuFile:mnuDelete,-,mnuExit",
                             "mnuRun:mnuRLoadDataProgram,mnuRInitialAssesment,mnuRTechnicalDefect",
                             "mnuView:mnuVInitialAssesmenuReport,mnuVTechnicalDefectReport,-,mnuVLoadDataLog,mnuVInitialAssessmentLog,mnuVTechnicalDefectLog",
                             "mnuOption:mnuDisplayProgress,mnuDisplayLogAbend",
                             "mnuHelp:mnuContents,mnuObtTecSup,-,mnuAboutInorganic",
                         }));
    }

    void geometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("button 1") << "cmdLoadDataProgram" << QRect(24, 40, 33, 33);
        QTest::newRow("button 3") << "cmdRTecDef" << QRect(24, 136, 33, 33);
        QTest::newRow("emblem") << "Picture1" << QRect(240, 56, 132, 132);
        QTest::newRow("completion bar") << "Panel3D1" << QRect(24, 245, 194, 35);
        QTest::newRow("quit") << "cmdQuit" << QRect(255, 249, 89, 33);
        QTest::newRow("note") << "Label1" << QRect(24, 320, 105, 17);
        QTest::newRow("client area") << "client" << QRect(0, 0, 384, 345);
    }
    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        Fixture f;
        QCOMPARE(f.child<QWidget>(name)->geometry().size(), pixels.size());
        QCOMPARE(f.child<QWidget>(name)->mapTo(f.window->centralWidget(), QPoint(0, 0)), name == "client" ? QPoint() : pixels.topLeft());
    }

    void colours_lightYellowWithWhiteOnGreyBar()
    {
        Fixture f;
        QCOMPARE(f.window->centralWidget()->palette().color(QPalette::Window), QColor(255, 255, 224));
        QCOMPARE(f.child<QLabel>(QStringLiteral("Label1"))->palette().color(QPalette::WindowText), QColor(Qt::blue));
        auto* panel = f.child<CompletionPanel>(QStringLiteral("Panel3D1"));
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(192, 192, 192));
        QCOMPARE(panel->textColour(), QColor(Qt::white));
        const QFont font = f.child<QPushButton>(QStringLiteral("cmdQuit"))->font();
        QVERIFY(font.bold());
        QCOMPARE(font.pointSizeF(), 8.25);
    }

    void focus_runsTwoThreeQuitOne()
    {
        Fixture f;
        QStringList order;
        QWidget* at = f.child<QWidget>(QStringLiteral("cmdRIniAss"));
        for (int i = 0; i < 4; ++i) {
            order << at->objectName();
            do
                at = at->nextInFocusChain();
            while (!(at->focusPolicy() & Qt::TabFocus));
        }
        QCOMPARE(order, (QStringList{"cmdRIniAss", "cmdRTecDef", "cmdQuit", "cmdLoadDataProgram"}));
    }

    void caption_followsWindowState()
    {
        Fixture f;
        QVERIFY(f.window->Form_Load());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Inorganic Quorvane System"));
        f.window->show();
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Inorganic Quorvane "));
        f.window->setWindowState(Qt::WindowMinimized);
        QTRY_COMPARE(f.window->windowTitle(), QStringLiteral(" PC-VQS Inorganic"));
        f.window->setWindowState(Qt::WindowNoState);
        QTRY_COMPARE(f.window->windowTitle(), QStringLiteral("Inorganic Quorvane "));
        f.window->setCaption(QStringLiteral("Inorganic PC-VQS [ SDG: M12345 ]"));
        const QPoint quitAt = f.child<QWidget>(QStringLiteral("cmdQuit"))->pos();
        f.window->setWindowState(Qt::WindowMaximized);
        QTRY_VERIFY(f.window->isMaximized());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Inorganic PC-VQS [ SDG: M12345 ]"));
        QCOMPARE(f.child<QWidget>(QStringLiteral("cmdQuit"))->pos(), quitAt);
    }

    void caption_afterAStageHasEnded_beginsWithZero()
    {
        Fixture f({"QELVDATA"});
        // Arguments: -SYSIN program -LOG log -PRINT report.
        f.installBatchProcessor("printf 'NOTE: done\\r\\n' > \"$4\"\n: > \"$6\"\n: > \"$(dirname \"$4\")/SIGNAL.TXT\"\n");
        QVERIFY(f.window->Form_Load());
        f.window->show();
        f.child<QAction>(QStringLiteral("mnuRInitialAssesment"))->trigger();
        QVERIFY(f.window->runner().sasRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!f.window->runner().sasRunning(), 20000);
        QVERIFY(!f.child<QLabel>(QStringLiteral("Label8"))->isHidden());
        QVERIFY(f.enabled(QStringLiteral("mnuRun")));
        QVERIFY(f.enabled(QStringLiteral("mnuVInitialAssesmenuReport")));
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
        QVERIFY(f.window->Form_Load());
        f.window->showDoneMark(QLatin1Char('D'));
        f.window->setCaption(QStringLiteral("something else"));
        const QStringList before = enabledCommands(f);
        f.dialogs.clear();
        f.dialogs.queueAnswer(confirm ? Answer::Ok : Answer::Cancel);
        f.child<QAction>(QStringLiteral("mnuDelete"))->trigger();

        QCOMPARE(f.dialogs.calls().size(), 1);
        const ScriptedDialogs::Call& box = f.dialogs.calls().constFirst();
        QCOMPARE(box.text, QStringLiteral("This will purge all existing data and reports."));
        QCOMPARE(box.icon, MsgIcon::Information);
        QCOMPARE(box.buttons, MsgButtons::OkCancel);
        QCOMPARE(box.title, QStringLiteral("Delete old data"));
        for (const QString& name : kOutputs)
            QCOMPARE(f.drive.exists(QStringLiteral("\\QELVRIN\\") + name), !confirm);
        if (confirm) {
            QCOMPARE(enabledCommands(f), (QStringList{"mnuRun", "mnuRLoadDataProgram", "mnuView", "cmdLoadDataProgram"}));
            QCOMPARE(f.window->windowTitle(), QStringLiteral("Inorganic Quorvane "));
        } else {
            QCOMPARE(enabledCommands(f), before);
            QCOMPARE(f.window->windowTitle(), QStringLiteral("something else"));
        }
        QVERIFY(!f.child<QLabel>(QStringLiteral("Label7"))->isHidden());
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"ABNORMAL\"\r\n"));
    }

    void exit_withoutStage_writesNormalAndEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("menu") << "menu";
        QTest::newRow("Quit button") << "button";
        QTest::newRow("closing the window") << "close";
    }
    void exit_withoutStage_writesNormalAndEnds()
    {
        QFETCH(QString, how);
        Fixture f(kOutputs);
        QVERIFY(f.window->Form_Load());
        f.window->show();
        if (how == "menu")
            f.child<QAction>(QStringLiteral("mnuExit"))->trigger();
        else if (how == "button")
            QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdQuit")), Qt::LeftButton);
        else
            QVERIFY(f.window->close());
        QCOMPARE(f.ended, 1);
        QVERIFY(f.dialogs.calls().isEmpty());
        QCOMPARE(f.drive.read(kMarker), QByteArray::fromHex("224E4F524D414C220D0A"));
        // The next start keeps everything.
        f.window.reset();
        f.window = std::make_unique<Mainmenu>(f.drive.drives(), f.dialogs, [](const QString&) {});
        QVERIFY(f.window->Form_Load());
        for (const QString& name : kOutputs)
            QVERIFY2(f.drive.exists(QStringLiteral("\\QELVRIN\\") + name), qPrintable(name));
    }

    void exit_whileStageRuns_asksFirst_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("menu, OK") << "menu" << true;
        QTest::newRow("menu, Cancel") << "menu" << false;
        QTest::newRow("close, OK") << "close" << true;
        QTest::newRow("close, Cancel") << "close" << false;
    }
    void exit_whileStageRuns_asksFirst()
    {
        QFETCH(QString, how);
        QFETCH(bool, confirm);
        Fixture f({"QELVDATA"});
        f.installWaitingBatchProcessor();
        QVERIFY(f.window->Form_Load());
        f.window->show();
        f.child<QAction>(QStringLiteral("mnuRInitialAssesment"))->trigger();
        const qint64 pid = f.window->runner().state().SasTaskId;
        QVERIFY(pid > 0);
        QVERIFY(f.window->runner().Timer1().isActive());

        f.dialogs.clear();
        f.dialogs.queueAnswer(confirm ? Answer::Ok : Answer::Cancel);
        bool closed = false;
        if (how == "menu")
            f.child<QAction>(QStringLiteral("mnuExit"))->trigger();
        else
            closed = f.window->close();

        QCOMPARE(f.dialogs.calls().size(), 1);
        const ScriptedDialogs::Call& box = f.dialogs.calls().constFirst();
        QCOMPARE(box.text, QStringLiteral("The SAS Software is running. Do you want to quit? [If you select OK you will lose all your data files]"));
        QCOMPARE(box.icon, MsgIcon::Information);
        QCOMPARE(box.buttons, MsgButtons::OkCancel);
        QCOMPARE(box.title, QStringLiteral("QELVR [notice]"));
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"I.A. PROGRAM STARTED\"\r\n"));
        if (confirm) {
            QCOMPARE(f.ended, 1);
            QTRY_VERIFY(!processAlive(pid));
            QVERIFY(!f.window->runner().Timer1().isActive());
        } else {
            QCOMPARE(f.ended, 0);
            QVERIFY(processAlive(pid));
            QVERIFY(f.window->runner().Timer1().isActive());
            QVERIFY(!closed);
            QVERIFY(f.window->isVisible());
        }
    }

    void buttons_runTheirMenuHandlers_evenWhenItemDisabled()
    {
        Fixture f;
        f.installWaitingBatchProcessor();
        QVERIFY(f.window->Form_Load());
        // After a stage has ended with no data left, the buttons are usable
        // while the Run items are not.
        f.window->LockCommands();
        f.window->UnlockCommands();
        QVERIFY(!f.enabled(QStringLiteral("mnuRTechnicalDefect")));
        QVERIFY(f.enabled(QStringLiteral("cmdRTecDef")));
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdRTecDef")), Qt::LeftButton);
        QVERIFY(f.window->runner().sasRunning());
        QCOMPARE(f.window->runner().state().StageLetter, QStringLiteral("F"));
        QCOMPARE(f.drive.read(kMarker), QByteArray("\"F.A. PROGRAM STARTED\"\r\n"));
        QVERIFY(!f.enabled(QStringLiteral("cmdRTecDef")));
        QVERIFY(!f.enabled(QStringLiteral("mnuRun")));
        QCOMPARE(f.child<QLabel>(QStringLiteral("Label4"))->text(), QStringLiteral("Full Assessment Program"));
    }

    void dataLoadButton_runsTheDataLoadCommand()
    {
        Fixture f(kOutputs);
        QVERIFY(f.window->Form_Load());
        f.dialogs.clear();
        f.dialogs.queueFile(QString());
        QTest::mouseClick(f.child<QPushButton>(QStringLiteral("cmdLoadDataProgram")), Qt::LeftButton);
        QVERIFY(!f.dialogs.calls().isEmpty());
        QCOMPARE(f.dialogs.calls().constFirst().kind, ScriptedDialogs::Kind::OpenFile);
        QVERIFY(!f.drive.exists(QStringLiteral("\\QELVRIN\\SDEFECT.TXT")));
    }

    void viewItems_openTheirFileInTheViewer()
    {
        Fixture f(kOutputs);
        QVERIFY(f.window->Form_Load());
        for (const char* name : {"mnuVInitialAssesmenuReport", "mnuVTechnicalDefectReport", "mnuVLoadDataLog", "mnuVInitialAssessmentLog",
                                 "mnuVTechnicalDefectLog"})
            f.child<QAction>(QLatin1String(name))->trigger();
        f.window->openStageLog(QLatin1Char('I'));
        QCOMPARE(f.viewed, (QStringList{"\\QELVRIN\\SDEFECT.TXT", "\\QELVRIN\\TDEFECT.TXT", "\\QELVRIN\\DLOADJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG",
                                        "\\QELVRIN\\FASMTJCL.LOG", "\\QELVRIN\\IASMTJCL.LOG"}));
    }

    void optionItems_toggleTheirCheckMarks()
    {
        Fixture f;
        f.child<QAction>(QStringLiteral("mnuDisplayProgress"))->trigger();
        QVERIFY(!f.window->displayProgressChecked());
        QVERIFY(f.window->displayLogOnAbendChecked());
        f.child<QAction>(QStringLiteral("mnuDisplayLogAbend"))->trigger();
        f.child<QAction>(QStringLiteral("mnuDisplayProgress"))->trigger();
        QVERIFY(f.window->displayProgressChecked());
        QVERIFY(!f.window->displayLogOnAbendChecked());
    }

    void progressPanel_showsAndColoursTheBar()
    {
        Fixture f;
        f.window->setProgressPanelVisible(true);
        f.window->setCompletionBar(99, true);
        auto* panel = f.child<CompletionPanel>(QStringLiteral("Panel3D1"));
        QVERIFY(!panel->isHidden());
        QVERIFY(!f.child<QLabel>(QStringLiteral("Label3"))->isHidden());
        QVERIFY(!f.child<QLabel>(QStringLiteral("Label4"))->isHidden());
        QCOMPARE(panel->percent(), 99);
        QCOMPARE(panel->text(), QStringLiteral("99%"));
        QCOMPARE(panel->textColour(), QColor(255, 0, 0));
        f.window->setCompletionBar(0, false);
        QCOMPARE(panel->textColour(), QColor(255, 255, 255));
        f.window->setProgressPanelVisible(false);
        QVERIFY(panel->isHidden());
    }

    void helpWindows_showComposedTextAndAreReused_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("About") << "mnuAboutInorganic" << "frmAbout" << "lblAbout" << composeAboutText();
        QTest::newRow("Technical support") << "mnuObtTecSup" << "frmTechSupport" << "lblTechSupp" << composeTechSupportText();
    }
    void helpWindows_showComposedTextAndAreReused()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        QFETCH(QString, label);
        QFETCH(QString, text);
        Fixture f;
        QVERIFY(f.window->Form_Load());
        f.window->show();
        const QStringList before = enabledCommands(f);
        QList<QWidget*> shown;
        QStringList texts;
        for (int round = 0; round < 2; ++round) {
            whenModal([&](QWidget* modal) {
                shown << modal;
                texts << modal->findChild<QLabel*>(label)->text();
                QTest::mouseClick(modal->findChild<QPushButton*>(QStringLiteral("cmdOk")), Qt::LeftButton);
            });
            f.child<QAction>(item)->trigger();
        }
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0), shown.at(1));
        QCOMPARE(shown.at(0)->objectName(), window);
        QVERIFY(shown.at(0)->isHidden());
        QCOMPARE(texts, (QStringList{text, text}));
        QCOMPARE(enabledCommands(f), before);
        QCOMPARE(f.ended, 0);
    }
};

QTEST_MAIN(TestMainmenu)
#include "tst_mainmenu.moc"
