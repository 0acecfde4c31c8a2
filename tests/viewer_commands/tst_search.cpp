#include "viewer/search_command.h"
#include "viewer/search_scan.h"
#include "viewer/search_state.h"

#include "search_reference.h"
#include "support/file_writer.h"
#include "support/numbered_lines.h"
#include "support/scripted_dialogs.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::numberedLines;
using qelvrin::testing::referenceFind;
using qelvrin::testing::ScriptedDialogs;

namespace {

qint64 foundLine(const LineSearchResult& result)
{
    if (result.outcome == LineSearchResult::Outcome::Unreadable)
        qFatal("unexpected unreadable file: %s", qPrintable(result.error));
    return result.outcome == LineSearchResult::Outcome::Found ? result.line : 0;
}

// A view of the file's lines, first line `first`, as the scroll bar holds it.
class FakeView : public SearchView {
public:
    FakeView(qint64 first, qint64 lines) : first(first), lines(lines) {}

    qint64 firstLine() const override { return first; }
    qint64 lineCount() const override { return lines; }
    void showLine(qint64 line) override { first = line; }
    void reloadAt(qint64) override { QFAIL("no reload expected"); }
    void setBusy(bool on) override { everBusy = everBusy || on, busy += on ? 1 : -1; }
    void findOffThread(std::function<LineSearchResult(const std::atomic_bool&)> find,
                       std::function<void(const LineSearchResult&)> then) override
    {
        const std::atomic_bool goOn{false};
        then(find(goOn));
    }

    qint64 first;
    qint64 lines;
    int busy = 0;
    bool everBusy = false;
};

const QString kCancel = QStringLiteral("<cancel>");
const QString kTitle = QStringLiteral("QELVRIN: Search");

QString question(const QString& upper)
{
    return upper + QStringLiteral(" not found\rDo you want to start looking from the top ?");
}

QString notInFile(const QString& upper)
{
    return upper + QStringLiteral(" not in file\r");
}

} // namespace

// The scan that finds a line, then the command around it: the operator's
// boxes, the hourglass and the line shown.
class TestSearch : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString writeFile(const QByteArray& bytes) { return qelvrin::testing::writeFile(m_dir, QStringLiteral("IASMTJCL.LOG"), bytes); }

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
            QVERIFY2(actual == expected, qPrintable(QStringLiteral("seed %1: line %2, line by line %3").arg(seed).arg(actual).arg(expected)));
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
    }

    void search_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<QString>("text");        // SearchText before
        QTest::addColumn<bool>("again");          // SearchAgain before (F3, keyword)
        QTest::addColumn<QString>("input");       // typed in the input box, or kCancel
        QTest::addColumn<QList<bool>>("answers"); // OK (true) or Cancel to the question
        QTest::addColumn<qint64>("expectedFirst");
        QTest::addColumn<QStringList>("expectedMessages");
        QTest::addColumn<QString>("expectedText");

        const auto row = [](const char* name, const QByteArray& bytes, qint64 start, const QString& text, bool again, const QString& input,
                            const QList<bool>& answers, qint64 first, const QStringList& messages, const QString& after) {
            QTest::newRow(name) << bytes << start << text << again << input << answers << first << messages << after;
        };
        const QByteArray twice = "a\r\nab ab ab\r\nab\r\n";
        const QString key = QStringLiteral("key");
        row("several in a line found once", twice, 1, "", false, "AB", {}, 2, {}, "AB");
        row("hit right below moves one line", numberedLines(10, {{6, " key"}}), 5, key, true, "", {}, 6, {}, key);
        row("only line 1 from line 1", numberedLines(10, {{1, " key"}}), 1, key, true, "", {}, 1, {notInFile("KEY")}, key);
        row("line 10 from 40, OK", numberedLines(60, {{10, " key"}}), 40, key, true, "", {true}, 10, {question("KEY")}, key);
        row("line 10 from 40, Cancel", numberedLines(60, {{10, " key"}}), 40, key, true, "", {false}, 40,
            {question("KEY"), notInFile("KEY")}, key);
        row("only on the first line shown", numberedLines(30, {{20, " key"}}), 20, key, true, "", {true}, 20, {question("KEY")}, key);
        row("F3 before any search", numberedLines(5, {{3, " key"}}), 1, "", true, "", {}, 1, {}, "");
        row("Cancel empties the text", numberedLines(5, {{3, " key"}}), 1, key, false, kCancel, {}, 1, {}, "");
        row("scroll value 0 compares line 1", numberedLines(5, {{1, " key"}}), 0, key, true, "", {}, 1, {}, key);
    }
    void search()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(qint64, start);
        QFETCH(QString, text);
        QFETCH(bool, again);
        QFETCH(QString, input);
        QFETCH(QList<bool>, answers);
        QFETCH(qint64, expectedFirst);
        QFETCH(QStringList, expectedMessages);
        QFETCH(QString, expectedText);
        const auto shared = std::make_shared<FakeView>(start, bytes.count('\n'));
        FakeView& view = *shared;
        SearchState state{text, again};
        ScriptedDialogs dialogs;
        if (!again)
            dialogs.queueInput(input == kCancel ? std::nullopt : std::optional<QString>(input));
        for (const bool ok : answers)
            dialogs.queueAnswer(ok ? Answer::Ok : Answer::Cancel);
        // The hourglass stays while the search's boxes are up.
        QList<bool> busyAtBox;
        dialogs.onCall = [&](const ScriptedDialogs::Call& call) {
            if (call.kind == ScriptedDialogs::Kind::Message)
                busyAtBox << (view.busy > 0);
        };

        runSearch(state, dialogs, shared, {QStringLiteral("\\QELVRIN\\IASMTJCL.LOG"), writeFile(bytes)});

        QCOMPARE(view.first, expectedFirst);
        QCOMPARE(state.SearchText, expectedText);
        QVERIFY(!state.SearchAgain);
        QVERIFY(dialogs.allAnswersUsed());
        QCOMPARE(view.busy, 0);
        QCOMPARE(view.everBusy, !expectedText.isEmpty());
        QStringList boxes;
        for (const QString& message : expectedMessages)
            boxes << ScriptedDialogs::box(message, MsgIcon::None, message.endsWith(u'?') ? MsgButtons::OkCancel : MsgButtons::Ok, kTitle);
        QCOMPARE(dialogs.boxes(), boxes);
        QCOMPARE(busyAtBox, QList<bool>(boxes.size(), true));
        if (!again)
            QCOMPARE(dialogs.calls().first().defaultText, text);
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
