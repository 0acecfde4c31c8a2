#include "support/viewer_fixture.h"

#include "settings/global.h"

#include <QPlainTextEdit>
#include <QScrollBar>

using namespace qelvrin;
using namespace qelvrin::testing;

namespace {

const QString kLog = QStringLiteral("\\QELVRIN\\DLOADJCL.LOG");
const QString kReport = QStringLiteral("\\QELVRIN\\SDEFECT.TXT");
const FontChoice kChosen{QStringLiteral("DejaVu Sans Mono"), 20, true, true};

void verifyFont(const ViewFile& view, const FontChoice& expected)
{
    const QFont font = view.text1()->font();
    QCOMPARE(font.family(), expected.face);
    QCOMPARE(font.pointSizeF(), qreal(expected.size));
    QCOMPARE(font.bold(), expected.bold);
    QCOMPARE(font.italic(), expected.italic);
}

} // namespace

class TestViewFonts : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewerFixture> m_fixture;

    ViewFile& reopen(const QString& dosPath)
    {
        m_fixture->launcher->window()->mnuexit_Click();
        if (!QTest::qWaitFor([this] { return !m_fixture->launcher->window(); }))
            qFatal("the viewer did not close");
        return m_fixture->open(dosPath, numberedLines(40));
    }

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<ViewerFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void chosenFont_isShownStored_andOpensTheNextViewer()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(40));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.vscroll1()->setValue(7);
        const int pageStep = view.vscroll1()->pageStep();
        m_fixture->dialogs.queueFont(kChosen);

        view.findChild<QAction*>(QStringLiteral("mnufonts"))->trigger();

        QCOMPARE(m_fixture->dialogs.calls().first().font.face, QStringLiteral("Courier New"));
        verifyFont(view, kChosen);
        QVERIFY(view.vscroll1()->pageStep() < pageStep); // laid out for the bigger font
        QCOMPARE(view.vscroll1()->value(), 7);
        QCOMPARE(m_fixture->drive.read(kSettingsFile),
                 QByteArray("ViewFontName = DejaVu Sans Mono\r\nViewFontSize = 20\r\nViewFontBold = True\r\n"
                            "ViewFontItalic = True\r\n"));

        verifyFont(reopen(kReport), kChosen);
    }
};

QTEST_MAIN(TestViewFonts)
#include "tst_view_fonts.moc"
