#include "platform/drive_setup.h"
#include "platform/drive_map.h"
#include "support/file_size_limit.h"
#include "support/file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::readFile;
using qelvrin::testing::writeFile;

class TestDriveSetup : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_standIn;

private Q_SLOTS:
    void initTestCase()
    {
        // Any executable file does for the copy.
        m_standIn = writeFile(m_dir, QStringLiteral("fake-standin"), "#!/bin/sh\nexit 0\n");
        QVERIFY(QFile::setPermissions(m_standIn, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    void freshDrive_isLaidOut()
    {
        QTemporaryDir root;
        const DriveMap drives(root.path());
        const DriveSetupResult result = setUpDrive(drives, m_standIn);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))),
                 QByteArray("ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n"));
        // The programs and the stand-in are the batch runner's test.
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("QELVRIN/SHUTDOWN.DAT"))));
    }

    // A disk that fills while the batch processor is copied: the set-up
    // fails with the system's reason and leaves no piece half-written and no
    // temporary file; the next start completes the drive (the batch
    // runner's test starts the program twice).
    void fullDisk_leavesWholePieces()
    {
        QTemporaryDir root;
        const DriveMap drives(root.path());
        const QString bigStandIn = writeFile(m_dir, QStringLiteral("big-standin"), "#!/bin/sh\n" + QByteArray(200, '#') + "\nexit 0\n");
        const DriveSetupResult cut = [&] {
            // The stage programs fit, the batch processor does not.
            const qelvrin::testing::FileSizeLimit full{140};
            return setUpDrive(drives, bigStandIn);
        }();
        QCOMPARE(cut.error, QStringLiteral("The directory %1/SAS cannot be used: File too large.").arg(root.path()));
        QCOMPARE(QDir(root.filePath(QStringLiteral("QELVRIN"))).entryList(QDir::Files | QDir::Hidden).size(), 4);
        QCOMPARE(QDir(root.filePath(QStringLiteral("SAS"))).entryList(QDir::Files | QDir::Hidden), QStringList());

        const DriveSetupResult completed = setUpDrive(drives, bigStandIn);
        QVERIFY2(completed.ok, qPrintable(completed.error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("SAS/SAS.EXE"))), readFile(bigStandIn));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("SAS/SAS.EXE"))).isExecutable());
    }

    void sitesBatchProcessor_isKept()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("SAS")));
        const QString site = root.filePath(QStringLiteral("SAS/SAS.EXE"));
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/site/batch"), site));
        QVERIFY(setUpDrive(DriveMap(root.path()), m_standIn).ok);
        QCOMPARE(QFileInfo(site).symLinkTarget(), QStringLiteral("/nonexistent/site/batch"));
    }
};

QTEST_GUILESS_MAIN(TestDriveSetup)
#include "tst_drive_setup.moc"
