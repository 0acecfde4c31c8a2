#pragma once

#include <QString>

namespace qelvrin {

// A file read at given offsets through the one descriptor it was opened on,
// so that what is read stays that file even when its name is given to
// another.
class ReadOnlyFile {
public:
    struct Status {
        bool known = false; // false: the system could not say
        qint64 size = 0;
        qint64 modifiedNs = 0;
    };

    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens for reading from the start on; a folder is refused as "Is a
    // directory". False with the reason in `error`.
    bool open(const QString& nativePath, QString* error);
    void close();
    bool isOpen() const;

    Status status() const;
    // Up to `count` bytes at `offset` into `out`: the number read, 0 at the
    // end of the file, or -1 with the reason in `error`.
    qint64 readAt(qint64 offset, char* out, qint64 count, QString* error = nullptr) const;

private:
    // The system's handle of the open file; only the implementation reads it.
    qintptr m_handle = -1;
};

} // namespace qelvrin
