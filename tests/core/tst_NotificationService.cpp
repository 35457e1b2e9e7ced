// Notification texts and delivery over a private session bus.
#include "core/system/NotificationService.h"
#include "fixtures/DbusSessionFixture.h"

#include <QDBusConnection>
#include <QTest>

class TestNotificationService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bodiesAndHints_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVariant>("exitCode");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("hint");
        QTest::newRow("success") << "web" << QVariant(0) << QStringLiteral("✓ web — backup completed") << "urgency";
        QTest::newRow("failure") << "web" << QVariant(23) << QStringLiteral("✗ web — backup failed (exit 23)") << "urgency";
        QTest::newRow("negative") << "web" << QVariant(-1) << QStringLiteral("✗ web — backup failed (exit -1)") << "urgency";
        QTest::newRow("unknown") << "" << QVariant() << QStringLiteral("(untitled) — backup ended (status unknown)") << "suppress-sound";
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

    void postsToThePrivateBus()
    {
        DbusSessionFixture bus;
        QVERIFY(bus.isRunning());
        QDBusConnection connection = QDBusConnection::connectToBus(bus.address(), QStringLiteral("private"));
        QVERIFY(connection.isConnected());
        // The service posts on the session bus; point this process at the private one.
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
        Server server;
        server.name = QStringLiteral("web");
        NotificationService::postBackupResult(server, 0);
        NotificationService::postBackupResult(server, 0);
        QTRY_COMPARE_WITH_TIMEOUT(bus.notifications().size(), 2, 5000);
        const QJsonObject first = bus.notifications().first();
        QCOMPARE(first.value(QStringLiteral("summary")).toString(), QStringLiteral("Tidewell"));
        QCOMPARE(first.value(QStringLiteral("body")).toString(), QStringLiteral("✓ web — backup completed"));
        QCOMPARE(first.value(QStringLiteral("replacesId")).toInt(), 0);
        QCOMPARE(first.value(QStringLiteral("hints")).toObject().value(QStringLiteral("urgency")).toString(), QStringLiteral("byte:1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("private"));
    }
};

QTEST_GUILESS_MAIN(TestNotificationService)
#include "tst_NotificationService.moc"
