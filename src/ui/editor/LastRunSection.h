// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's last run: when, how it ended, and its log.
#pragma once

#include "ui/editor/EditorSection.h"

class QPushButton;

class LastRunSection : public EditorSection
{
    Q_OBJECT

public:
    LastRunSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    void refresh(const Server &server) override;

Q_SIGNALS:
    void viewLogRequested();

private:
    void acceptChanges();

    QLabel *m_when;
    // A held mass change, and the user's word that it was expected.
    QLabel *m_held;
    QPushButton *m_accept;
    QLabel *m_status;
    QPushButton *m_viewLog;
};
