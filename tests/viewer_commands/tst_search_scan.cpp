#include "viewer/search_scan.h"

#include "search_reference.h"
#include "support/file_writer.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::LineSearchResult;
using qelvrin::findLineAfter;
using qelvrin::testing::referenceFind;

namespace {

qint64 foundLine(const LineSearchResult& result)
{
    if (result.outcome == LineSearchResult::Outcome::Unreadable)
        qFatal("unexpected unreadable file: %s", qPrintable(result.error));
    return result.outcome == LineSearchResult::Outcome::Found ? result.line : 0;
}

} // namespace

class TestSearchScan : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString writeFile(const QByteArray& bytes) { return qelvrin::testing::writeFile(m_dir, QStringLiteral("f.log"), bytes); }

private Q_SLOTS:
    // CR LF split between reads, lines and needles longer than a read, and
    // block edges: the fast scan must agree with the line-by-line one.
    void randomFiles_agreeWithLineByLine()
    {
        static const char alphabet[] = "aAbB\xe9\xc9\xfe\xde: \r\n\r\n\f";
        for (quint32 seed = 1; seed <= 300; ++seed) {
            QRandomGenerator random(seed);
            QByteArray bytes;
            const int length = random.bounded(0, 400);
            for (int i = 0; i < length; ++i)
                bytes.append(alphabet[random.bounded(int(sizeof alphabet - 1))]);
            QByteArray needle;
            const int needleLength = random.bounded(1, 5);
            for (int i = 0; i < needleLength; ++i)
                needle.append(alphabet[random.bounded(11)]); // no line ends, no form feed
            const qint64 after = random.bounded(0, 12);
            const qsizetype readSize = random.bounded(1, 90);
            const int threads = random.bounded(1, 6); // shares end at any byte
            const QString path = writeFile(bytes);

            const qint64 expected = referenceFind(path, needle, after);
            const qint64 actual = foundLine(findLineAfter(path, QString::fromLatin1(needle), after, readSize, nullptr, threads));
            if (actual != expected)
                qWarning("seed %u: needle \"%s\" after %lld read size %lld threads %d", seed, needle.toHex().constData(), after,
                         qint64(readSize), threads);
            QCOMPARE(actual, expected);
        }
    }

    // Long stretches between hits, where the line ends are counted in bulk:
    // line ends in every byte fill the bulk counters fastest; reads of odd
    // sizes. Mixed line ends on lane edges are the random files' test.
    void longStretches_agreeWithLineByLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        for (const char* end : {"\r", "\n", "\r\n", "\n\r"})
            QTest::newRow(qPrintable(QStringLiteral("dense %1").arg(QLatin1String(QByteArray(end).toHex()))))
                << QByteArray(end).repeated(40000) + "a needle" + end + QByteArray(end).repeated(70000) + "needle";
    }
    void longStretches_agreeWithLineByLine()
    {
        QFETCH(QByteArray, bytes);
        const QString path = writeFile(bytes);
        for (const qint64 after : {0, 1000, 4999, 40001}) {
            const qint64 expected = referenceFind(path, "needle", after);
            for (const qsizetype readSize : {4097, 65536, 256 * 1024})
                QCOMPARE(foundLine(findLineAfter(path, QStringLiteral("nEEdle"), after, readSize, nullptr, int(readSize % 3) + 1)), expected);
        }
        QCOMPARE(foundLine(findLineAfter(path, QStringLiteral("absent"), 0)), qint64(0));
    }
};

QTEST_GUILESS_MAIN(TestSearchScan)
#include "tst_search_scan.moc"
