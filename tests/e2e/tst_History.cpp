// SPDX-License-Identifier: GPL-3.0-or-later
// Histories of daily runs against the real sshd and rsync, on a test clock:
// re-runs that succeed, fail or are cancelled, missing and unfinished days,
// clocks that were or are wrong, and retention by day, week and month. After
// each history the kept snapshots are exactly the expected ones, and each is
// the tree as it was when its run succeeded.
#include "core/engine/RsyncRunner.h"
#include "core/engine/Snapshots.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

using namespace TestHelpers;

class TestHistory : public SshdBackupTest
{
    Q_OBJECT

    QString tree() const { return m_s->remote + QStringLiteral("/tree"); }
    QString serverFolder() const { return m_s->serverFolder(); }
    static ino_t inode(const QString &path)
    {
        struct stat info;
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    }

    QString reference(const QString &day) const { return m_s->home.path() + QStringLiteral("/expected/") + day; }

    // Each step changes the server's files, so every snapshot differs.
    void changeTree(int step)
    {
        // A new size each time: rsync's quick check compares size and a
        // modification time that steps rewrite within the same second.
        writeFile(tree() + QStringLiteral("/changes.txt"), QByteArray("step ") + QByteArray(step, '+'));
        if (!QFile::exists(tree() + QStringLiteral("/sub dir/stable.txt")))
            writeFile(tree() + QStringLiteral("/sub dir/stable.txt"), "the same every day");
        writeFile(tree() + QStringLiteral("/grows/") + QString::number(step), "new");
    }

    // One run on `day`: "ok", "fail" (a second path that does not exist) or
    // "cancel" (stopped as rsync starts). Returns the run's log.
    QStringList run(const QDate &day, const QString &how, const Server &server)
    {
        Server subject = server;
        if (how == QStringLiteral("fail"))
            subject.paths << BackupScenario::path(QStringLiteral("Gone"), m_s->remote + QStringLiteral("/gone"));
        const BackupScenario::Run run = m_s->runOn(day, subject, [&how](RsyncRunner &runner) {
            if (how != QStringLiteral("cancel"))
                return;
            connect(&runner, &RsyncRunner::logLinesChanged, &runner, [&runner] {
                if (!runner.wasCancelled() && !runner.logLines().isEmpty()
                    && runner.logLines().last().startsWith(QStringLiteral("$ ")))
                    runner.cancel();
            });
        });
        const int expected = how == QStringLiteral("ok") ? 0 : how == QStringLiteral("fail") ? 23 : 20;
        if (run.exitCode != expected)
            qWarning("%s", qPrintable(run.log.join(u'\n')));
        [&] { QCOMPARE(run.exitCode, std::optional<int>(expected)); }();
        return run.log;
    }

private Q_SLOTS:
    void histories_data()
    {
        QTest::addColumn<QString>("steps");  // "yyyy-MM-dd:how", in order
        QTest::addColumn<QString>("rules");  // daily/weekly/monthly
        QTest::addColumn<QString>("kept");   // what the folder holds at the end
        QTest::addColumn<QString>("logged"); // a line the last run's log has
        QTest::newRow("a failed re-run of a day leaves its snapshot")
            << "2026-12-05:ok 2026-12-06:ok 2026-12-07:ok 2026-12-07:fail 2026-12-08:ok"
            << "5/0/0"
            << "2026-12-05 2026-12-06 2026-12-07 2026-12-08"
            << "Retention: nothing to prune (keeping last 5).";
        QTest::newRow("a cancelled re-run of a day leaves its snapshot")
            << "2026-12-06:ok 2026-12-07:ok 2026-12-07:cancel 2026-12-08:ok"
            << "5/0/0"
            << "2026-12-06 2026-12-07 2026-12-08"
            << "Snapshot: ";
        QTest::newRow("a good re-run replaces the day's snapshot") << "2026-12-06:ok 2026-12-07:ok 2026-12-07:ok"
                                                                   << "5/0/0"
                                                                   << "2026-12-06 2026-12-07"
                                                                   << "=== All backups completed ===";
        QTest::newRow("an unfinished day is finished, and an older one pruned")
            << "2026-12-03:ok 2026-12-04:fail 2026-12-06:cancel 2026-12-06:ok 2026-12-07:ok"
            << "2/0/0"
            << "2026-12-06 2026-12-07"
            << "  - 2026-12-03";
        QTest::newRow("a run under a clock ahead never costs a later day")
            << "2027-06-01:ok 2026-12-06:ok 2026-12-07:ok"
            << "1/0/0"
            << "2026-12-07 2027-06-01"
            << "Retention: ignoring 2027-06-01: dated after today";
        QTest::newRow("a clock moved back deletes nothing newer")
            << "2026-12-09:ok 2026-12-10:ok 2026-12-07:ok"
            << "1/0/0"
            << "2026-12-07 2026-12-10"
            << "Retention: ignoring 2026-12-10: dated after today";
        QTest::newRow("daily, weekly and monthly")
            << "2026-10-30:ok 2026-11-20:ok 2026-11-27:ok 2026-11-28:ok 2026-11-30:ok 2026-12-01:ok"
            << "1/2/2"
            << "2026-11-28 2026-11-30 2026-12-01"
            << "Retention: kept as monthly: 2026-11-30";
    }

