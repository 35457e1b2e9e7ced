// SPDX-License-Identifier: GPL-3.0-or-later
// Fingerprints of the copies against the real sshd and rsync: written for
// the files a run wrote, shared by the days that link to them, never sent to
// the server; a byte flipped in a copy is found by --verify with every day
// that holds it; a stopped check continues; a file system without user
// attributes keeps them in the manifest.
#include "core/engine/Fingerprints.h"
#include "core/restore/BackupCheck.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace TestHelpers;

class TestFingerprints : public SshdBackupTest
{
    Q_OBJECT

public:
    TestFingerprints()
        : SshdBackupTest(true)
    { }

private:
    QString tree() const { return m_s->remote + QStringLiteral("/site"); }
    QString copyOf(int offset, const QString &relative) const
    {
        return m_s->serverFolder() + u'/' + day(offset) + QStringLiteral("/Site/") + relative;
    }
    static QString day(int offset) { return QDate::currentDate().addDays(offset).toString(Qt::ISODate); }

    void fillTree(int files)
    {
        for (int i = 0; i < files; ++i) {
            QByteArray bytes(4096 + i, '\0');
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
            writeFile(tree() + QStringLiteral("/dir %1/file-%2.bin").arg(i % 4).arg(i), bytes);
        }
    }

    static QByteArray attribute(const QString &path, const char *name = Fingerprints::attribute)
    {
        char value[256];
        const ssize_t size = ::lgetxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
        return size < 0 ? QByteArray() : QByteArray(value, size);
    }

    static ino_t inode(const QString &path)
    {
        struct stat info;
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
    }

    // One byte overwritten in place, as a failing disk would: the time stays.
    static void flipByte(const QString &path)
    {
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        QProcess dd;
        dd.start(QStringLiteral("/usr/bin/dd"),
                 {QStringLiteral("of=") + path, QStringLiteral("bs=1"), QStringLiteral("seek=100"),
                  QStringLiteral("conv=notrunc"), QStringLiteral("status=none")});
        QVERIFY(dd.waitForStarted());
        dd.write(readFile(path).mid(100, 1) == "Z" ? "Y" : "Z");
        dd.closeWriteChannel();
        QVERIFY(dd.waitForFinished());
        QCOMPARE(dd.exitCode(), 0);
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
    }

