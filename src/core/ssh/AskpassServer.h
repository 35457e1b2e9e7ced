// SPDX-License-Identifier: GPL-3.0-or-later
// Hands a password to ssh's askpass helper without a file or an argument.
#pragma once

#include <QObject>
#include <QString>
#include <QTemporaryDir>

class QLocalServer;

// ssh asks an SSH_ASKPASS program for a password. Tidewell is that program
// itself: started by ssh with the prompt as its argument and the socket's
// path in the environment (environmentName), it connects here, sends the
// prompt and prints what it gets back. The password lives in this object's
// memory only: never in a file, a log or a command line. It is given for
// password prompts only, at most `maxAnswers` times, and only to processes
// of this user.
class AskpassServer : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *environmentName = "TIDEWELL_ASKPASS_SOCKET";

    AskpassServer(const QString &password, int maxAnswers, QObject *parent = nullptr);
    ~AskpassServer() override;

    // False when the socket could not be made (errorString() says why).
    bool listen();
    QString socketPath() const;
    QString errorString() const { return m_error; }
    int answersGiven() const { return m_answers; }

    // The helper's side, run by main() before any Qt object exists: asks
    // the server at `socketPath` with `prompt`; what to print, or nothing
    // when there is no answer (ssh then gives up on the password).
    static int answerPrompt(const char *socketPath, const char *prompt);

private:
    void serve();

    QString m_password;
    int m_maxAnswers;
    int m_answers = 0;
    QTemporaryDir m_folder;
    QLocalServer *m_server;
    QString m_error;
};
