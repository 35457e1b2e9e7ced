// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's connection section: names, host, port, user, key and the connection test.
#pragma once

#include "core/ssh/SSHTester.h"
#include "ui/EditorSection.h"

#include <optional>

class Dialogs;
class QCheckBox;
class QPushButton;
class QSpinBox;

class ConnectionSection : public EditorSection
{
    Q_OBJECT

public:
    ConnectionSection(const QUuid &serverID, ConfigStore *store, Dialogs *dialogs, QWidget *parent);

    void refresh(const Server &server) override;
    // The problem a run would refuse for the name (a shared folder), shown under it.
    // What a run would refuse in the name, host or user name; empty: nothing.
    void setProblems(const QString &name, const QString &host, const QString &user);
    void focusName();

    void testConnection();
    void pickKey();
    bool isTesting() const { return m_testing; }
    std::optional<SSHTester::Report> testReport() const { return m_report; }

Q_SIGNALS:
    void testFinished();

private:
    void showTest(const Server &server);
    // Host, port, user and key: what a connection test's result is about.
    static QString connectionOf(const Server &server);

    Dialogs *m_dialogs;
    bool m_testing = false;
    std::optional<SSHTester::Report> m_report;
    QString m_testedConnection; // what m_report was tested with (see connectionOf)
    QLineEdit *m_name;
    QLabel *m_nameProblem;
    QLineEdit *m_host;
    QLineEdit *m_port;
    QSpinBox *m_bandwidth;
    QLabel *m_portProblem;
    QLabel *m_hostProblem;
    QLabel *m_userProblem;
    QLineEdit *m_user;
    QCheckBox *m_agent;
    QWidget *m_keyRow;
    QLineEdit *m_key;
    QPushButton *m_test;
    QLabel *m_testResult;
    QLabel *m_testMessage;
};
