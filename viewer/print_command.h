#pragma once

#include "viewer/viewed_file.h"
#include "viewer/worker_task.h"

class QFont;
class QWidget;

namespace qelvrin {

class Dialogs;

// The print command: print setup, then the whole file read again from disk
// in `font`, a new page at each form feed that begins a line, the page
// number shown in `window`'s caption meanwhile, and the page count at the
// end. Cancel ends quietly; every failure is reported under "QELVRIN: Print
// Error", with the job abandoned and caption and pointer restored. The file
// is read and drawn through `offThread`, on a worker thread: a printer takes
// its painting from any one thread at a time, and the GUI thread only hears
// the page numbers and the end. A read abandoned with the window leaves the
// pointer to the window.
void runPrintCommand(Dialogs& dialogs, QWidget& window, const QFont& font, const ViewedFile& file,
                     const std::function<void(WorkerTask::Work)>& offThread);

} // namespace qelvrin
