#include "dialogs/info_text.h"

#include <QTest>

using namespace qelvrin;

class TestInfoText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void about_hasTwelveLinesInItsLayout()
    {
        const QString text = composeAboutText();
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        QVERIFY(!text.contains(QLatin1Char('\r')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines.at(0), QStringLiteral("Inorganic Quorvane System QELVR Version 1.6"));
        QCOMPARE(lines.at(1), QString());
        QVERIFY(lines.at(2).startsWith(QStringLiteral("Prepared by ")));
        for (int empty = 3; empty <= 7; ++empty)
            QCOMPARE(lines.at(empty), QString());
        for (int contact = 8; contact <= 11; ++contact) {
            QVERIFY2(lines.at(contact).startsWith(QString(30, QLatin1Char(' '))), qPrintable(lines.at(contact)));
            QVERIFY2(lines.at(contact).at(30) != QLatin1Char(' '), qPrintable(lines.at(contact)));
        }
        // The maker named on the preparer line is the one on the contact lines.
        QVERIFY(lines.at(2).mid(12).startsWith(lines.at(8).trimmed()));
    }

    void techSupport_hasVersionOnItsOwnIndentedLine()
    {
        const QString text = composeTechSupportText();
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines.at(0), QStringLiteral("Inorganic Quorvane System QELVR"));
        QCOMPARE(lines.at(2), QString(30, QLatin1Char(' ')) + QStringLiteral("Version 1.6"));
        QCOMPARE(lines.at(5), QStringLiteral(" If you have any questions or problems please contact:"));
        for (int empty : {1, 3, 4, 6})
            QCOMPARE(lines.at(empty), QString());
        for (int contact = 7; contact <= 11; ++contact) {
            QVERIFY2(lines.at(contact).startsWith(QStringLiteral("   ")), qPrintable(lines.at(contact)));
            QVERIFY2(lines.at(contact).at(3) != QLatin1Char(' '), qPrintable(lines.at(contact)));
        }
        QCOMPARE(lines.at(7).trimmed(), composeAboutText().split(QLatin1Char('\n')).at(8).trimmed());
    }
};

QTEST_GUILESS_MAIN(TestInfoText)
#include "tst_info_text.moc"
