#include "viewer/view_paging.h"

#include <QTest>

using namespace qelvrin;

class TestViewPaging : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionName_keepsShortNameOfPath_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("name");
        QTest::newRow("report") << "\\QELVRIN\\SDEFECT.TXT" << "SDEFECT.TXT";
        QTest::newRow("twelve-character log") << "\\QELVRIN\\DLOADJCL.LOG" << "DLOADJCL.LOG";
        QTest::newRow("drive letter and folder") << "C:\\DATA\\MYFILE.TXT" << "MYFILE.TXT";
        QTest::newRow("long name without separator keeps last twelve") << "AVERYLONGFILENAME.TXT" << "FILENAME.TXT";
        QTest::newRow("short name whole") << "A.LOG" << "A.LOG";
        QTest::newRow("first separator among the twelve") << "\\LONGDIR\\A\\B\\C.TXT" << "A\\B\\C.TXT";
        QTest::newRow("native path") << "/tmp/data/report.log" << "report.log";
        QTest::newRow("empty") << "" << "";
    }

    void captionName_keepsShortNameOfPath()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        QCOMPARE(CaptionName(fileName), name);
    }

    void viewCaption_isNameInCapitalsWithLineAndMaximum()
    {
        QCOMPARE(viewCaption(QStringLiteral("sdefect.txt"), 1, 523), QStringLiteral("SDEFECT.TXT line 1 of 523"));
        QCOMPARE(viewCaption(QStringLiteral("a.log"), 40000, 40000), QStringLiteral("A.LOG line 40000 of 40000"));
    }

    void largeChange_isLinesThatFitLessOne_data()
    {
        QTest::addColumn<float>("heightTwips");
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("change");
        QTest::newRow("9 points") << 6120.0f << 9.0f << 24;
        QTest::newRow("7.5 points") << 6120.0f << 7.5f << 29;
        QTest::newRow("10 points") << 6120.0f << 10.0f << 22;
        QTest::newRow("12 points") << 6120.0f << 12.0f << 18;
        QTest::newRow("half rounds down to even") << 945.0f << 10.0f << 2;
        QTest::newRow("half rounds up to even") << 1215.0f << 10.0f << 4;
        QTest::newRow("area too low for a page") << 100.0f << 10.0f << 1;
        QTest::newRow("no height") << 0.0f << 10.0f << 1;
        QTest::newRow("size zero") << 6120.0f << 0.0f << 1;
    }

    void largeChange_isLinesThatFitLessOne()
    {
        QFETCH(float, heightTwips);
        QFETCH(float, size);
        QFETCH(int, change);
        QCOMPARE(largeChange(heightTwips, size), change);
    }
};

QTEST_GUILESS_MAIN(TestViewPaging)
#include "tst_view_paging.moc"
