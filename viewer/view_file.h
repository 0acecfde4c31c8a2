#pragma once

#include "viewer/view_document.h"

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

    // Loads the file named by ViewFileName. False when nothing could be
    // shown; the operator has then been told why.
    bool Form_Load();

    QPlainTextEdit* text1() const { return m_text1; }
    QScrollBar* vscroll1() const { return m_vscroll1; }
    QLabel* label1() const { return m_label1; }
    const ViewDocument& document() const { return m_document; }
    ViewerLauncher& launcher() const { return m_launcher; }
    SearchState& searchState() const;
    const DriveMap& drives() const;
    // Their boxes belong to this window.
    Dialogs& dialogs() const;
    // The caption's short file name, as the last load computed it.
    const QString& captionName() const { return m_captionName; }

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
    bool loadDocument(const QString& path, QString* reason);
    void reloadAfresh();
    void buildMenuBar();
    void applyFontFromSettings();
    void DrawView();
    void Text1_GotFocus();
    bool vscroll1_KeyDown(int keyCode, Qt::KeyboardModifiers shift);
    bool scrollSideways(const QKeyEvent& key);

    ViewerLauncher& m_launcher;
    // The launcher's dialogs with this window as the owner of their boxes.
    std::unique_ptr<Dialogs> m_dialogs;
    ViewDocument m_document;
    QString m_captionName;
    bool m_loading = false;   // a load is reading the file
    bool m_loadAgain = false; // and another was asked for meanwhile
    bool m_reloading = false; // the file changed and is loaded afresh
    bool m_abandoned = false; // the window was closed while it loaded
    QWidget* m_client = nullptr;
    QPlainTextEdit* m_text1 = nullptr;
    QScrollBar* m_vscroll1 = nullptr;
    QLabel* m_label1 = nullptr;
    QAction* m_mnuexit = nullptr;
};

} // namespace qelvrin
