// SPDX-License-Identifier: GPL-3.0-or-later
// Reports of runs beyond the desktop: health-check pings, a webhook, e-mail.
#pragma once

#include "core/engine/CopyState.h"
#include "core/engine/RsyncStats.h"
#include "core/model/AppSettings.h"
#include "core/system/HttpPost.h"

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QUuid>

#include <qcoro/qcorotask.h>

#include <optional>

class QNetworkAccessManager;
class RsyncRunner;

// Follows a runner and reports each run where Settings say:
// - a health-check URL (the server's own, else the one for all) gets
//   "<url>/start" when the run starts, then "<url>" after a success or
//   "<url>/<exit code>" ("<url>/fail" without one), with the log's last
//   10 KiB as a text/plain body;
// - the webhook URL gets a JSON document (see webhookDocument) per run;
// - reportEmail gets a mail through sendmail for failed runs (or every run);
// - ntfyURL gets the desktop notification's text as a push (Title, Priority
//   and Tags headers), failures at high priority, successes at low.
// Requests never hold up the run: each has 10 s and 3 tries. What could not
// be sent is written to the server's log and to standard error, with the
// URL's host only (URLs may hold tokens).
class RunReporter : public QObject
{
    Q_OBJECT

public:
    static constexpr qsizetype pingBodyBytes = 10 * 1024;
    static constexpr qsizetype webhookLogLines = 50;

    // Without a runner, only what report() is given is sent.
    explicit RunReporter(RsyncRunner *runner, QObject *parent = nullptr);
    ~RunReporter() override;

    // Reports still on their way.
    int pending() const { return m_pending; }

    // The URL for a ping: `base` with "/" and `suffix` added to its path
    // (none for a success).
    static QUrl pingUrl(const QString &base, const QString &suffix);
    // The end of a log, at most `bytes` of UTF-8, starting on a whole line.
    static QByteArray logTail(const QStringList &lines, qsizetype bytes);

    struct Run
    {
        Server server;
        QDateTime started;
        QDateTime finished;
        std::optional<int> exitCode;
        bool cancelled = false;
        bool paused = false; // cancelled, to go on with the next run
        std::optional<RsyncStats> stats;
        QStringList log;
        // Old days held after the run (see ChangeHold), and whether this
        // run found the change: then it is reported as a failure would be.
        std::optional<ChangeHold> heldChange;
        bool foundHeldChange = false;
        // What went wrong after a successful copy (the engine's English text).
        QString warning;
        // Where the server's second copies stood when the run ended (this
        // run's day follows in a copies report, see reportCopies()).
        QList<CopyState::Lag> copies;
        qint64 copyOverdueDays = 3;
    };
    // {"schema": 1, "server": {"id", "name"}, "started", "finished",
    //  "exitCode", "status" ("success", "failed", "cancelled", or
    //  "suspicious" for a run that found most files changed), "bytesReceived",
    //  "files", "snapshot", "heldChange" ({"day", "since", "changed", "of"}
    //  or null), "verify" (the last checks, see ServerRules::checksJson),
    //  "log": [last 50 lines]}
    static QByteArray webhookDocument(const Run &run);
    // Sends the end-of-run reports of `run` as `settings` ask.
    void report(const Run &run, const AppSettings &settings);
    // A scheduled server without a good backup for too long (see
    // ServerRules::isOverdue), reported where runs are: the health check
    // gets "<url>/fail", the webhook {"schema": 1, "event": "overdue",
    // "status": "overdue", "server", "lastSuccess" (or null), "checkedAt",
    // "verify"}, reportEmail a mail.
    void reportOverdue(const Server &server, const AppSettings &settings, const QDateTime &now);
    static QByteArray overdueDocument(const Server &server, const QDateTime &now);

    // What the copies after a run did, one per target that takes the server.
    struct Copy
    {
        CopyTarget target;
        QString result; // "copied", "upToDate", "skipped", "failed", "cancelled"
        QStringList days;
        QString reason; // why skipped or failed
    };
    // After the copies of a server's new day: the webhook gets {"schema": 1,
    // "event": "copies", "status" ("success", "failed" when a copy failed,
    // "cancelled"), "server", "finished", "copies": [as in the run's
    // document, with "result", "days" and "reason" (or null)]}; a failed
    // copy is mailed (every copy with reportEmailEveryRun) and pushed.
    void reportCopies(const Server &server, const AppSettings &settings, const QList<Copy> &copies);
    static QByteArray copiesDocument(const Server &server, const AppSettings &settings, const QList<Copy> &copies,
                                     const QDateTime &finished);
    static QString copiesMailBody(const Server &server, const AppSettings &settings, const QList<Copy> &copies);
    // "[Tidewell] ✗ web-01 — backup failed (exit 23)" and its body.
    static QString mailSubject(const Run &run);
    static QString mailBody(const Run &run);
    // "Copied to offsite: up to 2026-12-06 (1 day behind)", one per target.
    static QStringList copyLines(const QList<CopyState::Lag> &copies);

    void setSendmailForTesting(const QString &program) { m_sendmail = program; }
    void setLimitsForTesting(const HttpPost::Limits &limits) { m_limits = limits; }

Q_SIGNALS:
    // Every report sent so far has been delivered or given up on.
    void idle();

private:
    void runStarted();
    void runEnded(const QUuid &serverID, std::optional<int> exitCode);
    QCoro::Task<> postReport(QUuid serverID, QUrl url, QByteArray body, QByteArray contentType,
                             QList<std::pair<QByteArray, QByteArray>> headers);
    // A push to the ntfy topic, when there is one: "high" for what needs
    // a look, "low" for a success.
    void pushNtfy(const QUuid &serverID, const AppSettings &settings, const QString &title, const QString &text,
                  bool needsLook, const QByteArray &tags);
    QCoro::Task<> mailReport(QUuid serverID, QString to, QString subject, QString body);
    void say(const QUuid &serverID, const QString &line);
    void begin();
    void end();

    RsyncRunner *m_runner;
    QNetworkAccessManager *m_network;
    QDateTime m_started;
    int m_pending = 0;
    QString m_sendmail;
    HttpPost::Limits m_limits;
};
