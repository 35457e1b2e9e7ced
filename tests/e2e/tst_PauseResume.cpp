// SPDX-License-Identifier: GPL-3.0-or-later
// Pausing a long first copy and going on with it later: rsync keeps the
// file it was receiving, the day's folder is marked paused, and the next run
// (on another day too) sends only what is missing. Against the real sshd.
#include "core/engine/RsyncStats.h"
#include "core/engine/Snapshots.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace TestHelpers;

namespace {

QByteArray incompressible(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    return bytes;
}

// How much of `name` rsync has received into its temporary file in `folder`.
qint64 receivedSoFar(const QString &folder, const QString &name)
{
    qint64 largest = 0;
    const QFileInfoList found =
        QDir(folder).entryInfoList({u'.' + name + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : found)
        largest = std::max(largest, file.size());
    return largest;
}

bool isZombieOrGone(qint64 pid)
{
    const QByteArray stat = readFile(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.isEmpty() || stat.contains(") Z ");
}

} // namespace

class TestPauseResume : public SshdBackupTest
{
    Q_OBJECT

    QString serverFolder() const { return m_s->destination + QStringLiteral("/web_prod"); }

    Server largeFileServer(const QByteArray &content, qint64 limitKBps)
    {
        writeFile(m_s->remote + QStringLiteral("/images/disk.img"), content);
        return m_s->writeConfig(
            {BackupScenario::path(QStringLiteral("Images"), m_s->remote + QStringLiteral("/images"))},
            [limitKBps](AppSettings &s) { s.servers[0].bandwidthLimitKBps = limitKBps; });
    }

private Q_SLOTS:
    void aPausedLargeFileGoesOnTheNextDayWithoutItsFirstPartSentAgain()
    {
        constexpr qint64 size = 32 * 1024 * 1024;
        const QByteArray content = incompressible(size);
        Server server = largeFileServer(content, 4096);
        const QDate day(2026, 12, 1);
        const QString first = serverFolder() + QStringLiteral("/2026-12-01");
        const BackupScenario::Run paused = m_s->runAt(QDateTime(day, QTime(12, 0)), server, [&](RsyncRunner &runner) {
            auto *poll = new QTimer(&runner);
            QObject::connect(poll, &QTimer::timeout, &runner, [&runner, poll, first] {
                if (receivedSoFar(first + QStringLiteral("/Images"), QStringLiteral("disk.img")) > size / 3) {
                    poll->stop();
                    runner.pause();
                }
            });
            poll->start(20);
        });
        QVERIFY2(paused.log.contains(QStringLiteral(
                     "Paused: what was copied is kept, and the next run goes on from where this one stopped.")),
                 qPrintable(paused.log.join(u'\n')));
        QVERIFY(Snapshots::isPaused(first));
        QVERIFY(!Snapshots::list(serverFolder()).first().complete);
        const qint64 kept = QFileInfo(first + QStringLiteral("/Images/.tidewell-partial/disk.img")).size();
        QVERIFY2(kept > size / 3 && kept < size, qPrintable(QString::number(kept)));
        QVERIFY(QString::fromUtf8(readFile(LogStore::logFile(server.id))).contains(QStringLiteral("PAUSED")));
        // Paused is no result: the server is not failing.
        QVERIFY(!m_s->storedServer(server.id)->lastExitCode.has_value());

        server.bandwidthLimitKBps = 0;
        const BackupScenario::Run resumed = m_s->runAt(QDateTime(day.addDays(1), QTime(9, 0)), server);
        QVERIFY2(resumed.exitCode == 0, qPrintable(resumed.log.join(u'\n')));
        QVERIFY(resumed.log.contains(
            QStringLiteral("Going on with the run of 2026-12-01 that was paused; it becomes 2026-12-02.")));
        QCOMPARE(QDir(serverFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{QStringLiteral("2026-12-02")});
        const QString copy = serverFolder() + QStringLiteral("/2026-12-02/Images");
        QVERIFY(readFile(copy + QStringLiteral("/disk.img")) == content);
        QVERIFY(!QFileInfo::exists(copy + QStringLiteral("/.tidewell-partial")));
        QVERIFY(Snapshots::list(serverFolder()).first().complete);
        // Only the part the pause cut off crossed the network again.
        const std::optional<RsyncStats> stats = RsyncStats::parse(resumed.log);
        QVERIFY(stats);
        QVERIFY2(stats->bytesReceived < double(size - kept) * 1.05 + 1024 * 1024,
                 qPrintable(QStringLiteral("%1 received, %2 kept").arg(stats->bytesReceived).arg(kept)));
    }

    // tidewell --pause reaches a scheduled run in its own process.
    void theCommandPausesAHeadlessRun()
    {
        constexpr qint64 size = 16 * 1024 * 1024;
        const Server server = largeFileServer(incompressible(size), 2048);
        const QString id = server.id.toString(QUuid::WithoutBraces);
        const Outcome idle = runTidewell(m_s->home, {QStringLiteral("--pause"), id});
        QCOMPARE(idle.status, 1);
        QVERIFY2(idle.err.contains("no backup of “web: prod” is running"), idle.err.constData());

        const std::unique_ptr<QProcess> run = m_s->startHeadless(server.id);
        QTRY_VERIFY_WITH_TIMEOUT(
            receivedSoFar(m_s->runFolder() + QStringLiteral("/Images"), QStringLiteral("disk.img")) > size / 8, 60000);
        const Outcome asked = runTidewell(m_s->home, {QStringLiteral("--pause"), QStringLiteral("web: prod")});
        QVERIFY2(asked.status == 0, asked.err.constData());
        QVERIFY2(asked.out.contains("Paused the backup of “web: prod”; its next run goes on from where it stopped."),
                 asked.out.constData());
        QVERIFY(run->waitForFinished(30000));
        QCOMPARE(run->exitCode(), 0);
        QVERIFY(Snapshots::isPaused(m_s->runFolder()));
        QVERIFY(QFileInfo(m_s->runFolder() + QStringLiteral("/Images/.tidewell-partial/disk.img")).size() > 0);
        QVERIFY(!QFileInfo::exists(AppPaths::pauseRequestFile(server.id)));
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--pause"), QStringLiteral("nobody")}).status, 2);
        const Outcome bare = runTidewell(m_s->home, {QStringLiteral("--pause")});
        QCOMPARE(bare.status, 2);
        QVERIFY2(bare.err.contains("--pause needs a server ID or name"), bare.err.constData());
    }

    // The number in a lock file is believed only of a process that has it
    // open: a stale one never gets a signal.
    void aStaleNumberInTheLockFileIsNotSignalled()
    {
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        QProcess bystander;
        bystander.start(QStringLiteral("/bin/sleep"), {QStringLiteral("60")});
        QVERIFY(bystander.waitForStarted());
        const QString lock = AppPaths::runLockFile(server.id);
        auto held = FileLock::tryLock(lock); // a restore, say: it does not say who it is
        QVERIFY(held);
        QFile file(lock); // in place: the lock is on this file
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::number(bystander.processId()) + '\n');
        file.close();
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--pause"), QStringLiteral("web: prod")}).status, 1);
        QVERIFY(!isZombieOrGone(bystander.processId()));
        bystander.kill();
        bystander.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestPauseResume)
#include "tst_PauseResume.moc"
