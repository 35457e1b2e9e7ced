// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --verify-remote against the real sshd and rsync: a file whose
// contents changed while its size and time stayed, on the server or in the
// copy, is found; ordinary changes are counted, not flagged; nothing is
// written anywhere.
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDirIterator>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace TestHelpers;

class TestRemoteCheck : public SshdBackupTest
{
    Q_OBJECT

    QString tree() const { return m_s->remote + QStringLiteral("/site"); }

    // New contents of the same length, the modification time put back: a
    // backup's quick check would never copy it again.
    static void rewriteKeepingTime(const QString &path, const QByteArray &contents)
    {
        const QByteArray name = QFile::encodeName(path);
        struct stat before;
        QCOMPARE(::stat(name.constData(), &before), 0);
        QCOMPARE(qint64(contents.size()), qint64(before.st_size));
        // In place, as a flipped bit would be: hard links keep sharing it.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QCOMPARE(file.write(contents), qint64(contents.size()));
        file.close();
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, name.constData(), times, 0), 0);
    }

    // Every entry under the folder with its size and time.
    static QStringList inventory(const QString &folder)
    {
        QStringList seen;
        QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            seen << info.filePath() + u' ' + QString::number(info.size()) + u' '
                        + QString::number(info.lastModified().toMSecsSinceEpoch());
        }
        seen.sort();
        return seen;
    }

private Q_SLOTS:
    void silentChangesOnEitherSideAreFound()
    {
        writeFile(tree() + QStringLiteral("/a.txt"), "aaaa");
        writeFile(tree() + QStringLiteral("/sub dir/b.txt"), "bbbb");
        writeFile(tree() + QStringLiteral("/edited.txt"), "old");
        writeFile(tree() + QStringLiteral("/removed.txt"), "bye");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree())});
        // As scheduled: the run that first met the server knows its key.
        const QString day = QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(m_s->runHeadless(server.id).status, 0);

        const QStringList check{QStringLiteral("--verify-remote"), QStringLiteral("web: prod")};
        Outcome clean = runTidewell(m_s->home, check);
        QVERIFY2(clean.status == 0, QByteArray(clean.out + clean.err).constData());
        QVERIFY2(clean.out.endsWith(
                     QByteArray("No silent difference: the backup of " + day.toUtf8() + " agrees with the server.\n")),
                 clean.out.constData());

        rewriteKeepingTime(tree() + QStringLiteral("/a.txt"), "AAAA");
        writeFile(tree() + QStringLiteral("/edited.txt"), "new, and longer");
        writeFile(tree() + QStringLiteral("/added.txt"), "new");
        QVERIFY(QFile::remove(tree() + QStringLiteral("/removed.txt")));
        // A bit gone bad in the copy is the same to a check.
        rewriteKeepingTime(m_s->serverFolder() + u'/' + day + QStringLiteral("/Site/sub dir/b.txt"), "bbbB");
        const QStringList before = inventory(m_s->destination);

        const Outcome found = runTidewell(m_s->home, check);
        QCOMPARE(found.status, 1);
        QVERIFY2(found.err.contains("!! Site/a.txt: the contents differ though size and modification time agree\n"),
                 found.err.constData());
        QVERIFY(found.err.contains("!! Site/sub dir/b.txt: the contents differ"));
        QVERIFY2(found.out.contains("Site: 4 files on the server; 2 differ silently, 1 changed since, 1 new, 1 gone."),
                 found.out.constData());
        QCOMPARE(inventory(m_s->destination), before);

        Outcome absent =
            runTidewell(m_s->home, check + QStringList{QStringLiteral("--date"), QStringLiteral("2001-01-01")});
        QCOMPARE(absent.status, 2);
        QCOMPARE(absent.err, QByteArray("There is no backup of 2001-01-01.\n"));
        QCOMPARE(runTidewell(m_s->home, check + QStringList{QStringLiteral("--date"), QStringLiteral("soon")}).status,
                 2);
        QCOMPARE(runTidewell(m_s->home, check + QStringList{QStringLiteral("--date"), day}).status, 1);
    }

    // With verifyRemoteEveryDays, a scheduled run reads the day against the
    // server when the last such check is that old, and keeps when it ran.
    void aScheduledRunChecksAgainstTheServerWhenDue()
    {
        writeFile(tree() + QStringLiteral("/a.txt"), "aaaa");
        writeFile(tree() + QStringLiteral("/b.txt"), "bbbb");
        const QList<BackupPath> paths{BackupScenario::path(QStringLiteral("Site"), tree())};
        const Server server = m_s->writeConfig(paths);
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY(!m_s->storedServer(server.id)->lastRemoteCheckAt);

        rewriteKeepingTime(tree() + QStringLiteral("/a.txt"), "AAAA");
        m_s->writeConfig(paths, [&server](AppSettings &s) {
            s.servers[0].id = server.id;
            s.verifyRemoteEveryDays = 30;
        });
        const Outcome due = m_s->runHeadless(server.id);
        QCOMPARE(due.status, 0);
        QVERIFY2(due.err.contains("Check against the server: !! Site/a.txt: the contents differ though size and "
                                  "modification time agree"),
                 due.err.constData());
        QVERIFY(m_s->storedServer(server.id)->lastRemoteCheckAt.has_value());
        QCOMPARE(m_s->storedServer(server.id)->remoteDifferences, 1);
        const Outcome notDue = m_s->runHeadless(server.id);
        QCOMPARE(notDue.status, 0);
        QVERIFY2(!notDue.err.contains("Check against the server"), notDue.err.constData());
    }
};

QTEST_GUILESS_MAIN(TestRemoteCheck)
#include "tst_RemoteCheck.moc"
