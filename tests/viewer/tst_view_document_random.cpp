#include "viewer/view_document.h"

#include "document_model.h"
#include "support/file_writer.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using qelvrin::ViewDocument;
using qelvrin::testing::documentMismatch;

namespace {

constexpr qint64 kBlock = ViewDocument::BlockSize;

// Files of every kind the load must survive: binary bytes, form feeds, all
// three line ends, lines longer than a block, lengths just short of a
// multiple of the block size and a last line without an end. `mostlyCrLf`
// makes the batch logs' case: long runs of CR LF lines with a rare other
// line end or form feed among them.
QByteArray generatedFile(QRandomGenerator& random, bool mostlyCrLf)
{
    const bool binary = random.bounded(4) == 0;
    const int kind = random.bounded(4);
    const qint64 target = kind == 0 ? random.bounded(200)
        : kind == 1                 ? random.bounded(1, 5) * kBlock - random.bounded(1, 40)
                                    : random.bounded(160000);
    QByteArray file;
    while (file.size() < target) {
        if (random.bounded(mostlyCrLf ? 300 : 10) == 0)
            file += QByteArray(random.bounded(1, 3), '\f');
        const int lineKind = random.bounded(100);
        const qint64 length = lineKind < 70 ? random.bounded(120)
            : lineKind < 92                 ? random.bounded(3000)
            : lineKind < 98                 ? random.bounded(19000, 31000)
                                            : random.bounded(30000, 75000);
        QByteArray body(qMin<qint64>(length, target - file.size()), 'x');
        for (char& c : body) {
            do
                c = char(binary ? random.bounded(256) : random.bounded(32, 127));
            while (c == '\r' || c == '\n');
        }
        const int end = random.bounded(mostlyCrLf ? 400 : 5);
        file += body + (end == 0 ? "\r" : end == 1 ? "\n" : "\r\n");
    }
    if (target > 0 && random.bounded(2) == 0)
        file.truncate(target);
    if (random.bounded(3) == 0)
        file.chop(qMin<qsizetype>(file.size(), 2));
    return file;
}

} // namespace

class TestViewDocumentRandom : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void generatedFiles_matchReferenceModel_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("mostlyCrLf");
        for (quint32 seed = 1; seed <= 12; ++seed) {
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed << false;
            QTest::newRow(qPrintable(QStringLiteral("seed %1, mostly CR LF").arg(seed))) << seed << true;
        }
    }

    void generatedFiles_matchReferenceModel()
    {
        QFETCH(quint32, seed);
        QFETCH(bool, mostlyCrLf);
        QRandomGenerator random(seed);
        const QTemporaryDir dir;
        for (int round = 0; round < 25; ++round) {
            const QByteArray file = generatedFile(random, mostlyCrLf);
            ViewDocument document;
            QString error;
            // Split among threads too, at whatever byte a share ends.
            QVERIFY2(document.load(qelvrin::testing::writeFile(dir, QStringLiteral("file.txt"), file), &error, nullptr, 1 + round % 5),
                     qPrintable(error));
            const QString mismatch = documentMismatch(document, file);
            QVERIFY2(mismatch.isEmpty(), qPrintable(mismatch));
        }
    }
};

QTEST_GUILESS_MAIN(TestViewDocumentRandom)
#include "tst_view_document_random.moc"
