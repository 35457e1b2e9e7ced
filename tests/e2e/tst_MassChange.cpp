// SPDX-License-Identifier: GPL-3.0-or-later
// A server whose files were encrypted by ransomware, or whose path is
// suddenly empty, against the real sshd and rsync: the day is kept, old days
// are not pruned until the user confirms, and everything that watches the
// server says so.
#include "core/engine/MassChange.h"
#include "core/engine/Snapshots.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace TestHelpers;

class TestMassChange : public SshdBackupTest
{
    Q_OBJECT

public:
    TestMassChange()
        : SshdBackupTest(true)
    { }

private:
    QString tree() const { return m_s->remote + QStringLiteral("/site"); }

    void fillTree(int files)
    {
        for (int i = 0; i < files; ++i)
            writeFile(tree() + QStringLiteral("/dir %1/file-%2.txt").arg(i % 7).arg(i),
                      QByteArray("original content of file ") + QByteArray::number(i));
    }

    // What ransomware does: every file read, rewritten, longer.
    void encrypt(int files)
    {
        for (int i = 0; i < files; ++i) {
            const QString name = tree() + QStringLiteral("/dir %1/file-%2.txt").arg(i % 7).arg(i);
            QByteArray bytes = readFile(name);
            for (char &c : bytes)
                c = char(c ^ 0x5a);
            writeFile(name, bytes + "-LOCKED");
        }
    }

    QStringList days() const
    {
        QStringList names;
        for (const Snapshots::Backup &backup : Snapshots::list(m_s->serverFolder()))
            names << backup.name;
        return names;
    }

    Server configure(qint64 keep)
    {
        return m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())},
                                [keep](AppSettings &s) { s.servers[0].retentionCount = keep; });
    }

    static QString day(int offset) { return QDate::currentDate().addDays(offset).toString(Qt::ISODate); }

