#pragma once

#include "viewer/search_scan.h"

#include <atomic>
#include <functional>
#include <memory>

#include "viewer/viewed_file.h"

#include <QString>

namespace qelvrin {

class Dialogs;
struct SearchState;

// What the search needs from the viewer window.
class SearchView {
public:
    virtual ~SearchView() = default;

    // The scroll bar's value: the first line shown (0 right after a load).
    virtual qint64 firstLine() const = 0;
    virtual qint64 lineCount() const = 0;
    // Makes `line` the first line shown.
    virtual void showLine(qint64 line) = 0;
    // Loads the file again and shows `line` (or the last line), for a hit
    // in lines added since the last load.
    virtual void reloadAt(qint64 line) = 0;
    virtual void setBusy(bool busy) = 0;
    // Runs `find` off the GUI thread, then `then` with its result on it.
    virtual void findOffThread(std::function<LineSearchResult(const std::atomic_bool& abandoned)> find,
                               std::function<void(const LineSearchResult&)> then) = 0;
};

// The search command: asks for the string unless a search-again is pending,
// looks below the first line shown, offers to start from the top, and moves
// the view to the hit. The reading runs off the GUI thread; `view` and
// `dialogs` are used until the last box, and the view is kept alive that long.
void runSearch(SearchState& state, Dialogs& dialogs, const std::shared_ptr<SearchView>& view, const ViewedFile& file);

// The keyword commands and F3: search again without asking.
void searchAgainFor(SearchState& state, const QString& keyword);

} // namespace qelvrin
