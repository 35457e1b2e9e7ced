// SPDX-License-Identifier: GPL-3.0-or-later
// What changed between two snapshots of a server.
#pragma once

#include "core/model/Server.h"

#include <QDialog>

#include <qcoro/qcorotask.h>

#include <atomic>
#include <memory>
#include <optional>
#include <utility>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QVBoxLayout;

// Two days of a server's backups side by side: the files added, removed and
// changed from the older to the newer, with counts per top-level entry.
// The comparison runs in the background and can be stopped. A changed file's
// changes can be shown, and a listed file restored as it was.
class CompareDialog : public QDialog
{
    Q_OBJECT

public:
    CompareDialog(const Server &server, const QString &serverFolder, QWidget *parent);
    ~CompareDialog() override;

    void setDates(const QString &older, const QString &newer);
    void compare();
    bool isComparing() const { return m_comparing; }
    // For tests: "changed /path" lines, and the counts line.
    QStringList rows() const;
    QString summary() const;
    void selectRow(int row);
    // The selected changed file: its two versions side by side.
    void showChanges();

Q_SIGNALS:
    // The selected file as the newer day has it (the older, for one removed).
    void restoreRequested(const QString &date, const QString &localPath, const QString &remotePath, bool toServer);

private:
    QCoro::Task<> run(QString older, QString newer);
    void buildActions(QVBoxLayout *layout);
    void followSelection();
    void requestRestore(bool toServer);
    // The selected row's file in the older or the newer backup compared.
    std::optional<QString> localPath(bool newer) const;

    Server m_server;
    QString m_serverFolder;
    QComboBox *m_older;
    QComboBox *m_newer;
    QPushButton *m_start;
    QTreeWidget *m_changes;
    QPushButton *m_showChanges;
    QPushButton *m_toComputer;
    QPushButton *m_toServer;
    // The two backups of the list shown: name and folder.
    std::pair<QString, QString> m_shownOlder;
    std::pair<QString, QString> m_shownNewer;
    QLabel *m_summary;
    bool m_comparing = false;
    std::shared_ptr<std::atomic<bool>> m_stop;
};
