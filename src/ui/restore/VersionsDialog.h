// SPDX-License-Identifier: GPL-3.0-or-later
// Every version of one file across a server's snapshots.
#pragma once

#include "core/model/Server.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// The versions of one remote path (see VersionFinder): when each was backed
// up (from, to), its size and modification time; the selected one can be
// restored to this computer or to the server, and its changes from the
// version before it shown.
class VersionsDialog : public QDialog
{
    Q_OBJECT

public:
    VersionsDialog(const Server &server, const QString &serverFolder, const QString &remotePath, QWidget *parent);

    // For tests: one line per version as shown.
    QStringList rows() const;
    void selectRow(int row);
    QPushButton *changesButton() const { return m_changes; }

Q_SIGNALS:
    void restoreRequested(const QString &date, const QString &localPath, const QString &remotePath, bool toServer);

private:
    void requestRestore(bool toServer);
    // The selected version against the one before it.
    void showChanges();

    QString m_remotePath;
    QTreeWidget *m_list;
    QPushButton *m_changes;
};
