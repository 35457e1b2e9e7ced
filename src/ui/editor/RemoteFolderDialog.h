// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a remote path by browsing the server's folders.
#pragma once

#include "core/model/Server.h"

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// Lists the server's folders over ssh, starting at the account's home:
// double-click (or Enter) enters a folder, "Up" goes to its parent, and
// "Choose" takes the selected entry, or the folder shown when none is.
class RemoteFolderDialog : public QDialog
{
    Q_OBJECT

public:
    RemoteFolderDialog(const Server &server, QWidget *parent = nullptr);

    // Lists `folder` ("" is the home); the list is replaced when it arrives.
    void showFolder(const QString &folder);
    QString folder() const { return m_folder; }
    bool isListing() const { return m_listing; }
    // What was chosen: an absolute path, and whether it is a folder.
    QString chosenPath() const { return m_chosenPath; }
    bool chosenIsFolder() const { return m_chosenIsFolder; }

Q_SIGNALS:
    // A listing arrived or failed (for tests).
    void listed();

private:
    void enter(QListWidgetItem *item);
    void choose();

    Server m_server;
    QString m_folder;
    bool m_listing = false;
    int m_request = 0;
    QString m_chosenPath;
    bool m_chosenIsFolder = true;
    QLabel *m_path;
    QLabel *m_message;
    QListWidget *m_list;
    QPushButton *m_up;
    QPushButton *m_choose;
};
