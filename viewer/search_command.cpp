#include "viewer/search_command.h"

#include "platform/dialogs.h"
#include "viewer/latin1_case.h"
#include "viewer/search_scan.h"
#include "viewer/search_state.h"

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

// A hit past the lines loaded means the file grew since the load (a stage
// still writing its log): load it again so the scroll bar can reach the hit.
void moveTo(SearchView& view, qint64 line)
{
    if (line > view.lineCount())
        view.reload();
    view.showLine(qMin(line, view.lineCount()));
}

// The hourglass from the first scan until the command ends: its boxes are
// asked while it shows, and only then does the pointer come back.
class BusyView {
public:
    explicit BusyView(SearchView& view) : m_view(view) { m_view.setBusy(true); }
    ~BusyView() { m_view.setBusy(false); }
    BusyView(const BusyView&) = delete;
    BusyView& operator=(const BusyView&) = delete;

private:
    SearchView& m_view;
};

} // namespace

void searchAgainFor(SearchState& state, const QString& keyword)
{
    state.SearchAgain = true;
    state.SearchText = keyword;
}

void runSearch(SearchState& state, Dialogs& dialogs, SearchView& view, const ViewedFile& file)
{
    qint64 start = view.firstLine();
    if (!state.SearchAgain) {
        const QString prompt = QStringLiteral("Enter a String.") + QStringLiteral("\r\r")
            + QStringLiteral("(Press the F3 key to search for the next occurance of the string)");
        state.SearchText = dialogs.input(prompt, kTitle, state.SearchText).value_or(QString());
    }
    state.SearchAgain = false;
    if (state.SearchText.isEmpty())
        return;

    const QString upper = latin1Upper(state.SearchText);
    const BusyView busy(view);
    for (;;) {
        const LineSearchResult result = findLineAfter(file.nativePath, state.SearchText, start);
        switch (result.outcome) {
        case LineSearchResult::Outcome::Found:
            moveTo(view, result.line);
            return;
        case LineSearchResult::Outcome::Unreadable:
            tell(dialogs, QStringLiteral("Cannot search ") + file.shownName + QStringLiteral(": ") + result.error,
                 MsgIcon::Critical);
            return;
        case LineSearchResult::Outcome::NotFound:
            break;
        }
        if (start == 1 || !askStartFromTop(dialogs, upper))
            break;
        start = 1;
    }
    tell(dialogs, upper + QStringLiteral(" not in file") + u'\r');
}

} // namespace qelvrin
