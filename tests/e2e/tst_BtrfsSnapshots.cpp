// SPDX-License-Identifier: GPL-3.0-or-later
// Days as btrfs snapshots on a loop-mounted btrfs image, against the real
// sshd and rsync: each day read-only and whole, sharing what did not change,
// deleted by retention with or without the right to delete subvolumes, and
// read back by restore, compare and versions beside hard-linked days.
#include "core/engine/Fingerprints.h"
#include "core/engine/Retention.h"
#include "core/engine/Snapshots.h"
#include "core/restore/BackupCheck.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/SnapshotCompare.h"
#include "core/restore/VersionFinder.h"
#include "core/system/Btrfs.h"
#include "core/system/Descriptor.h"
#include "core/system/FileUtil.h"
#include "fixtures/BtrfsImage.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDate>
#include <QDir>
#include <QRandomGenerator>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace TestHelpers;

class TestBtrfsSnapshots : public SshdBackupTest
{
    Q_OBJECT

    std::unique_ptr<BtrfsImage> m_image;

    static constexpr qint64 bigSize = 24 * 1024 * 1024;

    static QDate day(int daysAgo) { return QDate::currentDate().addDays(-daysAgo); }
    static QString name(int daysAgo) { return Snapshots::dayName(day(daysAgo)); }
    QString serverFolder() const { return m_image->mountPoint + QStringLiteral("/Backups/web_prod"); }
    QString dayFolder(int daysAgo) const { return serverFolder() + u'/' + name(daysAgo); }

    static QByteArray noise(qint64 size)
    {
        QByteArray bytes(size, Qt::Uninitialized);
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
        return bytes;
    }

