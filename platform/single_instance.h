#pragma once

#include <QLockFile>
#include <QString>

#include <memory>

namespace qelvrin {

// One copy of the program (window or batch runner) per drive. The lock sits
// in the per-user runtime directory, named after the drive's canonical path;
// a lock left by a killed copy is taken over.
class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString& driveRoot);
    bool tryAcquire();
    QString lockPath() const { return m_path; }

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
};

} // namespace qelvrin
