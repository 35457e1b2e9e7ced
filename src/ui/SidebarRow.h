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
    // `canStart`: whether this server's run button is enabled now.
    SidebarRow(const Server &server, bool isRunning, bool canStart, QWidget *parent = nullptr);

    const Server &server() const { return m_server; }
    bool canRun() const { return m_canStart; }
    QString metaText() const;
    bool runButtonEnabled() const;

Q_SIGNALS:
    void runRequested();

private:
    Server m_server;
    bool m_isRunning;
    bool m_canStart;
    QLabel *m_meta;
    QToolButton *m_run = nullptr;
};
