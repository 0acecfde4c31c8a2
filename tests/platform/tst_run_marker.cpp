#include "platform/run_marker.h"

#include <QTemporaryDir>
#include <QTest>

namespace marker = qelvrin::marker;

// The value read from a file's bytes is the fuzz replay's; the records
// written are the start-up's and the batch runner's.
class TestRunMarker : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void read_absentOrDirectory_isNotNormal()
    {
        QTemporaryDir dir;
        QCOMPARE(marker::readValue(dir.filePath(QStringLiteral("absent"))), QByteArray());
        QVERIFY(!marker::holdsNormal(dir.path()));
    }
};

QTEST_GUILESS_MAIN(TestRunMarker)
#include "tst_run_marker.moc"
