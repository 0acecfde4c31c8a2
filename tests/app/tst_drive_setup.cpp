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

    // A disk that fills during the first set-up: it fails with the system's
    // reason, leaves no piece half-written and no temporary file, and the
    // next start completes the drive. A site's own batch processor, even a
    // link leading nowhere, is never replaced.
    void fullDisk_leavesWholePieces_andTheNextStartCompletes_data()
    {
        QTest::addColumn<int>("limit");         // bytes a file may reach
        QTest::addColumn<QString>("unusable");  // folder the failure names
        QTest::newRow("nothing fits") << 0 << "QELVRIN";
        QTest::newRow("settings fit, a stage program does not") << 95 << "QELVRIN";
        QTest::newRow("stage programs fit, the batch processor does not") << 140 << "SAS";
    }
    void fullDisk_leavesWholePieces_andTheNextStartCompletes()
    {
        QFETCH(int, limit);
        QFETCH(QString, unusable);
        QTemporaryDir root;
        const DriveMap drives(root.path());
        const QString bigStandIn = writeFile(m_dir, QStringLiteral("big-standin"), "#!/bin/sh\n" + QByteArray(200, '#') + "\nexit 0\n");
        const DriveSetupResult cut = [&] {
            const qelvrin::testing::FileSizeLimit full{rlim_t(limit)};
            return setUpDrive(drives, bigStandIn);
        }();
        QVERIFY(!cut.ok);
        QCOMPARE(cut.error, QStringLiteral("The directory %1/%2 cannot be used: File too large.").arg(root.path(), unusable));
        const QStringList pieces{"QELVRIN/PCVQS.INI", "QELVRIN/DLOADJCL", "QELVRIN/IASMTJCL", "QELVRIN/FASMTJCL", "SAS/SAS.EXE"};
        QStringList written;
        for (const QString& piece : pieces) {
            if (QFileInfo::exists(root.filePath(piece)))
                written << piece;
        }

        const DriveSetupResult completed = setUpDrive(drives, bigStandIn);
        QVERIFY2(completed.ok, qPrintable(completed.error));
        for (const QString& piece : pieces)
            QVERIFY2(QFileInfo(root.filePath(piece)).size() > 0, qPrintable(piece));
        // What the cut set-up wrote is what the complete one would have.
        QTemporaryDir reference;
        QVERIFY(setUpDrive(DriveMap(reference.path()), bigStandIn).ok);
        for (const QString& piece : pieces)
            QCOMPARE(readFile(root.filePath(piece)), readFile(reference.filePath(piece)));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("SAS/SAS.EXE"))).isExecutable());
        for (const char* dir : {"QELVRIN", "SAS"})
            QCOMPARE(QDir(root.filePath(QLatin1String(dir))).entryList(QDir::Files | QDir::Hidden).size(), dir[0] == 'S' ? 1 : 4);
        QVERIFY(written.size() < pieces.size());
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
