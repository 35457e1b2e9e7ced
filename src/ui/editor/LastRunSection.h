// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's last run: when, how it ended, and its log.
#pragma once

#include <atomic>
#include <memory>

#include "ui/editor/EditorSection.h"

class QPushButton;

class LastRunSection : public EditorSection
{
    Q_OBJECT

public:
    LastRunSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    ~LastRunSection() override;
    void refresh(const Server &server) override;

Q_SIGNALS:
    void viewLogRequested();

private:
    void acceptChanges();
    // Reads every day's copies against their fingerprints, off the window's
    // thread; the label tells how far it is.
    void checkBackups();
    void showCheck(const Server &server);

    QLabel *m_when;
    // A held mass change, and the user's word that it was expected.
    QLabel *m_held;
    QPushButton *m_accept;
    QLabel *m_status;
    QLabel *m_checked;
    QPushButton *m_check;
    // Set when the section goes: a running check stops and keeps its place.
    std::shared_ptr<std::atomic_bool> m_stopCheck;
    QPushButton *m_viewLog;
};
