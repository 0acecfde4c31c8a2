#pragma once

#include "viewer/view_document.h"
#include "viewer/worker_task.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QKeyEvent;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QScrollBar;

namespace qelvrin {

class Dialogs;
class DriveMap;
class ViewerLauncher;
struct SearchState;

// The viewer window: a read-only page of the loaded file, moved line by line
// with its scroll bar. Only the launcher creates it.
class ViewFile : public QMainWindow {
    Q_OBJECT

public:
    explicit ViewFile(ViewerLauncher& launcher);
    ~ViewFile() override;

    // Starts loading the file named by ViewFileName from its line 1; a load
    // in flight gives way to it. False when no file was named; the
    // operator has then been told. A file that cannot be read is reported
    // at the load's end, and the window goes.
    bool Form_Load();
    // Loads the shown file again and shows line `line`, or the last line
    // when the file no longer has it.
    void reloadAt(qint64 line);
    // Runs a long read (a load, a search, a printout's reading) on a worker
    // thread. Until what it returns has run, the window takes no input but
    // Exit and closing, either of which abandons the read.
    void startReading(WorkerTask::Work work);
    bool reading() const { return m_reading.running(); }

    QPlainTextEdit* text1() const { return m_text1; }
    QScrollBar* vscroll1() const { return m_vscroll1; }
    QLabel* label1() const { return m_label1; }
    const ViewDocument& document() const { return *m_document; }
    ViewerLauncher& launcher() const { return m_launcher; }
    SearchState& searchState() const;
    const DriveMap& drives() const;
    // Their boxes belong to this window.
    Dialogs& dialogs() const;
    // The caption's short file name, as the last load computed it.
    const QString& captionName() const { return m_captionName; }

Q_SIGNALS:
    // A long read has ended and what it returned has run.
    void readingEnded();

public Q_SLOTS:
    void Form_Resize();
    void vscroll1_Change();
    void vscroll1_Scroll();
    void Label1_DblClick();
    void mnuexit_Click();
    void mnuprint_Click();
    void mnusearch_Click();
    void mnusearchKeyError_Click();
    void mnusearchKeyStopped_Click();
    void mnusearchKeyFrequency_Click();
    void mnufonts_Click();
    void mnuHelp_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Catches the view up with a file that changed since it was loaded.
    ViewDocument::Change followFile();
    void followed(ViewDocument::Change change);
    void startLoad(const QString& fileName, qint64 line);
    void loadEnded(const std::shared_ptr<ViewDocument>& document, const QString& fileName, const QString& error, qint64 line);
    void takeInput(bool take);
    void buildMenuBar();
    void applyFontFromSettings();
    void DrawView();
    void Text1_GotFocus();
    bool vscroll1_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    bool scrollSideways(const QKeyEvent& key);

    ViewerLauncher& m_launcher;
    // The launcher's dialogs with this window as the owner of their boxes.
    std::unique_ptr<Dialogs> m_dialogs;
    // Replaced whole, on the GUI thread, by a load's end.
    std::shared_ptr<ViewDocument> m_document = std::make_shared<ViewDocument>();
    QString m_shownName; // the file name as the last load was given it
    QString m_captionName;
    WorkerTask m_reading;
    QWidget* m_client = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    QScrollBar* m_vscroll1 = nullptr;
    QLabel* m_label1 = nullptr;
    QList<QAction*> m_commands; // the menu bar's entries but Exit
};

} // namespace qelvrin
