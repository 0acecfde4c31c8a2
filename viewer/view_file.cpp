#include "viewer/view_file.h"

#include "widgets/busy_pointer.h"
#include "dialogs/dialogs.h"
#include "widgets/window_look.h"
#include "viewer/view_paging.h"
#include "viewer/viewer_launcher.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>

namespace qelvrin {

namespace {

constexpr int kScrollBarTwips = 255;
constexpr int kClientWidthTwips = 7245;
constexpr int kClientHeightTwips = 6120;
constexpr int kTwipsPerPixel = 15;
constexpr int kKeyF1 = 112;
constexpr int kKeyF3 = 114;
const QColor kCornerGrey{192, 192, 192};

// The key code the handlers know: function keys from 112, others as Qt has them.
int keyCodeOf(const QKeyEvent& event)
{
    if (event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F24)
        return kKeyF1 + (event.key() - Qt::Key_F1);
    return event.key();
}

} // namespace

ViewFile::ViewFile(ViewerLauncher& launcher)
    : m_launcher(launcher), m_dialogs(launcher.dialogs().forWindow(*this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("ViewFile"));
    setWindowTitle(QStringLiteral("ViewFile"));

    m_client = new QWidget(this);
    setCentralWidget(m_client);

    m_text1 = new QPlainTextEdit(m_client);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setReadOnly(true);
    m_text1->setUndoRedoEnabled(false);
    m_text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setFont(look::viewerFont({QStringLiteral("Courier New"), 7.5, false, false}));
    m_text1->installEventFilter(this);
    m_text1->viewport()->installEventFilter(this);
    m_text1->horizontalScrollBar()->setAccessibleName(QStringLiteral("Column"));
    m_text1->horizontalScrollBar()->setAccessibleDescription(QStringLiteral("Ctrl+Left and Ctrl+Right scroll sideways"));
    // The page handed over starts at the scroll bar's line, so the text area
    // keeps no vertical range of its own: nothing (a drag past its edge, a
    // cursor move, a key) can scroll the text inside it.
    QScrollBar* ownBar = m_text1->verticalScrollBar();
    connect(ownBar, &QScrollBar::rangeChanged, this, [ownBar](int minimum, int maximum) {
        if (minimum != 0 || maximum != 0)
            ownBar->setRange(0, 0);
    });

    m_vscroll1 = new QScrollBar(Qt::Vertical, m_client);
    m_vscroll1->setObjectName(QStringLiteral("vscroll1"));
    m_vscroll1->setMinimum(1);
    m_vscroll1->setSingleStep(1);
    m_vscroll1->setFocusPolicy(Qt::StrongFocus);
    m_vscroll1->resize(look::toPixels(kScrollBarTwips), m_vscroll1->height());
    m_vscroll1->installEventFilter(this);
    m_vscroll1->setAccessibleName(QStringLiteral("Line"));
    m_vscroll1->setAccessibleDescription(QStringLiteral("Number of the first line shown"));
    // While the thumb is dragged the view follows it; releasing it, like any
    // other change of the value, counts as a change.
    connect(m_vscroll1, &QScrollBar::valueChanged, this, [this] {
        if (m_vscroll1->isSliderDown())
            vscroll1_Scroll();
        else
            vscroll1_Change();
    });
    connect(m_vscroll1, &QScrollBar::sliderReleased, this, &ViewFile::vscroll1_Change);

    m_label1 = new QLabel(m_client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setAutoFillBackground(true);
    QPalette corner = m_label1->palette();
    corner.setColor(QPalette::Window, kCornerGrey);
    m_label1->setPalette(corner);
    m_label1->installEventFilter(this);
    m_label1->setAccessibleName(QStringLiteral("Corner box"));
    m_label1->setAccessibleDescription(QStringLiteral("Double-click to go back to line 1"));

    buildMenuBar();
    // Watched only now that the controls it lays out exist.
    m_client->installEventFilter(this);
    resize(look::toPixels(kClientWidthTwips), look::toPixels(kClientHeightTwips) + menuBar()->sizeHint().height());
}

ViewFile::~ViewFile() = default;

SearchState& ViewFile::searchState() const
{
    return m_launcher.searchState();
}

const DriveMap& ViewFile::drives() const
{
    return m_launcher.drives();
}

Dialogs& ViewFile::dialogs() const
{
    return m_dialogs ? *m_dialogs : m_launcher.dialogs();
}

void ViewFile::startReading(WorkerTask::Work work)
{
    takeInput(false);
    m_reading.start([this, work = std::move(work)](const std::atomic_bool& abandoned) -> WorkerTask::Then {
        return [this, then = work(abandoned)] {
            if (then)
                then();
            if (!m_reading.running()) {
                takeInput(true);
                Q_EMIT readingEnded();
            }
        };
    });
}

// Disabled, the controls take neither keys nor clicks, and Exit stays.
void ViewFile::takeInput(bool take)
{
    m_client->setEnabled(take);
    for (QAction* command : std::as_const(m_commands))
        command->setEnabled(take);
    if (take && isActiveWindow())
        m_vscroll1->setFocus(Qt::OtherFocusReason);
}

void ViewFile::Form_Resize()
{
    const int width = m_client->width();
    const int height = m_client->height();
    const int bar = look::toPixels(kScrollBarTwips);
    m_text1->setGeometry(0, 0, qMax(0, width - bar), height);
    m_vscroll1->setGeometry(width - bar, 0, bar, qMax(0, height - bar));
    m_label1->setGeometry(width - bar, height - bar, bar, bar);
    m_vscroll1->setPageStep(largeChange(float(m_text1->height() * kTwipsPerPixel), float(m_text1->font().pointSizeF())));
}

void ViewFile::vscroll1_Change()
{
    setBusyPointer(false);
    DrawView();
}

void ViewFile::vscroll1_Scroll()
{
    DrawView();
}

void ViewFile::DrawView()
{
    if (m_reading.running())
        return;
    followFile();
    if (m_reading.running())
        return; // a reload, or many new lines to index: its end draws
    const int value = m_vscroll1->value();
    const QString page = m_document->viewString(value);
    if (page.isEmpty() && m_document->BlockCount() > 0) {
        // The file changed under the lines shown.
        reloadAt(value);
        return;
    }
    setWindowTitle(viewCaption(m_captionName, qMax(1, value), m_vscroll1->maximum()));
    m_text1->setPlainText(page);
    m_text1->horizontalScrollBar()->setValue(0);
}

void ViewFile::Label1_DblClick()
{
    m_vscroll1->setValue(1);
}

void ViewFile::Text1_GotFocus()
{
    m_vscroll1->setFocus(Qt::OtherFocusReason);
}

bool ViewFile::vscroll1_KeyDown(int keyCode, Qt::KeyboardModifiers shift)
{
    Q_UNUSED(shift); // F3 searches again whatever the modifiers
    if (keyCode != kKeyF3)
        return false;
    searchState().SearchAgain = true;
    mnusearch_Click();
    return true;
}

// Every key reaches the scroll bar, and its own keys move the line; these
// two, left to nothing else, reach the end of a long line.
bool ViewFile::scrollSideways(const QKeyEvent& key)
{
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::ControlModifier)
        return false;
    QScrollBar* sideways = m_text1->horizontalScrollBar();
    if (key.key() == Qt::Key_Left)
        sideways->triggerAction(QAbstractSlider::SliderPageStepSub);
    else if (key.key() == Qt::Key_Right)
        sideways->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else
        return false;
    return true;
}

void ViewFile::mnuexit_Click()
{
    close();
}

void ViewFile::closeEvent(QCloseEvent* event)
{
    // A long read in flight gives up, and what it read goes with the window.
    if (m_reading.running()) {
        m_reading.abandon();
        setBusyPointer(false);
    }
    QMainWindow::closeEvent(event);
}

bool ViewFile::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        Form_Resize();
    } else if (watched == m_text1 && event->type() == QEvent::FocusIn) {
        Text1_GotFocus();
    } else if (m_text1 && (watched == m_text1 || watched == m_text1->viewport()) && event->type() == QEvent::Wheel) {
        // The text area holds one page only: the wheel moves the first line
        // through the scroll bar, and a sideways wheel the text's own bar.
        const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
        if (qAbs(delta.x()) > qAbs(delta.y()))
            return false;
        QApplication::sendEvent(m_vscroll1, event);
        return true;
    } else if (watched == m_label1 && event->type() == QEvent::MouseButtonDblClick) {
        Label1_DblClick();
        return true;
    } else if (watched == m_vscroll1 && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (vscroll1_KeyDown(keyCodeOf(*key), key->modifiers()) || scrollSideways(*key))
            return true;
        // At the last line indexed a key can only move on into lines the
        // file has gained since: look for them first, as a draw does.
        if (m_vscroll1->value() == m_vscroll1->maximum())
            followFile();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace qelvrin
