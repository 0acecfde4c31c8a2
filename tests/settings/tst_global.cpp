#include "settings/global.h"

#include "settings/error_code.h"
#include "support/temp_drive.h"

#include <QDir>
#include <QTest>

using qelvrin::ErrorCode;
using qelvrin::Global;
using qelvrin::testing::TempDrive;

namespace {

const QString kIni = QStringLiteral("\\QELVRIN\\PCVQS.INI");

int errorCodeOf(const std::function<void()>& call)
{
    try {
        call();
    } catch (const ErrorCode& error) {
        return error.code;
    }
    return 0;
}

// A drive whose settings file holds `bytes`; none when they are null.
struct Settings {
    explicit Settings(const QByteArray& bytes)
    {
        if (!bytes.isNull())
            drive.write(kIni, bytes);
    }
    TempDrive drive;
    Global global{drive.drives(), drive.native(QStringLiteral("\\QELVRIN"))};
};

} // namespace

class TestGlobal : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readSetting_findsValueOfFirstMatchingLine_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // null: none
        QTest::addColumn<int>("error");
        QTest::newRow("first of two matching lines") << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << "9" << 0;
        QTest::newRow("key inside a remark matches")
            << QByteArray("; ViewFontName sets the face = remark\r\nViewFontName = Arial\r\n") << "ViewFontName" << "remark" << 0;
        QTest::newRow("value holding an equals sign") << QByteArray("ViewFontName = a = b \r\n") << "ViewFontName" << "a = b" << 0;
        QTest::newRow("other capitals do not match") << QByteArray("viewfontname = Arial\r\n") << "ViewFontName" << QString() << 0;
        QTest::newRow("no file") << QByteArray() << "ViewFontName" << QString() << 53;
    }
    void readSetting_findsValueOfFirstMatchingLine()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(int, error);
        Settings settings(file);
        std::optional<QString> result;
        QCOMPARE(errorCodeOf([&] { result = settings.global.ReadSetting(key); }), error);
        QCOMPARE(result.has_value(), !value.isNull());
        if (result)
            QCOMPARE(*result, value);
        // Without a file nothing is written either, and none is made.
        if (file.isNull()) {
            QCOMPARE(errorCodeOf([&] { settings.global.WriteSetting(QStringLiteral("ViewFontBold"), QStringLiteral("V")); }), 53);
            QVERIFY(QDir(settings.drive.native(QStringLiteral("\\QELVRIN"))).entryList(QDir::Files | QDir::Hidden).isEmpty());
        }
    }

    // Read as PCVQS.INI, rewritten as pcvqs.ini: one file whichever spelling
    // stands in the folder, and with both the same one for reading and
    // writing, each time; the other is left alone.
    void bothNames_readAndRewriteOneFile_data()
    {
        QTest::addColumn<QStringList>("names"); // each holds ViewFontSize = its index
        QTest::addColumn<int>("used");
        QTest::newRow("installed name") << QStringList{"PCVQS.INI"} << 0;
        QTest::newRow("rewritten name") << QStringList{"pcvqs.ini"} << 0;
        QTest::newRow("both, rewritten name first") << QStringList{"pcvqs.ini", "PCVQS.INI"} << 1;
        QTest::newRow("three spellings") << QStringList{"pcvqs.ini", "Pcvqs.Ini", "PCVQS.INI"} << 2;
    }
    void bothNames_readAndRewriteOneFile()
    {
        QFETCH(QStringList, names);
        QFETCH(int, used);
        Settings settings{QByteArray()};
        const auto content = [](int n) { return "ViewFontSize = " + QByteArray::number(n) + "\r\n"; };
        for (int n = 0; n < names.size(); ++n)
            settings.drive.write(QStringLiteral("\\QELVRIN\\") + names[n], content(n));
        QCOMPARE(settings.global.ReadSetting(QStringLiteral("ViewFontSize")).value_or(QString()), QString::number(used));
        // A size is stored with at most seven significant digits, no trailing zeros.
        for (const auto& [size, text] : {std::pair{1.2345678f, "1.234568"}, {7.0f, "7"}}) {
            settings.global.WriteSetting(QStringLiteral("ViewFontSize"), size);
            QCOMPARE(settings.global.ReadSetting(QStringLiteral("ViewFontSize")).value_or(QString()), QLatin1String(text));
        }
        for (int n = 0; n < names.size(); ++n)
            QCOMPARE(settings.drive.read(QStringLiteral("\\QELVRIN\\") + names[n]), n == used ? content(7) : content(n));
    }
};

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
