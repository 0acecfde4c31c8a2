#include "settings/global.h"

#include "platform/error_code.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

using qelvrin::ErrorCode;
using qelvrin::Global;
using qelvrin::testing::TempDrive;

namespace {

const QString kIni = QStringLiteral("\\QELVRIN\\PCVQS.INI");

QByteArray lines(int count)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += "Line" + QByteArray::number(n) + " = " + QByteArray::number(n) + "\r\n";
    return bytes;
}

int errorCodeOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ErrorCode& error) {
        return error.code;
    }
    return 0;
}

} // namespace

class TestGlobal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readSetting_findsValueOfFirstMatchingLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");

        QTest::newRow("blanks stripped, inner kept") << QByteArray("ViewFontName =   Courier New  \r\n") << "ViewFontName" << true << "Courier New";
        QTest::newRow("nothing after equals is the empty text") << QByteArray("ViewFontName =\r\n") << "ViewFontName" << true << "";
        QTest::newRow("first of two matching lines") << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << true << "9";
        QTest::newRow("key inside a remark matches") << QByteArray("; ViewFontName sets the face = remark\r\nViewFontName = Arial\r\n") << "ViewFontName" << true << "remark";
        QTest::newRow("empty file") << QByteArray() << "ViewFontName" << false << "";
    }

    void readSetting_findsValueOfFirstMatchingLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(bool, found);
        QFETCH(QString, value);
        TempDrive drive;
        drive.write(kIni, file);
        const std::optional<QString> result = Global(drive.drives(), drive.native(QStringLiteral("\\QELVRIN"))).ReadSetting(key);
        QCOMPARE(result.has_value(), found);
        if (found) {
            QCOMPARE(*result, value);
            QVERIFY(!result->isNull());
        }
    }

    void writeSetting_rewritesFileNormalised_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        const QByteArray longRemark = "; " + QByteArray(100, 'x');
        QTest::newRow("no blanks becomes key = value") << QByteArray("ViewFontSize=12\r\n") << "ViewFontSize" << "12" << QByteArray("ViewFontSize = 12\r\n");
        QTest::newRow("other lines stripped and kept")
            << QByteArray("  ; fonts  \r\n\r\nViewFontName = Arial\r\n   ViewFontSize = 9   \r\n") << "ViewFontName" << "Courier New"
            << QByteArray("; fonts\r\n\r\nViewFontName = Courier New\r\nViewFontSize = 9\r\n");
        QTest::newRow("last of two matching lines replaced")
            << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << "10"
            << QByteArray("ViewFontSize = 9\r\nViewFontSize = 10\r\n");
        QTest::newRow("remark after the key line is the one replaced")
            << QByteArray("ViewFontName = Arial\r\n; ViewFontName is the face\r\n") << "ViewFontName" << "Courier"
            << QByteArray("ViewFontName = Arial\r\nViewFontName = Courier\r\n");
        QTest::newRow("long line cut after 80 characters")
            << QByteArray(longRemark + "\r\nViewFontSize = 9\r\n") << "ViewFontSize" << "10"
            << QByteArray(longRemark.left(80) + "\r\nViewFontSize = 10\r\n");
        QTest::newRow("empty file stays empty") << QByteArray() << "ViewFontName" << "Arial" << QByteArray();
        QTest::newRow("thirty lines are rewritten") << lines(30) << "Line30" << "x" << QByteArray(lines(29) + "Line30 = x\r\n");
    }

    void writeSetting_rewritesFileNormalised()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        TempDrive drive;
        drive.write(kIni, before);
        Global(drive.drives(), drive.native(QStringLiteral("\\QELVRIN"))).WriteSetting(key, value);
        QCOMPARE(drive.read(kIni), after);
    }

    void writeSetting_thirtyOneLines_failsWithCode9AndLeavesFileUnchanged()
    {
        TempDrive drive;
        const QByteArray before = lines(31);
        drive.write(kIni, before);
        const Global global(drive.drives(), drive.native(QStringLiteral("\\QELVRIN")));
        QCOMPARE(errorCodeOf([&] { global.WriteSetting(QStringLiteral("Line1"), QStringLiteral("x")); }), 9);
        QCOMPARE(drive.read(kIni), before);
    }

    void missingFile_failsWithCode53AndCreatesNothing()
    {
        TempDrive drive;
        const QString dir = drive.native(QStringLiteral("\\QELVRIN"));
        const Global global(drive.drives(), dir);
        QCOMPARE(errorCodeOf([&] { global.ReadSetting(QStringLiteral("ViewFontName")); }), 53);
        QCOMPARE(errorCodeOf([&] { global.WriteSetting(QStringLiteral("ViewFontBold"), true); }), 53);
        QVERIFY(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void writeThenRead_meetInOneFileWhateverTheCaseOfItsName()
    {
        TempDrive drive;
        const QString upper = QStringLiteral("\\QELVRIN\\PCVQS.INI");
        drive.write(upper, "ViewFontSize = 9\r\nViewFontBold = False\r\n");
        const QString dir = drive.native(QStringLiteral("\\QELVRIN"));
        QDir::setCurrent(dir);
        const Global global(drive.drives());
        global.WriteSetting(QStringLiteral("ViewFontSize"), 9.75f);
        global.WriteSetting(QStringLiteral("ViewFontBold"), true);
        QCOMPARE(global.ReadSetting(QStringLiteral("ViewFontSize")), std::optional<QString>(QStringLiteral("9.75")));
        QCOMPARE(global.ReadSetting(QStringLiteral("ViewFontBold")), std::optional<QString>(QStringLiteral("True")));
        // The rewrite replaced the file under its own name and left no stray file.
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("PCVQS.INI")});
        QDir::setCurrent(QDir::tempPath());
    }

};

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
