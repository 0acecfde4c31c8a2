#pragma once

class QPrintDialog;
class QPrinter;

namespace qelvrin {

// The whole file is always printed, and the page count told is the pages
// printed. The print dialog offers a page range (and, through a print
// server, a page list and odd or even pages) even with those choices
// disabled, since the server could pick the pages itself: these keep them
// out of the dialog and out of the job.

// Hides the dialog's page-range and page-set choices whenever it is shown.
void offerAllPagesOnly(QPrintDialog& dialog);

// After the dialog: every page, whatever was chosen in it, and no page
// selection left for the print server.
void printAllPages(QPrinter& printer);

} // namespace qelvrin
