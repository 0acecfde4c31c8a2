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
        QTest::newRow("blanks stripped, inner kept") << QByteArray("ViewFontName =   Courier New  \r\n") << "ViewFontName" << "Courier New" << 0;
        QTest::newRow("nothing after equals is the empty text") << QByteArray("ViewFontName =\r\n") << "ViewFontName" << "" << 0;
        QTest::newRow("first of two matching lines") << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << "9" << 0;
        QTest::newRow("key inside a remark matches")
            << QByteArray("; ViewFontName sets the face = remark\r\nViewFontName = Arial\r\n") << "ViewFontName" << "remark" << 0;
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
    }

    void writeSetting_rewritesFileNormalised_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<int>("error");
        const QByteArray longRemark = "; " + QByteArray(100, 'x');
        QTest::newRow("no blanks becomes key = value") << QByteArray("ViewFontSize=12\r\n") << "ViewFontSize" << QByteArray("ViewFontSize = V\r\n") << 0;
        QTest::newRow("other lines stripped and kept")
            << QByteArray("  ; fonts  \r\n\r\nViewFontName = Arial\r\n   ViewFontSize = 9   \r\n") << "ViewFontName"
            << QByteArray("; fonts\r\n\r\nViewFontName = V\r\nViewFontSize = 9\r\n") << 0;
        QTest::newRow("last of two matching lines replaced")
            << QByteArray("ViewFontSize = 9\r\nViewFontSize = 12\r\n") << "ViewFontSize" << QByteArray("ViewFontSize = 9\r\nViewFontSize = V\r\n") << 0;
        QTest::newRow("remark after the key line is the one replaced")
            << QByteArray("ViewFontName = Arial\r\n; ViewFontName is the face\r\n") << "ViewFontName"
            << QByteArray("ViewFontName = Arial\r\nViewFontName = V\r\n") << 0;
        QTest::newRow("long line cut after 80 characters") << QByteArray(longRemark + "\r\nViewFontSize = 9\r\n") << "ViewFontSize"
                                                           << QByteArray(longRemark.left(80) + "\r\nViewFontSize = V\r\n") << 0;
        QTest::newRow("key not in the file: no line added") << QByteArray("ViewFontName = Arial\r\n") << "ViewFontBold"
                                                            << QByteArray("ViewFontName = Arial\r\n") << 0;
        QTest::newRow("thirty lines are rewritten") << lines(30) << "Line30" << QByteArray(lines(29) + "Line30 = V\r\n") << 0;
        QTest::newRow("thirty-one lines are left alone") << lines(31) << "Line1" << lines(31) << 9;
        QTest::newRow("no file, none created") << QByteArray() << "ViewFontBold" << QByteArray() << 53;
    }
    void writeSetting_rewritesFileNormalised()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        QFETCH(int, error);
        Settings settings(before);
        QCOMPARE(errorCodeOf([&] { settings.global.WriteSetting(key, QStringLiteral("V")); }), error);
        QCOMPARE(settings.drive.read(kIni), after);
        QCOMPARE(QDir(settings.drive.native(QStringLiteral("\\QELVRIN"))).entryList(QDir::Files | QDir::Hidden).size(), after.isNull() ? 0 : 1);
    }
};

QTEST_GUILESS_MAIN(TestGlobal)
#include "tst_global.moc"
