// SPDX-License-Identifier: GPL-3.0-or-later
// Adding or changing one second copy.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/CopyTarget.h"

#include <QDialog>

class Dialogs;
class HostKeyCheck;
class QCheckBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// The fields of a second copy: its name, whether it is on, its folder (on
// this computer, or on a host with the port, user, key or ssh-agent a
// server would have), which servers it takes, and its own counts of days
// to keep. Save stays off while something would not work, and the note
// under the fields says what.
class CopyTargetDialog : public QDialog
{
    Q_OBJECT

public:
    CopyTargetDialog(const CopyTarget &target, const AppSettings &settings, Dialogs *dialogs,
                     QWidget *parent = nullptr);

    // The target as the fields have it.
    CopyTarget target() const;
    // Why it cannot be saved; empty: it can.
    QString problem() const;
    // The host's key, checked and trusted (or replaced after it changed) as a server's is.
    HostKeyCheck *hostKeyCheck() const { return m_keyCheck; }

private:
    void buildPlace(QFormLayout *form);
    void buildServers(QFormLayout *form);
    void buildCounts(QFormLayout *form);
    void update();
    void choosePath();
    void chooseKey();
    void buildHostKey(QFormLayout *form);
    void showHostKey();
    void actOnHostKey();

    CopyTarget m_target;
    AppSettings m_settings;
    Dialogs *m_dialogs;
    QLineEdit *m_name;
    QCheckBox *m_enabled;
    QLineEdit *m_path;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_key = nullptr;
    QCheckBox *m_agent = nullptr;
    HostKeyCheck *m_keyCheck = nullptr;
    QLabel *m_keyState = nullptr;
    QPushButton *m_keyAction = nullptr;
    QCheckBox *m_allServers;
    QListWidget *m_servers;
    QCheckBox *m_ownCounts;
    QList<QSpinBox *> m_counts;
    QLabel *m_problem;
    QDialogButtonBox *m_buttons;
};
