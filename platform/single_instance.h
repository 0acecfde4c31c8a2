#pragma once

#include <QString>

namespace qelvrin {

// One copy of the program (window or batch runner) per drive: an advisory
// lock on a file in the drive's install folder. Every user and environment
// that reaches the drive meets the same file, and the system drops the lock
// when its holder ends, however it ends.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(QString lockFile);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // True once held. A folder that does not exist holds nothing to guard.
    bool tryAcquire();
    bool held() const { return m_held; }
    // Why the lock file could not be used; empty when another copy holds it.
    QString error() const { return m_error; }
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    QString m_error;
    qintptr m_handle = -1; // the lock file's handle, the implementation's own
    bool m_held = false;
};

} // namespace qelvrin
