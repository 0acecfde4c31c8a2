#include "app/mainmenu.h"

#include "app/completion_panel.h"
#include "app/startup.h"
#include "dialogs/emblem.h"
#include "platform/termination_signals.h"
#include "widgets/window_look.h"
#include "stages/stage_table.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>

namespace qelvrin {

namespace {

const QSize kClientTwips(5760, 5175);
const QColor kPanelGrey(192, 192, 192);

// A stage's row: its button, its name and its done mark; each stage's row
// lies one step below the one before.
constexpr int kRowStep = 720;
const QRect kFirstButton(360, 600, 492, 492);
const QRect kFirstStageLabel(960, 720, 0, 252);   // the width is the stage's own
const QRect kFirstDoneMark(2640, 720, 612, 252);
const QRect kQuitButton(3825, 3735, 1335, 495);

struct LabelSpec {
    const char* name;
    const char* caption;
    QRect twips;
    bool visible;
};

const LabelSpec kLabels[] = {
    {"Label3", "Program Completion Percentage", {360, 3165, 1740, 450}, false},
    {"Label4", "", {360, 4320, 2790, 315}, false},
    {"Label1", "Windows 95", {360, 4800, 1572, 252}, true},
};

QLabel* addLabel(QWidget* client, const QString& name, const QString& caption, const QRect& twips, bool visible)
{
    auto* label = new QLabel(caption, client);
    label->setObjectName(name);
    label->setGeometry(look::toPixels(twips));
    // Only the bar's heading is two lines high.
    label->setWordWrap(twips.height() > 300);
    label->setVisible(visible);
    return label;
}

QPushButton* addButton(QWidget* client, const QString& name, const QString& caption, const QRect& twips)
{
    auto* button = new QPushButton(caption, client);
    button->setObjectName(name);
    button->setGeometry(look::toPixels(twips));
    button->setAutoDefault(false);
    return button;
}

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

    buildLabelsAndButtons(client);
    m_label3 = client->findChild<QLabel*>(QStringLiteral("Label3"));
    m_label4 = client->findChild<QLabel*>(QStringLiteral("Label4"));
    auto* note = client->findChild<QLabel*>(QStringLiteral("Label1"));
    QPalette blue = note->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    note->setPalette(blue);

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

void Mainmenu::buildLabelsAndButtons(QWidget* client)
{
    const auto& stages = stageTable();
    QList<QLabel*> names;
    QList<QLabel*> doneMarks;
    for (std::size_t row = 0; row < stages.size(); ++row) {
        const StageControls& controls = stages[row].controls;
        const int down = int(row) * kRowStep;
        names << addLabel(client, controls.label, controls.labelCaption,
                          kFirstStageLabel.translated(0, down).adjusted(0, 0, controls.labelWidth, 0), true);
        doneMarks << addLabel(client, controls.doneMark, QStringLiteral("(Done)"), kFirstDoneMark.translated(0, down), false);
    }
    for (const LabelSpec& spec : kLabels)
        addLabel(client, QLatin1String(spec.name), QLatin1String(spec.caption), spec.twips, spec.visible);

    QList<QPushButton*> buttons;
    for (std::size_t row = 0; row < stages.size(); ++row) {
        const StageInfo& stage = stages[row];
        QPushButton* button = addButton(client, stage.controls.button, QString::number(row + 1), kFirstButton.translated(0, int(row) * kRowStep));
        connect(button, &QPushButton::clicked, this, [this, letter = stage.letter] { runStage(letter); });
        m_commandButtons.insert({Command::StageButton, stage.letter}, button);
        buttons << button;
    }
    QPushButton* quit = addButton(client, QStringLiteral("cmdQuit"), QStringLiteral("Quit"), kQuitButton);
    connect(quit, &QPushButton::clicked, this, &Mainmenu::cmdQuit_Click);

    // Tab runs from the second stage's button on, then Quit, then the first
    // (2, 3, Quit, 1); the first of them that can take the focus has it when
    // the window is first shown.
    m_focusOrder = buttons.mid(1) << quit << buttons.first();
    for (qsizetype i = 1; i < m_focusOrder.size(); ++i)
        setTabOrder(m_focusOrder[i - 1], m_focusOrder[i]);
    // A screen reader hears what a button runs; its stage's name and done
    // mark label it.
    for (std::size_t row = 0; row < stages.size(); ++row) {
        buttons[row]->setAccessibleDescription(stageButtonDescription(stages[row], false));
        names[row]->setBuddy(buttons[row]);
        doneMarks[row]->setBuddy(buttons[row]);
    }
}

void Mainmenu::applyCommandState()
{
    for (auto item = m_commandActions.cbegin(); item != m_commandActions.cend(); ++item)
        item.value()->setEnabled(m_commands.isEnabled(item.key()));
    for (auto button = m_commandButtons.cbegin(); button != m_commandButtons.cend(); ++button)
        button.value()->setEnabled(m_commands.isEnabled(button.key()));
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
    for (QPushButton* button : std::as_const(m_focusOrder)) {
        if (button->isEnabled()) {
            button->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void Mainmenu::describeDoneStage(QChar stageLetter)
{
    if (const StageInfo* stage = stageByLetter(stageLetter))
        m_commandButtons.value({Command::StageButton, stage->letter})->setAccessibleDescription(stageButtonDescription(*stage, true));
}

} // namespace qelvrin
