#pragma once

#include <QString>

namespace qelvrin::files {

// Why a folder where the batch processor writes cannot be trusted, or empty
// when it can: a folder that another user can write lets them plant a link
// there, and the batch processor may follow it. Refused: a folder writable
// by everyone (sticky or not), or owned by a user other than the one
// running and root. A group-writable folder trusts its group. `root` is the
// drive's root, where a world-writable folder passes with the sticky bit,
// which keeps others from replacing what they do not own. A missing folder
// passes: its absence is reported by the step that needs it.
QString untrustedFolder(const QString& nativeDir, bool root = false);

} // namespace qelvrin::files
