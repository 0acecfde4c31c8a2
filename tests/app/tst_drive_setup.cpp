#include "app/drive_setup.h"
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

namespace {

const QByteArray kSettings("ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n");

// Every entry of a folder, in byte order.
QStringList entries(const QString& dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

} // namespace

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

    // Only what is missing is laid out, names looked up in any case; once a
    // stage program is there the settings file was laid out before, and one
    // that is missing was removed: it stays away.
    void setUp_laysOutOnlyWhatIsMissing_data()
    {
        QTest::addColumn<QStringList>("present"); // under the root
        QTest::addColumn<QStringList>("install"); // \QELVRIN\ afterwards
        QTest::addColumn<QStringList>("sas");     // \SAS\ afterwards
        const QStringList programs{"DLOADJCL", "FASMTJCL", "IASMTJCL"};
        QTest::newRow("fresh drive") << QStringList{} << programs + QStringList{"PCVQS.INI"} << QStringList{"SAS.EXE"};
        QTest::newRow("the operator's pcvqs.ini") << QStringList{"QELVRIN/pcvqs.ini"} << programs + QStringList{"pcvqs.ini"} << QStringList{"SAS.EXE"};
        QTest::newRow("laid out whole, settings removed") << QStringList{"QELVRIN/DLOADJCL", "QELVRIN/IASMTJCL", "QELVRIN/FASMTJCL", "SAS/SAS.EXE"}
                                                          << programs << QStringList{"SAS.EXE"};
        QTest::newRow("a stage program removed") << QStringList{"QELVRIN/PCVQS.INI", "QELVRIN/DLOADJCL", "QELVRIN/FASMTJCL"}
                                                 << programs + QStringList{"PCVQS.INI"} << QStringList{"SAS.EXE"};
        QTest::newRow("other spellings") << QStringList{"QELVRIN/Dloadjcl", "QELVRIN/iasmtjcl", "SAS/sas.exe"}
                                         << QStringList{"Dloadjcl", "FASMTJCL", "iasmtjcl"} << QStringList{"sas.exe"};
    }
    void setUp_laysOutOnlyWhatIsMissing()
    {
        QFETCH(QStringList, present);
        QFETCH(QStringList, install);
        QFETCH(QStringList, sas);
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("QELVRIN")) && QDir(root.path()).mkpath(QStringLiteral("SAS")));
        for (const QString& entry : present)
            writeFile(root.filePath(entry), "x\r\n");
        const DriveSetupResult result = setUpDrive(DriveMap(root.path()), m_standIn);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(entries(root.filePath(QStringLiteral("QELVRIN"))), install);
        QCOMPARE(entries(root.filePath(QStringLiteral("SAS"))), sas);
        for (const QString& entry : present)
            QCOMPARE(readFile(root.filePath(entry)), QByteArray("x\r\n"));
        if (install.contains(QStringLiteral("PCVQS.INI")) && !present.contains(QStringLiteral("QELVRIN/PCVQS.INI")))
            QCOMPARE(readFile(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))), kSettings);
    }

    // A disk that fills while the batch processor is copied: the set-up
    // fails with the system's reason and leaves no piece half-written and no
    // temporary file; the next start completes the drive.
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
        QCOMPARE(entries(root.filePath(QStringLiteral("QELVRIN"))).size(), 4);
        QCOMPARE(entries(root.filePath(QStringLiteral("SAS"))), QStringList());

        const DriveSetupResult completed = setUpDrive(drives, bigStandIn);
        QVERIFY2(completed.ok, qPrintable(completed.error));
        QCOMPARE(readFile(root.filePath(QStringLiteral("SAS/SAS.EXE"))), readFile(bigStandIn));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("SAS/SAS.EXE"))).isExecutable());
    }
};

QTEST_GUILESS_MAIN(TestDriveSetup)
#include "tst_drive_setup.moc"
