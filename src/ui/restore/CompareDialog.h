// SPDX-License-Identifier: GPL-3.0-or-later
// What changed between two snapshots of a server.
#pragma once

#include "core/model/Server.h"

#include <QDialog>

#include <qcoro/qcorotask.h>

#include <atomic>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

// Two days of a server's backups side by side: the files added, removed and
// changed from the older to the newer, with counts per top-level entry.
// The comparison runs in the background and can be stopped.
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

private:
    QCoro::Task<> run(QString older, QString newer);

    Server m_server;
    QString m_serverFolder;
    QComboBox *m_older;
    QComboBox *m_newer;
    QPushButton *m_start;
    QTreeWidget *m_changes;
    QLabel *m_summary;
    bool m_comparing = false;
    std::shared_ptr<std::atomic<bool>> m_stop;
};
