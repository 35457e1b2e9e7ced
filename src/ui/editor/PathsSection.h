// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's list of backup paths.
#pragma once

#include "ui/editor/EditorSection.h"

#include <QHash>

class PathRow;
class QPushButton;
class QVBoxLayout;

// A row per path, kept for the path's id: an edit updates its row in place,
// adding or removing a path adds or removes one row.
class PathsSection : public EditorSection
{
    Q_OBJECT

public:
    PathsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);

    void refresh(const Server &server) override;
    // What a run would refuse about each path (by path id).
    void setProblems(const QHash<QUuid, QString> &problems);
    // The label "Add path" gives a new path.
    static QString newPathName() { return QStringLiteral("New path"); }
    void addPath();
    // What the remote folder browser chose for a path (and its label, when it has none).
    void setRemotePath(const QUuid &pathID, const QString &remotePath, bool isFolder);
    PathRow *row(const QUuid &pathID) const { return m_rows.value(pathID); }

Q_SIGNALS:
    void previewRequested(const QUuid &pathID);
    void browseRequested(const QUuid &pathID);

private:
    QLabel *m_counter;
    QPushButton *m_add;
    QVBoxLayout *m_rowLayout;
    QHash<QUuid, PathRow *> m_rows;
    QHash<QUuid, QString> m_problems;
    Server m_shown;
};
