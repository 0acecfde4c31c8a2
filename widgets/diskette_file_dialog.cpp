#include "widgets/diskette_file_dialog.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>

#include <utility>

namespace qelvrin {

namespace {

// Where the sidebar keeps a place's address.
constexpr int kSidebarUrlRole = Qt::UserRole + 1;

} // namespace

DisketteFileDialog::DisketteFileDialog(QWidget* parent, const QString& title, const QString& directory, const DriveMap& drives)
    : QFileDialog(parent, title, directory), m_drives(drives)
{
    // The built-in dialog: the sidebar and the typed name are its own.
    setOption(QFileDialog::DontUseNativeDialog);
    QList<QUrl> places = sidebarUrls();
    for (const auto& [letter, dir] : {std::pair{QStringLiteral("A:"), drives.driveA()}, std::pair{QStringLiteral("B:"), drives.driveB()}}) {
        if (dir.isEmpty())
            continue;
        const QUrl place = QUrl::fromLocalFile(dir);
        places.append(place);
        m_named.append({place, letter});
    }
    setSidebarUrls(places);
    if (auto* sidebar = findChild<QListView*>(QStringLiteral("sidebar")); sidebar && sidebar->model()) {
        // The sidebar names a place after its folder, and does so again
        // whenever the folder changes: the drive's name is put back each time.
        connect(sidebar->model(), &QAbstractItemModel::dataChanged, this, &DisketteFileDialog::nameDrives);
        nameDrives();
    }
}

void DisketteFileDialog::nameDrives()
{
    auto* sidebar = findChild<QListView*>(QStringLiteral("sidebar"));
    QAbstractItemModel* model = sidebar->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        for (const auto& [place, letter] : std::as_const(m_named)) {
            if (index.data(kSidebarUrlRole).toUrl() == place && index.data().toString() != letter)
                model->setData(index, letter, Qt::DisplayRole);
        }
    }
}

void DisketteFileDialog::accept()
{
    static const QRegularExpression dosName(QStringLiteral("^[A-Za-z]:\\\\"));
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")); edit && dosName.match(edit->text().trimmed()).hasMatch()) {
        // A name that leads to no file stays as typed, and the dialog says
        // it is not found.
        const QString native = m_drives.toNativeNoCase(edit->text().trimmed());
        if (!native.isEmpty() && QFileInfo::exists(native))
            edit->setText(native);
    }
    QFileDialog::accept();
}

} // namespace qelvrin
