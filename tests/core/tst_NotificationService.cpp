// SPDX-License-Identifier: GPL-3.0-or-later
// Notification texts and delivery over a private session bus.
#include "core/model/ReferenceDate.h"
#include "core/presentation/OverdueWatch.h"
#include "core/report/RunNotifier.h"
#include "core/storage/ConfigStore.h"
#include "core/system/NotificationService.h"
#include "fixtures/Await.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/TempHome.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using namespace TestHelpers;

class TestNotificationService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = new DbusSessionFixture;
        QVERIFY(m_bus->isRunning());
        // The service posts on the session bus; point this process at the private one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
    }

    void cleanupTestCase() { delete m_bus; }

    void bodiesAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("exitCode");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("hint");
        QTest::newRow("success") << "web" << QVariant(0) << QStringLiteral("✓ web — backup completed") << "urgency";
        QTest::newRow("failure") << "web" << QVariant(23) << QStringLiteral("✗ web — backup failed (exit 23)")
                                 << "urgency";
        QTest::newRow("negative") << "web" << QVariant(-1) << QStringLiteral("✗ web — backup failed (exit -1)")
                                  << "urgency";
        QTest::newRow("unknown") << "" << QVariant() << QStringLiteral("(untitled) — backup ended (status unknown)")
                                 << "suppress-sound";
    }

    void bodiesAndHints()
    {
        QFETCH(QString, name);
        QFETCH(QVariant, exitCode);
        QFETCH(QString, body);
        QFETCH(QString, hint);
        Server server;
        server.name = name;
        const auto code = exitCode.isValid() ? std::optional<qint64>(exitCode.toLongLong()) : std::nullopt;
        const auto content = NotificationService::contentFor(server, code);
        QCOMPARE(content.title, QStringLiteral("Tidewell"));
        QCOMPARE(content.body, body);
        QVERIFY(content.hints.contains(hint));
        if (code)
            QCOMPARE(content.hints.value(QStringLiteral("urgency")).value<uchar>(), uchar(*code == 0 ? 1 : 2));
    }

    // A copy that succeeded while old snapshots stayed is no plain success.
    void aWarningIsSaid()
    {
        Server server;
        server.name = QStringLiteral("web");
        const auto content =
            NotificationService::contentFor(server, 0, false, QStringLiteral("old backups could not be deleted"));
        QCOMPARE(content.body, QStringLiteral("⚠ web — backup completed, but old backups could not be deleted"));
        QCOMPARE(content.hints.value(QStringLiteral("urgency")).value<uchar>(), uchar(2));
    }

    // Delivery: as Tidewell (its icon and desktop entry), a new notification
    // each time, and no actions for a headless run.
    void postsToThePrivateBus()
    {
        Server server;
        server.name = QStringLiteral("web");
        const qsizetype before = m_bus->notifications().size();
        NotificationService::postBackupResult(server, 0);
        NotificationService::postBackupResult(server, 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 2, 5000);
        const QJsonObject first = m_bus->notifications().at(before);
        QCOMPARE(first.value(QStringLiteral("summary")).toString(), QStringLiteral("Tidewell"));
        QCOMPARE(first.value(QStringLiteral("body")).toString(), QStringLiteral("✓ web — backup completed"));
        QCOMPARE(first.value(QStringLiteral("replacesId")).toInt(), 0);
        QCOMPARE(first.value(QStringLiteral("icon")).toString(), QStringLiteral("org.tidewell.Tidewell"));
        const QJsonObject hints = first.value(QStringLiteral("hints")).toObject();
        QCOMPARE(hints.value(QStringLiteral("urgency")).toString(), QStringLiteral("byte:1"));
        QCOMPARE(hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.tidewell.Tidewell"));
        QVERIFY(first.value(QStringLiteral("actions")).toArray().isEmpty());
    }

    // A name is the user's text, never markup: escaped for a service that
    // renders markup, as it is for one that does not; a long one is cut.
    void namesAreTextAndShort()
    {
        Server server;
        server.name = QStringLiteral("R&D <b>prod</b>");
        const qsizetype before = m_bus->notifications().size();
        QVERIFY(m_bus->setCapabilities({QStringLiteral("body"), QStringLiteral("body-markup")}));
        NotificationService::forgetCapabilitiesForTesting();
        NotificationService::postBackupResult(server, 0);
        QVERIFY(m_bus->setCapabilities({QStringLiteral("body")}));
        NotificationService::forgetCapabilitiesForTesting();
        NotificationService::postBackupResult(server, 0);
        server.name = QString(70, u'x') + QStringLiteral(" end");
        NotificationService::postBackupResult(server, 23);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 3, 5000);
        QCOMPARE(m_bus->notifications().at(before).value(QStringLiteral("body")).toString(),
                 QStringLiteral("✓ R&amp;D &lt;b&gt;prod&lt;/b&gt; — backup completed"));
        QCOMPARE(m_bus->notifications().at(before + 1).value(QStringLiteral("body")).toString(),
                 QStringLiteral("✓ R&D <b>prod</b> — backup completed"));
        QCOMPARE(m_bus->notifications().at(before + 2).value(QStringLiteral("body")).toString(),
                 QStringLiteral("✗ ") + QString(59, u'x') + QStringLiteral("… — backup failed (exit 23)"));
    }

    // A run of the window offers "Show" and "View log"; a click comes back
    // as a request for that server, and a click elsewhere is not ours.
    void windowRunsOfferActionsThatComeBack()
    {
        EngineHarness h;
        h.store.update([](AppSettings &s) { s.notificationsEnabled = true; });
        h.runner.setRsyncProbe(h.fakeRsync(0));
        RunNotifier notifier(&h.runner, RunNotifier::Actions::offered);
        QSignalSpy shown(&notifier, &RunNotifier::serverRequested);
        QSignalSpy logs(&notifier, &RunNotifier::logRequested);
        const Server server = h.add(runnableServer());

        const auto runAndNotice = [&]() -> QJsonObject {
            const qsizetype before = m_bus->notifications().size();
            if (!awaitVoid(h.runner.run(server, &h.store), 30000))
                return {};
            if (!QTest::qWaitFor([&] { return m_bus->notifications().size() == before + 1; }, 5000))
                return {};
            return m_bus->notifications().last();
        };
        QJsonObject posted = runAndNotice();
        QCOMPARE(posted.value(QStringLiteral("actions")).toArray(),
                 QJsonArray({QStringLiteral("default"), QStringLiteral("Show"), QStringLiteral("view-log"),
                             QStringLiteral("View log")}));
        QVERIFY(m_bus->invokeAction(uint(posted.value(QStringLiteral("id")).toInteger()), QStringLiteral("default")));
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(shown.first().first().toUuid(), server.id);

        posted = runAndNotice();
        QVERIFY(m_bus->invokeAction(uint(posted.value(QStringLiteral("id")).toInteger()), QStringLiteral("view-log")));
        QTRY_COMPARE(logs.size(), 1);
        QCOMPARE(logs.first().first().toUuid(), server.id);

        QVERIFY(m_bus->invokeAction(9999, QStringLiteral("view-log")));
        QTest::qWait(200);
        QCOMPARE(logs.size(), 1);
        QCOMPARE(shown.size(), 1);
    }

    // One notice per overdue server per day, also across a restart of the
    // window; none while notifications are off.
    void overdueNoticeOncePerDay()
    {
        TempHome home;
        const QDateTime now(QDate(2026, 3, 18), QTime(12, 0));
        Server late;
        late.name = QStringLiteral("web-01");
        late.scheduleEnabled = true;
        late.lastExitCode = 0;
        late.lastRunAt = late.lastSuccessAt = ReferenceDate::fromDateTime(now.addSecs(-73 * 3600));
        Server fresh = late;
        fresh.id = QUuid::createUuid();
        fresh.name = QStringLiteral("db");
        fresh.lastRunAt = fresh.lastSuccessAt = ReferenceDate::fromDateTime(now.addSecs(-3600));
        Server never = late;
        never.id = QUuid::createUuid();
        never.name = QStringLiteral("new");
        never.lastExitCode.reset();
        never.lastRunAt.reset();
        never.lastSuccessAt.reset();
        never.scheduledSince = ReferenceDate::fromDateTime(now.addDays(-2));
        ConfigStore store;
        store.update([&](AppSettings &s) { s.servers = {late, fresh, never}; });

        const qsizetype before = m_bus->notifications().size();
        {
            OverdueWatch watch(&store);
            watch.setNowForTesting([&] { return now; });
            QCOMPARE(watch.check(), (QList<QUuid>{late.id, never.id}));
            QCOMPARE(watch.check(), QList<QUuid>());
        }
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 2, 5000);
        QCOMPARE(m_bus->notifications().at(before).value(QStringLiteral("body")).toString(),
                 QStringLiteral("⚠ web-01 — no successful backup for 3 days"));
        QCOMPARE(m_bus->notifications().at(before + 1).value(QStringLiteral("body")).toString(),
                 QStringLiteral("⚠ new — no successful backup yet"));

        OverdueWatch restarted(&store);
        restarted.setNowForTesting([&] { return now.addSecs(3600); });
        QCOMPARE(restarted.check(), QList<QUuid>());
        restarted.setNowForTesting([&] { return now.addDays(1); });
        QCOMPARE(restarted.check(), (QList<QUuid>{late.id, never.id}));
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 4, 5000);
        QCOMPARE(m_bus->notifications().at(before + 2).value(QStringLiteral("body")).toString(),
                 QStringLiteral("⚠ web-01 — no successful backup for 4 days"));

        store.update([](AppSettings &s) { s.notificationsEnabled = false; });
        restarted.setNowForTesting([&] { return now.addDays(2); });
        QCOMPARE(restarted.check(), QList<QUuid>());
    }

    // Three servers or fewer: a notice each. More overdue or failing at once:
    // one summary, whose "Show" asks for them.
    void aSummaryInsteadOfAFlood()
    {
        TempHome home;
        const QDateTime now(QDate(2026, 3, 18), QTime(12, 0));
        const auto overdueServer = [&](const QString &name) {
            Server server;
            server.name = name;
            server.scheduleEnabled = true;
            server.lastExitCode = 0;
            server.lastRunAt = server.lastSuccessAt = ReferenceDate::fromDateTime(now.addDays(-3));
            return server;
        };
        ConfigStore store;
        store.update([&](AppSettings &s) {
            s.servers = {overdueServer(QStringLiteral("a")), overdueServer(QStringLiteral("b"))};
        });
        const qsizetype before = m_bus->notifications().size();
        OverdueWatch watch(&store);
        watch.setNowForTesting([&] { return now; });
        QCOMPARE(watch.check().size(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 2, 5000);

        QList<Server> many;
        for (int i = 0; i < 5; ++i)
            many << overdueServer(QStringLiteral("web-%1").arg(i));
        for (int i = 0; i < 2; ++i) {
            Server failing = overdueServer(QStringLiteral("db-%1").arg(i));
            failing.lastExitCode = 23;
            failing.lastRunAt = ReferenceDate::fromDateTime(now.addSecs(-3600));
            // Run by hand only: failing all the same.
            failing.scheduleEnabled = i == 0;
            many << failing;
        }
        store.update([&](AppSettings &s) { s.servers = many; });
        QSignalSpy asked(&watch, &OverdueWatch::attentionRequested);
        QCOMPARE(watch.check().size(), 7);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 3, 5000);
        const QJsonObject summary = m_bus->notifications().last();
        QCOMPARE(summary.value(QStringLiteral("body")).toString(),
                 QStringLiteral("⚠ 7 servers need attention\nweb-0, web-1, web-2, web-3, web-4 and 2 more"));
        QVERIFY(m_bus->invokeAction(uint(summary.value(QStringLiteral("id")).toInteger()), QStringLiteral("default")));
        QTRY_COMPARE_WITH_TIMEOUT(asked.size(), 1, 5000);
        QCOMPARE(asked.first().first().value<QList<QUuid>>().size(), 7);
        QCOMPARE(watch.check(), QList<QUuid>()); // told for today
    }

    // A FIFO where the notices are kept never holds up the window's start.
    void aFifoForTheNoticesIsSkipped()
    {
        TempHome home;
        ConfigStore store;
        QDir().mkpath(QFileInfo(OverdueWatch::noticesFile()).absolutePath());
        QVERIFY(::mkfifo(QFile::encodeName(OverdueWatch::noticesFile()).constData(), 0600) == 0);
        OverdueWatch watch(&store);
        watch.start();
        QCOMPARE(watch.check(), QList<QUuid>());
    }

private:
    DbusSessionFixture *m_bus = nullptr;
};

QTEST_GUILESS_MAIN(TestNotificationService)
#include "tst_NotificationService.moc"
