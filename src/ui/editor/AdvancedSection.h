// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's advanced settings: what the copies keep, and the server's rsync.
#pragma once

#include "core/ssh/SudoCheck.h"
#include "ui/editor/EditorSection.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

// Hard links, ACLs, extended attributes, owners, numeric ids and sparse
// files; how days are made (hard links or btrfs snapshots); the server's rsync and whether it runs through sudo, with a
// check of sudo that shows the sudoers line to add. Says what this computer's backup folder or the server's last run
// could not keep.
class AdvancedSection : public EditorSection
{
    Q_OBJECT

public:
    AdvancedSection(const QUuid &serverID, ConfigStore *store, QWidget *parent);
    void refresh(const Server &server) override;
    // Asks the server whether sudo runs its rsync without a password.
    void checkSudo();
    void showSudo(const SudoCheck::Result &result);

Q_SIGNALS:
    void sudoCheckFinished();

private:
    void buildSnapshots(QVBoxLayout *layout);
    void buildRemoteRsync(QVBoxLayout *layout);
    // Which kind of snapshot the server's days are: from the last run, or
    // what the next one makes.
    QString snapshotsInUse(const Server &server) const;
    QCheckBox *keepSwitch(const QString &objectName, const QString &text, bool Server::*setting);
    // What this computer or the server's last run could not keep.
    QString problems(const Server &server) const;

    QList<std::pair<QCheckBox *, bool Server::*>> m_switches;
    QComboBox *m_snapshots;
    QLabel *m_snapshotsInUse;
    QLineEdit *m_rsync;
    QCheckBox *m_sudo;
    QPushButton *m_checkSudo;
    QLabel *m_sudoMessage;
    QLabel *m_sudoers;
    QPushButton *m_copy;
    QLabel *m_problems;
    bool m_checking = false;
    QString m_problemsFor; // the settings and run the problems shown are about
};
