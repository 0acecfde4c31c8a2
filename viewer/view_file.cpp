#include "viewer/view_file.h"

#include "platform/busy_pointer.h"
#include "platform/dialogs.h"
#include "platform/window_look.h"
#include "settings/global.h"
#include "viewer/inert_menu_entry.h"
#include "viewer/load_input_gate.h"
#include "viewer/view_font_settings.h"
#include "viewer/view_paging.h"
#include "viewer/viewer_launcher.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
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
constexpr unsigned kMustExistNoReadOnlyBox = 0x1004;
constexpr qint64 kRepaintEveryMs = 40;
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

void ViewFile::buildMenuBar()
{
    QMenuBar* bar = menuBar();
    const auto command = [this, bar](const QString& caption, const char* name, void (ViewFile::*handler)()) {
        QAction* action = bar->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_mnuexit = command(QStringLiteral("E&xit"), "mnuexit", &ViewFile::mnuexit_Click);
    command(QStringLiteral("&Print"), "mnuprint", &ViewFile::mnuprint_Click);
    command(QStringLiteral("&Search"), "mnusearch", &ViewFile::mnusearch_Click);

    QMenu* keyWords = bar->addMenu(QStringLiteral("Search&KeyWord"));
    keyWords->setObjectName(QStringLiteral("mnusearchKey"));
    keyWords->menuAction()->setObjectName(QStringLiteral("mnusearchKey"));
    const auto item = [this, keyWords](const QString& caption, const char* name, void (ViewFile::*handler)()) {
        QAction* action = keyWords->addAction(caption);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    item(QStringLiteral("Error:"), "mnusearchKeyError", &ViewFile::mnusearchKeyError_Click);
    item(QStringLiteral("Stopped"), "mnusearchKeyStopped", &ViewFile::mnusearchKeyStopped_Click);
    item(QStringLiteral("Frequency"), "mnusearchKeyFrequency", &ViewFile::mnusearchKeyFrequency_Click);

    command(QStringLiteral("&Fonts"), "mnufonts", &ViewFile::mnufonts_Click);
    markInertMenuEntry(command(QString(), "mnublank1", nullptr));
    markInertMenuEntry(command(QString(), "mnublank2", nullptr));
    command(QStringLiteral("&Help"), "mnuHelp", &ViewFile::mnuHelp_Click);
}

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
    if (m_loading) {
        // Asked for while a load lets the windows repaint: that load gives
        // way and this one follows it.
        m_loadAgain = true;
        return true;
    }
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

    const QString path = m_launcher.nativePath(fileName);
    QString reason;
    bool loaded = false;
    {
        const BusyPointer busy;
        applyFontFromSettings();
        loaded = loadDocument(path, &reason);
    }
    if (m_abandoned) {
        // Closed while it read: the window goes, and with it what was read.
        m_loadAgain = false;
        m_document.clear();
        hide();
        deleteLater();
        return false;
    }
    if (m_loadAgain) {
        // Another file was named while this one was read.
        m_loadAgain = false;
        return Form_Load();
    }
    if (!loaded) {
        const QString shown = path.isEmpty() ? fileName : path;
        dialogs().message({QStringLiteral("Cannot open %1: %2").arg(shown, reason), MsgIcon::Critical, MsgButtons::Ok, kApplicationTitle});
        return false;
    }

    // The minimum first, so a range left at 0 by an empty file is undone.
    m_vscroll1->setMinimum(1);
    m_vscroll1->setMaximum(int(qMin<qint64>(m_document.LineCount(), INT_MAX)));
    m_captionName = CaptionName(fileName);
    m_text1->setAccessibleName(fileName);
    {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setValue(1);
    }
    // As a window opened anew: laid out for the font just read.
    Form_Resize();
    vscroll1_Change();
    return true;
}

// Reads the file while letting the windows repaint every few hundredths of
// a second; of the operator's input only Exit and closing the window get
// through, and they end the reading at once.
bool ViewFile::loadDocument(const QString& path, QString* reason)
{
    m_loading = true;
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const LoadInputGate gate(*this, *menuBar(), *m_mnuexit);
    const bool loaded = m_document.load(path, reason, [this, &sinceRepaint] {
        if (sinceRepaint.elapsed() >= kRepaintEveryMs) {
            QApplication::processEvents();
            sinceRepaint.restart();
        }
        return !m_loadAgain && !m_abandoned;
    });
    m_loading = false;
    return loaded;
}

// Catches the view up with its file: new lines of a file that grew become
// reachable, and a file truncated or rewritten is loaded afresh (and drawn).
ViewDocument::Change ViewFile::followFile()
{
    if (m_loading || m_reloading)
        return ViewDocument::Change::None;
    const ViewDocument::Change change = m_document.refresh();
    if (change == ViewDocument::Change::Grown) {
        const QSignalBlocker quiet(m_vscroll1);
        m_vscroll1->setMaximum(int(qMin<qint64>(m_document.LineCount(), INT_MAX)));
    } else if (change == ViewDocument::Change::Replaced) {
        reloadAfresh();
    }
    return change;
}

// Loads the file again as a fresh open would; a file that changes again
// meanwhile is shown as that load found it.
void ViewFile::reloadAfresh()
{
    if (m_reloading)
        return;
    m_reloading = true;
    Form_Load();
    m_reloading = false;
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
    if (followFile() == ViewDocument::Change::Replaced)
        return;
    const int value = m_vscroll1->value();
    const QString page = m_document.viewString(value);
    if (page.isEmpty() && m_document.BlockCount() > 0 && !m_loading && !m_reloading) {
        // The file changed under the lines shown.
        reloadAfresh();
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
    // A load in progress gives up, and the load's end takes the window away.
    if (m_loading) {
        m_abandoned = true;
        hide();
        event->ignore();
        return;
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
