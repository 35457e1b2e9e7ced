// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration records and their JSON form.
#include "core/model/AppSettings.h"
#include "core/model/ReferenceDate.h"
#include "core/model/ServerCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTest>

class TestConfigModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void emptyObjectGivesDefaults()
    {
        const auto settings = AppSettings::decode("{}");
        QVERIFY(settings);
        QCOMPARE(*settings, AppSettings());
        QVERIFY(settings->servers.isEmpty());
        QCOMPARE(settings->destinationPath, QStringLiteral("~/Backups"));
        QVERIFY(settings->useDateSubfolder);
        QVERIFY(!settings->deleteExtraneous);
        QVERIFY(settings->compress);
        QVERIFY(settings->notificationsEnabled);
        QCOMPARE(settings->minFreeSpaceGB, 0);
        QCOMPARE(settings->retryAttempts, 2);
        QCOMPARE(settings->ioTimeoutSeconds, 300);
        QVERIFY(settings->linkToPreviousBackup);
        QCOMPARE(settings->networkWaitSeconds, 300);
        QVERIFY(settings->skipMeteredConnections);
    }

    // A file written before excludes, bandwidth limits, successes and the
    // network settings were kept reads with their defaults.
    void olderFilesReadWithTheNewKeysDefaulted()
    {
        const auto settings = AppSettings::decode(
            R"({"compress":true,"servers":[{"name":"web","lastRunAt":757385205,"lastExitCode":0,"scheduleEnabled":true,)"
            R"("paths":[{"name":"etc","remotePath":"/etc"}]}]})");
        QVERIFY(settings);
        const Server &server = settings->servers.at(0);
        QCOMPARE(server.bandwidthLimitKBps, 0);
        QCOMPARE(server.keepWeekly, 0);
        QCOMPARE(server.keepMonthly, 0);
        QVERIFY(!server.lastSuccessAt);
        QVERIFY(!server.scheduledSince);
        QVERIFY(server.paths.at(0).excludes.isEmpty());
        QCOMPARE(settings->networkWaitSeconds, 300);
        QVERIFY(settings->skipMeteredConnections);
        QVERIFY(!settings->encode().contains("lastSuccessAt"));
        // A server from before the Keep settings keeps today's copies, and its file stays as it was.
        QVERIFY(!server.preserveOwnership && !server.preserveHardLinks && !server.preserveACLs && !server.remoteSudo);
        QVERIFY(!settings->encode().contains("preserve"));
        QCOMPARE(settings->scheduleSpreadMinutes, 0);
        QCOMPARE(settings->minBatteryPercent, 30);
        QCOMPARE(settings->powerWaitSeconds, 300);
        // A threshold no battery has reads as the default, not as "always skip".
        QCOMPARE(AppSettings::decode(R"({"minBatteryPercent":150})")->minBatteryPercent, 30);
        QCOMPARE(AppSettings::decode(R"({"minBatteryPercent":0})")->minBatteryPercent, 0);
    }

    void serverWithOnlyANameTakesDefaultsAndAFreshId()
    {
        const QByteArray json = R"({"servers":[{"name":"web","paths":[{"name":"p"}]}]})";
        const auto first = AppSettings::decode(json);
        const auto second = AppSettings::decode(json);
        QVERIFY(first && second);
        const Server &server = first->servers.at(0);
        QCOMPARE(server.name, QStringLiteral("web"));
        QCOMPARE(server.port, 22);
        QCOMPARE(server.privateKeyPath, QStringLiteral("~/.ssh/id_ed25519"));
        QCOMPARE(server.scheduleTime, QStringLiteral("03:00"));
        QVERIFY(!server.scheduleEnabled);
        QCOMPARE(server.retentionCount, 0);
        QVERIFY(!server.useSSHAgent);
        QVERIFY(!server.lastRunAt && !server.lastExitCode);
        QVERIFY(server.paths.at(0).isDirectory && server.paths.at(0).enabled);
        QVERIFY(!server.id.isNull());
        QVERIFY(server.id != second->servers.at(0).id);
        QVERIFY(server.paths.at(0).id != second->servers.at(0).paths.at(0).id);
    }

    void nullAndMissingAreTheSame()
    {
        const auto withNull = AppSettings::decode(
            R"({"servers":[{"id":"0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60","lastRunAt":null,"lastExitCode":null,"port":null}],"compress":null})");
        QVERIFY(withNull);
        const Server &server = withNull->servers.at(0);
        QVERIFY(!server.lastRunAt && !server.lastExitCode);
        QCOMPARE(server.port, 22);
        QVERIFY(withNull->compress);
        // lower-case ids are read, upper-case written
        QCOMPARE(server.id, QUuid::fromString(QStringLiteral("0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60")));
        QVERIFY(withNull->encode().contains("\"0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60\""));
    }

    void wrongTypesFailTheWholeDocument_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("port as string") << QByteArray(R"({"servers":[{"port":"22"}]})");
        QTest::newRow("ISO date") << QByteArray(R"({"servers":[{"lastRunAt":"2025-01-31T02:00:00Z"}]})");
        QTest::newRow("bad uuid") << QByteArray(R"({"servers":[{"id":"not-a-uuid"}]})");
        QTest::newRow("braced uuid") << QByteArray(R"({"servers":[{"id":"{0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60}"}]})");
        QTest::newRow("fractional port") << QByteArray(R"({"servers":[{"port":22.5}]})");
        QTest::newRow("bool as number") << QByteArray(R"({"compress":1})");
        QTest::newRow("servers as object") << QByteArray(R"({"servers":{}})");
        QTest::newRow("path not an object") << QByteArray(R"({"servers":[{"paths":[3]}]})");
        QTest::newRow("deep path flag") << QByteArray(R"({"servers":[{"paths":[{"enabled":"yes"}]}]})");
        QTest::newRow("excludes as text") << QByteArray(R"({"servers":[{"paths":[{"excludes":"*.log"}]}]})");
        QTest::newRow("exclude not a text") << QByteArray(R"({"servers":[{"paths":[{"excludes":["*.log",3]}]}]})");
        QTest::newRow("fractional bandwidth") << QByteArray(R"({"servers":[{"bandwidthLimitKBps":1.5}]})");
        QTest::newRow("success as ISO date") << QByteArray(R"({"servers":[{"lastSuccessAt":"2025-01-31T02:00:00Z"}]})");
        QTest::newRow("metered as text") << QByteArray(R"({"skipMeteredConnections":"no"})");
        QTest::newRow("wait as text") << QByteArray(R"({"networkWaitSeconds":"300"})");
        QTest::newRow("malformed") << QByteArray(R"({"servers":[)");
        QTest::newRow("not an object") << QByteArray(R"([])");
    }

    void wrongTypesFailTheWholeDocument()
    {
        QFETCH(QByteArray, json);
        const auto decoded = AppSettings::decode(json);
        QVERIFY(!decoded);
        QVERIFY(!decoded.error().message.isEmpty());
    }

    void acceptsWhatReadersMustAccept()
    {
        const auto settings = AppSettings::decode(
            R"({"destinationPath":"\/Volumes\/Backup","unknownKey":[1,2],"servers":[{"port":65535,"retentionCount":-3,"extra":{}}]})");
        QVERIFY(settings);
        QCOMPARE(settings->destinationPath, QStringLiteral("/Volumes/Backup"));
        QCOMPARE(settings->servers.at(0).port, 65535);
        QCOMPARE(settings->servers.at(0).retentionCount, -3);
    }

    // Where and as whom to connect is never a default that stands in for a
    // wrong member: the whole document fails, or (read leniently, as the
    // store reads) that server is refused and the member written back as it was.
    void whereToConnectNeverFallsBack_data()
    {
        QTest::addColumn<QByteArray>("member");
        QTest::addColumn<int>("field");
        QTest::newRow("port as text") << QByteArray(R"("port":"24100")") << int(ServerCheck::Problem::Field::port);
        QTest::newRow("port 0") << QByteArray(R"("port":0)") << int(ServerCheck::Problem::Field::port);
        QTest::newRow("port -1") << QByteArray(R"("port":-1)") << int(ServerCheck::Problem::Field::port);
        QTest::newRow("port 70000") << QByteArray(R"("port":70000)") << int(ServerCheck::Problem::Field::port);
        QTest::newRow("host as number") << QByteArray(R"("host":10)") << int(ServerCheck::Problem::Field::host);
        QTest::newRow("user as list") << QByteArray(R"("username":["root"])")
                                      << int(ServerCheck::Problem::Field::username);
        QTest::newRow("key as bool") << QByteArray(R"("privateKeyPath":false)")
                                     << int(ServerCheck::Problem::Field::key);
        QTest::newRow("agent as text") << QByteArray(R"("useSSHAgent":"yes")") << int(ServerCheck::Problem::Field::key);
    }

    void whereToConnectNeverFallsBack()
    {
        QFETCH(QByteArray, member);
        QFETCH(int, field);
        QJsonObject entry = QJsonDocument::fromJson("{" + member + "}").object();
        for (const auto &[key, value] : {std::pair{QStringLiteral("name"), QStringLiteral("web")},
                                         std::pair{QStringLiteral("host"), QStringLiteral("h")},
                                         std::pair{QStringLiteral("username"), QStringLiteral("u")}}) {
            if (!entry.contains(key))
                entry.insert(key, value);
        }
        entry.insert(QStringLiteral("retentionCount"), QStringLiteral("many"));
        const QByteArray json =
            QJsonDocument(QJsonObject{{QStringLiteral("servers"), QJsonArray{entry}}}).toJson(QJsonDocument::Compact);
        QVERIFY(!AppSettings::decode(json));
        QStringList warnings;
        const auto lenient = AppSettings::decode(json, &warnings);
        QVERIFY(lenient);
        QCOMPARE(warnings.size(), 2); // the connection member and the count
        const Server &server = lenient->servers.at(0);
        const auto found = ServerCheck::problems(server, lenient->servers);
        QCOMPARE(found.size(), 1);
        QCOMPARE(int(found.first().field), field);
        QVERIFY(found.first().inFile);
        QVERIFY2(found.first().message.endsWith(QStringLiteral("this server is not backed up until it is corrected.")),
                 qPrintable(found.first().message));
        // Written back as the file had it; the count, which says nothing of
        // where, takes its default.
        const QJsonObject written = lenient->toJson().value(QStringLiteral("servers")).toArray().first().toObject();
        const QJsonObject original =
            QJsonDocument::fromJson(json).object().value(QStringLiteral("servers")).toArray().first().toObject();
        const QString key = QString::fromUtf8(member.split('"').at(1));
        QCOMPARE(written.value(key), original.value(key));
        QCOMPARE(written.value(QStringLiteral("retentionCount")), QJsonValue(0));
        // Set in the window, it is the server's again.
        Server corrected = server;
        corrected.host = QStringLiteral("h");
        corrected.username = QStringLiteral("u");
        corrected.markCorrected(key);
        QVERIFY(ServerCheck::problems(corrected, {corrected}).isEmpty());
    }

    void roundTripIsExact()
    {
        AppSettings settings;
        settings.destinationPath = QStringLiteral("/srv/backups/ünïcode \"q\"");
        settings.minFreeSpaceGB = 9007199254740993LL; // not representable as a double
        settings.retryAttempts = -9223372036854775807LL - 1;
        settings.ioTimeoutSeconds = 17;
        settings.linkToPreviousBackup = false;
        settings.networkWaitSeconds = 0;
        settings.skipMeteredConnections = false;
        Server server;
        server.name = QStringLiteral("web");
        server.port = 2222;
        server.lastRunAt = 757385205.123456;
        server.lastExitCode = 9223372036854775807LL;
        server.scheduleEnabled = true;
        server.lastSuccessAt = 757300000.5;
        server.scheduledSince = 700000000.25;
        server.bandwidthLimitKBps = 512;
        server.keepWeekly = 4;
        server.keepMonthly = 6;
        server.preserveHardLinks = server.preserveACLs = server.preserveXattrs = true;
        server.numericIds = server.sparseFiles = server.preserveOwnership = server.remoteSudo = true;
        server.remoteRsyncPath = QStringLiteral("/opt/bin/rsync");
        settings.scheduleSpreadMinutes = 45;
        server.paths.append(BackupPath{});
        server.paths.last().excludes = {QStringLiteral("node_modules/"), QStringLiteral("with space *.log"),
                                        QStringLiteral("/top-only"), QStringLiteral("ünï\"q\"")};
        server.paths.append(BackupPath{});
        server.paths.last().isDirectory = false;
        server.paths.last().preBackupCommand = QStringLiteral("pg_dump > /tmp/x && echo ok");
        settings.servers.append(server);
        settings.servers.append(Server{});

        const QByteArray encoded = settings.encode();
        const auto decoded = AppSettings::decode(encoded);
        QVERIFY(decoded);
        QCOMPARE(*decoded, settings);
        QCOMPARE(qHash(decoded->servers.at(0)), qHash(server));
        QVERIFY(encoded.contains("9007199254740993"));
        QVERIFY(encoded.contains("\"port\": 2222,"));
        QVERIFY(encoded.contains("\"bandwidthLimitKBps\": 512,"));
        QVERIFY(encoded.contains("\"keepMonthly\": 6,"));
        QVERIFY(encoded.contains("\"keepWeekly\": 4,"));
        QVERIFY(encoded.contains("\"networkWaitSeconds\": 0,"));
        QVERIFY(encoded.contains("\"preserveOwnership\": true,"));
        QVERIFY(encoded.contains("\"remoteRsyncPath\": \"/opt/bin/rsync\","));
        QVERIFY(encoded.contains("\"scheduleSpreadMinutes\": 45,"));
    }

    // A daily server's file has none of the other schedules' keys; the rest
    // come back as written, and one this version cannot keep is never read
    // as another schedule.
    void schedulesBesidesDaily()
    {
        Server daily;
        daily.scheduleEnabled = true;
        const QJsonObject plain = daily.toJson();
        for (const char *key : {"scheduleKind", "scheduleEveryHours", "scheduleWeekday", "scheduleCalendar"})
            QVERIFY2(!plain.contains(QLatin1String(key)), key);
        Server hourly = daily;
        hourly.scheduleKind = QStringLiteral("hours");
        hourly.scheduleEveryHours = 4;
        hourly.scheduleWeekday = 6;
        hourly.scheduleCalendar = QStringLiteral("Sat *-*-* 04:00");
        const auto back = Server::fromJson(hourly.toJson(), QStringLiteral("servers[0]"));
        QVERIFY(back);
        QCOMPARE(*back, hourly);
        QVERIFY(qHash(*back) != qHash(daily));

        const auto withKey = [&](const char *key, const QJsonValue &value) {
            QJsonObject object = plain;
            object.insert(QLatin1String(key), value);
            QStringList warnings;
            const auto read = Server::fromJson(object, QStringLiteral("servers[0]"), &warnings);
            return std::pair{read ? std::optional<Server>(*read) : std::nullopt, warnings};
        };
        const auto [monthly, kindWarnings] = withKey("scheduleKind", QStringLiteral("monthly"));
        QVERIFY(monthly);
        QCOMPARE(monthly->scheduleKind, QStringLiteral("daily"));
        QCOMPARE(kindWarnings.size(), 1);
        QVERIFY(kindWarnings.first().contains(QStringLiteral("servers[0].scheduleKind")));
        QCOMPARE(withKey("scheduleEveryHours", 5).first->scheduleEveryHours, 6);
        QCOMPARE(withKey("scheduleWeekday", 0).first->scheduleWeekday, 1);
        const auto [planted, calendarWarnings] = withKey("scheduleCalendar", QStringLiteral("daily\n[Service]"));
        QVERIFY(planted->scheduleCalendar.isEmpty());
        QCOMPARE(calendarWarnings.size(), 1);
        // Without warnings collected, a wrong one fails the document.
        QJsonObject wrong = plain;
        wrong.insert(QStringLiteral("scheduleKind"), QStringLiteral("monthly"));
        QVERIFY(!Server::fromJson(wrong, QStringLiteral("servers[0]")));
    }

    // Second copies: read with their defaults, written back exactly; a kind
    // or a list of servers that cannot be read fails the whole file rather
    // than send a server's days somewhere else than meant.
    void copyTargets()
    {
        const auto plain = AppSettings::decode(R"({"copyTargets": [{"name": "usb", "path": "/media/usb"}]})");
        QVERIFY(plain);
        QCOMPARE(plain->copyTargets.size(), 1);
        const CopyTarget &usb = plain->copyTargets.first();
        QVERIFY(usb.enabled);
        QCOMPARE(usb.kind, CopyTarget::Kind::folder);
        QCOMPARE(usb.port, 22);
        QVERIFY(usb.servers.isEmpty());
        QVERIFY(!usb.id.isNull());
        Server server;
        server.retentionCount = 7;
        server.keepMonthly = 3;
        QCOMPARE(usb.retentionOf(server).retentionCount, 7);
        QCOMPARE(plain->copyOverdueDays, 3);
        QCOMPARE(plain->copyTarget(QStringLiteral("usb")), &usb);

        AppSettings settings;
        CopyTarget vault;
        vault.name = QStringLiteral("vault ü");
        vault.kind = CopyTarget::Kind::ssh;
        vault.host = QStringLiteral("backup.example.org");
        vault.port = 2200;
        vault.username = QStringLiteral("copies");
        vault.privateKeyPath = QStringLiteral("~/.ssh/vault");
        vault.path = QStringLiteral("~/copies");
        vault.servers = {server.id};
        vault.keepDaily = 0;
        vault.keepMonthly = 12;
        settings.copyTargets = {usb, vault};
        settings.copyOverdueDays = 5;
        const auto decoded = AppSettings::decode(settings.encode());
        QVERIFY(decoded);
        QCOMPARE(*decoded, settings);
        QCOMPARE(decoded->copyTargets.at(1).retentionOf(server).retentionCount, 0);
        QCOMPARE(decoded->copyTargets.at(1).retentionOf(server).keepMonthly, 12);
        QVERIFY(!AppSettings().encode().contains("copyTargets"));

        for (const QByteArray &wrong : {QByteArray(R"({"copyTargets": [{"kind": "s3"}]})"),
                                        QByteArray(R"({"copyTargets": [{"servers": ["not an id"]}]})"),
                                        QByteArray(R"({"copyTargets": ["usb"]})")}) {
            QStringList warnings;
            QVERIFY2(!AppSettings::decode(wrong, &warnings), wrong.constData());
        }
    }

    void encodingSortsKeysAndLeavesOutAbsentRunInfo()
    {
        AppSettings settings;
        settings.servers.append(Server{});
        const QByteArray encoded = settings.encode();
        QVERIFY(!encoded.contains("lastRunAt"));
        QVERIFY(!encoded.contains("lastExitCode"));
        QVERIFY(encoded.contains('\n')); // pretty-printed
        const QList<QByteArray> keyOrder = {"compress",       "deleteExtraneous",     "destinationPath",
                                            "minFreeSpaceGB", "notificationsEnabled", "retryAttempts",
                                            "servers",        "useDateSubfolder"};
        qsizetype last = -1;
        for (const QByteArray &key : keyOrder) {
            const qsizetype at = encoded.indexOf(QByteArray("\"" + key + "\""));
            QVERIFY2(at > last, key.constData());
            last = at;
        }
        QVERIFY(encoded.indexOf("\"host\"") < encoded.indexOf("\"id\""));
    }

    void equalityAndHashCoverEveryField()
    {
        Server a;
        Server b = a;
        QCOMPARE(a, b);
        b.lastRunAt = 1.0;
        QVERIFY(a != b);
        QVERIFY(qHash(a) != qHash(b));
        BackupPath p;
        BackupPath q = p;
        q.preBackupCommand = QStringLiteral("x");
        QVERIFY(p != q);
        BackupPath r = p;
        r.excludes = {QStringLiteral("*.log")};
        QVERIFY(p != r);
        QVERIFY(qHash(p) != qHash(r));
        Server c = a;
        c.lastSuccessAt = 1.0;
        QVERIFY(a != c && qHash(a) != qHash(c));
        Server d = a;
        d.bandwidthLimitKBps = 1;
        QVERIFY(a != d && qHash(a) != qHash(d));
        Server e = a;
        e.keepWeekly = 2;
        QVERIFY(a != e && qHash(a) != qHash(e));
        Server f = a;
        f.remoteSudo = true;
        QVERIFY(a != f && qHash(a) != qHash(f));
    }

    void referenceDateIsSince2001()
    {
        const QDateTime epoch2001(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
        QCOMPARE(ReferenceDate::fromDateTime(epoch2001), 0.0);
        QCOMPARE(ReferenceDate::toDateTime(86400.5).toUTC(), epoch2001.addSecs(86400).addMSecs(500));
    }

    // Mutated configurations never crash the decoder: they decode or fail with a reason.
    void mutatedConfigurationsNeverCrash()
    {
        AppSettings settings;
        Server server;
        server.name = QStringLiteral("web");
        server.lastRunAt = 1.5;
        server.lastExitCode = 3;
        server.paths = {BackupPath{}, BackupPath{}};
        settings.servers = {server, Server{}};
        const QByteArray seed = settings.encode();
        const QByteArray alphabet = "{}[]\":,0123456789-.eE truefalsnul\\/\x00\xff\xc3\xa9";
        QRandomGenerator random(20261206);
        int decoded = 0;
        for (int i = 0; i < 400; ++i) {
            QByteArray mutated = seed;
            for (int edits = random.bounded(1, 8); edits > 0; --edits) {
                const qsizetype at = random.bounded(mutated.size());
                switch (random.bounded(3)) {
                case 0:
                    mutated[at] = alphabet.at(random.bounded(alphabet.size()));
                    break;
                case 1:
                    mutated.remove(at, random.bounded(1, 20));
                    break;
                default:
                    mutated.insert(at, mutated.mid(random.bounded(mutated.size()), random.bounded(1, 40)));
                }
            }
            const auto result = AppSettings::decode(mutated);
            if (result) {
                ++decoded;
                AppSettings copy = *result;
                copy.reassignDuplicateIds();
                QVERIFY(AppSettings::decode(copy.encode()));
            } else {
                QVERIFY(!result.error().message.isEmpty());
            }
        }
        QVERIFY(decoded > 0);
    }
};

QTEST_GUILESS_MAIN(TestConfigModel)
#include "tst_ConfigModel.moc"