    void histories()
    {
        QFETCH(QString, steps);
        QFETCH(QString, rules);
        QFETCH(QString, kept);
        QFETCH(QString, logged);
        const QStringList counts = rules.split(u'/');
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())}, [&](AppSettings &s) {
                s.retryAttempts = 0;
                s.servers[0].retentionCount = counts.at(0).toLongLong();
                s.servers[0].keepWeekly = counts.at(1).toLongLong();
                s.servers[0].keepMonthly = counts.at(2).toLongLong();
            });
        QStringList log;
        int step = 0;
        for (const QString &item : steps.split(u' ')) {
            const QDate day = QDate::fromString(item.section(u':', 0, 0), Qt::ISODate);
            const QString how = item.section(u':', 1);
            changeTree(++step);
            log = run(day, how, server);
            if (QTest::currentTestFailed())
                return;
            if (how == QStringLiteral("ok")) {
                // What this day's snapshot must hold from now on.
                const QString expected = reference(day.toString(Qt::ISODate));
                QDir(expected).removeRecursively();
                QDir().mkpath(expected);
                QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/rsync"),
                                           {QStringLiteral("-a"), tree() + u'/', expected + QStringLiteral("/Site")}),
                         0);
            }
        }
        QVERIFY2(log.contains(logged) || !log.filter(logged).isEmpty(), qPrintable(log.join(u'\n')));
        // Only dated folders are left: no work folder of a re-run, nothing aside.
        QCOMPARE(QDir(serverFolder()).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot).join(u' '), kept);
        for (const Snapshots::Backup &backup : Snapshots::list(serverFolder())) {
            QVERIFY2(backup.complete, qPrintable(backup.name));
            QCOMPARE(treeDifferences(reference(backup.name), backup.path), QStringList());
        }
    }

    // Unchanged files of a re-run are the same files as in the snapshot it
    // replaced, and the next day links to the replacement.
    void aReRunSharesWhatDidNotChange()
    {
        changeTree(1);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())});
        const QDate today(2026, 12, 7);
        run(today, QStringLiteral("ok"), server);
        const QString stable = serverFolder() + QStringLiteral("/2026-12-07/Site/sub dir/stable.txt");
        const ino_t before = inode(stable);
        changeTree(2);
        const QStringList log = run(today, QStringLiteral("ok"), server);
        QVERIFY(
            log.at(3).startsWith(QStringLiteral("Today's complete snapshot stays as it is until this run succeeds")));
        QVERIFY(log.filter(QStringLiteral("$ "))
                    .first()
                    .contains(QStringLiteral("--link-dest=") + serverFolder() + QStringLiteral("/2026-12-07/Site")));
        QCOMPARE(inode(stable), before);
        QCOMPARE(readFile(serverFolder() + QStringLiteral("/2026-12-07/Site/changes.txt")), QByteArray("step ++"));
        const QStringList next = run(today.addDays(1), QStringLiteral("ok"), server);
        QVERIFY(next.filter(QStringLiteral("$ "))
                    .first()
                    .contains(QStringLiteral("--link-dest=") + serverFolder() + QStringLiteral("/2026-12-07/Site")));
    }
};

QTEST_GUILESS_MAIN(TestHistory)
#include "tst_History.moc"
