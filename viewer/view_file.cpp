#include "viewer/view_file.h"

#include "widgets/busy_pointer.h"
#include "dialogs/dialogs.h"
#include "widgets/window_look.h"
#include "settings/global.h"
#include "viewer/view_font_settings.h"
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

#include <climits>

namespace qelvrin {

namespace {

constexpr int kScrollBarTwips = 255;
constexpr int kClientWidthTwips = 7245;
constexpr int kClientHeightTwips = 6120;
constexpr int kTwipsPerPixel = 15;
constexpr int kKeyF1 = 112;
constexpr int kKeyF3 = 114;
// Appended bytes indexed on the GUI thread: no longer than a key press
// takes, and the view then takes input throughout.
constexpr qint64 kGrowthIndexedAtOnce = 1024 * 1024;
constexpr unsigned kMustExistNoReadOnlyBox = 0x1004;
const QColor kCornerGrey{192, 192, 192};

const QString kOpenFilter = QStringLiteral("*.* | *.*| *.txt | *.txt| *.dat | *.dat | *.log | *.log");
const QString kNoFileName = QStringLiteral("No file name has been specified. Goodbye");

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

bool ViewFile::Form_Load()
{
    QString& fileName = m_launcher.ViewFileName;
    if (fileName.isEmpty())
        fileName = m_launcher.commandLineText();
    if (fileName.isEmpty()) {
        FileOpenRequest request;
        request.flags = kMustExistNoReadOnlyBox;
        request.filter = kOpenFilter;
        fileName = dialogs().openFile(request);
    }
    if (fileName.isEmpty()) {
        dialogs().message({kNoFileName, MsgIcon::None, MsgButtons::Ok, kApplicationTitle});
        m_launcher.endProgram();
        return false;
    }
    startLoad(fileName, 1);
    return true;
}

void ViewFile::reloadAt(qint64 line)
{
    startLoad(m_shownName, line);
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

// The hourglass shows from the start of the load to its end; the worker
// builds a document of its own, which replaces the shown one only here.
void ViewFile::startLoad(const QString& fileName, qint64 line)
{
    const QString path = m_launcher.nativePath(fileName);
    setBusyPointer(true);
    applyFontFromSettings();
    startReading([this, path, fileName, line](const std::atomic_bool& abandoned) -> WorkerTask::Then {
        auto document = std::make_shared<ViewDocument>();
        QString reason;
        if (!document->load(path, &reason, &abandoned))
            document.reset();
        return [this, document, fileName, reason, line] { loadEnded(document, fileName, reason, line); };
    });
}

void ViewFile::loadEnded(const std::shared_ptr<ViewDocument>& document, const QString& fileName, const QString& error, qint64 line)
{
    setBusyPointer(false);
    if (!document) {
        const QString path = m_launcher.nativePath(fileName);
        const QString shown = path.isEmpty() ? fileName : path;
        dialogs().message({QStringLiteral("Cannot open %1: %2").arg(shown, error), MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
        // Nothing readable to show: no window stays behind.
        hide();
        deleteLater();
        return;
    }
    m_document = document;
    m_shownName = fileName;
    // The minimum first, so a range left at 0 by an empty file is undone.
    m_vscroll1->setMinimum(1);
    m_vscroll1->setMaximum(int(qMin<qint64>(m_document->LineCount(), INT_MAX)));
    m_captionName = CaptionName(fileName);
    m_text1->setAccessibleName(fileName);
    {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setValue(int(qMin<qint64>(line, INT_MAX)));
    }
    // As a window opened anew: laid out for the font just read.
    Form_Resize();
    vscroll1_Change();
}

// Catches the view up with its file: new lines of a file that grew become
// reachable, and a file truncated or rewritten is loaded afresh at the
// same line. A few appended lines are indexed at once; more are indexed on
// a worker, like a load, and the view is drawn again at its end.
ViewDocument::Change ViewFile::followFile()
{
    if (m_reading.running())
        return ViewDocument::Change::None;
    if (m_document->unindexedBytes() > kGrowthIndexedAtOnce) {
        startReading([this, document = m_document](const std::atomic_bool& abandoned) -> WorkerTask::Then {
            const ViewDocument::Change change = document->refresh(&abandoned);
            return [this, change] {
                followed(change);
                DrawView();
            };
        });
        return ViewDocument::Change::Grown;
    }
    const ViewDocument::Change change = m_document->refresh();
    followed(change);
    return change;
}

void ViewFile::followed(ViewDocument::Change change)
{
    if (change == ViewDocument::Change::Grown) {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setMaximum(int(qMin<qint64>(m_document->LineCount(), INT_MAX)));
    } else if (change == ViewDocument::Change::Replaced) {
        reloadAt(m_vscroll1->value());
    }
}

void ViewFile::applyFontFromSettings()
{
    m_text1->setFont(look::viewerFont(readViewFont(Global(drives()))));
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
