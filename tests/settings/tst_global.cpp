#include "settings/global.h"

#include "platform/error_code.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

using qelvrin::ErrorCode;
using qelvrin::Global;
using qelvrin::SettingValue;
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

        QTest::newRow("no blanks around equals") << QByteArray("ViewFontSize=12\r\n") << "ViewFontSize" << true << "12";
        QTest::newRow("blanks stripped, inner kept") << QByteArray("ViewFontName =   Courier New  \r\n") << "ViewFontName" << true << "Courier New";
        QTest::newRow("nothing after equals is the empty text") << QByteArray("ViewFontName =\r\n") << "ViewFontName" << true << "";
        QTest::newRow("no equals gives the whole line") << QByteArray("  ViewFontBold True  \r\n") << "ViewFontBold" << true << "ViewFontBold True";
        QTest::newRow("only the first equals splits") << QByteArray("ViewFontName = a = b\r\n") << "ViewFontName" << true << "a = b";
        QTest::newRow("key matched case-sensitively") << QByteArray("viewfontname = Arial\r\n") << "ViewFontName" << false << "";
        QTest::newRow("first of two matching lines") << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << true << "9";
        QTest::newRow("key inside a remark matches") << QByteArray("; ViewFontName sets the face = remark\r\nViewFontName = Arial\r\n") << "ViewFontName" << true << "remark";
        QTest::newRow("key inside a longer key matches") << QByteArray("MyViewFontSize = 3\r\nViewFontSize = 12\r\n") << "ViewFontSize" << true << "3";
        QTest::newRow("leading blanks before the key") << QByteArray("    ViewFontItalic = False\r\n") << "ViewFontItalic" << true << "False";
        QTest::newRow("empty file") << QByteArray() << "ViewFontName" << false << "";
        QTest::newRow("lone CR line ends") << QByteArray("A = 1\rViewFontSize = 7.5\rB = 2") << "ViewFontSize" << true << "7.5";
        QTest::newRow("last line without line end") << QByteArray("A = 1\r\nViewFontBold = True") << "ViewFontBold" << true << "True";
        QTest::newRow("eight-bit value survives") << QByteArray("ViewFontName = Caf\xe9\r\n") << "ViewFontName" << true << QString::fromLatin1("Caf\xe9");
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

    void readSetting_findsFileWhateverTheCaseOfItsName()
    {
        TempDrive drive;
        drive.write(QStringLiteral("\\QELVRIN\\pcvqs.ini"), "ViewFontSize = 10\r\n");
        QCOMPARE(Global(drive.drives()).ReadSetting(QStringLiteral("ViewFontSize")), std::optional<QString>(QStringLiteral("10")));
    }

    void readSetting_missingFile_failsWithCode53()
    {
        TempDrive drive;
        const Global global(drive.drives());
        QCOMPARE(errorCodeOf([&] { global.ReadSetting(QStringLiteral("ViewFontName")); }), 53);
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
        QTest::newRow("absent key appends nothing")
            << QByteArray("  ViewFontSize = 9\r\n") << "ViewFontBold" << "True" << QByteArray("ViewFontSize = 9\r\n");
        QTest::newRow("wrong case is an absent key")
            << QByteArray("viewfontname = Arial \r\n") << "ViewFontName" << "Courier" << QByteArray("viewfontname = Arial\r\n");
        QTest::newRow("long line cut after 80 characters")
            << QByteArray(longRemark + "\r\nViewFontSize = 9\r\n") << "ViewFontSize" << "10"
            << QByteArray(longRemark.left(80) + "\r\nViewFontSize = 10\r\n");
        QTest::newRow("blanks inside the first 80 then stripped")
            << QByteArray(QByteArray(78, ' ') + "ab" + "cd\r\n") << "ViewFontSize" << "10" << QByteArray("ab\r\n");
        QTest::newRow("leading blanks before the key line")
            << QByteArray("    ViewFontSize = 9\r\n") << "ViewFontSize" << "10" << QByteArray("ViewFontSize = 10\r\n");
        QTest::newRow("empty file stays empty") << QByteArray() << "ViewFontName" << "Arial" << QByteArray();
        QTest::newRow("lone CR and LF ends become CR LF")
            << QByteArray("a = 1\rViewFontSize = 9\nb = 2") << "ViewFontSize" << "10" << QByteArray("a = 1\r\nViewFontSize = 10\r\nb = 2\r\n");
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

    void writeSetting_missingFile_failsWithCode53AndCreatesNothing()
    {
        TempDrive drive;
        const QString dir = drive.native(QStringLiteral("\\QELVRIN"));
        const Global global(drive.drives(), dir);
        QCOMPARE(errorCodeOf([&] { global.WriteSetting(QStringLiteral("ViewFontBold"), true); }), 53);
        QVERIFY(QDir(dir).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }

    void writeSetting_usesWorkingDirectoryNotInstallDirectory()
    {
        TempDrive drive;
        drive.write(kIni, "ViewFontSize = 9\r\n");
        const QString elsewhere = drive.native(QStringLiteral("\\OTHER"));
        QDir().mkpath(elsewhere);
        const Global global(drive.drives(), elsewhere);
        QCOMPARE(errorCodeOf([&] { global.WriteSetting(QStringLiteral("ViewFontSize"), 10.0f); }), 53);
        QCOMPARE(drive.read(kIni), QByteArray("ViewFontSize = 9\r\n"));
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

    void settingValue_convertsNumbersAndBooleans_data()
    {
        QTest::addColumn<float>("number");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole number has no decimals") << 10.0f << "10";
        QTest::newRow("quarter point") << 9.75f << "9.75";
        QTest::newRow("half point") << 7.5f << "7.5";
        QTest::newRow("inexact decimal rounds to seven digits") << 0.1f << "0.1";
        QTest::newRow("seven significant digits") << (1.0f / 3.0f) << "0.3333333";
        QTest::newRow("large number in exponent form") << 123456789.0f << "1.234568E+08";
        QTest::newRow("zero") << 0.0f << "0";
    }

    void settingValue_convertsNumbersAndBooleans()
    {
        QFETCH(float, number);
        QFETCH(QString, text);
        QCOMPARE(SettingValue(number).text(), text);
    }

    void settingValue_booleansAreTrueAndFalse()
    {
        QCOMPARE(SettingValue(true).text(), QStringLiteral("True"));
        QCOMPARE(SettingValue(false).text(), QStringLiteral("False"));
    }
};

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
