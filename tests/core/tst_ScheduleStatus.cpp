// SPDX-License-Identifier: GPL-3.0-or-later
// What schedules really are, read from a stand-in systemd user manager on a private bus.
#include "core/schedule/ScheduleStatus.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"

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
        QCOMPARE(state.message, ScheduleStatus::noManagerMessage);
    }

    void timersAsTheManagerReportsThem()
    {
        m_manager.setProcessEnvironment(m_bus->environment(QProcessEnvironment::systemEnvironment()));
        m_manager.start(QStringLiteral(TIDEWELL_SYSTEMD_STANDIN), {m_states});
        QVERIFY(m_manager.waitForReadyRead(10000));
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
};

QTEST_GUILESS_MAIN(TestScheduleStatus)
#include "tst_ScheduleStatus.moc"
