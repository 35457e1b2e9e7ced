// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's last run: when, how it ended, and its log.
#pragma once

#include <atomic>
#include <memory>

#include "ui/editor/EditorSection.h"

class QPushButton;
class RemoteCheck;
class RunPool;

class LastRunSection : public EditorSection
{
    Q_OBJECT

public:
    LastRunSection(const QUuid &serverID, ConfigStore *store, RunPool *runs, QWidget *parent);
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
    // Reads the newest day and the server side by side (rsync --checksum in
    // a dry run); the label tells what differs though size and time agree.
    void checkAgainstServer();
    void showRemoteCheck(const Server &server);
    void showCopies(const Server &server);

    QLabel *m_when;
    // A held mass change, and the user's word that it was expected.
    QLabel *m_held;
    QPushButton *m_accept;
    QLabel *m_status;
    QLabel *m_checked;
    QPushButton *m_check;
    // Set when the section goes: a running check stops and keeps its place.
    std::shared_ptr<std::atomic_bool> m_stopCheck;
    QLabel *m_remoteChecked;
    QLabel *m_copies;
    QWidget *m_copiesRow;
    QPushButton *m_checkRemote;
    // The running check against the server; cancelled when the section goes.
    std::shared_ptr<RemoteCheck> m_remote;
    RunPool *m_runs;
    QPushButton *m_viewLog;
};
