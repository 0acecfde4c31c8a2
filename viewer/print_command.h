#pragma once

#include "viewer/viewed_file.h"

class QFont;
class QWidget;

namespace qelvrin {

class Dialogs;

// The print command: print setup, then the whole file read again from disk
// in `font`, a new page at each form feed that begins a line, the page
// number shown in `window`'s caption meanwhile, and the page count at the
// end. Cancel ends quietly; every failure is reported under "QELVRIN: Print
// Error", with the job abandoned and caption and pointer restored.
void runPrintCommand(Dialogs& dialogs, QWidget& window, const QFont& font, const ViewedFile& file);

} // namespace qelvrin