private Q_SLOTS:
    // 240 of 300 files rewritten: the day is kept with a warning, the next
    // five days prune nothing though only two days are to be kept, the
    // status says so, and --accept-changes lets retention go on.
    void aRansomedServerNeverPrunesTheGoodDays()
    {
        fillTree(300);
        const Server server = configure(2);
        const QDate today = QDate::currentDate();
        QCOMPARE(m_s->runOn(today.addDays(-9), server).exitCode, 0);
        writeFile(tree() + QStringLiteral("/dir 0/file-0.txt"), "edited once, as any day");
        QCOMPARE(m_s->runOn(today.addDays(-8), server).exitCode, 0);
        encrypt(240);
        const BackupScenario::Run ransomed = m_s->runOn(today.addDays(-7), server);
        QCOMPARE(ransomed.exitCode, 0);
        const QString line = QStringLiteral("!! 80 % of the files changed since ") + day(-8)
                             + QStringLiteral(" (240 of 300): old backups are kept until you confirm this change.");
        QVERIFY2(ransomed.log.contains(line), qPrintable(ransomed.log.join(u'\n')));
        QCOMPARE(m_s->storedServer(server.id)->heldChange->day, day(-7));

        for (int offset = -6; offset <= -2; ++offset) {
            writeFile(tree() + QStringLiteral("/new-%1.txt").arg(offset), "one more file");
            const BackupScenario::Run held = m_s->runOn(today.addDays(offset), server);
            QCOMPARE(held.exitCode, 0);
            QVERIFY2(held.log.contains(QStringLiteral("Retention: old backups are kept until the change of ") + day(-7)
                                       + QStringLiteral(" is confirmed (80 % of the files changed since ") + day(-8)
                                       + QStringLiteral(" (240 of 300)).")),
                     qPrintable(held.log.join(u'\n')));
        }
        QCOMPARE(days().size(), 8);
        // The good days are whole: the tree as it was before.
        QCOMPARE(readFile(m_s->serverFolder() + u'/' + day(-8) + QStringLiteral("/Site/dir 3/file-3.txt")),
                 QByteArray("original content of file 3"));

        const Outcome nagios = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--nagios")});
        QCOMPARE(nagios.status, 1);
        QVERIFY2(nagios.out.startsWith("TIDEWELL WARNING - 1 with most files changed, old backups kept (web: prod)"),
                 nagios.out.constData());
        QVERIFY(nagios.out.contains(" masschange=1"));
        const Outcome json = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--json")});
        const QJsonObject entry =
            QJsonDocument::fromJson(json.out).object().value(QStringLiteral("servers")).toArray().first().toObject();
        QCOMPARE(entry.value(QStringLiteral("health")).toString(), QStringLiteral("mass change"));
        const QJsonObject held = entry.value(QStringLiteral("heldChange")).toObject();
        QCOMPARE(held.value(QStringLiteral("since")).toString(), day(-8));
        QCOMPARE(held.value(QStringLiteral("percent")).toInt(), 80);

        const Outcome accepted =
            runTidewell(m_s->home, {QStringLiteral("--accept-changes"), QStringLiteral("web: prod")});
        QCOMPARE(accepted.status, 0);
        QCOMPARE(accepted.out, QByteArray("Old backups of “web: prod” are pruned again from its next run.\n"));
        QVERIFY(!QFile::exists(m_s->serverFolder() + u'/' + MassChange::heldMarker));
        QVERIFY(!m_s->storedServer(server.id)->heldChange);
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--accept-changes"), QStringLiteral("nobody")}).status, 2);

        const BackupScenario::Run pruned = m_s->runOn(today.addDays(-1), server);
        QCOMPARE(pruned.exitCode, 0);
        QCOMPARE(days(), (QStringList{day(-1), day(-2)}));
        // No longer held: nothing to warn of (and no schedule to vouch for).
        const Outcome plugin = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--nagios")});
        QCOMPARE(plugin.status, 3);
        QVERIFY2(plugin.out.startsWith("TIDEWELL UNKNOWN - no server is scheduled | "), plugin.out.constData());
    }

    // A path that is suddenly empty (a mount missing on the server) is the
    // same case; the scheduled run's notification is critical and says why.
    void anEmptiedPathIsHeldAndSaidLoudly()
    {
        fillTree(250);
        const Server server = configure(1);
        QCOMPARE(m_s->runOn(QDate::currentDate().addDays(-2), server).exitCode, 0);
        QCOMPARE(m_s->runOn(QDate::currentDate().addDays(-1), server).exitCode, 0);
        QVERIFY(QDir(tree()).removeRecursively());
        QVERIFY(QDir().mkpath(tree()));
        const int before = m_bus->notifications().size();
        const Outcome run = m_s->runHeadless(server.id);
        QCOMPARE(run.status, 0);
        QVERIFY(m_s->logOf(server).contains(
            QStringLiteral("!! 100 % of the files changed since ") + day(-1)
            + QStringLiteral(" (250 of 250): old backups are kept until you confirm this change.")));
        QCOMPARE(days(), (QStringList{day(0), day(-1)}));
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 1, 5000);
        const QJsonObject call = m_bus->notifications().last();
        QCOMPARE(call.value(QStringLiteral("body")).toString().section(u'\n', 0, 0),
                 QStringLiteral("⚠ web: prod — backup completed, but most files changed since the last backup: old "
                                "backups are kept until you confirm this change"));
        QCOMPARE(call.value(QStringLiteral("hints")).toObject().value(QStringLiteral("urgency")).toString(),
                 QStringLiteral("byte:2"));
        // The marker beside the days holds even when the configuration
        // forgot it (an import, a restored file).
        m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())}, [&server](AppSettings &s) {
            s.servers[0].id = server.id;
            s.servers[0].retentionCount = 1;
        });
        const BackupScenario::Run again = m_s->runOn(QDate::currentDate().addDays(1), server);
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(days().size(), 3);
        QCOMPARE(m_s->storedServer(server.id)->heldChange->day, day(0));
    }
};

QTEST_GUILESS_MAIN(TestMassChange)
#include "tst_MassChange.moc"
