#include "dialogs/info_window.h"

#include "dialogs/emblem.h"
#include "widgets/window_look.h"

#include <QLabel>
#include <QPushButton>

namespace qelvrin {

struct InfoWindow::Layout {
    const char* objectName;
    const char* caption;
    QSize clientTwips;
    const char* labelName;
    QRect labelTwips;
    QRect buttonTwips;
    bool withPicture;
};

namespace {

const QRect kAboutPictureTwips(645, 1785, 540, 540);

} // namespace

InfoWindow::InfoWindow(const Layout& layout, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QLatin1String(layout.objectName));
    setWindowTitle(QLatin1String(layout.caption));
    setModal(true);
    setFixedSize(look::toPixels(layout.clientTwips));
    setFont(look::windowFont());
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, look::kLightYellow);
    setPalette(colours);

    m_text = new QLabel(this);
    m_text->setObjectName(QLatin1String(layout.labelName));
    m_text->setGeometry(look::toPixels(layout.labelTwips));
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);

    if (layout.withPicture) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("Picture1"));
        picture->setGeometry(look::toPixels(kAboutPictureTwips));
        picture->setPixmap(drawEmblem(32));
        picture->setAlignment(Qt::AlignCenter);
        picture->raise();
        setWindowIcon(applicationIcon());
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOk"));
    ok->setGeometry(look::toPixels(layout.buttonTwips));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QWidget::hide);
}

InfoWindow* InfoWindow::createAbout(QWidget* parent)
{
    static const Layout layout{"frmAbout", "About Inorganic VQS QELVR", QSize(6060, 3540),
                               "lblAbout", QRect(60, 255, 5970, 3120), QRect(4485, 2730, 1350, 495), true};
    return new InfoWindow(layout, parent);
}

InfoWindow* InfoWindow::createTechSupport(QWidget* parent)
{
    static const Layout layout{"frmTechSupport", "Obtaining Technical Support", QSize(5790, 3810),
                               "lblTechSupp", QRect(360, 480, 5055, 3000), QRect(2385, 2985, 1365, 510), false};
    return new InfoWindow(layout, parent);
}

void InfoWindow::showText(const QString& text)
{
    m_text->setText(text);
    exec();
}

} // namespace qelvrin
