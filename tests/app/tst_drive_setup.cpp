#include "platform/drive_setup.h"
#include "platform/drive_map.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
        m_standIn = m_dir.filePath(QStringLiteral("fake-standin"));
        QFile file(m_standIn);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexit 0\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }

    void freshDrive_isLaidOut()
    {
        QTemporaryDir root;
        const DriveMap drives(root.path());
        const DriveSetupResult result = setUpDriveIfNew(drives, m_standIn);
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(contents(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))),
                 QByteArray("ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n"));
        for (const char* program : {"DLOADJCL", "IASMTJCL", "FASMTJCL"}) {
            const QByteArray text = contents(root.filePath(QStringLiteral("QELVRIN/") + QLatin1String(program)));
            QVERIFY2(text.contains(program), program);
            QVERIFY(text.endsWith("\r\n"));
        }
        const QFileInfo sas(root.filePath(QStringLiteral("SAS/SAS.EXE")));
        QVERIFY(sas.isFile());
        QVERIFY(sas.isExecutable());
        QCOMPARE(contents(sas.filePath()), contents(m_standIn));
        QCOMPARE(QProcess::execute(sas.filePath(), {}), 0);
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("QELVRIN/SHUTDOWN.DAT"))));
    }

    void existingInstallDirectory_isLeftAlone()
    {
        QTemporaryDir root;
        QVERIFY(QDir(root.path()).mkpath(QStringLiteral("QELVRIN")));
        const DriveMap drives(root.path());
        QVERIFY(setUpDriveIfNew(drives, m_standIn).ok);
        QVERIFY(QDir(root.filePath(QStringLiteral("QELVRIN"))).isEmpty());
        QVERIFY(!QFileInfo::exists(root.filePath(QStringLiteral("SAS"))));
    }

    void setUpAgain_keepsTheOperatorsSettings()
    {
        QTemporaryDir root;
        const DriveMap drives(root.path());
        QVERIFY(setUpDrive(drives, m_standIn).ok);
        QFile settings(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI")));
        QVERIFY(settings.open(QIODevice::WriteOnly | QIODevice::Truncate));
        settings.write("ViewFontName = Liberation Mono\r\n");
        settings.close();
        QVERIFY(setUpDrive(drives, m_standIn).ok);
        QCOMPARE(contents(settings.fileName()), QByteArray("ViewFontName = Liberation Mono\r\n"));
    }

    void unwritableDrive_namesTheDirectory()
    {
        QTemporaryDir root;
        // A file where the drive's folder should be cannot hold a directory,
        // whoever runs the test.
        const QString blocked = root.filePath(QStringLiteral("drive"));
        QFile file(blocked);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const DriveSetupResult result = setUpDriveIfNew(DriveMap(blocked), m_standIn);
        QVERIFY(!result.ok);
        QCOMPARE(result.unusableDir, blocked + QStringLiteral("/QELVRIN"));
        QVERIFY(result.error.contains(result.unusableDir));
    }

    void missingStandIn_isReported()
    {
        QTemporaryDir root;
        const DriveSetupResult result = setUpDrive(DriveMap(root.path()), m_dir.filePath(QStringLiteral("absent")));
        QVERIFY(!result.ok);
        QCOMPARE(result.unusableDir, root.filePath(QStringLiteral("SAS")));
        QVERIFY(result.error.contains(QStringLiteral("stand-in")));
        QVERIFY(QFileInfo(root.filePath(QStringLiteral("QELVRIN/PCVQS.INI"))).isFile());
    }

    void findStandIn_prefersTheEnvironment()
    {
        const QByteArray saved = qgetenv("QELVRIN_STANDIN");
        qputenv("QELVRIN_STANDIN", m_standIn.toLocal8Bit());
        const QString found = findStandIn();
        qputenv("QELVRIN_STANDIN", m_dir.filePath(QStringLiteral("absent")).toLocal8Bit());
        const QString missing = findStandIn();
        qputenv("QELVRIN_STANDIN", saved);
        QCOMPARE(found, m_standIn);
        QVERIFY(missing.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDriveSetup)
#include "tst_drive_setup.moc"
