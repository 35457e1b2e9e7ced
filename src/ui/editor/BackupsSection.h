// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's list of a server's backups: dated folders and whether each is complete.
#pragma once

#include "core/system/EncryptedFolder.h"

#include <QGroupBox>
#include <QUuid>

class ConfigStore;
class QLabel;
class QTreeWidget;

// Newest first: the date, "complete" or "incomplete", and "Open", which asks
// for the folder to be shown in the file manager. Without date folders the
// one server folder. Reads names and markers only, so it stays instant with
// hundreds of backups; it is read again when the folder it lists changes and
// when refresh() is called (after a run).
class BackupsSection : public QGroupBox
{
    Q_OBJECT

public:
    BackupsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent = nullptr);

    void refresh();
    // Rows as shown, "2025-01-31 complete", for tests.
    QStringList rows() const;

Q_SIGNALS:
    void openRequested(const QString &folder);
    // "Browse…": the restore window on this day's backup.
    void browseRequested(const QString &date);

private:
    void refreshIfMoved();
    // Whether the days can be listed now; opens an encrypted destination's
    // view first (and lists them once it is open).
    bool holdView();

    QUuid m_id;
    ConfigStore *m_store;
    QString m_shownFolder;
    bool m_shownDated = false;
    QTreeWidget *m_list;
    QLabel *m_empty;
    PlainView m_view;
    bool m_opening = false;
};
