#pragma once

#include <QString>

#include <optional>

namespace qelvrin {

// A file that stopped the copy, and why.
struct SdgCopyFailure {
    QString nativePath;
    bool whileWriting = false;  // the data file, rather than an SDG file
    QString reason;
    bool interrupted = false;   // the program was asked to end during the copy
};

// Copies, line by line and each line ended by CR LF, every file of
// `sdgDirectory` whose name fits `pattern`, in the order of
// files::listMatching, into the data file, which is truncated first when
// `truncate` is set and appended to otherwise.
std::optional<SdgCopyFailure> copySdgFiles(const QString& sdgDirectory, const QString& pattern,
                                           const QString& dataFilePath, bool truncate);

} // namespace qelvrin
