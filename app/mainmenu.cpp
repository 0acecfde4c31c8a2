#include "app/mainmenu.h"

#include "app/completion_panel.h"
#include "app/startup.h"
#include "dialogs/emblem.h"
#include "platform/termination_signals.h"
#include "platform/window_look.h"
#include "stages/stage_table.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

#include <iterator>

namespace qelvrin {

namespace {

const QSize kClientTwips(5760, 5175);
const QColor kPanelGrey(192, 192, 192);

struct LabelSpec {
    const char* name;
    const char* caption;
    QRect twips;
    bool visible;
};

const LabelSpec kLabels[] = {
    {"Label2", "Data Load", {960, 720, 972, 252}, true},
    {"Label7", "(Done)", {2640, 720, 612, 252}, false},
    {"Label5", "Initial Assessment", {960, 1440, 1572, 252}, true},
    {"Label8", "(Done)", {2640, 1440, 612, 252}, false},
    {"Label6", "Full Assessment", {960, 2160, 1452, 252}, true},
    {"Label9", "(Done)", {2640, 2160, 612, 252}, false},
    {"Label3", "Program Completion Percentage", {360, 3165, 1740, 450}, false},
    {"Label4", "", {360, 4320, 2790, 315}, false},
    {"Label1", "Windows 95", {360, 4800, 1572, 252}, true},
};

struct ButtonSpec {
    const char* name;
    const char* caption;
    QRect twips;
    void (Mainmenu::*handler)();
    const char* stageLabel; // the stage name beside it
};

const ButtonSpec kButtons[] = {
    {"cmdLoadDataProgram", "1", {360, 600, 492, 492}, &Mainmenu::cmdLoadDataProgram_Click, "Label2"},
    {"cmdRIniAss", "2", {360, 1320, 492, 492}, &Mainmenu::cmdRIniAss_Click, "Label5"},
    {"cmdRTecDef", "3", {360, 2040, 492, 492}, &Mainmenu::cmdRTecDef_Click, "Label6"},
    {"cmdQuit", "Quit", {3825, 3735, 1335, 495}, &Mainmenu::cmdQuit_Click, nullptr},
};

// Tab runs 2, 3, Quit, 1; the first of them that can take the focus has it
// when the window is first shown.
const char* const kFocusOrder[] = {"cmdRIniAss", "cmdRTecDef", "cmdQuit", "cmdLoadDataProgram"};

QString stageButtonDescription(const StageInfo& stage, bool done)
{
    return QStringLiteral("Run the ") + stage.programName + (done ? QStringLiteral(" (done)") : QString());
}

} // namespace

Mainmenu::Mainmenu(const DriveMap& drives, Dialogs& dialogs, ViewerOpener openInViewer, QWidget* parent)
    : QMainWindow(parent)
    , m_drives(drives)
    , m_dialogs(dialogs)
    , m_openInViewer(std::move(openInViewer))
    , m_endProgram([] { QCoreApplication::exit(0); })
    , m_endOnSignal(endBySignal)
    , m_guard(drives.toNative(kLockPath))
    , m_runner(m_drives, *this)
{
    setObjectName(QStringLiteral("Mainmenu"));
    setWindowTitle(QStringLiteral("Inorganic Quorvane System"));
    setWindowIcon(applicationIcon());
    buildControls();
    buildMenus();
    applyCommandState();
}

Mainmenu::~Mainmenu() = default;

void Mainmenu::buildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    // The controls keep their places; an enlarged window only shows more of
    // the client's colour around them.
    client->setMinimumSize(look::toPixels(kClientTwips));
    client->resize(client->minimumSize());
    client->setFont(look::windowFont());
    client->setAutoFillBackground(true);
    QPalette yellow = client->palette();
    yellow.setColor(QPalette::Window, look::kLightYellow);
    client->setPalette(yellow);
    setCentralWidget(client);

