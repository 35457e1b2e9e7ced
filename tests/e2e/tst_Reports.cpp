// SPDX-License-Identifier: GPL-3.0-or-later
// Run reports beyond the desktop: health-check pings, the webhook and mail,
// against a loopback HTTP server that records what it gets.
#include "core/engine/RsyncRunner.h"
#include "core/model/ReferenceDate.h"
#include "core/report/RunReporter.h"
#include "core/system/HttpPost.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;

class TestReports : public SshdBackupTest
{
    Q_OBJECT

    QProcess m_http;
    QString m_requests;
    QString m_base; // http://127.0.0.1:<port>

    QList<QJsonObject> requests() const
    {
        QList<QJsonObject> list;
        for (const QByteArray &line : readFile(m_requests).split('\n')) {
            if (!line.isEmpty())
                list << QJsonDocument::fromJson(line).object();
        }
        return list;
    }

    QStringList paths() const
    {
        QStringList list;
        for (const QJsonObject &request : requests())
            list << request.value(QStringLiteral("path")).toString();
        return list;
    }

    // Nothing a run leaves behind names the secret.
    void verifyNowhere(const QByteArray &secret, const Server &server, const Outcome &outcome)
    {
        QVERIFY(!readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                          + QStringLiteral(".log"))
                     .contains(secret));
        QVERIFY(!outcome.err.contains(secret) && !outcome.out.contains(secret));
    }

