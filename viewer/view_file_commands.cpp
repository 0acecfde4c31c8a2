#include "viewer/view_file.h"

namespace qelvrin {

void ViewFile::mnuprint_Click()
{
}

void ViewFile::mnusearch_Click()
{
}

void ViewFile::mnusearchKeyError_Click()
{
}

void ViewFile::mnusearchKeyStopped_Click()
{
}

void ViewFile::mnusearchKeyFrequency_Click()
{
}

void ViewFile::mnufonts_Click()
{
}

void ViewFile::mnuHelp_Click()
{
}

} // namespace qelvrin
