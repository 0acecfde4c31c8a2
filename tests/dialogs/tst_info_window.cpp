#include "dialogs/info_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace qelvrin;

class TestInfoWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layout_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QSize>("client");
        QTest::addColumn<QString>("labelName");
        QTest::addColumn<QRect>("label");
        QTest::addColumn<QRect>("button");
        QTest::newRow("About") << true << "frmAbout" << "About Inorganic VQS QELVR" << QSize(404, 236) << "lblAbout"
                               << QRect(4, 17, 398, 208) << QRect(299, 182, 90, 33);
        QTest::newRow("Technical support") << false << "frmTechSupport" << "Obtaining Technical Support" << QSize(386, 254) << "lblTechSupp"
                                           << QRect(24, 32, 337, 200) << QRect(159, 199, 91, 34);
    }
    void layout()
    {
        QFETCH(bool, about);
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QSize, client);
        QFETCH(QString, labelName);
        QFETCH(QRect, label);
        QFETCH(QRect, button);
        QWidget parent;
        InfoWindow* window = about ? InfoWindow::createAbout(&parent) : InfoWindow::createTechSupport(&parent);
        QCOMPARE(window->objectName(), name);
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->size(), client);
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(255, 255, 224));
        QVERIFY(window->font().bold());
        auto* text = window->findChild<QLabel*>(labelName);
        QVERIFY(text);
        QCOMPARE(text->geometry(), label);
        QVERIFY(text->alignment() & Qt::AlignLeft);
        auto* ok = window->findChild<QPushButton*>(QStringLiteral("cmdOk"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), button);
        auto* picture = window->findChild<QLabel*>(QStringLiteral("Picture1"));
        QCOMPARE(picture != nullptr, about);
        if (about) {
            QCOMPARE(picture->geometry(), QRect(43, 119, 36, 36));
            QVERIFY(!window->windowIcon().isNull());
        }
    }

    void ok_hidesButKeepsTheWindow()
    {
        QWidget parent;
        QPointer<InfoWindow> window = InfoWindow::createTechSupport(&parent);
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(window->isVisible());
            QTest::mouseClick(window->findChild<QPushButton*>(QStringLiteral("cmdOk")), Qt::LeftButton);
        });
        window->showText(QStringLiteral("line one\nline two"));
        QVERIFY(window);
        QVERIFY(window->isHidden());
        QCOMPARE(window->textLabel()->text(), QStringLiteral("line one\nline two"));
    }
};

QTEST_MAIN(TestInfoWindow)
#include "tst_info_window.moc"