    Outcome verify(const QStringList &more = {}) const
    {
        return runTidewell(m_s->home, QStringList{QStringLiteral("--verify"), QStringLiteral("web: prod")} + more);
    }

private Q_SLOTS:
    void aFlippedByteIsFoundInEveryDayThatHoldsIt()
    {
        fillTree(40);
        const QByteArray note = "kept by -X";
        QCOMPARE(::setxattr(QFile::encodeName(tree() + QStringLiteral("/dir 1/file-5.bin")).constData(), "user.note",
                            note.constData(), size_t(note.size()), 0),
                 0);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())},
                                               [](AppSettings &s) { s.servers[0].preserveXattrs = true; });
        const QDate today = QDate::currentDate();
        const BackupScenario::Run first = m_s->runOn(today.addDays(-3), server);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.log.filter(QStringLiteral("Fingerprinted 40 new files (")).size() == 1,
                 qPrintable(first.log.join(u'\n')));
        writeFile(tree() + QStringLiteral("/dir 2/file-6.bin"), "edited on the second day");
        const BackupScenario::Run second = m_s->runOn(today.addDays(-2), server);
        QVERIFY2(second.log.filter(QStringLiteral("Fingerprinted 1 new file (")).size() == 1,
                 qPrintable(second.log.join(u'\n')));
        const BackupScenario::Run third = m_s->runOn(today.addDays(-1), server);
        QVERIFY(third.log.filter(QStringLiteral("Fingerprinted")).isEmpty());

        // One inode for the three days, its print and the server's own
        // attribute on it; the print never went to the server.
        const QString linked = QStringLiteral("dir 1/file-5.bin");
        QCOMPARE(inode(copyOf(-1, linked)), inode(copyOf(-3, linked)));
        QVERIFY(attribute(copyOf(-1, linked)).startsWith("xxh128:"));
        QCOMPARE(attribute(copyOf(-1, linked), "user.note"), note);
        QVERIFY(attribute(tree() + u'/' + linked).isEmpty());

        Outcome clean = verify({QStringLiteral("--all")});
        QVERIFY2(clean.status == 0, clean.out.constData());
        QVERIFY2(clean.out.endsWith("All 41 files are intact.\n"), clean.out.constData());

        flipByte(copyOf(-2, linked));
        const Outcome newest = verify();
        QCOMPARE(newest.status, 1);
        QVERIFY2(newest.out.contains(QByteArray("!! 1 damaged file: Site/dir 1/file-5.bin (" + day(-3).toUtf8() + " … "
                                                + day(-1).toUtf8() + ")\n")),
                 newest.out.constData());
        const Outcome nagios = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--nagios")});
        QCOMPARE(nagios.status, 2);
        QVERIFY2(nagios.out.startsWith("TIDEWELL CRITICAL - 1 with damaged copies (web: prod: 1)"),
                 nagios.out.constData());
        const Outcome json = runTidewell(m_s->home, {QStringLiteral("--status"), QStringLiteral("--json")});
        const QJsonObject entry =
            QJsonDocument::fromJson(json.out).object().value(QStringLiteral("servers")).toArray().first().toObject();
        QCOMPARE(entry.value(QStringLiteral("health")).toString(), QStringLiteral("damaged"));
        QCOMPARE(entry.value(QStringLiteral("verify")).toObject().value(QStringLiteral("damagedFiles")).toInt(), 1);
        // A check of one part does not say the history is whole again.
        verify({QStringLiteral("--date"), day(-2), QStringLiteral("--sample"), QStringLiteral("1%")});
        QCOMPARE(m_s->storedServer(server.id)->damagedFiles, 1);
        QCOMPARE(verify({QStringLiteral("--date"), QStringLiteral("2001-01-01")}).status, 2);
        QCOMPARE(verify({QStringLiteral("--sample"), QStringLiteral("0%")}).status, 2);

        // Restored to the server with -X: the server's attribute goes back,
        // the print does not.
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        const Outcome restored =
            runTidewell(m_s->home, {QStringLiteral("--restore"), QStringLiteral("web: prod"), QStringLiteral("--date"),
                                    day(-1), QStringLiteral("--item"), tree() + QStringLiteral("/dir 1/file-5.bin"),
                                    QStringLiteral("--to-server"), m_s->remote + QStringLiteral("/back")});
        QVERIFY2(restored.status == 0, QByteArray(restored.out + restored.err).constData());
        const QString back = m_s->remote + QStringLiteral("/back/file-5.bin");
        QVERIFY(QFile::exists(back));
        QCOMPARE(attribute(back, "user.note"), note);
        QVERIFY(attribute(back).isEmpty());
    }

    // Stopped after 10 files, the check continues at the 11th and reads
    // each remaining file once; files from before fingerprints get theirs.
    void aStoppedCheckContinuesWhereItWas()
    {
        fillTree(30);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())});
        QCOMPARE(m_s->runOn(QDate::currentDate().addDays(-1), server).exitCode, 0);
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        const QString older = copyOf(0, QStringLiteral("dir 3/file-7.bin"));
        QCOMPARE(::removexattr(QFile::encodeName(older).constData(), Fingerprints::attribute), 0);

        BackupCheck::Options options;
        options.days = QStringList{day(-1), day(0)};
        int asked = 0;
        options.stop = [&asked] { return ++asked > 10; };
        const auto stopped = BackupCheck::run(m_s->serverFolder(), true, options);
        QVERIFY(stopped && !stopped->finished);
        QCOMPARE(stopped->done, 10);
        QVERIFY(QFile::exists(m_s->serverFolder() + u'/' + BackupCheck::progressName));

        options.stop = {};
        const auto resumed = BackupCheck::run(m_s->serverFolder(), true, options);
        QVERIFY(resumed && resumed->finished);
        QCOMPARE(resumed->resumedAt, 10);
        QCOMPARE(resumed->total, 30);
        QCOMPARE(resumed->done, 30);
        QCOMPARE(stopped->bytes + resumed->bytes, qint64(30 * 4096 + 29 * 30 / 2));
        QCOMPARE(resumed->fresh, 1);
        QVERIFY(resumed->damaged.isEmpty());
        QVERIFY(attribute(older).startsWith("xxh128:"));
        QVERIFY(!QFile::exists(m_s->serverFolder() + u'/' + BackupCheck::progressName));

        // The place is for the same days only: another choice starts afresh.
        options.stop = [&asked] { return ++asked > 15; };
        asked = 0;
        QVERIFY(BackupCheck::run(m_s->serverFolder(), true, options).has_value());
        options.days = QStringList{day(0)};
        options.stop = {};
        const auto other = BackupCheck::run(m_s->serverFolder(), true, options);
        QCOMPARE(other->resumedAt, 0);
        QCOMPARE(other->done, 30);

        // A damaged file whose name would print a line of its own is named on one.
        const QString forged = copyOf(0, QStringLiteral("x\nAll 31 files are intact."));
        writeFile(forged, "forged");
        Fingerprints::Print wrong;
        wrong.size = 6;
        const QByteArray value = wrong.encoded();
        QCOMPARE(::setxattr(QFile::encodeName(forged).constData(), Fingerprints::attribute, value.constData(),
                            size_t(value.size()), 0),
                 0);
        const auto hostile = BackupCheck::run(m_s->serverFolder(), true, options);
        QCOMPARE(hostile->damaged.size(), 1);
        QVERIFY(!hostile->damaged.first().shown().contains(u'\n'));
    }

    // A scheduled run reads today's part of the copies afterwards (here
    // all of them): damage found so is recorded and notified.
    void theDailyCheckFindsDamageAfterAScheduledRun()
    {
        fillTree(20);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())},
                                               [](AppSettings &s) { s.verifyParts = 1; });
        const Outcome first = m_s->runHeadless(server.id);
        QCOMPARE(first.status, 0);
        QVERIFY2(first.err.contains("Daily check of part 1 of 1 of the copies: 20 files, 0 damaged.\n"),
                 first.err.constData());
        QCOMPARE(m_s->storedServer(server.id)->damagedFiles, 0);
        QVERIFY(m_s->storedServer(server.id)->lastVerifiedAt.has_value());

        flipByte(copyOf(0, QStringLiteral("dir 2/file-10.bin")));
        const int before = m_bus->notifications().size();
        const Outcome second = m_s->runHeadless(server.id);
        QCOMPARE(second.status, 0);
        QVERIFY2(second.err.contains("20 files, 1 damaged.\n"), second.err.constData());
        QCOMPARE(m_s->storedServer(server.id)->damagedFiles, 1);
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 2, 5000);
        QCOMPARE(m_bus->notifications().last().value(QStringLiteral("body")).toString(),
                 QStringLiteral("✗ web: prod — 1 damaged file in the backups: Site/dir 2/file-10.bin (") + day(0)
                     + u')');
    }

    // A destination on ramfs, which keeps no user attributes: the prints go
    // into the manifest, a second day adds only its new file, and a flipped
    // byte is found all the same.
    void withoutAttributesTheManifestHoldsThePrints()
    {
        if (::geteuid() != 0)
            QSKIP("mounting a file system without user attributes needs root");
        QVERIFY(QDir().mkpath(m_s->destination));
        QCOMPARE(::mount("ramfs", QFile::encodeName(m_s->destination).constData(), "ramfs", 0, "mode=0755"), 0);
        const auto unmount = qScopeGuard([this] { ::umount2(QFile::encodeName(m_s->destination).constData(), 0); });
        fillTree(12);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())});
        QCOMPARE(m_s->runOn(QDate::currentDate().addDays(-1), server).exitCode, 0);
        writeFile(tree() + QStringLiteral("/new.txt"), "a new file");
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        const QString manifest = m_s->serverFolder() + u'/' + Fingerprints::manifestName;
        QCOMPARE(readFile(manifest).count('\n'), 13);
        QVERIFY(attribute(copyOf(0, QStringLiteral("new.txt"))).isEmpty());

        flipByte(copyOf(0, QStringLiteral("dir 0/file-4.bin")));
        const Outcome found = verify({QStringLiteral("--all")});
        QCOMPARE(found.status, 1);
        QVERIFY2(found.out.contains("(fingerprints in the manifest)"), found.out.constData());
        QVERIFY2(found.out.contains(QByteArray("!! 1 damaged file: Site/dir 0/file-4.bin (" + day(-1).toUtf8() + " … "
                                               + day(0).toUtf8() + ")\n")),
                 found.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestFingerprints)
#include "tst_Fingerprints.moc"
