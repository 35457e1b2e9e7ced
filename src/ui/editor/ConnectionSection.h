// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's connection section: names, host, port, user, key and the connection test.
#pragma once

#include "core/ssh/SSHTester.h"
#include "core/ssh/SudoCheck.h"
#include "ui/editor/EditorSection.h"

#include <QCoreApplication>

#include <optional>

class Dialogs;
class PathField;
class QCheckBox;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

class ConnectionSection : public EditorSection
{
    Q_OBJECT

public:
    // What a step that found the host key unknown goes on with once it is trusted.
    enum class AfterTrust { test, installKey };
    Q_ENUM(AfterTrust)

    ConnectionSection(const QUuid &serverID, ConfigStore *store, Dialogs *dialogs, QWidget *parent);

    void refresh(const Server &server) override;
    // The problem a run would refuse for the name (a shared folder), shown under it.
    // What a run would refuse in the name, host or user name; empty: nothing.
    void setProblems(const QString &name, const QString &host, const QString &user);
    void focusName();
    // The key field, or the agent switch when ssh-agent is on.
    void focusKey();
    // "user@host:port" and the like in Host, split into the fields.
    void splitHost();

    void testConnection();
    void pickKey();
    // "Create a key": an ed25519 key at the key path (never over a file).
    void createKey();
    // "Install key on server…": asks for the account's password once and
    // runs ssh-copy-id with it (Tidewell answers ssh's password prompt).
    void installKey();
    // For a key with a passphrase and no agent to hold it: a key of
    // Tidewell's own beside it, made and installed on the server.
    void useSeparateKey();
    QString keyNote() const;
    // Test-only: what ssh starts to answer its password prompt (Tidewell itself otherwise).
    void setAskpassProgramForTesting(const QString &program) { m_askpassProgram = program; }
    bool isTesting() const { return m_testing; }
    std::optional<SSHTester::Report> testReport() const { return m_report; }

Q_SIGNALS:
    void testFinished();
    // A test in a window that asks before trusting host keys found the
    // server's key unknown: the host key step comes first.
    void hostKeyNeeded(ConnectionSection::AfterTrust then);
    // Key set-up ended (made, installed, or failed; for tests).
    void keySetupFinished();
    // A test of a server whose rsync runs through sudo also asked sudo.
    void sudoChecked(const SudoCheck::Result &result);

private:
    QLineEdit *lineEdit(const QString &name, const QString &placeholder);
    QLabel *problemNote(const QString &name);
    void buildAddress(QVBoxLayout *layout);
    void buildKey(QVBoxLayout *layout);
    void buildKeySetup(QVBoxLayout *layout);
    void buildBandwidth(QVBoxLayout *layout);
    void buildTest(QVBoxLayout *layout);
    void connectFields();
    void runTest();
    void finishTest(const SSHTester::Report &report);
    // What the key (or ssh-agent) is like, shown under it; asked again when
    // the path or the agent switch changes.
    void inspectKey(const Server &server);
    void showKeyNote(const QString &text, bool red = false);
    // ssh-copy-id with the password, then a connection test.
    void sendKey(const Server &server, const QString &password);
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
    QLabel *m_hostSplit;
    QLabel *m_userProblem;
    QLineEdit *m_user;
    QCheckBox *m_agent;
    QWidget *m_keyRow;
    PathField *m_keyField;
    QLineEdit *m_key;
    QLabel *m_keyNote;
    QPushButton *m_createKey;
    QPushButton *m_installKey;
    QPushButton *m_useAgent;
    QPushButton *m_separateKey;
    QString m_inspectedFor; // the key path (or "agent") the note is about
    bool m_keyBusy = false;
    QString m_askpassProgram = QCoreApplication::applicationFilePath();
    QPushButton *m_test;
    QLabel *m_testResult;
    QLabel *m_testMessage;
};
