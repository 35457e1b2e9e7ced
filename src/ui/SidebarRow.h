// One server in the sidebar list.
#pragma once

#include "core/model/Server.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QToolButton;

// One server in the sidebar: name, schedule mark, meta line, and the run
// button (a spinner while this server runs).
class SidebarRow : public QWidget
{
    Q_OBJECT

public:
    SidebarRow(const Server &server, bool isRunning, bool runnerBusy, QWidget *parent = nullptr);

    const Server &server() const { return m_server; }
    // The row's own rule: not busy, host, user and a runnable path.
    bool canRun() const;
    QString metaText() const;
    bool runButtonEnabled() const;

Q_SIGNALS:
    void runRequested();

private:
    Server m_server;
    bool m_isRunning;
    bool m_runnerBusy;
    QLabel *m_meta;
    QToolButton *m_run = nullptr;
};
