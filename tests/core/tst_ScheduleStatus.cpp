// SPDX-License-Identifier: GPL-3.0-or-later
// Schedules through a stand-in systemd user manager on a private bus: what
// they really are, read and followed by its signals, and installed over D-Bus.
#include "core/schedule/ScheduleStatus.h"
#include "fixtures/Await.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QTimeZone>

using namespace TestHelpers;

class TestScheduleStatus : public QObject
{
    Q_OBJECT

    DbusSessionFixture *m_bus = nullptr;
    QProcess m_manager;
    std::unique_ptr<EngineHarness> m_h;
    std::unique_ptr<Scheduler> m_scheduler;
    std::unique_ptr<ScheduleStatus> m_status;
    QString m_states;

    void setUnits(const QJsonObject &units) { writeFile(m_states, QJsonDocument(units).toJson()); }

    ScheduleStatus::State read(const Server &server)
    {
        QSignalSpy changed(m_status.get(), &ScheduleStatus::changed);
        m_status->refresh(server.id);
        if (changed.isEmpty())
            changed.wait(5000);
        return m_status->state(server.id);
    }

    Server scheduled()
    {
        Server server = runnableServer();
        server.scheduleEnabled = true;
        return m_h->add(server);
    }

    void startManager()
    {
        if (m_manager.state() == QProcess::Running) {
            m_manager.kill();
            m_manager.waitForFinished();
        }
        m_manager.setProcessEnvironment(m_bus->environment(QProcessEnvironment::systemEnvironment()));
        m_manager.start(QStringLiteral(TIDEWELL_SYSTEMD_STANDIN), {m_states, managerCalls()});
        QVERIFY(m_manager.waitForReadyRead(10000));
    }

