// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping the editor's path rows in step with the server's paths.
#include "ui/editor/PathsSection.h"

#include "core/presentation/ServerRules.h"
#include "ui/editor/PathRow.h"
#include "ui/widgets/Icons.h"
#include "ui/widgets/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

PathsSection::PathsSection(const QUuid &serverID, ConfigStore *store, QWidget *parent)
    : EditorSection(QString(), serverID, store, parent)
{
    setObjectName(QStringLiteral("pathsSection"));
    auto *layout = qobject_cast<QVBoxLayout *>(this->layout());
    auto *header = new QHBoxLayout;
    auto *title = new QLabel(tr("Backup paths"), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    m_counter = Style::note(QString(), this);
    m_counter->setObjectName(QStringLiteral("pathCounter"));
    m_counter->setWordWrap(false);
    header->addWidget(title, 1);
    header->addWidget(m_counter);
    layout->addLayout(header);
    m_rowLayout = new QVBoxLayout;
    m_rowLayout->setSpacing(10);
    layout->addLayout(m_rowLayout);
    m_add = new QPushButton(Icons::get(QStringLiteral("list-add")), tr("Add path"), this);
    m_add->setObjectName(QStringLiteral("addPath"));
    auto *addLine = new QHBoxLayout;
    addLine->addWidget(m_add);
    addLine->addStretch(1);
    layout->addLayout(addLine);
    connect(m_add, &QPushButton::clicked, this, &PathsSection::addPath);
}

void PathsSection::addPath()
{
    BackupPath path;
    path.name = newPathName();
    edit([&](Server &s) { s.paths.append(path); });
    // The new row, in view and with its name ready to be typed over.
    PathRow *row = m_rows.value(path.id);
    if (!row)
        return;
    if (auto *name = row->findChild<QLineEdit *>(QStringLiteral("pathName"))) {
        name->setFocus(Qt::OtherFocusReason);
        name->selectAll();
    }
    QTimer::singleShot(0, row, [row] {
        for (QWidget *up = row->parentWidget(); up; up = up->parentWidget()) {
            if (auto *scroll = qobject_cast<QScrollArea *>(up)) {
                scroll->ensureWidgetVisible(row);
                break;
            }
        }
    });
}

void PathsSection::setProblems(const QHash<QUuid, QString> &problems)
{
    if (problems == m_problems)
        return;
    m_problems = problems;
    for (auto it = m_rows.begin(); it != m_rows.end(); ++it) {
        for (const BackupPath &path : std::as_const(m_shown.paths)) {
            if (path.id == it.key())
                it.value()->setPath(path, m_problems.value(path.id));
        }
    }
}

void PathsSection::refresh(const Server &server)
{
    m_counter->setText(tr("%1 enabled of %2").arg(ServerRules::enabledPathCount(server)).arg(server.paths.size()));
    QHash<QUuid, PathRow *> kept;
    bool arranged = false;
    for (int i = 0; i < server.paths.size(); ++i) {
        const BackupPath &path = server.paths.at(i);
        PathRow *row = m_rows.take(path.id);
        const bool isNew = !row;
        if (isNew) {
            row = new PathRow(path, this);
            connect(row, &PathRow::edited, this,
                    [this](const QUuid &id, const std::function<void(BackupPath &)> &change) {
                        edit([&](Server &s) {
                            for (BackupPath &p : s.paths) {
                                if (p.id == id)
                                    change(p);
                            }
                        });
                    });
            connect(row, &PathRow::previewRequested, this, &PathsSection::previewRequested);
            connect(row, &PathRow::browseRequested, this, &PathsSection::browseRequested);
            connect(row, &PathRow::removeRequested, this, [this](const QUuid &id) {
                edit([&](Server &s) { s.paths.removeIf([&](const BackupPath &p) { return p.id == id; }); });
            });
        }
        if (m_rowLayout->indexOf(row) != i) {
            m_rowLayout->removeWidget(row);
            m_rowLayout->insertWidget(i, row);
            arranged = true;
        }
        if (isNew || i >= m_shown.paths.size() || !(m_shown.paths.at(i) == path))
            row->setPath(path, m_problems.value(path.id));
        kept.insert(path.id, row);
    }
    // Rows of removed paths go; one may be the sender of its own removal.
    for (PathRow *gone : std::as_const(m_rows)) {
        m_rowLayout->removeWidget(gone);
        gone->hide();
        gone->deleteLater();
    }
    m_rows = kept;
    m_shown = server;
    // Rows are made after the sections below them: Tab is told to visit
    // them here, in their order, after what comes before this section and
    // before "Add path".
    if (arranged) {
        QWidget *previous = m_add->previousInFocusChain();
        while (previous != m_add && (previous->focusPolicy() == Qt::NoFocus || isAncestorOf(previous)))
            previous = previous->previousInFocusChain();
        for (int i = 0; i < m_rowLayout->count(); ++i) {
            if (auto *row = qobject_cast<PathRow *>(m_rowLayout->itemAt(i)->widget())) {
                for (QWidget *control : row->tabChain()) {
                    setTabOrder(previous, control);
                    previous = control;
                }
            }
        }
        setTabOrder(previous, m_add);
    }
}

void PathsSection::setRemotePath(const QUuid &pathID, const QString &remotePath, bool isFolder)
{
    edit([&](Server &s) {
        for (BackupPath &p : s.paths) {
            if (p.id == pathID) {
                p.remotePath = remotePath;
                p.isDirectory = isFolder;
                // A path without a label of its own is named after what was chosen.
                if (p.name.trimmed().isEmpty() || p.name == newPathName())
                    p.name = remotePath == QStringLiteral("/") ? remotePath : remotePath.section(u'/', -1);
            }
        }
    });
}
