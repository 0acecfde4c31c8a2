#include "viewer/view_font_settings.h"

#include "settings/global.h"
#include "support/temp_drive.h"

#include <QTest>

using namespace qelvrin;
using qelvrin::testing::TempDrive;

class TestViewFontSettings : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readViewFont_fillsGapsWithDefault_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("face");
        QTest::addColumn<float>("size");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");

        QTest::newRow("all four keys")
            << QByteArray("ViewFontName = Arial\r\nViewFontSize = 9.75\r\nViewFontBold = True\r\nViewFontItalic = True\r\n") << "Arial" << 9.75f << true << true;
        QTest::newRow("as installed")
            << QByteArray("ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n") << "Courier New" << 10.0f << false << false;
        QTest::newRow("empty file") << QByteArray() << "Courier New" << 10.0f << false << false;
        QTest::newRow("size key missing") << QByteArray("ViewFontName = Arial\r\nViewFontBold = True\r\n") << "Arial" << 10.0f << true << false;
        QTest::newRow("empty face name") << QByteArray("ViewFontName =\r\nViewFontSize = 12\r\n") << "Courier New" << 12.0f << false << false;
        QTest::newRow("size not a number") << QByteArray("ViewFontSize = big\r\n") << "Courier New" << 10.0f << false << false;
        QTest::newRow("size zero") << QByteArray("ViewFontSize = 0\r\n") << "Courier New" << 10.0f << false << false;
        QTest::newRow("booleans in other letter case") << QByteArray("ViewFontBold = TRUE\r\nViewFontItalic = false\r\n") << "Courier New" << 10.0f << true << false;
        QTest::newRow("boolean as number") << QByteArray("ViewFontBold = -1\r\nViewFontItalic = 0\r\n") << "Courier New" << 10.0f << true << false;
    }

    void readViewFont_fillsGapsWithDefault()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, face);
        QFETCH(float, size);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        TempDrive drive;
        drive.write(QStringLiteral("\\QELVRIN\\PCVQS.INI"), file);
        const FontChoice font = readViewFont(Global(drive.drives()));
        QCOMPARE(font.face, face);
        QCOMPARE(font.size, size);
        QCOMPARE(font.bold, bold);
        QCOMPARE(font.italic, italic);
    }

    void readViewFont_missingSettingsFile_givesDefaultFont()
    {
        TempDrive drive;
        const FontChoice font = readViewFont(Global(drive.drives()));
        QCOMPARE(font.face, QStringLiteral("Courier New"));
        QCOMPARE(font.size, 10.0f);
        QVERIFY(!font.bold);
        QVERIFY(!font.italic);
    }
};

QTEST_GUILESS_MAIN(TestViewFontSettings)
#include "tst_view_font_settings.moc"
