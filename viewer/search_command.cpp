#include "viewer/search_command.h"

#include "dialogs/dialogs.h"
#include "viewer/latin1_case.h"
#include "viewer/search_scan.h"
#include "viewer/search_state.h"

#include <QThread>

namespace qelvrin {

namespace {

const QString kTitle = QStringLiteral("QELVRIN: Search");

void tell(Dialogs& dialogs, const QString& text, MsgIcon icon = MsgIcon::None)
{
    dialogs.message({text, icon, MsgButtons::Ok, kTitle});
}

bool askStartFromTop(Dialogs& dialogs, const QString& upper)
{
    const QString text = upper + QStringLiteral(" not found") + u'\r'
        + QStringLiteral("Do you want to start looking from the top ?");
    return dialogs.message({text, MsgIcon::None, MsgButtons::OkCancel, kTitle}) == Answer::Ok;
}

// One search from `start` on, and from the top when the operator asks. The
// hourglass shows from the first scan until the command ends: its boxes are
// asked while it shows, and only then does the pointer come back.
void searchFrom(SearchState& state, Dialogs& dialogs, const std::shared_ptr<SearchView>& view, const ViewedFile& file, qint64 start)
{
    const QString text = state.SearchText;
    const QString path = file.nativePath;
    const auto find = [path, text, start](const std::atomic_bool& abandoned) {
        return findLineAfter(path, text, start, 256 * 1024, &abandoned, QThread::idealThreadCount());
    };
    view->findOffThread(find, [&state, &dialogs, view, file, start, text](const LineSearchResult& result) {
        const QString upper = latin1Upper(text);
        switch (result.outcome) {
        case LineSearchResult::Outcome::Found:
            // A hit past the lines loaded means the file grew since the load
            // (a stage still writing its log): it is loaded again so the
            // scroll bar can reach the hit, and the load's end ends the
            // hourglass.
            if (result.line > view->lineCount()) {
                view->reloadAt(result.line);
                return;
            }
            view->showLine(result.line);
            view->setBusy(false);
            return;
        case LineSearchResult::Outcome::Unreadable:
            tell(dialogs, QStringLiteral("Cannot search ") + file.shownName + QStringLiteral(": ") + result.error, MsgIcon::Critical);
            view->setBusy(false);
            return;
        case LineSearchResult::Outcome::NotFound:
            break;
        }
        if (start != 1 && askStartFromTop(dialogs, upper)) {
            searchFrom(state, dialogs, view, file, 1);
            return;
        }
        tell(dialogs, upper + QStringLiteral(" not in file") + u'\r');
        view->setBusy(false);
    });
}

} // namespace

void searchAgainFor(SearchState& state, const QString& keyword)
{
    state.SearchAgain = true;
    state.SearchText = keyword;
}

void runSearch(SearchState& state, Dialogs& dialogs, const std::shared_ptr<SearchView>& view, const ViewedFile& file)
{
    const qint64 start = view->firstLine();
    if (!state.SearchAgain) {
        const QString prompt = QStringLiteral("Enter a String.") + QStringLiteral("\r\r")
            + QStringLiteral("(Press the F3 key to search for the next occurance of the string)");
        state.SearchText = dialogs.input(prompt, kTitle, state.SearchText).value_or(QString());
    }
    state.SearchAgain = false;
    if (state.SearchText.isEmpty())
        return;
    view->setBusy(true);
    searchFrom(state, dialogs, view, file, start);
}

} // namespace qelvrin
