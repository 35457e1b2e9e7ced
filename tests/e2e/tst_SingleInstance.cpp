// SPDX-License-Identifier: GPL-3.0-or-later
// One window per session: the built binary against a private session bus.
#include "core/system/SingleInstance.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/TempHome.h"
#include "fixtures/TidewellProcess.h"

#include <QDBusConnectionInterface>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace TestHelpers;

// Holds the name and answers ShowMainWindow as some other program would.
class Squatter : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.tidewell.Tidewell")

public:
    int calls = 0;

public Q_SLOTS:
    void ShowMainWindow() { ++calls; }
};

class TestSingleInstance : public QObject
{
    Q_OBJECT

    DbusSessionFixture *m_bus = nullptr;

    // The binary as a user starts it, on the private bus, offscreen.
    void start(QProcess &process, const TempHome &home, const QStringList &arguments = {})
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(tidewellEnvironment(home, env));
        process.start(QStringLiteral(TIDEWELL_BINARY), arguments);
    }

    QDBusConnection connection(const QString &name) { return QDBusConnection::connectToBus(m_bus->address(), name); }

private Q_SLOTS:
    void initTestCase()
    {
        m_bus = new DbusSessionFixture;
        QVERIFY(m_bus->isRunning());
    }

    void cleanupTestCase() { delete m_bus; }

    // A second start asks the first for its window and ends; a headless run
    // does its own work and never asks.
    void aSecondStartShowsTheFirstWindow()
    {
        SingleInstance first;
        QCOMPARE(first.claim(connection(QStringLiteral("first"))), SingleInstance::Claim::first);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        TempHome home;

        QProcess second;
        start(second, home);
        // The event loop turns here, so this process answers the call.
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(shown.size(), 1);

        QProcess headless;
        start(headless, home, {QStringLiteral("--run-backup"), QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60")});
        QTRY_COMPARE_WITH_TIMEOUT(headless.state(), QProcess::NotRunning, 20000);
        QCOMPARE(headless.exitCode(), 2); // unknown server: its own answer, not a hand-over
        QCOMPARE(shown.size(), 1);
    }

    // The window owns the name, and raises itself when asked; once it is
    // gone, the name is free again.
    void theWindowOwnsTheName()
    {
        TempHome home;
        QProcess window;
        start(window, home);
        QDBusConnection bus = connection(QStringLiteral("observer"));
        QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(SingleInstance::serviceName), 20000);

        {
            SingleInstance later;
            QCOMPARE(later.claim(bus), SingleInstance::Claim::handedOver);
        }
        QCOMPARE(window.state(), QProcess::Running);
        window.terminate();
        QVERIFY(window.waitForFinished(10000));
        QTRY_VERIFY_WITH_TIMEOUT(!bus.interface()->isServiceRegistered(SingleInstance::serviceName), 10000);
        SingleInstance next;
        QCOMPARE(next.claim(bus), SingleInstance::Claim::first);
    }

    // A program that holds the name and answers without being Tidewell (or
    // not at all) never stops Tidewell from opening its window.
    void aSquatterOnTheNameGetsNoHandOver()
    {
        QDBusConnection bus = connection(QStringLiteral("squatter"));
        Squatter squatter;
        QVERIFY(bus.registerObject(SingleInstance::objectPath, &squatter, QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(SingleInstance::serviceName));
        TempHome home;
        QProcess window;
        start(window, home);
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT((errors += window.readAllStandardError()).contains("no Tidewell window"), 20000);
        QCOMPARE(squatter.calls, 1);
        QTest::qWait(500);
        QCOMPARE(window.state(), QProcess::Running); // its own window, open
        window.terminate();
        QVERIFY(window.waitForFinished(10000));
        bus.unregisterService(SingleInstance::serviceName);
        bus.unregisterObject(SingleInstance::objectPath);
    }

    void withoutABusEveryStartIsAlone()
    {
        SingleInstance instance;
        QCOMPARE(instance.claim(QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                              QStringLiteral("none"))),
                 SingleInstance::Claim::alone);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_SingleInstance.moc"