    // A file's new contents get a time of their own: rsync's quick check
    // compares whole seconds, and a test writes within one.
    void write(const QString &relative, const QByteArray &bytes, int stamp)
    {
        const QString path = m_s->remote + u'/' + relative;
        QVERIFY(writeFile(path, bytes));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1700000000 + stamp * 100),
                                 QFileDevice::FileModificationTime));
    }

    Server writeConfig(const QString &method)
    {
        return m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.destinationPath = m_image->mountPoint + QStringLiteral("/Backups");
            s.servers.first().snapshotMethod = method;
        });
    }

    static std::optional<Fingerprints::Print> storedPrint(const QString &path)
    {
        char value[128];
        const ssize_t size =
            ::getxattr(QFile::encodeName(path).constData(), Fingerprints::attribute, value, sizeof value);
        return size > 0 ? Fingerprints::Print::decode(QByteArrayView(value, size)) : std::nullopt;
    }

    static std::optional<Fingerprints::Print> printOf(const QString &path)
    {
        const Descriptor file(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
        const auto print = Fingerprints::compute(file.get());
        return print ? std::optional(*print) : std::nullopt;
    }

    QStringList hiddenEntries() const
    {
        return QDir(serverFolder()).entryList({QStringLiteral(".tidewell-*")}, QDir::AllEntries | QDir::Hidden);
    }

private Q_SLOTS:
    void init()
    {
        SshdBackupTest::init();
        m_image = std::make_unique<BtrfsImage>();
        if (!m_image->skipReason.isEmpty())
            QSKIP(qPrintable(m_image->skipReason));
    }

    void cleanup()
    {
        m_s.reset();
        m_image.reset();
    }

    // Three days, the third run twice: each a read-only subvolume holding
    // exactly the server's files of that day; a 1 MiB edit inside a large
    // file adds about that to the disk, and gets a print of its own.
    void eachDayIsAReadOnlySnapshotThatSharesWhatDidNotChange()
    {
        QByteArray big = noise(bigSize);
        write(QStringLiteral("disk.img"), big, 1);
        write(QStringLiteral("notes/a.txt"), "first", 1);
        write(QStringLiteral("notes/gone.txt"), "deleted on the server tomorrow", 1);
        const Server server = writeConfig(QStringLiteral("auto"));
        const auto first = m_s->runOn(day(2), server);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.log.contains(QStringLiteral("Snapshots: btrfs subvolumes")), qPrintable(first.log.join(u'\n')));
        QVERIFY(first.log.filter(QStringLiteral("$ ")).first().contains(QStringLiteral("--inplace")));

        QVERIFY(QFile::remove(m_s->remote + QStringLiteral("/notes/gone.txt")));
        write(QStringLiteral("notes/a.txt"), "second", 2);
        write(QStringLiteral("notes/new.txt"), "new", 2);
        const auto second = m_s->runOn(day(1), server);
        QCOMPARE(second.exitCode, 0);
        // A day made by a snapshot counts its changes by size and time, not by inode.
        QVERIFY(second.log.filter(QStringLiteral("most files changed")).isEmpty());

        big.replace(bigSize / 2, 1024 * 1024, noise(1024 * 1024));
        write(QStringLiteral("disk.img"), big, 3);
        QCOMPARE(m_s->runOn(day(0), server).exitCode, 0);
        // A second run of the day replaces it whole, as on hard links.
        write(QStringLiteral("notes/a.txt"), "third", 3);
        const auto again = m_s->runOn(day(0), server);
        QCOMPARE(again.exitCode, 0);
        QVERIFY(hiddenEntries().filter(QStringLiteral("rerun")).isEmpty());

        for (int ago : {2, 1, 0}) {
            QVERIFY2(Btrfs::isSubvolume(dayFolder(ago)), qPrintable(name(ago)));
            QVERIFY2(Btrfs::isReadOnly(dayFolder(ago)), qPrintable(name(ago)));
            QVERIFY(!QFile::exists(dayFolder(ago) + u'/' + Snapshots::incompleteMarker));
        }
        QCOMPARE(readFile(dayFolder(2) + QStringLiteral("/Site/notes/a.txt")), QByteArray("first"));
        QVERIFY(QFile::exists(dayFolder(2) + QStringLiteral("/Site/notes/gone.txt")));
        QCOMPARE(readFile(dayFolder(1) + QStringLiteral("/Site/notes/a.txt")), QByteArray("second"));
        QVERIFY(!QFile::exists(dayFolder(1) + QStringLiteral("/Site/notes/gone.txt")));
        QCOMPARE(readFile(dayFolder(0) + QStringLiteral("/Site/notes/a.txt")), QByteArray("third"));
        QCOMPARE(treeDifferences(m_s->remote, dayFolder(0) + QStringLiteral("/Site")), QStringList());

        // The edited file: yesterday's print would be the old contents'.
        const QString edited = dayFolder(0) + QStringLiteral("/Site/disk.img");
        QVERIFY(storedPrint(edited));
        QVERIFY(storedPrint(edited)->sameContents(*printOf(edited)));
        QVERIFY(!storedPrint(edited)->sameContents(*storedPrint(dayFolder(1) + QStringLiteral("/Site/disk.img"))));

        const BtrfsImage::Usage today = m_image->usage(dayFolder(0));
        QVERIFY(today.total >= bigSize);
        QVERIFY2(today.exclusive <= 4 * 1024 * 1024, qPrintable(QString::number(today.exclusive)));

        // The day is safe from this computer too.
        QFile file(dayFolder(0) + QStringLiteral("/Site/notes/a.txt"));
        QVERIFY(!file.open(QIODevice::WriteOnly | QIODevice::Append));

        // A check of every day reads each copy once, however many snapshots
        // share it: 3 files of the first day, 2 new or changed on each later one.
        BackupCheck::Options every;
        every.days = QStringList{name(2), name(1), name(0)};
        const auto checked = BackupCheck::run(serverFolder(), true, every);
        QVERIFY(checked);
        QCOMPARE(checked->total, qint64(7));
        QVERIFY(checked->damaged.isEmpty());
    }

    // A copy whose print no longer matches, in the first day and shared by
    // the snapshots after it: read once, and every day holding it named.
    void damageInASharedCopyNamesEveryDayThatHoldsIt()
    {
        write(QStringLiteral("kept.txt"), "kept", 1);
        write(QStringLiteral("other.txt"), "other", 1);
        const Server server = writeConfig(QStringLiteral("auto"));
        QCOMPARE(m_s->runOn(day(2), server).exitCode, 0);
        const QString copy = dayFolder(2) + QStringLiteral("/Site/kept.txt");
        Fingerprints::Print wrong = *storedPrint(copy);
        wrong.low ^= 1;
        const QByteArray value = wrong.encoded();
        QVERIFY(Btrfs::setReadOnly(dayFolder(2), false));
        QCOMPARE(::setxattr(QFile::encodeName(copy).constData(), Fingerprints::attribute, value.constData(),
                            size_t(value.size()), 0),
                 0);
        QVERIFY(Btrfs::setReadOnly(dayFolder(2), true));
        for (int ago : {1, 0})
            QCOMPARE(m_s->runOn(day(ago), server).exitCode, 0);

        BackupCheck::Options every;
        every.days = QStringList{name(2), name(1), name(0)};
        const auto checked = BackupCheck::run(serverFolder(), true, every);
        QVERIFY(checked);
        QCOMPARE(checked->total, qint64(2));
        QCOMPARE(checked->damaged.size(), 1);
        QCOMPARE(checked->damaged.first().firstDay, name(2));
        QCOMPARE(checked->damaged.first().lastDay, name(0));
    }

    // A run killed in the middle of a large file: yesterday is as it was,
    // today incomplete; the next run finishes today from where it was.
    void aKilledRunLeavesYesterdayAndIsFinishedNext()
    {
        write(QStringLiteral("small.txt"), "small", 1);
        Server server = writeConfig(QStringLiteral("btrfs"));
        QCOMPARE(m_s->runOn(day(1), server).exitCode, 0);
        const QByteArray big = noise(8 * 1024 * 1024);
        write(QStringLiteral("slow.bin"), big, 2);
        server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.destinationPath = m_image->mountPoint + QStringLiteral("/Backups");
            s.servers.first().id = server.id;
            s.servers.first().snapshotMethod = QStringLiteral("btrfs");
            s.servers.first().bandwidthLimitKBps = 2000;
        });
        auto run = m_s->startHeadless(server.id);
        const QString partial = dayFolder(0) + QStringLiteral("/Site/slow.bin");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(partial).size() > 1024 * 1024, 60000);
        run->kill();
        QVERIFY(run->waitForFinished(30000));
        // Its rsync goes with it (and the server's side with the connection).
        QTRY_VERIFY_WITH_TIMEOUT(processesMentioning(m_s->remote).isEmpty(), 30000);

        QVERIFY(Btrfs::isReadOnly(dayFolder(1)));
        QVERIFY(!QFile::exists(dayFolder(1) + QStringLiteral("/Site/slow.bin")));
        QCOMPARE(readFile(dayFolder(1) + QStringLiteral("/Site/small.txt")), QByteArray("small"));
        QVERIFY(QFile::exists(dayFolder(0) + u'/' + Snapshots::incompleteMarker));
        QVERIFY(!Btrfs::isReadOnly(dayFolder(0)));

        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY(Btrfs::isReadOnly(dayFolder(0)));
        QVERIFY(!QFile::exists(dayFolder(0) + u'/' + Snapshots::incompleteMarker));
        QCOMPARE(readFile(partial), big);
        QVERIFY(hiddenEntries().isEmpty());
    }

    // Retention deletes read-only days: as root with the kernel's delete,
    // and as a user who may not delete subvolumes by emptying them first.
    void retentionDeletesSubvolumeDays()
    {
        write(QStringLiteral("a.txt"), "a", 1);
        Server server = writeConfig(QStringLiteral("auto"));
        server.retentionCount = 1;
        for (int ago : {2, 1, 0})
            QCOMPARE(m_s->runOn(day(ago), server).exitCode, 0);
        QCOMPARE(QDir(serverFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{name(0)});
        QVERIFY(hiddenEntries().filter(Snapshots::deletingPrefix).isEmpty());

        const QString theirs = m_image->mountPoint + QStringLiteral("/theirs");
        QVERIFY(QDir().mkpath(theirs));
        const QString folder = theirs + QStringLiteral("/web_prod");
        QVERIFY(asUnprivilegedUser(theirs, [&] {
            if (!Btrfs::canMakeSubvolumes(theirs) || !QDir().mkpath(folder))
                return false;
            for (int ago : {2, 1, 0}) {
                const QString path = folder + u'/' + name(ago);
                if (!Btrfs::createSubvolume(path) || !writeFile(path + QStringLiteral("/Site/deep/f.txt"), "x")
                    || !QFile::setPermissions(path + QStringLiteral("/Site/deep"),
                                              QFileDevice::ReadOwner | QFileDevice::ExeOwner)
                    || !Btrfs::setReadOnly(path, true))
                    return false;
            }
            Server kept = server;
            const Retention::Outcome outcome = Retention::prune(folder, kept, QDateTime(day(0), QTime(12, 0)));
            return outcome.failed.isEmpty() && outcome.deleted.size() == 2;
        }));
        QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden), QStringList{name(0)});
    }

    // Hard-linked days first, then btrfs ones in the same server folder:
    // the first btrfs day says it copies once; versions, compare and a
    // restore read across both kinds.
    void bothKindsOfDaysReadAsOneHistory()
    {
        write(QStringLiteral("same.txt"), "never changes", 1);
        write(QStringLiteral("doc.txt"), "version one", 1);
        Server server = writeConfig(QStringLiteral("hardlinks"));
        QCOMPARE(m_s->runOn(day(3), server).exitCode, 0);
        write(QStringLiteral("doc.txt"), "version two", 2);
        const auto linked = m_s->runOn(day(2), server);
        QCOMPARE(linked.exitCode, 0);
        QVERIFY(linked.log.contains(QStringLiteral("Snapshots: hard links")));
        QVERIFY(!Btrfs::isSubvolume(dayFolder(2)));

        server.snapshotMethod = QStringLiteral("auto");
        const auto switched = m_s->runOn(day(1), server);
        QCOMPARE(switched.exitCode, 0);
        QVERIFY(switched.log.contains(QStringLiteral("Snapshots: btrfs subvolumes")));
        QVERIFY(!switched.log.filter(QStringLiteral("The first day in a btrfs subvolume")).isEmpty());
        QVERIFY(Btrfs::isSubvolume(dayFolder(1)));
        write(QStringLiteral("doc.txt"), "version three", 3);
        QCOMPARE(m_s->runOn(day(0), server).exitCode, 0);

        const QList<VersionFinder::Version> same =
            VersionFinder::versionsOf(server, serverFolder(), m_s->remote + QStringLiteral("/same.txt"));
        QCOMPARE(same.size(), 1);
        QCOMPARE(same.first().snapshots, (QStringList{name(3), name(2), name(1), name(0)}));
        const QList<VersionFinder::Version> doc =
            VersionFinder::versionsOf(server, serverFolder(), m_s->remote + QStringLiteral("/doc.txt"));
        QCOMPARE(doc.size(), 3);
        QCOMPARE(doc.at(1).snapshots, (QStringList{name(2), name(1)}));

        const SnapshotCompare::Result across = SnapshotCompare::compare(server, dayFolder(2), dayFolder(1));
        QVERIFY(across.changes.isEmpty());
        QVERIFY(across.bySizeAndTime > 0);
        const SnapshotCompare::Result last = SnapshotCompare::compare(server, dayFolder(1), dayFolder(0));
        QCOMPARE(last.changes.size(), 1);
        QCOMPARE(last.changes.first().kind, SnapshotCompare::Change::Kind::changed);

        const QString target = m_s->home.path() + QStringLiteral("/Restored");
        const LocalRestore::Plan plan =
            LocalRestore::plan({{dayFolder(1) + QStringLiteral("/Site/doc.txt"), QStringLiteral("doc.txt")}}, target);
        const LocalRestore::Outcome outcome = LocalRestore::copy(plan, {}, day(1));
        QVERIFY2(outcome.failures.isEmpty(), qPrintable(outcome.failures.join(u'\n')));
        QCOMPARE(readFile(target + QStringLiteral("/doc.txt")), QByteArray("version two"));
    }

    // Days that share no inodes: copies of the same size and second are one
    // version when their fingerprints agree, and two when a copy was
    // rewritten in place (its print taken again) though it kept both.
    void aCopyRewrittenInPlaceIsToldApartByItsFingerprint()
    {
        write(QStringLiteral("same.txt"), "never changes", 1);
        write(QStringLiteral("doc.txt"), "contents A", 1);
        const Server server = writeConfig(QStringLiteral("auto"));
        for (int ago : {1, 0})
            QCOMPARE(m_s->runOn(day(ago), server).exitCode, 0);
        const QString copy = dayFolder(0) + QStringLiteral("/Site/doc.txt");
        struct stat before;
        QCOMPARE(::lstat(QFile::encodeName(copy).constData(), &before), 0);
        QVERIFY(Btrfs::setReadOnly(dayFolder(0), false));
        {
            const int fd = ::open(QFile::encodeName(copy).constData(), O_RDWR);
            QVERIFY(fd >= 0);
            QCOMPARE(::pwrite(fd, "contents B", 10, 0), ssize_t(10));
            const struct timespec times[2] = {before.st_atim, before.st_mtim};
            QCOMPARE(::futimens(fd, times), 0);
            const auto print = Fingerprints::compute(fd);
            struct stat after;
            QCOMPARE(::fstat(fd, &after), 0);
            Fingerprints::Store store(serverFolder(), true);
            QVERIFY(print && store.keep(fd, after, *print));
            ::close(fd);
        }
        QVERIFY(Btrfs::setReadOnly(dayFolder(0), true));

        const auto same = VersionFinder::versionsOf(server, serverFolder(), m_s->remote + QStringLiteral("/same.txt"));
        QCOMPARE(same.size(), 1);
        QVERIFY(same.first().byFingerprint);
        QCOMPARE(VersionFinder::versionsOf(server, serverFolder(), m_s->remote + QStringLiteral("/doc.txt")).size(), 2);
        const SnapshotCompare::Result result = SnapshotCompare::compare(server, dayFolder(1), dayFolder(0));
        QCOMPARE(result.changes.size(), 1);
        QVERIFY(result.changes.first().remotePath.endsWith(QStringLiteral("doc.txt")));
        QVERIFY(result.byFingerprint >= 2);
    }
};

QTEST_GUILESS_MAIN(TestBtrfsSnapshots)
#include "tst_BtrfsSnapshots.moc"
