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
        const DriveSetupResult result = setUpDriveIfNew(drives, m_standIn);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))),
                 QByteArray("ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n"));
        // The programs and the stand-in are the batch runner's test.
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("QELVRIN/SHUTDOWN.DAT"))));
    }

    void fullDisk_namesTheSystemsReason()
    {
        QTemporaryDir root;
        const DriveSetupResult result = [&] {
            const qelvrin::testing::FileSizeLimit full(0);
            return setUpDriveIfNew(DriveMap(root.path()), m_standIn);
        }();
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("The directory %1/QELVRIN cannot be used: File too large.").arg(root.path()));
    }
};

QTEST_GUILESS_MAIN(TestDriveSetup)
#include "tst_drive_setup.moc"
