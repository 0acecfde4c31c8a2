#pragma once

#include <QString>

namespace qelvrin {

// Turns the program's DOS-style paths ("\QELVRIN\SHUTDOWN.DAT",
// "A:\M12345.I01") into native paths and back. The current drive (no letter,
// or C:) is a directory of our own; A: and B: stand for diskette folders.
class DriveMap {
public:
    DriveMap() = default;
    DriveMap(QString root, QString driveA = {}, QString driveB = {});

    // Options win over the environment (QELVRIN_DRIVE, QELVRIN_DRIVE_A,
    // QELVRIN_DRIVE_B); the current drive falls back to the per-user default.
    static DriveMap fromOptions(const QString& root, const QString& driveA, const QString& driveB);
    static QString defaultRoot();

    QString root() const { return m_root; }
    QString driveA() const { return m_driveA; }
    QString driveB() const { return m_driveB; }

    // Native path for a DOS path; empty when it names an unmapped drive.
    // A relative path keeps its place relative to the working directory.
    QString toNative(const QString& dosPath) const;

    // Like toNative, but the last component is looked up without regard to
    // case (files::findNoCase); the entry found wins, else the name as given.
    QString toNativeNoCase(const QString& dosPath) const;

    // DOS form of a native path under a mapped root ("C:\DATA\M12345.I01");
    // a path under no mapped root comes back unchanged.
    QString toDos(const QString& nativePath) const;

    // Native install directory, <root>/QELVRIN.
    QString installDir() const;

private:
    QString m_root;
    QString m_driveA;
    QString m_driveB;
};

} // namespace qelvrin
