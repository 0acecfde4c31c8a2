#pragma once

#include "platform/drive_map.h"

#include <QFileDialog>
#include <QList>
#include <QUrl>

#include <utility>

namespace qelvrin {

// The file-open dialog with the diskette drives of the drive map: A: and B:
// stand in its sidebar under those names when they are mapped, and a typed
// DOS name ("A:\M12345.I01", any letter case) opens through the map.
class DisketteFileDialog : public QFileDialog {
public:
    DisketteFileDialog(QWidget* parent, const QString& title, const QString& directory, const DriveMap& drives);

    void accept() override;

private:
    void nameDrives();

    DriveMap m_drives;
    QList<std::pair<QUrl, QString>> m_named; // sidebar place and its drive name
};

} // namespace qelvrin
