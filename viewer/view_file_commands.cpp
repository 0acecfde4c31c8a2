#include "viewer/view_file.h"

#include "widgets/busy_pointer.h"
#include "dialogs/dialogs.h"
#include "settings/global.h"
#include "viewer/font_command.h"
#include "viewer/help_text.h"
#include "viewer/inert_menu_entry.h"
#include "viewer/print_command.h"
#include "viewer/search_command.h"
#include "viewer/viewer_launcher.h"

#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace qelvrin {

namespace {

ViewedFile viewedFile(const ViewerLauncher& launcher)
{
    return {launcher.ViewFileName, launcher.nativePath(launcher.ViewFileName)};
}

// The search moves the view through the scroll bar, as the operator would.
class WindowSearchView : public SearchView {
public:
    explicit WindowSearchView(ViewFile& window) : m_window(window) {}

    qint64 firstLine() const override { return m_window.vscroll1()->value(); }
    qint64 lineCount() const override { return m_window.vscroll1()->maximum(); }
    void showLine(qint64 line) override { m_window.vscroll1()->setValue(int(line)); }
    void reloadAt(qint64 line) override { m_window.reloadAt(line); }
    void setBusy(bool busy) override { setBusyPointer(busy); }
    void findOffThread(std::function<LineSearchResult(const std::atomic_bool&)> find,
                       std::function<void(const LineSearchResult&)> then) override
    {
        m_window.startReading([find = std::move(find), then = std::move(then)](const std::atomic_bool& abandoned) -> WorkerTask::Then {
            const LineSearchResult result = find(abandoned);
            return [then, result] { then(result); };
        });
    }

private:
    ViewFile& m_window;
};

// The font command works on Text1, one property at a time.
class TextAreaFont : public FontTarget {
public:
    explicit TextAreaFont(ViewFile& window) : m_window(window) {}

    FontChoice font() const override
    {
        const QFont shown = m_window.text1()->font();
        return {shown.family(), float(shown.pointSizeF()), shown.bold(), shown.italic()};
    }
    void setFace(const QString& face) override
    {
        change([&face](QFont& font) { font.setFamily(face); });
    }
    void setSize(float points) override
    {
        change([points](QFont& font) { font.setPointSizeF(points); });
    }
    void setBold(bool bold) override
    {
        change([bold](QFont& font) { font.setBold(bold); });
    }
    void setItalic(bool italic) override
    {
        change([italic](QFont& font) { font.setItalic(italic); });
    }
    void relayout() override { m_window.Form_Resize(); }

private:
    template <typename Change>
    void change(Change apply)
    {
        QFont font = m_window.text1()->font();
        apply(font);
        m_window.text1()->setFont(font);
    }

    ViewFile& m_window;
};

} // namespace

void ViewFile::buildMenuBar()
{
    QMenuBar* bar = menuBar();
    const auto command = [this, bar](const QString& caption, const char* name, void (ViewFile::*handler)()) {
        QAction* action = bar->addAction(caption);
        action->setObjectName(QLatin1String(name));
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        m_commands.append(action);
        return action;
    };
    command(QStringLiteral("E&xit"), "mnuexit", &ViewFile::mnuexit_Click);
    m_commands.clear(); // Exit stays at hand during a long read
    command(QStringLiteral("&Print"), "mnuprint", &ViewFile::mnuprint_Click);
    command(QStringLiteral("&Search"), "mnusearch", &ViewFile::mnusearch_Click);

    QMenu* keyWords = bar->addMenu(QStringLiteral("Search&KeyWord"));
    keyWords->setObjectName(QStringLiteral("mnusearchKey"));
    keyWords->menuAction()->setObjectName(QStringLiteral("mnusearchKey"));
    m_commands.append(keyWords->menuAction());
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

void ViewFile::mnuprint_Click()
{
    runPrintCommand(dialogs(), *this, m_text1->font(), viewedFile(m_launcher),
                    [this](WorkerTask::Work work) { startReading(std::move(work)); });
}

void ViewFile::mnusearch_Click()
{
    runSearch(searchState(), dialogs(), std::make_shared<WindowSearchView>(*this), viewedFile(m_launcher));
}

void ViewFile::mnusearchKeyError_Click()
{
    searchAgainFor(searchState(), QStringLiteral("Error:"));
    mnusearch_Click();
}

void ViewFile::mnusearchKeyStopped_Click()
{
    searchAgainFor(searchState(), QStringLiteral("Stopped"));
    mnusearch_Click();
}

void ViewFile::mnusearchKeyFrequency_Click()
{
    searchAgainFor(searchState(), QStringLiteral("Frequency"));
    mnusearch_Click();
}

void ViewFile::mnufonts_Click()
{
    TextAreaFont text1(*this);
    runFontCommand(dialogs(), text1, Global(drives()));
}

void ViewFile::mnuHelp_Click()
{
    dialogs().message({viewerHelpText(), MsgIcon::None, MsgButtons::Ok, QStringLiteral("QELVRIN: Help")});
}

} // namespace qelvrin
