// SPDX-License-Identifier: GPL-3.0-or-later
// The way back: a server's snapshots, their files, and restores.
#pragma once

#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/FileLock.h"
#include "ui/widgets/AppContext.h"

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <memory>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSplitter;
class QStackedWidget;
class QTreeView;
class QTreeWidget;
class QVBoxLayout;
class SnapshotSearch;
class QCheckBox;
class SnapshotTreeModel;
struct Server;

// One window per server: its snapshots on the left (newest first, complete
// or not), the selected one's files on the right as the remote paths they
// came from, read a folder at a time. Find searches the snapshot in the
// background; Versions lists every copy of a file across the snapshots;
// Compare shows what changed between two days; the restore buttons put the
// selected files back on this computer or on the server.
class RestoreView : public QDialog
{
    Q_OBJECT

public:
    RestoreView(const QUuid &serverID, const AppContext &context, QWidget *parent = nullptr);
    ~RestoreView() override;

    // Selects a snapshot by its date (yyyy-MM-dd); false when there is none.
    bool selectSnapshot(const QString &date);
    QString selectedSnapshot() const;
    // The selected files' remote paths (or local ones, for folders no path writes to).
    QStringList selectedItems() const;
    // For tests: what the tree shows at the top, and the search results.
    QStringList topLevelNames() const;
    QStringList searchResults() const;
    QString statusText() const;

    void openVersions();
    void openCompare();
    void restoreToComputer();
    void restoreToServer();
    // One file or folder as one backup has it (from Versions or Compare).
    void restoreVersion(const QString &date, const QString &localPath, const QString &remotePath, bool toServer);

private:
    void connectSearch();
    void buildButtons(QVBoxLayout *layout);
    void buildSource(QVBoxLayout *layout);
    void buildBrowser(QSplitter *splitter);
    struct Selected
    {
        QString localPath;
        QString remotePath;
        bool isDirectory = false;
        QString snapshot; // the backup it is taken from
    };
    Server server() const;
    QString serverFolder() const;
    void refreshSnapshots();
    void listSnapshots();
    // The encrypted folder the chosen source lies in, if it is one.
    std::optional<PlainView::Request> viewRequest() const;
    void showSnapshot();
    void search(const QString &text);
    QList<Selected> selection() const;
    void setStatus(const QString &text);
    bool confirmIncomplete(const QString &snapshot);
    // The one backup the items come from; none (and it is said) when several.
    std::optional<QString> snapshotOf(const QList<Selected> &items);
    // A restore runs in steps, and asks its questions between them, never
    // inside a coroutine: a modal dialog there would turn the event loop
    // while the coroutine waits on it.
    void askLocalTarget(const QList<Selected> &items, const QString &date);
    QCoro::Task<> planLocal(QList<LocalRestore::Item> sources, QString folder, LocalRestore::Options options,
                            QString date);
    void askConflicts(const LocalRestore::Plan &plan, const QString &date);
    QCoro::Task<> copyLocal(LocalRestore::Plan plan, QHash<QString, LocalRestore::Choice> choices, QString date);
    static QString localOutcomeText(const LocalRestore::Outcome &outcome, const QString &folder);
    void startServerRestore(const QList<Selected> &items, const std::optional<QString> &folder, const QString &date);
    QCoro::Task<> previewOnServer(ServerRestore::Request request, ServerRestore *restore);
    void confirmOnServer(const ServerRestore::Request &request, const ServerRestore::Preview &preview,
                         QPointer<ServerRestore> restore);
    QCoro::Task<> runOnServer(ServerRestore::Request request, ServerRestore *restore);

    QUuid m_id;
    AppContext m_context;
    QComboBox *m_source;
    QListWidget *m_snapshots;
    QLineEdit *m_find;
    QCheckBox *m_everyBackup;
    QStackedWidget *m_stack;
    QTreeView *m_tree;
    QTreeWidget *m_results;
    QLabel *m_status;
    QPushButton *m_versions;
    QPushButton *m_compare;
    QPushButton *m_toComputer;
    QPushButton *m_toServer;
    SnapshotTreeModel *m_model;
    SnapshotSearch *m_search;
    QPointer<ServerRestore> m_restore;
    // The run lock a restore to this computer holds from its plan to its end.
    std::shared_ptr<FileLock> m_localLock;
    PlainView m_view;
    QString m_viewOf; // the cipher folder m_view is (being) opened for
};
