// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's advanced settings: what the copies keep, and the server's rsync.
#pragma once

#include "core/ssh/SudoCheck.h"
#include "ui/editor/EditorSection.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QVBoxLayout;

// Hard links, ACLs, extended attributes, owners, numeric ids and sparse
// files; the server's rsync and whether it runs through sudo, with a check
// of sudo that shows the sudoers line to add. Says what this computer's
// backup folder or the server's last run could not keep.
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
    void buildRemoteRsync(QVBoxLayout *layout);
    QCheckBox *keepSwitch(const QString &objectName, const QString &text, bool Server::*setting);
    // What this computer or the server's last run could not keep.
    QString problems(const Server &server) const;

    QList<std::pair<QCheckBox *, bool Server::*>> m_switches;
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