    for (const LabelSpec& spec : kLabels) {
        auto* label = new QLabel(QLatin1String(spec.caption), client);
        label->setObjectName(QLatin1String(spec.name));
        label->setGeometry(look::toPixels(spec.twips));
        // Only the bar's heading is two lines high.
        label->setWordWrap(spec.twips.height() > 300);
        label->setVisible(spec.visible);
    }
    m_label3 = client->findChild<QLabel*>(QStringLiteral("Label3"));
    m_label4 = client->findChild<QLabel*>(QStringLiteral("Label4"));
    auto* note = client->findChild<QLabel*>(QStringLiteral("Label1"));
    QPalette blue = note->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    note->setPalette(blue);

    for (const ButtonSpec& spec : kButtons) {
        auto* button = new QPushButton(QLatin1String(spec.caption), client);
        button->setObjectName(QLatin1String(spec.name));
        button->setGeometry(look::toPixels(spec.twips));
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, spec.handler);
        m_buttons.insert(button->objectName(), button);
    }
    for (std::size_t i = 1; i < std::size(kFocusOrder); ++i)
        setTabOrder(m_buttons.value(QLatin1String(kFocusOrder[i - 1])), m_buttons.value(QLatin1String(kFocusOrder[i])));
    // A screen reader hears what a button runs; its stage's name and done
    // mark label it.
    for (const ButtonSpec& spec : kButtons) {
        QPushButton* button = m_buttons.value(QLatin1String(spec.name));
        for (const StageInfo& stage : stageTable()) {
            if (stage.buttonName != button->objectName())
                continue;
            button->setAccessibleDescription(stageButtonDescription(stage, false));
            client->findChild<QLabel*>(QLatin1String(spec.stageLabel))->setBuddy(button);
            client->findChild<QLabel*>(stage.doneMarkName)->setBuddy(button);
        }
    }

    auto* picture = new QLabel(client);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(look::toPixels(QRect(3600, 840, 1980, 1980)));
    picture->setPixmap(drawEmblem(130));
    picture->setAlignment(Qt::AlignCenter);
    picture->setAccessibleName(QStringLiteral("QELVRIN emblem"));
    picture->setAccessibleDescription(QStringLiteral("A flask on a shield"));

    m_panel = new CompletionPanel(client);
    m_panel->setObjectName(QStringLiteral("Panel3D1"));
    m_panel->setGeometry(look::toPixels(QRect(360, 3675, 2910, 525)));
    m_panel->setAutoFillBackground(true);
    QPalette grey = m_panel->palette();
    grey.setColor(QPalette::Window, kPanelGrey);
    m_panel->setPalette(grey);
    m_panel->setAccessibleName(m_label3->text());
    m_label3->setBuddy(m_panel);
    m_panel->hide();
}

void Mainmenu::applyCommandState()
{
    for (const QString& name : m_commands.names()) {
        const bool enabled = m_commands.isEnabled(name);
        if (QAction* item = m_actions.value(name))
            item->setEnabled(enabled);
        else if (QPushButton* button = m_buttons.value(name))
            button->setEnabled(enabled);
        else
            qFatal("Mainmenu: no control named %s", qPrintable(name));
    }
}

void Mainmenu::Form_Resize()
{
    if (isMinimized()) {
        const std::optional<double>& percent = m_runner.state().CompletionPercent;
        setWindowTitle((percent ? generalNumber(*percent) : QString()) + QStringLiteral(" PC-VQS ") + QStringLiteral("Inorganic"));
    } else if (!isMaximized() && !isFullScreen()) {
        setWindowTitle(QStringLiteral("Inorganic Quorvane "));
    }
}

void Mainmenu::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Mainmenu::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Mainmenu::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        Form_Resize();
        focusFirstButton();
    }
}

void Mainmenu::focusFirstButton()
{
    for (const char* name : kFocusOrder) {
        QPushButton* button = m_buttons.value(QLatin1String(name));
        if (button->isEnabled()) {
            button->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Mainmenu::describeDoneStage(QChar stageLetter)
{
    if (const StageInfo* stage = stageByLetter(stageLetter))
        m_buttons.value(stage->buttonName)->setAccessibleDescription(stageButtonDescription(*stage, true));
}

} // namespace qelvrin
