// SPDX-License-Identifier: GPL-3.0-or-later
// One server on the dashboard.
#pragma once

#include "core/model/Server.h"

#include <QDateTime>
#include <QFrame>
#include <QUuid>

class ElidedLabel;
class QLabel;
class QPushButton;

// A card with the server's health, host, last and next run and paths, and
// buttons to run it now or configure it. Updated in place: setServer() changes
// only the texts and states that differ.
class ServerCard : public QFrame
{
    Q_OBJECT

public:
    struct State
    {
        bool running = false;
        bool canStart = false;
        // Its run is one of this process's: the run button shows it.
        bool runningHere = false;
        // That run waits for a free run slot.
        bool waiting = false;
        QString scheduleProblem;
        QDateTime nextRun;
        QDateTime now;
        // Where the server's second copies stand: "offsite: up to 2026-12-06"; empty: no copies.
        QString copies;
    };

    ServerCard(const QUuid &serverID, QWidget *parent = nullptr);

    void setServer(const Server &server, const State &state);
    QUuid serverID() const { return m_id; }
    // How many times setServer() ran; tests check that an edit touches one card.
    int revision() const { return m_revision; }

Q_SIGNALS:
    void selectRequested(const QUuid &serverID);
    // Run now, or show the run while it is one of this process's.
    void runRequested(const QUuid &serverID);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLabel *addRow(const QString &label, const QString &objectName);

    QUuid m_id;
    int m_revision = 0;
    QColor m_tint;
    int m_healthKind = -1;
    bool m_showsRun = false;
    Server m_server;
    State m_state;
    QLabel *m_icon;
    ElidedLabel *m_name;
    QLabel *m_clock;
    QLabel *m_health;
    QLabel *m_problem;
    QLabel *m_host;
    QLabel *m_lastRun;
    QList<QLabel *> m_captions;
    bool m_clockBroken = false;
    QLabel *m_nextLabel;
    QLabel *m_next;
    QLabel *m_paths;
    QLabel *m_copiesLabel;
    QLabel *m_copies;
    QPushButton *m_run;
    QWidget *m_rows;
};
