#include "settings/global.h"
#include "support/scripted_dialogs.h"
#include "support/temp_drive.h"
#include "viewer/font_command.h"

#include <QTemporaryDir>
#include <QTest>

using namespace qelvrin;
using qelvrin::testing::ScriptedDialogs;
using qelvrin::testing::TempDrive;

namespace {

const QString kIni = QStringLiteral("\\QELVRIN\\PCVQS.INI");
const QByteArray kInstalled = "ViewFontName = Courier New\r\nViewFontSize = 10\r\nViewFontBold = False\r\nViewFontItalic = False\r\n";

// Records the order in which the properties arrive.
class RecordingTarget : public FontTarget {
public:
    FontChoice font() const override { return current; }
    void setFace(const QString& face) override { calls << QStringLiteral("face ") + (current.face = face); }
    void setSize(float points) override { calls << QStringLiteral("size ") + QString::number(current.size = points); }
    void setBold(bool bold) override { calls << QStringLiteral("bold %1").arg(current.bold = bold); }
    void setItalic(bool italic) override { calls << QStringLiteral("italic %1").arg(current.italic = italic); }
    void relayout() override { calls << QStringLiteral("relayout"); }

    FontChoice current{QStringLiteral("Courier New"), 10, false, false};
    QStringList calls;
};

QStringList storedKeys(const Global& settings)
{
    QStringList values;
    for (const char* key : {"ViewFontName", "ViewFontSize", "ViewFontBold", "ViewFontItalic"})
        values << settings.ReadSetting(QLatin1String(key)).value_or(QStringLiteral("<none>"));
    return values;
}

} // namespace

Q_DECLARE_METATYPE(qelvrin::FontChoice)

class TestFontCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fontCommand_data()
    {
        QTest::addColumn<bool>("iniInWorkingDir");
        QTest::addColumn<FontChoice>("choice");
        QTest::addColumn<QStringList>("expectedCalls");
        QTest::addColumn<QString>("expectedMessage"); // empty: none
        QTest::addColumn<QStringList>("expectedStored");

        const FontChoice lucida{QStringLiteral("Lucida Console"), 12.5f, true, false};
        const QStringList applied{"face Lucida Console", "size 12.5", "bold 1", "italic 0"};
        const QStringList old{"Courier New", "10", "False", "False"};
        const QString unusable = QStringLiteral("ERROR 380: Font is not usable by this program.\r\nPlease try a different one.");

        QTest::newRow("new font applied, stored, laid out")
            << true << lucida << (applied + QStringList{"relayout"}) << "" << QStringList{"Lucida Console", "12.5", "True", "False"};
        QTest::newRow("no settings file in the working directory") << false << lucida << applied << "ERROR 53 occurred." << old;
        // Which sizes can be drawn, the viewer's reopening tries; one is refused after the face.
        QTest::newRow("size refused after the face")
            << true << FontChoice{QStringLiteral("Lucida Console"), 0, true, true} << QStringList{"face Lucida Console"} << unusable << old;
        QTest::newRow("no face refused at once") << true << FontChoice{QString(), 9, false, false} << QStringList{} << unusable << old;
    }

    void fontCommand()
    {
        QFETCH(bool, iniInWorkingDir);
        QFETCH(FontChoice, choice);
        QFETCH(QStringList, expectedCalls);
        QFETCH(QString, expectedMessage);
        QFETCH(QStringList, expectedStored);

        TempDrive drive;
        drive.write(kIni, kInstalled);
        QTemporaryDir elsewhere;
        const Global settings(drive.drives(), iniInWorkingDir ? drive.native(QStringLiteral("\\QELVRIN")) : elsewhere.path());
        RecordingTarget target;
        ScriptedDialogs dialogs;
        dialogs.queueFont(choice);

        runFontCommand(dialogs, target, settings);

        QCOMPARE(target.calls, expectedCalls);
        QCOMPARE(storedKeys(settings), expectedStored);
        QCOMPARE(dialogs.boxes(), expectedMessage.isEmpty() ? QStringList()
                                                            : QStringList{ScriptedDialogs::box(expectedMessage, MsgIcon::None, MsgButtons::Ok,
                                                                                               QStringLiteral("QELVRIN: Font Error"))});
    }
};

QTEST_GUILESS_MAIN(TestFontCommand)
#include "tst_font_command.moc"