    QString managerCalls() const { return m_h->home.path() + QStringLiteral("/manager-calls"); }

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = new DbusSessionFixture;
        QVERIFY(m_bus->isRunning());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus->address().toUtf8());
    }

    void cleanupTestCase()
    {
        m_manager.kill();
        m_manager.waitForFinished();
        delete m_bus;
    }

    void init()
    {
        m_h = std::make_unique<EngineHarness>();
        m_scheduler = m_h->scheduler();
        m_scheduler->setBus(QDBusConnection::sessionBus()); // the private bus
        m_status = std::make_unique<ScheduleStatus>(&m_h->store, m_scheduler.get());
        m_states = m_h->home.path() + QStringLiteral("/units.json");
    }

    void cleanup()
    {
        m_status.reset();
        m_h.reset();
    }

    void withoutAUserManagerNothingCanRun()
    {
        const Server server = scheduled();
        const ScheduleStatus::State state = read(server);
        QCOMPARE(state.kind, ScheduleStatus::State::Kind::broken);
        QCOMPARE(state.message, ScheduleStatus::noManagerMessage());
    }

    void timersAsTheManagerReportsThem()
    {
        startManager();
        const Server server = scheduled();
        const QString unit = Scheduler::label(server.id) + QStringLiteral(".timer");
        const QDateTime next(QDate(2030, 1, 2), QTime(3, 0), QTimeZone::utc());

        setUnits(
            {{unit, QJsonObject{{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                                {QStringLiteral("ActiveState"), QStringLiteral("active")},
                                {QStringLiteral("NextElapseUSecRealtime"), double(next.toMSecsSinceEpoch()) * 1000}}}});
        ScheduleStatus::State state = read(server);
        QCOMPARE(state.kind, ScheduleStatus::State::Kind::working);
        QCOMPARE(state.next, next);
        QVERIFY(m_status->isWorking(server.id));

        setUnits({});
        state = read(server);
        QCOMPARE(state.kind, ScheduleStatus::State::Kind::broken);
        QVERIFY(state.message.startsWith(QStringLiteral("The daily timer is not installed")));

        setUnits({{unit, QJsonObject{{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                                     {QStringLiteral("ActiveState"), QStringLiteral("failed")}}}});
        QVERIFY(read(server).message.startsWith(QStringLiteral("The daily timer has failed.")));

        setUnits({{unit, QJsonObject{{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                                     {QStringLiteral("ActiveState"), QStringLiteral("inactive")}}}});
        QVERIFY(read(server).message.startsWith(QStringLiteral("The daily timer is installed but not running.")));

        // A schedule switched off is not read, and has no state.
        m_h->store.updateServer(server.id, [](Server &s) { s.scheduleEnabled = false; });
        m_status->refresh();
        QCOMPARE(m_status->state(server.id).kind, ScheduleStatus::State::Kind::notScheduled);
    }

    // Once read, a timer is read again when the manager says it changed:
    // nothing polls.
    void changesArriveWithoutAsking()
    {
        startManager();
        const Server server = scheduled();
        const QString unit = Scheduler::label(server.id) + QStringLiteral(".timer");
        const QJsonObject active{{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                                 {QStringLiteral("ActiveState"), QStringLiteral("active")}};
        setUnits({{unit, active}});
        QCOMPARE(read(server).kind, ScheduleStatus::State::Kind::working);
        QTRY_VERIFY(readFile(managerCalls()).contains("Subscribe"));

        QSignalSpy changed(m_status.get(), &ScheduleStatus::changed);
        setUnits({{unit, QJsonObject{{QStringLiteral("LoadState"), QStringLiteral("loaded")},
                                     {QStringLiteral("ActiveState"), QStringLiteral("failed")}}}});
        QDBusMessage poke = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.systemd1"), QStringLiteral("/org/freedesktop/systemd1"),
            QStringLiteral("org.freedesktop.systemd1.Manager"), QStringLiteral("EmitUnitChanged"));
        poke << unit;
        QDBusConnection::sessionBus().call(poke);
        QTRY_VERIFY(!changed.isEmpty());
        QTRY_VERIFY(m_status->state(server.id).message.startsWith(QStringLiteral("The daily timer has failed.")));
    }

    // Installing goes to the manager over D-Bus, answered asynchronously:
    // the event loop turns while it waits (await() fails a test whose loop stalls).
    void installAndUninstallOverTheBus()
    {
        startManager();
        setUnits({{QStringLiteral("delayMs"), 400}});
        Server server = scheduled();
        const QString timer = Scheduler::label(server.id) + QStringLiteral(".timer");
        QVERIFY(done(m_scheduler->install(server)));
        QCOMPARE(QString::fromUtf8(readFile(managerCalls())).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("Reload"), QStringLiteral("EnableUnitFiles ") + timer,
                              QStringLiteral("RestartUnit ") + timer,
                              QStringLiteral("EnableUnitFiles org.tidewell.check.timer"),
                              QStringLiteral("RestartUnit org.tidewell.check.timer")}));
        QVERIFY(readFile(m_h->calls()).isEmpty()); // systemctl never ran
        QVERIFY(QFile::exists(m_scheduler->plistURL(server.id)));

        QFile::remove(managerCalls());
        QVERIFY(done(m_scheduler->uninstall(server.id)));
        QCOMPARE(QString::fromUtf8(readFile(managerCalls())).split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("DisableUnitFiles ") + timer, QStringLiteral("StopUnit ") + timer,
                              QStringLiteral("Reload")}));
        QVERIFY(!QFile::exists(m_scheduler->plistURL(server.id)));
    }

    // A manager that refuses: a new schedule leaves nothing behind, a changed
    // one keeps the units it had.
    void aRefusalPutsTheOldUnitsBack()
    {
        startManager();
        Server server = scheduled();
        QVERIFY(done(m_scheduler->install(server)));
        const QByteArray timer = readFile(m_scheduler->plistURL(server.id));
        setUnits({{QStringLiteral("fail"),
                   QJsonObject{{QStringLiteral("EnableUnitFiles"), QStringLiteral("Access denied")}}}});
        server.scheduleTime = QStringLiteral("04:30");
        const auto changed = done(m_scheduler->install(server));
        QVERIFY(!changed);
        QCOMPARE(changed.error().message, QStringLiteral("The systemd user manager refused: Access denied"));
        QCOMPARE(readFile(m_scheduler->plistURL(server.id)), timer);

        Server fresh = scheduled();
        fresh.id = QUuid::createUuid();
        QVERIFY(!done(m_scheduler->install(fresh)));
        QVERIFY(!QFile::exists(m_scheduler->plistURL(fresh.id)));
        QVERIFY(!QFile::exists(m_scheduler->serviceUnitPath(fresh.id)));
    }
};

QTEST_GUILESS_MAIN(TestScheduleStatus)
#include "tst_ScheduleStatus.moc"
