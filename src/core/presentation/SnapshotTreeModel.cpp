// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a snapshot's folders as they are opened.
#include "core/presentation/SnapshotTreeModel.h"

#include "core/presentation/Formatting.h"
#include "core/restore/SnapshotMap.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

SnapshotTreeModel::SnapshotTreeModel(QObject *parent)
    : QAbstractItemModel(parent)
    , m_root(std::make_unique<Node>())
{
    m_root->fetched = true;
}

SnapshotTreeModel::~SnapshotTreeModel() = default;

void SnapshotTreeModel::setSnapshot(const Server &server, const QString &snapshotFolder)
{
    beginResetModel();
    m_folder = snapshotFolder;
    m_root = std::make_unique<Node>();
    m_root->fetched = true;
    if (!snapshotFolder.isEmpty()) {
        for (const SnapshotMap::Root &root : SnapshotMap::roots(server, snapshotFolder)) {
            auto node = std::make_unique<Node>();
            const QFileInfo info(root.localPath);
            node->name =
                root.known ? root.remotePath : tr("%1 (no path of this server writes here now)").arg(root.name);
            node->localPath = root.localPath;
            node->remotePath = root.remotePath;
            node->isDirectory = info.isDir() && !info.isSymLink();
            node->isLink = info.isSymLink();
            node->size = node->isDirectory ? 0 : info.size();
            node->modified = info.lastModified();
            node->parent = m_root.get();
            node->row = int(m_root->children.size());
            m_root->children.push_back(std::move(node));
        }
    }
    endResetModel();
}

SnapshotTreeModel::Node *SnapshotTreeModel::nodeOf(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : m_root.get();
}

QModelIndex SnapshotTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    if (row < 0 || column < 0 || column >= columnCount_ || row >= int(node->children.size()))
        return {};
    return createIndex(row, column, node->children[size_t(row)].get());
}

QModelIndex SnapshotTreeModel::parent(const QModelIndex &child) const
{
    const Node *node = nodeOf(child);
    if (!child.isValid() || node->parent == m_root.get())
        return {};
    return createIndex(node->parent->row, 0, node->parent);
}

int SnapshotTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int SnapshotTreeModel::columnCount(const QModelIndex &) const
{
    return columnCount_;
}

bool SnapshotTreeModel::hasChildren(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    if (!parent.isValid())
        return !node->children.empty();
    // An unread folder says it may have children; opening it reads it.
    return node->isDirectory && (!node->fetched || !node->children.empty());
}

bool SnapshotTreeModel::canFetchMore(const QModelIndex &parent) const
{
    const Node *node = nodeOf(parent);
    return node->isDirectory && !node->fetched;
}

void SnapshotTreeModel::fetchMore(const QModelIndex &parent)
{
    Node *node = nodeOf(parent);
    if (!node->isDirectory || node->fetched)
        return;
    node->fetched = true;
    const QFileInfoList entries =
        QDir(node->localPath)
            .entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                           QDir::Name | QDir::DirsFirst);
    if (entries.isEmpty())
        return;
    beginInsertRows(parent, 0, int(entries.size()) - 1);
    node->children.reserve(size_t(entries.size()));
    for (const QFileInfo &entry : entries) {
        auto child = std::make_unique<Node>();
        child->name = entry.fileName();
        child->localPath = entry.filePath();
        if (!node->remotePath.isEmpty())
            child->remotePath = node->remotePath == QStringLiteral("/")
                                    ? QString(u'/' + child->name)
                                    : QString(node->remotePath + u'/' + child->name);
        child->isLink = entry.isSymLink();
        child->isDirectory = entry.isDir() && !child->isLink;
        child->size = child->isDirectory ? 0 : entry.size();
        child->modified = entry.lastModified();
        child->parent = node;
        child->row = int(node->children.size());
        node->children.push_back(std::move(child));
    }
    endInsertRows();
}

QVariant SnapshotTreeModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const Node *node = nodeOf(index);
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case nameColumn:
            return node->name;
        case sizeColumn:
            return node->isDirectory ? QString() : QLocale().formattedDataSize(node->size);
        case modifiedColumn:
            return Formatting::shortDateTime(node->modified);
        }
        return {};
    case Qt::ToolTipRole:
        return node->remotePath.isEmpty() ? node->localPath : node->remotePath;
    case localPathRole:
        return node->localPath;
    case remotePathRole:
        return node->remotePath;
    case isDirectoryRole:
        return node->isDirectory;
    default:
        return {};
    }
}

QVariant SnapshotTreeModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case nameColumn:
        return tr("Name");
    case sizeColumn:
        return tr("Size");
    case modifiedColumn:
        return tr("Modified");
    }
    return {};
}
