// SPDX-License-Identifier: GPL-3.0-or-later
// Export and import with schedules re-synced.
#include "core/schedule/ConfigImport.h"
#include "core/schedule/Scheduler.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Await.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"

#include <QDir>
#include <QTest>

using namespace TestHelpers;
using namespace ConfigTransfer;

class TestConfigTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<EngineHarness> m_h;

    Scheduler scheduler() { return *m_h->scheduler(); }

    static Server scheduledServer(const QString &name, const QString &time = QStringLiteral("03:00"))
    {
        Server server;
        server.name = name;
        server.privateKeyPath = QStringLiteral("/home/me/.ssh/id");
        server.lastRunAt = 10;
        server.lastExitCode = 0;
        server.lastSuccessAt = 10;
        server.scheduleEnabled = true;
        server.scheduleTime = time;
        server.bandwidthLimitKBps = 640;
        server.keepWeekly = 4;
        server.keepMonthly = 12;
        BackupPath path;
        path.name = QStringLiteral("www");
        path.remotePath = QStringLiteral("/var/www");
        path.excludes = {QStringLiteral("cache/"), QStringLiteral("*.log")};
        server.paths = {path};
        return server;
    }

private Q_SLOTS:
    void init() { m_h = std::make_unique<EngineHarness>(); }
    void cleanup() { m_h.reset(); }

    void sanitizingAndName()
    {
        AppSettings settings;
        settings.servers = {scheduledServer(QStringLiteral("a"))};
        CopyTarget vault;
        vault.kind = CopyTarget::Kind::ssh;
        vault.host = QStringLiteral("vault.example.org");
        vault.privateKeyPath = QStringLiteral("/home/me/.ssh/vault");
        settings.copyTargets = {vault};
        const AppSettings clean = sanitizedForExport(settings);
        QCOMPARE(clean.servers[0].privateKeyPath, QString());
        QCOMPARE(clean.copyTargets[0].privateKeyPath, QString());
        QCOMPARE(clean.copyTargets[0].host, vault.host);
        QVERIFY(!clean.servers[0].lastRunAt && !clean.servers[0].lastExitCode);
        QVERIFY(!clean.servers[0].lastSuccessAt && !clean.servers[0].scheduledSince);
        // what the user chose travels
        QCOMPARE(clean.servers[0].bandwidthLimitKBps, 640);
        QCOMPARE(clean.servers[0].keepWeekly, 4);
        QCOMPARE(clean.servers[0].keepMonthly, 12);
        QCOMPARE(clean.servers[0].paths[0].excludes, settings.servers[0].paths[0].excludes);
        QCOMPARE(clean.servers[0].scheduleTime, QStringLiteral("03:00"));
        QCOMPARE(settings.servers[0].privateKeyPath, QStringLiteral("/home/me/.ssh/id")); // argument untouched
        QCOMPARE(defaultExportName(QDate(2025, 3, 5)), QStringLiteral("tidewell-config-2025-03-05.json"));
    }

    // Report addresses may hold tokens: they leave only when asked for, and
    // an import of a file without them keeps the ones set here.
    void reportAddressesStayUnlessAsked()
    {
        AppSettings settings;
        settings.servers = {scheduledServer(QStringLiteral("a"))};
        settings.servers[0].healthCheckURL = QStringLiteral("https://hc.example.org/own-token");
        settings.healthCheckURL = QStringLiteral("https://hc.example.org/token");
        settings.webhookURL = QStringLiteral("https://chat.example.org/hook/token");
        settings.reportEmail = QStringLiteral("ops@example.org");
        QVERIFY(!sanitizedForExport(settings).encode().contains("token"));
        QVERIFY(!sanitizedForExport(settings).encode().contains("ops@example.org"));
        const AppSettings asked = sanitizedForExport(settings, true);
        QCOMPARE(asked.webhookURL, settings.webhookURL);
        QCOMPARE(asked.servers[0].healthCheckURL, settings.servers[0].healthCheckURL);

        m_h->store.setSettings(settings);
        const QString file = m_h->home.path() + QStringLiteral("/export.json");
        QVERIFY(exportTo(file, settings));
        const auto pending = readImport(file);
        QVERIFY(pending);
        QVERIFY(done(applyImport(&m_h->store, scheduler(), *pending)).has_value());
        QCOMPARE(m_h->store.settings().webhookURL, settings.webhookURL);
        QCOMPARE(m_h->store.settings().reportEmail, settings.reportEmail);
        QCOMPARE(m_h->store.settings().servers[0].healthCheckURL, settings.servers[0].healthCheckURL);
    }

    void roundTripOnOneMachine()
    {
        ConfigStore &store = m_h->store;
        Scheduler sched = scheduler();
        store.update([](AppSettings &s) {
            s.servers = {scheduledServer(QStringLiteral("a")), Server{}};
            s.destinationPath = QStringLiteral("/mnt/backups");
        });
        const QString file = m_h->home.path() + QStringLiteral("/export.json");
        const Outcome exported = exportTo(file, store.settings());
        QCOMPARE(exported, Outcome(QStringLiteral("Exported to export.json")));
        QVERIFY(!readFile(file).contains("lastRunAt"));
        QVERIFY(!readFile(file).contains("lastSuccessAt"));
        QVERIFY(!readFile(file).contains("scheduledSince"));

        const auto read = readImport(file);
        QVERIFY(read);
        QCOMPARE(
            read->confirmationText(),
            QStringLiteral(
                "“export.json” contains 2 server(s). This will replace your current configuration. Scheduled backups "
                "will be re-synced to match."));
        const Outcome applied = done(applyImport(&store, sched, *read));
        QCOMPARE(applied, Outcome(QStringLiteral("Imported 2 server(s) from export.json")));
        QCOMPARE(store.settings().servers[0].id, read->settings.servers[0].id);
        QCOMPARE(store.settings().servers[0].privateKeyPath, QString());
        QCOMPARE(store.settings().destinationPath, QStringLiteral("/mnt/backups"));
        QCOMPARE(store.settings().servers[0].paths[0].excludes,
                 (QStringList{QStringLiteral("cache/"), QStringLiteral("*.log")}));
        QCOMPARE(store.settings().servers[0].bandwidthLimitKBps, 640);
        QVERIFY(store.settings().servers[0].scheduledSince); // the clock starts again here
        QVERIFY(QFile::exists(sched.plistURL(store.settings().servers[0].id)));
    }

    void emptyObjectRemovesOldSchedules()
    {
        ConfigStore &store = m_h->store;
        Scheduler sched = scheduler();
        const Server old = scheduledServer(QStringLiteral("old"));
        store.update([&](AppSettings &s) { s.servers = {old}; });
        QVERIFY(done(sched.install(old)));
        writeFile(m_h->home.path() + QStringLiteral("/empty.json"), "{}");
        const auto read = readImport(m_h->home.path() + QStringLiteral("/empty.json"));
        QVERIFY(read);
        QVERIFY(read->confirmationText().contains(QStringLiteral("contains 0 server(s)")));
        QVERIFY(done(applyImport(&store, sched, *read)));
        QVERIFY(store.settings().servers.isEmpty());
        QVERIFY(!QFile::exists(sched.plistURL(old.id)));
    }

    void badFileChangesNothing()
    {
        ConfigStore &store = m_h->store;
        store.update([](AppSettings &s) { s.servers = {Server{}}; });
        writeFile(m_h->home.path() + QStringLiteral("/bad.json"), R"({"servers":[{"port":"22"}]})");
        const auto read = readImport(m_h->home.path() + QStringLiteral("/bad.json"));
        QVERIFY(!read);
        QCOMPARE(read.error().code, TransferError::Code::notAConfiguration);
        QVERIFY(read.error().message.startsWith(QStringLiteral("Import failed: ")));
        QCOMPARE(store.settings().servers.size(), 1);
        const auto missing = readImport(m_h->home.path() + QStringLiteral("/missing.json"));
        QCOMPARE(missing.error().code, TransferError::Code::unreadable);
        QVERIFY(missing.error().message.startsWith(QStringLiteral("Import failed: ")));
    }

    void failedInstallsAreCollected()
    {
        ConfigStore &store = m_h->store;
        Scheduler sched = scheduler();
        PendingImport pending;
        pending.fileName = QStringLiteral("x.json");
        pending.settings.servers = {scheduledServer(QStringLiteral("a"), QStringLiteral("7")),
                                    scheduledServer(QStringLiteral("b"), QStringLiteral("25:00")), Server{}};
        const Outcome status = done(applyImport(&store, sched, pending));
        QCOMPARE(status.error().code, TransferError::Code::schedulesFailed);
        QCOMPARE(status.error().message,
                 QStringLiteral("Imported 3 server(s) from x.json, but 2 schedules were not installed: Invalid "
                                "schedule time '25:00'. Use HH:mm (24h). (1 for other reasons)"));
        QCOMPARE(status.error().details,
                 (QStringList{QStringLiteral("a: Invalid schedule time '7'. Use HH:mm (24h)."),
                              QStringLiteral("b: Invalid schedule time '25:00'. Use HH:mm (24h).")}));
        QCOMPARE(store.settings().servers.size(), 3); // the new settings stay
    }

    // Thirty scheduled servers and a user manager that refuses: one line
    // with the count and systemctl's reason, the servers all in, progress
    // told, and systemctl not asked thirty times over.
    void aRefusingManagerIsOneLine()
    {
        ConfigStore &store = m_h->store;
        // systemctl names the unit, which differs for each server.
        const auto sched = m_h->scheduler(
            "if [ \"$2\" = enable ]; then echo \"Failed to enable unit $3: No medium found\" >&2; exit 1; fi\n");
        PendingImport pending;
        pending.fileName = QStringLiteral("fleet.json");
        for (int i = 0; i < 30; ++i) {
            Server server = scheduledServer(QStringLiteral("s%1").arg(i));
            server.id = QUuid::createUuid();
            pending.settings.servers << server;
        }
        QList<std::pair<int, int>> steps;
        const Outcome status = done(applyImport(&store, *sched, pending, [&](int n, int total) {
            steps.append({n, total});
        }));
        QCOMPARE(store.settings().servers.size(), 30);
        QCOMPARE(status.error().code, TransferError::Code::schedulesFailed);
        QVERIFY2(status.error().message.startsWith(
                     QStringLiteral("Imported 30 server(s) from fleet.json, but 30 schedules were not installed: ")),
                 qPrintable(status.error().message));
        QVERIFY2(status.error().message.contains(QStringLiteral("No medium found")),
                 qPrintable(status.error().message));
        QVERIFY(!status.error().message.contains(QStringLiteral("s1:")));
        QVERIFY(!status.error().message.contains(QStringLiteral("other reasons")));
        QCOMPARE(status.error().details.size(), 30);
        QVERIFY(status.error().details.last().startsWith(QStringLiteral("s29: ")));
        QCOMPARE(steps.size(), 30);
        QCOMPARE(steps.last(), (std::pair{30, 30}));
        QVERIFY2(m_h->callCount() <= 15, qPrintable(QString::number(m_h->callCount())));
    }

    void repeatedIdsAreMentioned()
    {
        Server server = scheduledServer(QStringLiteral("a"));
        server.scheduleEnabled = false;
        AppSettings twins;
        twins.servers = {server, server};
        writeFile(m_h->home.path() + QStringLiteral("/twins.json"), twins.encode());
        const auto read = readImport(m_h->home.path() + QStringLiteral("/twins.json"));
        QVERIFY(read);
        QVERIFY(read->settings.servers[0].id != read->settings.servers[1].id);
        const Scheduler sched = scheduler();
        QCOMPARE(*done(applyImport(&m_h->store, sched, *read)),
                 QStringLiteral("Imported 2 server(s) from twins.json (1 server(s) repeated another server's id and "
                                "were given a new one)"));
    }
};

QTEST_GUILESS_MAIN(TestConfigTransfer)
#include "tst_ConfigTransfer.moc"