private Q_SLOTS:
    void initTestCase()
    {
        SshdBackupTest::initTestCase();
        m_requests =
            QDir::tempPath() + QStringLiteral("/tidewell-http-%1.jsonl").arg(QCoreApplication::applicationPid());
        QFile::remove(m_requests);
        m_http.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(TIDEWELL_FIXTURES "/httprecorder.py"), m_requests});
        QVERIFY(m_http.waitForReadyRead(10000));
        m_base = QStringLiteral("http://127.0.0.1:") + QString::fromUtf8(m_http.readLine().trimmed());
    }

    void cleanupTestCase()
    {
        m_http.kill();
        m_http.waitForFinished();
        QFile::remove(m_requests);
        SshdBackupTest::cleanupTestCase();
    }

    void init()
    {
        SshdBackupTest::init();
        QFile::remove(m_requests);
    }

    // A scheduled run pings start and success, the webhook gets its
    // document; a failing one pings its exit code. No token reaches a log.
    void pingsAndTheWebhookThroughTheBinary()
    {
        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.healthCheckURL = m_base + QStringLiteral("/ping/SECRET-TOKEN");
                s.webhookURL = m_base + QStringLiteral("/hook/HOOK-TOKEN");
            });
        Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 0);
        const QStringList seen = paths();
        QCOMPARE(QSet<QString>(seen.cbegin(), seen.cend()),
                 (QSet<QString>{QStringLiteral("/ping/SECRET-TOKEN/start"), QStringLiteral("/ping/SECRET-TOKEN"),
                                QStringLiteral("/hook/HOOK-TOKEN")}));
        QCOMPARE(paths().first(), QStringLiteral("/ping/SECRET-TOKEN/start"));
        for (const QJsonObject &request : requests()) {
            const QString path = request.value(QStringLiteral("path")).toString();
            if (path == QStringLiteral("/ping/SECRET-TOKEN")) {
                QCOMPARE(request.value(QStringLiteral("type")).toString(), QStringLiteral("text/plain; charset=utf-8"));
                QVERIFY(request.value(QStringLiteral("body"))
                            .toString()
                            .contains(QStringLiteral("=== All backups completed ===")));
            } else if (path.startsWith(QLatin1String("/hook/"))) {
                QCOMPARE(request.value(QStringLiteral("type")).toString(), QStringLiteral("application/json"));
                const QJsonObject hook =
                    QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8()).object();
                QCOMPARE(hook.value(QStringLiteral("schema")).toInt(), 1);
                QCOMPARE(hook.value(QStringLiteral("status")).toString(), QStringLiteral("success"));
                QCOMPARE(hook.value(QStringLiteral("exitCode")).toInt(-1), 0);
                QCOMPARE(hook.value(QStringLiteral("server")).toObject().value(QStringLiteral("name")).toString(),
                         server.name);
                QCOMPARE(hook.value(QStringLiteral("files")).toInt(), 1);
                QVERIFY(hook.value(QStringLiteral("snapshot")).toString().startsWith(QStringLiteral("Snapshot: ")));
                QVERIFY(!hook.value(QStringLiteral("log")).toArray().isEmpty());
                QVERIFY(QDateTime::fromString(hook.value(QStringLiteral("started")).toString(), Qt::ISODate).isValid());
                QVERIFY(hook.value(QStringLiteral("verify")).isNull()); // never checked
            }
        }
        verifyNowhere("TOKEN", server, outcome);

        // The server's own URL wins; a failure pings its exit code.
        QFile::remove(m_requests);
        server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Gone"), m_s->remote + QStringLiteral("/gone"))},
                                  [this](AppSettings &s) {
                                      s.retryAttempts = 0;
                                      s.healthCheckURL = m_base + QStringLiteral("/ping/SECRET-TOKEN");
                                      s.servers[0].healthCheckURL = m_base + QStringLiteral("/own/OWN-TOKEN");
                                      s.webhookURL = m_base + QStringLiteral("/hook/HOOK-TOKEN");
                                      // A check of the copies found damage; none against the server yet.
                                      s.servers[0].lastVerifiedAt = ReferenceDate::now() - 3600;
                                      s.servers[0].damagedFiles = 2;
                                  });
        outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 23);
        QVERIFY(paths().contains(QStringLiteral("/own/OWN-TOKEN/start")));
        QVERIFY(paths().contains(QStringLiteral("/own/OWN-TOKEN/23")));
        QVERIFY(!paths().contains(QStringLiteral("/ping/SECRET-TOKEN/23")));
        for (const QJsonObject &request : requests()) {
            if (request.value(QStringLiteral("path")).toString().startsWith(QLatin1String("/hook/"))) {
                const QJsonObject hook =
                    QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8()).object();
                QCOMPARE(hook.value(QStringLiteral("status")).toString(), QStringLiteral("failed"));
                QCOMPARE(hook.value(QStringLiteral("exitCode")).toInt(), 23);
                const QJsonObject checks = hook.value(QStringLiteral("verify")).toObject();
                QCOMPARE(checks.value(QStringLiteral("damagedFiles")).toInt(), 2);
                QVERIFY(QDateTime::fromString(checks.value(QStringLiteral("lastVerifiedAt")).toString(), Qt::ISODate)
                            .isValid());
                QVERIFY(checks.value(QStringLiteral("lastRemoteCheckAt")).isNull());
                QVERIFY(checks.value(QStringLiteral("remoteDifferences")).isNull());
            }
        }
        verifyNowhere("TOKEN", server, outcome);
    }

    // Without a window, the hourly check reports a backup that stopped:
    // once a day, where runs are reported.
    void overdueReportedWithoutAWindow()
    {
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.healthCheckURL = m_base + QStringLiteral("/ping/SECRET-TOKEN");
                s.webhookURL = m_base + QStringLiteral("/hook/HOOK-TOKEN");
                s.ntfyURL = m_base + QStringLiteral("/ntfy/backups");
                s.servers[0].name = QStringLiteral("wéb\nTitle: forged");
                s.servers[0].scheduleEnabled = true;
                s.servers[0].lastRunAt = ReferenceDate::now() - 3 * 24 * 3600;
                s.servers[0].lastExitCode = 0;
                s.servers[0].lastSuccessAt = s.servers[0].lastRunAt;
            });
        Outcome outcome = runTidewell(m_s->home, {QStringLiteral("--check")});
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        QVERIFY2(outcome.out.contains("no successful backup for 3 days"), outcome.out.constData());
        QCOMPARE(paths().size(), 3);
        for (const QJsonObject &request : requests()) {
            const QString path = request.value(QStringLiteral("path")).toString();
            if (path == QStringLiteral("/ntfy/backups")) {
                // A name cannot add a header: it is one encoded word.
                QCOMPARE(request.value(QStringLiteral("title")).toString(),
                         QStringLiteral("=?UTF-8?B?")
                             + QString::fromLatin1(QByteArray("Tidewell: wéb\nTitle: forged").toBase64())
                             + QStringLiteral("?="));
                QCOMPARE(request.value(QStringLiteral("priority")).toString(), QStringLiteral("high"));
                QCOMPARE(request.value(QStringLiteral("tags")).toString(), QStringLiteral("warning"));
                QVERIFY(request.value(QStringLiteral("body")).toString().contains(QStringLiteral("3 days")));
            } else if (path == QStringLiteral("/ping/SECRET-TOKEN/fail")) {
                QVERIFY(request.value(QStringLiteral("body")).toString().contains(QStringLiteral("wéb")));
            } else {
                QCOMPARE(path, QStringLiteral("/hook/HOOK-TOKEN"));
                const QJsonObject hook =
                    QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8()).object();
                QCOMPARE(hook.value(QStringLiteral("event")).toString(), QStringLiteral("overdue"));
                QCOMPARE(hook.value(QStringLiteral("server")).toObject().value(QStringLiteral("id")).toString(),
                         server.id.toString(QUuid::WithoutBraces).toUpper());
                QVERIFY(
                    QDateTime::fromString(hook.value(QStringLiteral("lastSuccess")).toString(), Qt::ISODate).isValid());
            }
        }
        // The next hour's check says it again, but reports it no more today.
        QFile::remove(m_requests);
        outcome = runTidewell(m_s->home, {QStringLiteral("--check")});
        QCOMPARE(outcome.status, 0);
        QVERIFY(outcome.out.contains("no successful backup for 3 days"));
        QVERIFY(paths().isEmpty());
    }

    // Every run rewrites the metrics file, in a form Prometheus' own
    // checker accepts, whatever the server's name holds.
    void metricsForPrometheus()
    {
        writeFile(m_s->remote + QStringLiteral("/a.txt"), QByteArray(4096, 'a'));
        const QString folder = m_s->home.path() + QStringLiteral("/textfile");
        QVERIFY(QDir().mkpath(folder));
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&folder](AppSettings &s) {
                s.metricsFile = folder + QStringLiteral("/tidewell.prom");
                s.servers[0].name = QStringLiteral("web \"07\" \\ ü");
            });
        const Outcome outcome = m_s->runHeadless(server.id);
        QCOMPARE(outcome.status, 0);
        const QByteArray metrics = readFile(folder + QStringLiteral("/tidewell.prom"));
        const QByteArray labels = "{server=\"web \\\"07\\\" \\\\ \xc3\xbc\",id=\""
                                  + server.id.toString(QUuid::WithoutBraces).toUpper().toUtf8() + "\"}";
        for (const char *sample : {"tidewell_last_exit_code %1 0\n", "tidewell_snapshots %1 1\n",
                                   "tidewell_snapshot_files %1 1\n", "tidewell_scheduled %1 0\n"}) {
            const QByteArray line = QByteArray(sample).replace(" %1", labels);
            QVERIFY2(metrics.contains(line), metrics.constData());
        }
        for (const char *name : {"tidewell_last_run_timestamp_seconds", "tidewell_last_success_timestamp_seconds",
                                 "tidewell_last_run_duration_seconds", "tidewell_last_bytes_received"})
            QVERIFY2(metrics.contains(QByteArray('\n' + QByteArray(name) + labels + ' ')), name);
        QVERIFY(!metrics.contains("tidewell_damaged_files")); // never checked
        // node_exporter reads it as its own user.
        QVERIFY(QFileInfo(folder + QStringLiteral("/tidewell.prom")).permissions() & QFile::ReadOther);
        if (!QFile::exists(QStringLiteral("/usr/bin/promtool")))
            QSKIP("promtool (prometheus) is not installed");
        QProcess promtool;
        promtool.start(QStringLiteral("/usr/bin/promtool"), {QStringLiteral("check"), QStringLiteral("metrics")});
        promtool.write(metrics);
        promtool.closeWriteChannel();
        QVERIFY(promtool.waitForFinished(60000));
        QVERIFY2(promtool.exitCode() == 0, promtool.readAll().constData());
    }

    // A server error is tried again; no answer gives up after the time
    // limit, and the run's log says so without the URL's secret part.
    void retriesAndTimeLimits()
    {
        QNetworkAccessManager network;
        const auto flaky = done(HttpPost::post(
            &network, {QUrl(m_base + QStringLiteral("/flaky/x")), "body", "text/plain", {}}, {5000, 3, 50}));
        QVERIFY(flaky);
        QCOMPARE(paths().count(QStringLiteral("/flaky/x")), 3);
        QElapsedTimer clock;
        clock.start();
        const auto slow = done(HttpPost::post(
            &network, {QUrl(m_base + QStringLiteral("/slow/x")), "body", "text/plain", {}}, {500, 2, 50}));
        QVERIFY(!slow);
        QCOMPARE(slow.error().message, QStringLiteral("timeout"));
        QVERIFY(clock.elapsed() < 10000);
        // Only https, or http to this computer; nothing is sent elsewhere.
        QCOMPARE(HttpPost::check(QUrl(QStringLiteral("http://example.org/x"))).error().message,
                 QStringLiteral("plain http is only for this computer: use https"));
        QVERIFY(!done(HttpPost::post(&network, {QUrl(QStringLiteral("ftp://127.0.0.1/x")), {}, {}, {}}, {})));

        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.healthCheckURL = m_base + QStringLiteral("/slow/SLOW-TOKEN");
            });
        std::unique_ptr<RunReporter> reporter;
        clock.restart();
        const auto run = m_s->runOn(QDate::currentDate(), server, [&](RsyncRunner &runner) {
            reporter = std::make_unique<RunReporter>(&runner);
            reporter->setLimitsForTesting({500, 2, 50});
        });
        QCOMPARE(run.exitCode, 0);
        QTRY_COMPARE_WITH_TIMEOUT(reporter->pending(), 0, 10000);
        const QByteArray log = readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                                        + QStringLiteral(".log"));
        QVERIFY2(log.contains(QByteArray("Report: could not reach " + m_base.toUtf8() + "/… (timeout)")),
                 log.constData());
        QVERIFY(!log.contains("SLOW-TOKEN"));
    }

    // An endpoint that answers with a gigabyte costs a run no memory: the
    // answer is read to 64 KiB and dropped, and a 2xx counts as delivered.
    // A redirect is a failure, said in the log, and tried again.
    void answersAreBoundedAndRedirectsRefused()
    {
        QNetworkAccessManager network;
        const auto flooded = done(HttpPost::post(
            &network, {QUrl(m_base + QStringLiteral("/flood/x")), "body", "text/plain", {}}, {10000, 1, 50}));
        QCOMPARE(flooded.value_or(0), 200);
        // Qt ends the cut connection on its own thread, after the answer is
        // done: a request queued on the same manager meanwhile can be
        // cancelled with it. The redirect is asked of a manager of its own.
        QNetworkAccessManager other;
        const auto redirected = done(HttpPost::post(
            &other, {QUrl(m_base + QStringLiteral("/redirect/x")), "body", "text/plain", {}}, {5000, 2, 50}));
        QVERIFY(!redirected);
        QCOMPARE(redirected.error().status, 302);
        QCOMPARE(paths().count(QStringLiteral("/redirect/x")), 2);

        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.webhookURL = m_base + QStringLiteral("/flood/FLOOD-TOKEN");
                s.healthCheckURL = m_base + QStringLiteral("/redirect/MOVED-TOKEN");
            });
        auto run = m_s->startHeadless(server.id);
        const qint64 peak = waitMeasuringPeakKiB(*run);
        QCOMPARE(run->exitCode(), 0);
        QVERIFY2(peak > 0 && peak < memoryBoundKiB(64 * 1024), qPrintable(QString::number(peak)));
        const QByteArray log = readFile(m_s->home.logDir() + u'/' + server.id.toString(QUuid::WithoutBraces).toUpper()
                                        + QStringLiteral(".log"));
        QVERIFY2(log.contains(QByteArray("Report: " + m_base.toUtf8() + "/… answered 302: redirects are not followed")),
                 log.constData());
        QVERIFY(!log.contains("FLOOD-TOKEN") && !log.contains("could not reach"));
    }

    // What systemd's OnFailure= starts: a run that died before reporting is
    // reported as failed; one that reported is left alone.
    void aRunThatCouldNotReportIsReportedForIt()
    {
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.healthCheckURL = m_base + QStringLiteral("/ping/KILLED");
                s.webhookURL = m_base + QStringLiteral("/hook/KILLED");
            });
        const QStringList arguments{QStringLiteral("--report-failure"), server.id.toString(QUuid::WithoutBraces)};
        QCOMPARE(runTidewell(m_s->home, arguments).status, 0);
        QVERIFY(paths().isEmpty()); // it reported itself (no run left its mark)

        const QString marker = m_s->home.dataHome() + QStringLiteral("/Tidewell/reports/")
                               + server.id.toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".running");
        QVERIFY(writeFile(marker, QDateTime::currentDateTime().toString(Qt::ISODate).toUtf8()));
        QCOMPARE(runTidewell(m_s->home, arguments).status, 0);
        const QStringList sent = paths();
        QCOMPARE(QSet<QString>(sent.cbegin(), sent.cend()),
                 (QSet<QString>{QStringLiteral("/ping/KILLED/fail"), QStringLiteral("/hook/KILLED")}));
        for (const QJsonObject &request : requests()) {
            if (request.value(QStringLiteral("path")).toString().startsWith(QLatin1String("/hook/"))) {
                const QJsonObject hook =
                    QJsonDocument::fromJson(request.value(QStringLiteral("body")).toString().toUtf8()).object();
                QCOMPARE(hook.value(QStringLiteral("status")).toString(), QStringLiteral("failed"));
                QVERIFY(hook.value(QStringLiteral("exitCode")).isNull());
            }
        }
        QVERIFY(!QFile::exists(marker));
    }

    // A cancelled run is no failure: no failure ping, no mail; the webhook
    // says "cancelled".
    void aCancelledRunReportsNoFailure()
    {
        QFile big(m_s->remote + QStringLiteral("/big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QFile random(QStringLiteral("/dev/urandom"));
        QVERIFY(random.open(QIODevice::ReadOnly));
        big.write(random.read(2 * 1024 * 1024));
        big.close();
        const QString recorded = m_s->home.path() + QStringLiteral("/mail");
        const QString sendmail = writeScript(m_s->home.path() + QStringLiteral("/sendmail"),
                                             QStringLiteral("cat >> '%1'\n").arg(recorded).toUtf8());
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [this](AppSettings &s) {
                s.healthCheckURL = m_base + QStringLiteral("/ping/CANCEL");
                s.webhookURL = m_base + QStringLiteral("/hook/CANCEL");
                s.reportEmail = QStringLiteral("ops@example.org");
                s.servers[0].bandwidthLimitKBps = 64;
            });
        std::unique_ptr<RunReporter> reporter;
        const auto run = m_s->runOn(QDate::currentDate(), server, [&](RsyncRunner &runner) {
            reporter = std::make_unique<RunReporter>(&runner);
            reporter->setSendmailForTesting(sendmail);
            QObject::connect(&runner, &RsyncRunner::logLinesChanged, &runner, [&runner] {
                if (runner.logLines().filter(QStringLiteral("$ ")).size() == 1 && !runner.wasCancelled())
                    runner.cancel();
            });
        });
        QVERIFY(run.exitCode.has_value());
        QTRY_COMPARE_WITH_TIMEOUT(reporter->pending(), 0, 10000);
        QCOMPARE(paths(), (QStringList{QStringLiteral("/ping/CANCEL/start"), QStringLiteral("/hook/CANCEL")}));
        QCOMPARE(QJsonDocument::fromJson(requests().last().value(QStringLiteral("body")).toString().toUtf8())
                     .object()
                     .value(QStringLiteral("status"))
                     .toString(),
                 QStringLiteral("cancelled"));
        QVERIFY(!QFile::exists(recorded));
    }

    // Mail goes through sendmail -t -oi: on failure only, or every run.
    void mailThroughSendmail()
    {
        const QString recorded = m_s->home.path() + QStringLiteral("/mail");
        const QString sendmail =
            writeScript(m_s->home.path() + QStringLiteral("/sendmail"),
                        QStringLiteral("echo \"$@\" >> '%1.args'\ncat >> '%1'\n").arg(recorded).toUtf8());
        const auto runWith = [&](const QList<BackupPath> &paths, bool everyRun) -> std::optional<int> {
            const Server server = m_s->writeConfig(paths, [&](AppSettings &s) {
                s.retryAttempts = 0;
                s.reportEmail = QStringLiteral("ops@example.org");
                s.reportEmailEveryRun = everyRun;
                s.servers[0].lastRemoteCheckAt = ReferenceDate::now();
                s.servers[0].remoteDifferences = 1234;
            });
            std::unique_ptr<RunReporter> reporter;
            const auto run = m_s->runOn(QDate::currentDate(), server, [&](RsyncRunner &runner) {
                reporter = std::make_unique<RunReporter>(&runner);
                reporter->setSendmailForTesting(sendmail);
            });
            if (!QTest::qWaitFor([&] { return reporter->pending() == 0; }, 10000))
                return std::nullopt;
            return run.exitCode;
        };
        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        QCOMPARE(runWith({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, false), 0);
        QVERIFY(!QFile::exists(recorded)); // a success, and mail only for failures

        QCOMPARE(runWith({BackupScenario::path(QStringLiteral("Gone"), m_s->remote + QStringLiteral("/gone"))}, false),
                 23);
        QCOMPARE(readFile(recorded + QStringLiteral(".args")), QByteArray("-t -oi\n"));
        const QByteArray mail = readFile(recorded);
        QVERIFY(mail.startsWith("To: ops@example.org\nSubject: =?UTF-8?B?"));
        // The subject as encoded words of UTF-8, folded over lines.
        QByteArray subject;
        const QList<QByteArray> lines = mail.split('\n');
        for (qsizetype i = 1; i < lines.size() && (i == 1 || lines.at(i).startsWith(' ')); ++i) {
            const QByteArray word = lines.at(i).trimmed().split('?').value(3);
            subject += QByteArray::fromBase64(word);
        }
        QCOMPARE(QString::fromUtf8(subject), QStringLiteral("[Tidewell] ✗ web: prod — backup failed (exit 23)"));
        QVERIFY(mail.contains("Content-Type: text/plain; charset=utf-8\n"));
        QVERIFY(mail.contains("The end of the run's log:"));
        QVERIFY(mail.contains(", 1,234 differing silently\n"));
        QVERIFY(!mail.contains("Copies last checked"));

        QFile::remove(recorded);
        QCOMPARE(runWith({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, true), 0);
        QVERIFY(readFile(recorded).contains("Subject: "));
    }
};

QTEST_GUILESS_MAIN(TestReports)
#include "tst_Reports.moc"
