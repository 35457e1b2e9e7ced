// SPDX-License-Identifier: GPL-3.0-or-later
// A snapshot's files as a tree, read one folder at a time.
#pragma once

#include "core/model/Server.h"

#include <QAbstractItemModel>
#include <QDateTime>

#include <memory>
#include <vector>

// The files of one snapshot for a tree view: the top-level rows are the
// server's paths, named by the remote paths they were copied from; below
// them the snapshot's own files. A folder is read when it is first opened
// (canFetchMore/fetchMore), so a snapshot of any size shows at once.
class SnapshotTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Column { nameColumn, sizeColumn, modifiedColumn, columnCount_ };
    enum Role { localPathRole = Qt::UserRole + 1, remotePathRole, isDirectoryRole };

    explicit SnapshotTreeModel(QObject *parent = nullptr);
    ~SnapshotTreeModel() override;

    // Shows this snapshot of the server (empty folder: nothing).
    void setSnapshot(const Server &server, const QString &snapshotFolder);
    QString snapshotFolder() const { return m_folder; }

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Node
    {
        QString name; // as shown
        QString localPath;
        QString remotePath; // empty for a folder no path writes to now
        bool isDirectory = false;
        bool isLink = false;
        qint64 size = 0;
        QDateTime modified;
        bool fetched = false;
        Node *parent = nullptr;
        int row = 0;
        std::vector<std::unique_ptr<Node>> children;
    };

    Node *nodeOf(const QModelIndex &index) const;

    std::unique_ptr<Node> m_root;
    QString m_folder;
};
