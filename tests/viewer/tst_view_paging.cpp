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
        QTest::newRow("long name without separator keeps last twelve") << "AVERYLONGFILENAME.TXT" << "FILENAME.TXT";
        QTest::newRow("first separator among the twelve") << "\\LONGDIR\\A\\B\\C.TXT" << "A\\B\\C.TXT";
    }

    void captionName_keepsShortNameOfPath()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, name);
        QCOMPARE(CaptionName(fileName), name);
    }

    void largeChange_isLinesThatFitLessOne_data()
    {
        QTest::addColumn<float>("heightTwips");
        QTest::addColumn<float>("size");
        QTest::addColumn<int>("change");
        QTest::newRow("9 points") << 6120.0f << 9.0f << 24;
        QTest::newRow("7.5 points") << 6120.0f << 7.5f << 29;
        QTest::newRow("area too low for a page") << 100.0f << 10.0f << 1;
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
