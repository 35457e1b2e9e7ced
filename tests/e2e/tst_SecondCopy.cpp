// SPDX-License-Identifier: GPL-3.0-or-later
// Second copies against the real sshd and rsync: days copied exactly and
// linked across days, a day made again, a copy killed mid-day, a drive that
// is not connected, a target's own retention, a target over ssh whose host
// key changes, and the copies of a scheduled run and of tidewell --copy.
#include "core/engine/CopyRunner.h"
#include "core/engine/DestinationMarker.h"
#include "core/engine/RsyncRunner.h"
#include "core/engine/Snapshots.h"
#include "core/report/CopyAfterRun.h"
#include "core/report/RunReporter.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace TestHelpers;

namespace {

// What a copy must keep of each entry of a day: kind, content, mode,
// modification time, link target, extended attributes, and which other
// entries of the day are the same file (hard links).
struct Entry
{
    mode_t mode = 0;
    qint64 mtime = 0;
    QByteArray content;
    QByteArray attributes;
    QString sameAs;
    friend bool operator==(const Entry &, const Entry &) = default;
};

QByteArray attributesOf(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    char list[4096];
    const ssize_t size = ::llistxattr(name.constData(), list, sizeof list);
    QList<QByteArray> all;
    for (ssize_t at = 0; at < size; at += ssize_t(qstrlen(list + at)) + 1) {
        char value[4096];
        const ssize_t length = ::lgetxattr(name.constData(), list + at, value, sizeof value);
        all << QByteArray(list + at) + '=' + QByteArray(value, std::max<ssize_t>(length, 0));
    }
    std::sort(all.begin(), all.end());
    return all.join(';');
}

QMap<QString, Entry> describe(const QString &folder)
{
    QMap<QString, Entry> entries;
    QHash<ino_t, QString> firstOf;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths;
    while (it.hasNext())
        paths << it.next();
    paths.sort();
    for (const QString &path : std::as_const(paths)) {
        struct stat info;
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            continue;
        const QString relative = QDir(folder).relativeFilePath(path);
        Entry entry;
        entry.mode = info.st_mode;
        entry.mtime = S_ISDIR(info.st_mode) ? 0 : qint64(info.st_mtime);
        if (S_ISREG(info.st_mode))
            entry.content = readFile(path);
        else if (S_ISLNK(info.st_mode))
            entry.content = QFile::encodeName(QFile::symLinkTarget(path));
        entry.attributes = attributesOf(path);
        // Links within the folder only: a later day linking to a file of
        // this one (its --link-dest) leaves this one's description as it was.
        if (!S_ISDIR(info.st_mode) && info.st_nlink > 1) {
            if (firstOf.contains(info.st_ino))
                entry.sameAs = firstOf.value(info.st_ino);
            else
                firstOf.insert(info.st_ino, relative);
        }
        entries.insert(relative, entry);
    }
    return entries;
}

ino_t inode(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

QByteArray incompressible(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

QStringList daysIn(const QString &folder)
{
    QStringList days;
    for (const Snapshots::Backup &backup : Snapshots::list(folder))
        days.prepend(backup.name + (backup.complete ? QString() : QStringLiteral(" incomplete")));
    return days;
}

} // namespace

class TestSecondCopy : public SshdBackupTest
{
    Q_OBJECT

    QString m_mount; // a file system of its own for folder targets, when one could be mounted

    QString tree() const { return m_s->remote + QStringLiteral("/site"); }
    QString offsite() const { return m_mount.isEmpty() ? m_s->home.path() + QStringLiteral("/offsite") : m_mount; }

    Server makeServer(const std::function<void(AppSettings &)> &adjust = {})
    {
        writeFile(tree() + QStringLiteral("/stable.bin"), incompressible(256 * 1024));
        return m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())}, [&adjust](AppSettings &s) {
            s.servers[0].preserveHardLinks = true;
            s.servers[0].preserveXattrs = true;
            if (adjust)
                adjust(s);
        });
    }

    static CopyTarget folderTarget(const QString &path)
    {
        CopyTarget target;
        target.name = QStringLiteral("offsite");
        target.path = path;
        return target;
    }

    CopyTarget sshTarget(const QString &path) const
    {
        CopyTarget target;
        target.name = QStringLiteral("vault");
        target.kind = CopyTarget::Kind::ssh;
        target.host = QStringLiteral("127.0.0.1");
        target.port = m_sshd->port();
        target.username = SshdFixture::userName();
        target.privateKeyPath = m_sshd->clientKey();
        target.path = path;
        return target;
    }

    void backUp(const QDate &day, const Server &server, int step)
    {
        writeFile(tree() + QStringLiteral("/changes.txt"), QByteArray("step ") + QByteArray(step, '+'));
        writeFile(tree() + QStringLiteral("/day-") + QString::number(step), "new");
        const BackupScenario::Run run = m_s->runOn(day, server);
        QVERIFY2(run.exitCode == 0, qPrintable(run.log.join(u'\n')));
    }

    CopyRunner::Outcome copy(const CopyTarget &target, const Server &server, const QDate &day,
                             QStringList *log = nullptr)
    {
        CopyRunner runner;
        AppSettings settings;
        settings.destinationPath = m_s->destination;
        const auto outcome = await(runner.copy(target, server, settings, QDateTime(day, QTime(12, 0))), 120000);
        if (log)
            *log = runner.logLines();
        if (!outcome)
            qWarning("the copy did not finish");
        return outcome.value_or(CopyRunner::Outcome{CopyRunner::Result::failed, {}, QStringLiteral("hung"), 0});
    }

    void compareDays(const QString &copyFolder, const QStringList &days)
    {
        for (const QString &day : days) {
            const QString source = m_s->serverFolder() + u'/' + day;
            const QString copied = copyFolder + u'/' + day;
            QVERIFY2(QFileInfo(copied).isDir(), qPrintable(copied));
            const auto expected = describe(source);
            const auto actual = describe(copied);
            QStringList differing;
            for (auto it = expected.begin(); it != expected.end(); ++it) {
                if (actual.value(it.key()) != it.value()) {
                    const Entry a = it.value();
                    const Entry b = actual.value(it.key());
                    differing << QStringLiteral("%1 (mode %2/%3 mtime %4/%5 attributes %6/%7 same %8/%9)")
                                     .arg(it.key())
                                     .arg(a.mode, 0, 8)
                                     .arg(b.mode, 0, 8)
                                     .arg(a.mtime)
                                     .arg(b.mtime)
                                     .arg(QString::fromUtf8(a.attributes), QString::fromUtf8(b.attributes), a.sameAs,
                                          b.sameAs);
                }
            }
            for (auto it = actual.begin(); it != actual.end(); ++it) {
                if (!expected.contains(it.key()))
                    differing << it.key();
            }
            QVERIFY2(differing.isEmpty(), qPrintable(day + QStringLiteral(": ") + differing.join(u' ')));
        }
    }

    // The run's webhook says where the copies stood before it; the copies'
    // own document says what each did. A mail names the failed one.
    static void verifyReports(const QByteArray &recorded, const AppSettings &settings)
    {
        QList<QJsonObject> hooks;
        for (const QByteArray &line : recorded.split('\n')) {
            if (!line.isEmpty())
                hooks << QJsonDocument::fromJson(
                             QJsonDocument::fromJson(line).object()[QStringLiteral("body")].toString().toUtf8())
                             .object();
        }
        QCOMPARE(hooks.size(), 2);
        const QString today = Snapshots::dayName(QDate::currentDate());
        const QJsonArray before = hooks.at(0)[QStringLiteral("copies")].toArray();
        QCOMPARE(before.size(), 2);
        QVERIFY(before.at(0)[QStringLiteral("newestDay")].isNull());
        QCOMPARE(before.at(0)[QStringLiteral("daysBehind")].toInt(), 1);
        const QJsonObject copies = hooks.at(1);
        QCOMPARE(copies[QStringLiteral("event")].toString(), QStringLiteral("copies"));
        QCOMPARE(copies[QStringLiteral("status")].toString(), QStringLiteral("success"));
        const QJsonArray each = copies[QStringLiteral("copies")].toArray();
        QCOMPARE(each.size(), 2);
        QCOMPARE(each.at(0)[QStringLiteral("target")].toString(), QStringLiteral("offsite"));
        QCOMPARE(each.at(0)[QStringLiteral("result")].toString(), QStringLiteral("copied"));
        QCOMPARE(each.at(0)[QStringLiteral("days")].toArray(), QJsonArray{today});
        QCOMPARE(each.at(0)[QStringLiteral("newestDay")].toString(), today);
        QCOMPARE(each.at(0)[QStringLiteral("daysBehind")].toInt(), 0);
        QCOMPARE(each.at(1)[QStringLiteral("result")].toString(), QStringLiteral("skipped"));
        QVERIFY(each.at(1)[QStringLiteral("reason")].toString().contains(QStringLiteral("not reachable")));

        const RunReporter::Copy failed{
            settings.copyTargets.at(1), QStringLiteral("failed"), {}, QStringLiteral("No space left on device")};
        const RunReporter::Copy done{settings.copyTargets.at(0), QStringLiteral("copied"), {today}, {}};
        const QString mail = RunReporter::copiesMailBody(settings.servers.first(), settings, {done, failed});
        QCOMPARE(mail, QStringLiteral("Copied to offsite: up to ") + today
                           + QStringLiteral("\n✗ The copy to far away failed: No space left on device\n"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        SshdBackupTest::initTestCase();
        // A second file system for the folder target: a tmpfs where this may mount.
        m_mount = QDir::tempPath() + QStringLiteral("/tidewell-offsite-")
                  + QString::number(QCoreApplication::applicationPid());
        QDir().mkpath(m_mount);
        if (QProcess::execute(QStringLiteral("/usr/bin/mount"),
                              {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                               QStringLiteral("size=256m"), QStringLiteral("tmpfs"), m_mount})
            != 0) {
            QDir().rmdir(m_mount);
            m_mount.clear();
        }
    }

    void cleanupTestCase()
    {
        if (!m_mount.isEmpty()) {
            QProcess::execute(QStringLiteral("/usr/bin/umount"), {m_mount});
            QDir().rmdir(m_mount);
        }
        SshdBackupTest::cleanupTestCase();
    }

    void cleanup()
    {
        if (!m_mount.isEmpty()) {
            for (const QString &name :
                 QDir(m_mount).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)) {
                if (!QDir(m_mount + u'/' + name).removeRecursively())
                    QFile::remove(m_mount + u'/' + name);
            }
        }
        DestinationMarker::setSystemFolderForTesting(QStringLiteral("/"));
        SshdBackupTest::cleanup();
    }

    // Each day exactly as the destination holds it, unchanged files shared
    // with the target's previous day, hard links within a day kept.
    void daysCopiedExactly()
    {
        const Server server = makeServer();
        QDir().mkpath(tree() + QStringLiteral("/sub dir"));
        writeFile(tree() + QStringLiteral("/sub dir/a"), "linked");
        QVERIFY(::link(QFile::encodeName(tree() + QStringLiteral("/sub dir/a")).constData(),
                       QFile::encodeName(tree() + QStringLiteral("/b")).constData())
                == 0);
        QFile::link(QStringLiteral("sub dir/a"), tree() + QStringLiteral("/link"));
        QVERIFY(::setxattr(QFile::encodeName(tree() + QStringLiteral("/b")).constData(), "user.note", "kept", 4, 0)
                == 0);
        QFile::setPermissions(tree() + QStringLiteral("/b"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const CopyTarget target = folderTarget(offsite());
        const QDate first(2026, 11, 2);
        QStringList days;
        for (int step = 0; step < 3; ++step) {
            const QDate day = first.addDays(step);
            backUp(day, server, step);
            const CopyRunner::Outcome outcome = copy(target, server, day);
            QCOMPARE(outcome.result, CopyRunner::Result::copied);
            QCOMPARE(outcome.days, QStringList{Snapshots::dayName(day)});
            days << Snapshots::dayName(day);
        }
        const QString copies = offsite() + QStringLiteral("/web_prod");
        QCOMPARE(daysIn(copies), days);
        compareDays(copies, days);
        // Unchanged across days: one file on the target.
        QCOMPARE(inode(copies + u'/' + days[0] + QStringLiteral("/Site/stable.bin")),
                 inode(copies + u'/' + days[2] + QStringLiteral("/Site/stable.bin")));
        QVERIFY(inode(copies + u'/' + days[0] + QStringLiteral("/Site/changes.txt"))
                != inode(copies + u'/' + days[2] + QStringLiteral("/Site/changes.txt")));

        // Nothing missing: nothing sent.
        QStringList log;
        QCOMPARE(copy(target, server, first.addDays(2), &log).result, CopyRunner::Result::upToDate);
        QVERIFY(log.filter(QStringLiteral("$ ")).isEmpty());
        QCOMPARE(log.first(), QStringLiteral("=== Copy to offsite (") + offsite() + QStringLiteral(") ==="));
    }

    // The destination made a day again: the target's copy of it is
    // replaced as a whole, and only by a complete one.
    void aDayMadeAgainReplacesItsCopy()
    {
        const Server server = makeServer();
        const CopyTarget target = folderTarget(offsite());
        const QDate day(2026, 11, 10);
        backUp(day.addDays(-1), server, 0);
        backUp(day, server, 1);
        QCOMPARE(copy(target, server, day).days.size(), 2);
        backUp(day, server, 2);
        const CopyRunner::Outcome outcome = copy(target, server, day);
        QCOMPARE(outcome.result, CopyRunner::Result::copied);
        QCOMPARE(outcome.days, QStringList{Snapshots::dayName(day)});
        const QString copies = offsite() + QStringLiteral("/web_prod");
        compareDays(copies, {Snapshots::dayName(day.addDays(-1)), Snapshots::dayName(day)});
        QCOMPARE(readFile(copies + u'/' + Snapshots::dayName(day) + QStringLiteral("/Site/changes.txt")),
                 QByteArray("step ++"));
        QCOMPARE(QDir(copies).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
    }

    // A copy killed with SIGKILL in the middle of a day: the earlier days
    // untouched, the day incomplete; the next copy completes it.
    void aKilledCopyIsCompletedByTheNext()
    {
        const Server server = makeServer([this](AppSettings &s) {
            CopyTarget target = folderTarget(offsite());
            s.copyTargets = {target};
        });
        const QDate today = QDate::currentDate();
        backUp(today.addDays(-2), server, 0);
        QCOMPARE(copy(folderTarget(offsite()), server, today.addDays(-2)).result, CopyRunner::Result::copied);
        const QString copies = offsite() + QStringLiteral("/web_prod");
        const QString firstDay = Snapshots::dayName(today.addDays(-2));
        const auto before = describe(copies + u'/' + firstDay);
        // Enough incompressible files that the copy is caught in the middle.
        for (int i = 0; i < 400; ++i)
            writeFile(tree() + QStringLiteral("/bulk/%1.bin").arg(i), incompressible(256 * 1024));
        backUp(today.addDays(-1), server, 1);
        const QString secondDay = Snapshots::dayName(today.addDays(-1));

        QProcess tidewell;
        tidewell.setProcessEnvironment(tidewellEnvironment(m_s->home));
        tidewell.start(QStringLiteral(TIDEWELL_BINARY), {QStringLiteral("--copy"), QStringLiteral("offsite")});
        QVERIFY(tidewell.waitForStarted());
        // The moment rsync writes the day, it is stopped, then everything killed.
        QElapsedTimer waited;
        waited.start();
        QList<qint64> pids;
        while ((pids = pidsOf(copies + u'/' + secondDay + u'/')).isEmpty() && waited.elapsed() < 60000
               && tidewell.state() == QProcess::Running)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        QVERIFY2(!pids.isEmpty(), "rsync did not start");
        for (const qint64 pid : std::as_const(pids))
            ::kill(pid_t(pid), SIGSTOP);
        QVERIFY(QFileInfo::exists(copies + u'/' + secondDay + u'/' + Snapshots::incompleteMarker));
        ::kill(pid_t(tidewell.processId()), SIGKILL);
        for (const qint64 pid : std::as_const(pids))
            ::kill(pid_t(pid), SIGKILL);
        QVERIFY(tidewell.waitForFinished(30000));
        QTRY_VERIFY_WITH_TIMEOUT(pidsOf(copies + u'/' + secondDay + u'/').isEmpty(), 30000);

        QCOMPARE(daysIn(copies), (QStringList{firstDay, secondDay + QStringLiteral(" incomplete")}));
        QVERIFY(describe(copies + u'/' + firstDay) == before);
        const Outcome again = runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("offsite")});
        QVERIFY2(again.status == 0, again.out.constData());
        QCOMPARE(daysIn(copies), (QStringList{firstDay, secondDay}));
        compareDays(copies, {firstDay, secondDay});
    }

    // A target disk that fills up: the copy fails and says so, the day stays
    // incomplete there, and nothing is counted as copied.
    void aFullTargetDisk()
    {
        if (m_mount.isEmpty())
            QSKIP("no tmpfs can be mounted here");
        const QString small = m_s->home.path() + QStringLiteral("/small");
        QDir().mkpath(small);
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/mount"),
                                   {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                    QStringLiteral("size=1m"), QStringLiteral("tmpfs"), small}),
                 0);
        const auto unmount = qScopeGuard([&small] { QProcess::execute(QStringLiteral("/usr/bin/umount"), {small}); });
        const Server server = makeServer();
        writeFile(tree() + QStringLiteral("/big.bin"), incompressible(3 * 1024 * 1024));
        const QDate day(2026, 11, 25);
        backUp(day, server, 0);
        QStringList log;
        const CopyRunner::Outcome outcome = copy(folderTarget(small), server, day, &log);
        QCOMPARE(outcome.result, CopyRunner::Result::failed);
        QVERIFY2(outcome.reason.startsWith(Snapshots::dayName(day) + QStringLiteral(" was not copied (rsync exited")),
                 qPrintable(outcome.reason));
        QVERIFY2(!log.filter(QStringLiteral("No space left on device")).isEmpty(), qPrintable(log.join(u'\n')));
        QCOMPARE(daysIn(small + QStringLiteral("/web_prod")),
                 QStringList{Snapshots::dayName(day) + QStringLiteral(" incomplete")});
    }

    // A drive that is not connected (no marker where it should be): the copy
    // is skipped with one line, and catches up every missing day once it is.
    void aDriveNotConnectedIsCaughtUpLater()
    {
        const Server server = makeServer();
        const QString drive = m_s->home.path() + QStringLiteral("/drive");
        QDir().mkpath(drive);
        const CopyTarget target = folderTarget(drive);
        const QDate day(2026, 11, 20);
        backUp(day, server, 0);
        CopyRunner runner;
        AppSettings settings;
        settings.destinationPath = m_s->destination;
        settings.requireDestinationMarker = true;
        const auto skipped = await(runner.copy(target, server, settings, QDateTime(day, QTime(12, 0))));
        QVERIFY(skipped);
        QCOMPARE(skipped->result, CopyRunner::Result::skipped);
        QCOMPARE(runner.logLines().last(), QStringLiteral("Skipped: The drive is not connected (") + drive
                                               + QStringLiteral(": no .tidewell-destination)."));
        QVERIFY(!QFileInfo::exists(drive + QStringLiteral("/web_prod")));

        backUp(day.addDays(1), server, 1);
        QVERIFY(DestinationMarker::place(drive));
        const auto caughtUp = await(runner.copy(target, server, settings, QDateTime(day.addDays(1), QTime(12, 0))));
        QVERIFY(caughtUp);
        QCOMPARE(caughtUp->days, (QStringList{Snapshots::dayName(day), Snapshots::dayName(day.addDays(1))}));
        compareDays(drive + QStringLiteral("/web_prod"), caughtUp->days);
    }

    // Its own counts: the destination keeps everything, the target the
    // last two days; a day pruned there is never sent again, and a target
    // that keeps months only never receives the days it would delete.
    void retentionOfItsOwn()
    {
        const Server server = makeServer();
        CopyTarget target = folderTarget(offsite());
        target.keepDaily = 2;
        const QDate first(2026, 11, 3);
        for (int step = 0; step < 4; ++step) {
            backUp(first.addDays(step), server, step);
            QCOMPARE(copy(target, server, first.addDays(step)).result, CopyRunner::Result::copied);
        }
        const QString copies = offsite() + QStringLiteral("/web_prod");
        QCOMPARE(daysIn(copies),
                 (QStringList{Snapshots::dayName(first.addDays(2)), Snapshots::dayName(first.addDays(3))}));
        QCOMPARE(Snapshots::list(m_s->serverFolder()).size(), 4);
        QCOMPARE(copy(target, server, first.addDays(3)).result, CopyRunner::Result::upToDate);

        CopyTarget months = folderTarget(m_s->home.path() + QStringLiteral("/months"));
        QDir().mkpath(months.path);
        months.keepDaily = 0;
        months.keepMonthly = 1;
        QStringList log;
        const CopyRunner::Outcome outcome = copy(months, server, first.addDays(3), &log);
        QCOMPARE(outcome.days, QStringList{Snapshots::dayName(first.addDays(3))});
        QCOMPARE(daysIn(months.path + QStringLiteral("/web_prod")), outcome.days);
    }

    // A target over ssh keeps the same history, linked across its days and
    // pruned by its own count; a host key that changed is refused.
    void aTargetOverSsh()
    {
        const Server server = makeServer();
        const QString folder = m_s->home.path() + QStringLiteral("/vault's copies");
        QDir().mkpath(folder);
        CopyTarget target = sshTarget(folder);
        target.keepDaily = 2;
        const QDate first(2026, 11, 12);
        // A folder that is not there is never made (it may be a disk not mounted there).
        const CopyRunner::Outcome missing =
            copy(sshTarget(folder + QStringLiteral("/not there")), server, first.addDays(-1));
        QCOMPARE(missing.result, CopyRunner::Result::failed);
        QVERIFY2(missing.reason.contains(QStringLiteral("must be a folder that exists")), qPrintable(missing.reason));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/not there")));
        for (int step = 0; step < 3; ++step) {
            backUp(first.addDays(step), server, step);
            QStringList log;
            const CopyRunner::Outcome outcome = copy(target, server, first.addDays(step), &log);
            QVERIFY2(outcome.result == CopyRunner::Result::copied, qPrintable(log.join(u'\n')));
        }
        const QString copies = folder + QStringLiteral("/web_prod");
        const QStringList kept{Snapshots::dayName(first.addDays(1)), Snapshots::dayName(first.addDays(2))};
        QCOMPARE(daysIn(copies), kept);
        compareDays(copies, kept);
        QCOMPARE(inode(copies + u'/' + kept[0] + QStringLiteral("/Site/stable.bin")),
                 inode(copies + u'/' + kept[1] + QStringLiteral("/Site/stable.bin")));

        // Another key where the host's was trusted (the server is the same
        // sshd: its backup comes first).
        backUp(first.addDays(3), server, 3);
        const QStringList options = HostKeyChecker::knownHostsOptions();
        const QString file = options.isEmpty() ? HostKeyChecker::knownHostsFile() : options.last().section(u'=', 1);
        const QString pattern = QStringLiteral("[127.0.0.1]:%1").arg(m_sshd->port());
        const auto forget = [&file, &pattern] {
            QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                              {QStringLiteral("-q"), QStringLiteral("-R"), pattern, QStringLiteral("-f"), file});
        };
        forget();
        const auto forgetAgain = qScopeGuard(forget);
        QTemporaryDir other;
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                                   {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                    QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                                    other.path() + QStringLiteral("/key")}),
                 0);
        QFile knownHosts(file);
        QVERIFY(knownHosts.open(QIODevice::Append));
        knownHosts.write(pattern.toUtf8() + ' ' + readFile(other.path() + QStringLiteral("/key.pub")));
        knownHosts.close();
        const CopyRunner::Outcome refused = copy(target, server, first.addDays(3));
        QCOMPARE(refused.result, CopyRunner::Result::failed);
        QVERIFY2(refused.reason.contains(QStringLiteral("host key has changed")), qPrintable(refused.reason));
        QCOMPARE(daysIn(copies), kept);
    }

    // With the destination gone, an ssh target's days are listed over ssh
    // and items come back from it, to this computer and to the server. A
    // link of the copy on the way to an item comes back as the link.
    void restoreFromAnSshTarget()
    {
        writeFile(tree() + QStringLiteral("/with space/ünï.txt"), "named");
        QVERIFY(QFile::link(QStringLiteral("/etc"), tree() + QStringLiteral("/system")));
        QVERIFY(QFile::link(QStringLiteral("/etc"), tree() + QStringLiteral("/line\nbreak")));
        const QString folder = m_s->home.path() + QStringLiteral("/vault");
        QDir().mkpath(folder);
        const CopyTarget target = sshTarget(folder);
        const Server server = makeServer([&target](AppSettings &s) { s.copyTargets = {target}; });
        const QDate today = QDate::currentDate();
        const QString day = Snapshots::dayName(today);
        backUp(today, server, 0);
        QCOMPARE(copy(target, server, today).result, CopyRunner::Result::copied);
        const QByteArray stable = readFile(tree() + QStringLiteral("/stable.bin"));
        QVERIFY(QDir(m_s->destination).removeRecursively());

        const Outcome listed = runTidewell(m_s->home, {QStringLiteral("--list-backups"), QStringLiteral("web: prod"),
                                                       QStringLiteral("--from"), QStringLiteral("vault")});
        QVERIFY2(listed.status == 0, listed.err.constData());
        QCOMPARE(listed.out, (day + QStringLiteral("  complete\n")).toUtf8());
        const auto restore = [&](const QString &item, const QStringList &to) {
            return runTidewell(m_s->home, QStringList{QStringLiteral("--restore"), QStringLiteral("web: prod"),
                                                      QStringLiteral("--date"), day, QStringLiteral("--item"), item,
                                                      QStringLiteral("--from"), QStringLiteral("vault")}
                                              + to);
        };
        const QString back = m_s->home.path() + QStringLiteral("/back");
        const Outcome restored = restore(tree() + QStringLiteral("/with space"), {QStringLiteral("--to"), back});
        QVERIFY2(restored.status == 0, restored.err.constData());
        QCOMPARE(readFile(back + QStringLiteral("/with space/ünï.txt")), QByteArray("named"));
        // Behind the copy's link is the copy host's /etc: never read. (The
        // destination keeps links as files, with what they were in their
        // attributes, so there is nothing under it, as in the destination.)
        const Outcome linked = restore(tree() + QStringLiteral("/system/hostname"), {QStringLiteral("--to"), back});
        QVERIFY2(linked.status == 2, linked.err.constData());
        QVERIFY2(linked.err.contains("is not in the backup"), linked.err.constData());
        QVERIFY(!QFileInfo::exists(back + QStringLiteral("/hostname")));
        QVERIFY(!QFileInfo::exists(back + QStringLiteral("/system/hostname")));
        // The same behind a name with a line break in it.
        const Outcome broken =
            restore(tree() + QStringLiteral("/line\nbreak/hostname"), {QStringLiteral("--to"), back});
        QVERIFY2(broken.status == 2, broken.err.constData());
        QVERIFY(!QFileInfo::exists(back + QStringLiteral("/hostname")));
        QVERIFY(
            runTidewell(m_s->home, {QStringLiteral("--restore"), QStringLiteral("web: prod"), QStringLiteral("--date"),
                                    day, QStringLiteral("--item"), tree() + QStringLiteral("/system"),
                                    QStringLiteral("--to"), back, QStringLiteral("--from"), QStringLiteral("vault")})
                .status
            == 0);
        QCOMPARE(QFileInfo(back + QStringLiteral("/system")).symLinkTarget(), QStringLiteral("/etc"));
        // Back onto the server, where it came from; what a killed restore
        // left is cleared on the way.
        const QString staging = m_s->home.dataHome() + QStringLiteral("/Tidewell/staging");
        writeFile(staging + QStringLiteral("/restore-999999999-AbCdEf/web_prod/left.bin"), "left");
        QVERIFY(QFile::remove(tree() + QStringLiteral("/stable.bin")));
        const Outcome toServer = restore(tree() + QStringLiteral("/stable.bin"), {QStringLiteral("--to-server")});
        QVERIFY2(toServer.status == 0, toServer.err.constData());
        QCOMPARE(readFile(tree() + QStringLiteral("/stable.bin")), stable);
        // What was fetched is gone again.
        QCOMPARE(QDir(staging).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
        const Outcome noDay = runTidewell(
            m_s->home, {QStringLiteral("--restore"), QStringLiteral("web: prod"), QStringLiteral("--date"),
                        QStringLiteral("2020-01-01"), QStringLiteral("--item"), tree() + QStringLiteral("/stable.bin"),
                        QStringLiteral("--to"), back, QStringLiteral("--from"), QStringLiteral("vault")});
        QCOMPARE(noDay.status, 2);
        QVERIFY(noDay.err.contains("there is no backup of 2020-01-01"));
    }

    // A scheduled run copies after its own result; a target that cannot be
    // reached is one line and never fails the backup. tidewell --copy says
    // what it did in its exit status.
    void copiesOfAScheduledRunAndTheCommand()
    {
        CopyTarget unreachable = sshTarget(QStringLiteral("/srv/copies"));
        unreachable.name = QStringLiteral("far away");
        unreachable.port = 1;
        QProcess http;
        const QString requests = m_s->home.path() + QStringLiteral("/requests.jsonl");
        http.start(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral(TIDEWELL_FIXTURES "/httprecorder.py"), requests});
        QVERIFY(http.waitForReadyRead(10000));
        const QString hook = QStringLiteral("http://127.0.0.1:") + QString::fromUtf8(http.readLine().trimmed());
        AppSettings written;
        const Server server = makeServer([&](AppSettings &s) {
            s.copyTargets = {folderTarget(offsite()), unreachable};
            s.webhookURL = hook + QStringLiteral("/hook");
            written = s;
        });
        const Outcome run = m_s->runHeadless(server.id);
        http.kill();
        http.waitForFinished();
        QVERIFY2(run.status == 0, run.err.constData());
        verifyReports(readFile(requests), written);
        const QStringList log = m_s->logOf(server);
        const qsizetype header =
            log.indexOf(QStringLiteral("=== Copy to offsite (") + offsite() + QStringLiteral(") ==="));
        QVERIFY2(header > 0, qPrintable(log.join(u'\n')));
        QVERIFY(log.at(header + 1).startsWith(QStringLiteral("$ /usr/bin/rsync ")));
        QVERIFY(log.contains(QStringLiteral("→ exit 0")));
        QVERIFY(log.contains(QStringLiteral("=== Copy to far away (127.0.0.1:1) ===")));
        QVERIFY(
            log.contains(QStringLiteral("Skipped: 127.0.0.1 is not reachable; the copy catches up at the next run.")));
        compareDays(offsite() + QStringLiteral("/web_prod"), {Snapshots::dayName(QDate::currentDate())});

        const Outcome upToDate = runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("offsite"),
                                                         QStringLiteral("--server"), QStringLiteral("web: prod")});
        QCOMPARE(upToDate.status, 0);
        QVERIFY2(upToDate.out.contains("Up to date"), upToDate.out.constData());
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("far away")}).status, 1);
        const Outcome unknown = runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("nowhere")});
        QCOMPARE(unknown.status, 2);
        QCOMPARE(unknown.err, QByteArray("No second copy is called “nowhere”.\n"));
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("offsite"),
                                         QStringLiteral("--server"), QStringLiteral("nobody")})
                     .status,
                 2);

        // The destination disk is gone: every file comes back from the copy.
        const QByteArray expected = readFile(tree() + QStringLiteral("/stable.bin"));
        QVERIFY(QDir(m_s->destination).removeRecursively());
        const QString today = Snapshots::dayName(QDate::currentDate());
        const Outcome listed = runTidewell(m_s->home, {QStringLiteral("--list-backups"), QStringLiteral("web: prod"),
                                                       QStringLiteral("--from"), QStringLiteral("offsite")});
        QCOMPARE(listed.status, 0);
        QCOMPARE(listed.out, (today + QStringLiteral("  complete\n")).toUtf8());
        const QString back = m_s->home.path() + QStringLiteral("/back");
        const Outcome restored =
            runTidewell(m_s->home, {QStringLiteral("--restore"), QStringLiteral("web: prod"), QStringLiteral("--date"),
                                    today, QStringLiteral("--item"), tree() + QStringLiteral("/stable.bin"),
                                    QStringLiteral("--to"), back, QStringLiteral("--from"), QStringLiteral("offsite")});
        QVERIFY2(restored.status == 0, restored.err.constData());
        QCOMPARE(readFile(back + QStringLiteral("/stable.bin")), expected);
        const Outcome overSsh = runTidewell(m_s->home, {QStringLiteral("--list-backups"), QStringLiteral("web: prod"),
                                                        QStringLiteral("--from"), QStringLiteral("far away")});
        QCOMPARE(overSsh.status, 1);
        QCOMPARE(overSsh.err, QByteArray("tidewell: 127.0.0.1 is not reachable.\n"));
    }

    // A good run started in the window is copied as a scheduled one is; a
    // failed one is not.
    void aRunFromTheWindowIsCopied()
    {
        const Server server = makeServer([this](AppSettings &s) { s.copyTargets = {folderTarget(offsite())}; });
        ConfigStore store;
        RsyncRunner runner;
        CopyFollower follower(&store);
        follower.follow(&runner);
        QVERIFY(awaitVoid(runner.run(server, &store), 60000));
        QCOMPARE(runner.exitCode(), std::optional<int>(0));
        QTRY_VERIFY_WITH_TIMEOUT(!follower.isCopying(), 60000);
        compareDays(offsite() + QStringLiteral("/web_prod"), {Snapshots::dayName(QDate::currentDate())});
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("→ exit 0")));

        Server failing = server;
        failing.paths[0].remotePath = tree() + QStringLiteral("/gone");
        store.update([&failing](AppSettings &s) {
            s.servers[0] = failing;
            s.retryAttempts = 0;
        });
        QVERIFY(awaitVoid(runner.run(failing, &store), 60000));
        QVERIFY(runner.exitCode() != 0);
        QVERIFY(!follower.isCopying()); // nothing was queued
    }

    // How far each copy is, from what the copies recorded: in --status,
    // --status --json and, from copyOverdueDays on, as a WARNING.
    void statusSaysHowFarBehind()
    {
        const CopyTarget target = folderTarget(offsite());
        const Server server = makeServer([&target](AppSettings &s) { s.copyTargets = {target}; });
        const QDate today = QDate::currentDate();
        backUp(today.addDays(-3), server, 0);
        QCOMPARE(copy(target, server, today.addDays(-3)).result, CopyRunner::Result::copied);
        for (int step = 2; step >= 0; --step)
            backUp(today.addDays(-step), server, 3 - step);

        const Outcome status = runTidewell(m_s->home, {QStringLiteral("--status")});
        QCOMPARE(status.status, 1);
        const QString first = Snapshots::dayName(today.addDays(-3));
        QVERIFY2(status.out.contains(
                     (QStringLiteral("  copied to offsite: up to ") + first + QStringLiteral(" (3 days behind)\n"))
                         .toUtf8()),
                 status.out.constData());
        const Outcome nagios = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--nagios")});
        QCOMPARE(nagios.status, 1);
        QVERIFY2(nagios.out.startsWith("TIDEWELL WARNING - copy to offsite is 3 days behind (web: prod) |"),
                 nagios.out.constData());
        const Outcome json = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--json")});
        const QJsonObject copies = QJsonDocument::fromJson(json.out)
                                       .object()[QStringLiteral("servers")][0][QStringLiteral("copies")][0]
                                       .toObject();
        QCOMPARE(copies[QStringLiteral("newestDay")].toString(), first);
        QCOMPARE(copies[QStringLiteral("daysBehind")].toInt(), 3);
        QCOMPARE(copies[QStringLiteral("behind")].toBool(), true);

        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--copy"), QStringLiteral("offsite")}).status, 0);
        const Outcome after = runTidewell(m_s->home, {QStringLiteral("--status")});
        QVERIFY2(after.out.contains(
                     (QStringLiteral("  copied to offsite: up to ") + Snapshots::dayName(today) + u'\n').toUtf8()),
                 after.out.constData());
        QVERIFY(runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--nagios")})
                    .out.startsWith("TIDEWELL UNKNOWN"));
    }

private:
    static QList<qint64> pidsOf(const QString &text)
    {
        QList<qint64> pids;
        for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
            QByteArray cmdline = readFile(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
            if (cmdline.contains(text.toUtf8()) && cmdline.startsWith("/usr/bin/rsync"))
                pids << pid.toLongLong();
        }
        return pids;
    }
};

QTEST_GUILESS_MAIN(TestSecondCopy)
#include "tst_SecondCopy.moc"
