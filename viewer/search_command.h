#pragma once

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
    // Loads the file again, for a hit in lines added since the last load.
    virtual void reload() = 0;
    virtual void setBusy(bool busy) = 0;
};

// The search command: asks for the string unless a search-again is pending,
// looks below the first line shown, offers to start from the top, and moves
// the view to the hit.
void runSearch(SearchState& state, Dialogs& dialogs, SearchView& view, const ViewedFile& file);

// The keyword commands and F3: search again without asking.
void searchAgainFor(SearchState& state, const QString& keyword);

} // namespace qelvrin
