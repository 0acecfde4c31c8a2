#include "dialogs/info_text.h"

#include <QStringList>

namespace qelvrin {

namespace {

const QString kProduct = QStringLiteral("Inorganic");
const QString kSystem = QStringLiteral(" Quorvane System ");
const QString kShortName = QStringLiteral("QELVR");
const QString kVersion = QStringLiteral("Version " QELVRIN_RELEASE);

const QString kMaker = QStringLiteral("Northwind Assay Systems");
const QString kClientAndContract = QStringLiteral("for Lakes County, contract 94-117");
const QString kStreet = QStringLiteral("1400 Harbor Loop, Suite 12");
const QString kCityStateZip = QStringLiteral("Eastport, ME 04999");
const QString kPhone = QStringLiteral("(207) 555-0142");
const QString kSupportOrganisation = QStringLiteral("Laboratory Software Group");
const QString kSupportService = QStringLiteral("Assessment Help Desk");

QString indented(int spaces, const QString& text)
{
    return QString(spaces, QLatin1Char(' ')) + text;
}

} // namespace

QString composeAboutText()
{
    const QStringList lines{
        kProduct + kSystem + kShortName + QStringLiteral(" ") + kVersion,
        QString(),
        QStringLiteral("Prepared by ") + kMaker + QStringLiteral(" ") + kClientAndContract,
        QString(),
        QString(),
        QString(),
        QString(),
        QString(),
        indented(30, kMaker),
        indented(30, kStreet),
        indented(30, kCityStateZip),
        indented(30, kPhone),
    };
    return lines.join(QLatin1Char('\n'));
}

QString composeTechSupportText()
{
    const QStringList lines{
        kProduct + kSystem + kShortName,
        QString(),
        indented(30, kVersion),
        QString(),
        QString(),
        QStringLiteral(" If you have any questions or problems please contact:"),
        QString(),
        indented(3, kMaker),
        indented(3, kSupportOrganisation),
        indented(3, kSupportService),
        indented(3, kStreet + QStringLiteral(", ") + kCityStateZip),
        indented(3, kPhone),
    };
    return lines.join(QLatin1Char('\n'));
}

} // namespace qelvrin
