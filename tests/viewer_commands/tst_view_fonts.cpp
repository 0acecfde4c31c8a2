#include "support/viewer_fixture.h"

#include "settings/global.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>

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
    void cleanup()
    {
        QVERIFY(m_fixture->dialogs.allAnswersUsed());
        m_fixture.reset();
    }

    void chosenFont_isShownStored_andOpensTheNextViewer()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(40));
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.vscroll1()->setValue(7);
        const int pageStep = view.vscroll1()->pageStep();
        m_fixture->dialogs.queueFont(kChosen);

        view.findChild<QAction*>(QStringLiteral("mnufonts"))->trigger();

        const FontChoice offered = m_fixture->dialogs.calls().first().font;
        QVERIFY(offered.face == QStringLiteral("Courier New") && offered.size == 10.0f && !offered.bold && !offered.italic);
        QVERIFY(m_fixture->dialogs.messages().isEmpty());
        verifyFont(view, kChosen);
        QVERIFY(view.vscroll1()->pageStep() < pageStep); // laid out for the bigger font
        QCOMPARE(view.vscroll1()->value(), 7);
        QCOMPARE(m_fixture->drive.read(kSettingsFile),
                 QByteArray("ViewFontName = DejaVu Sans Mono\r\nViewFontSize = 20\r\nViewFontBold = True\r\n"
                            "ViewFontItalic = True\r\n"));

        verifyFont(reopen(kReport), kChosen);
    }

    void cancel_changesNothing()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(40));
        const QFont before = view.text1()->font();
        m_fixture->dialogs.queueFont(std::nullopt);

        view.mnufonts_Click();

        QCOMPARE(view.text1()->font(), before);
        QVERIFY(m_fixture->dialogs.messages().isEmpty());
        QCOMPARE(m_fixture->drive.read(kSettingsFile), kInstalledFont);
    }

    void noSettingsInTheWorkingDirectory_reports53_andTheNextViewerKeepsTheOldFont()
    {
        ViewFile& view = m_fixture->open(kLog, numberedLines(40));
        const FontChoice installed{QStringLiteral("Courier New"), 10, false, false};
        QTemporaryDir elsewhere;
        QDir::setCurrent(elsewhere.path());
        m_fixture->dialogs.queueFont(kChosen);

        view.mnufonts_Click();

        verifyFont(view, kChosen);
        QCOMPARE(m_fixture->dialogs.boxes(), QStringList{ScriptedDialogs::box(QStringLiteral("ERROR 53 occurred."), MsgIcon::None,
                                                                               MsgButtons::Ok, QStringLiteral("QELVRIN: Font Error"))});
        QCOMPARE(m_fixture->drive.read(kSettingsFile), kInstalledFont);

        verifyFont(reopen(kReport), installed);
    }
};

QTEST_MAIN(TestViewFonts)
#include "tst_view_fonts.moc"
