// SPDX-License-Identifier: GPL-3.0-or-later
// What a hostile server or a hostile local user can make of backups and
// restores, through the binary against the real sshd and rsync: names that
// would be commands, links planted in shared folders or in the server's
// tree, setuid files and devices, FIFOs, long names, replaced files, and a
// restore stopped by a signal. After each: no command ran on the server,
// nothing was written outside the target, no setuid file or device was
// handed to anyone.
#include "core/engine/KeepOptions.h"
#include "core/engine/RsyncPreview.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/ssh/RemoteListing.h"
#include "core/storage/LogStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace TestHelpers;

namespace {

struct stat statOf(const QString &path)
{
    struct stat info
    { };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

bool isRoot()
{
    return ::geteuid() == 0;
}

// Entries under `root` that would work as a privilege: setuid or setgid
// files, devices, FIFOs.
QStringList privileged(const QString &root)
{
    QStringList found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const struct stat info = statOf(path);
        if ((S_ISREG(info.st_mode) && (info.st_mode & (S_ISUID | S_ISGID))) || S_ISCHR(info.st_mode)
            || S_ISBLK(info.st_mode) || S_ISFIFO(info.st_mode))
            found << path;
    }
    return found;
}

// The names a server can hold that a shell would act on: every control
// character, every metacharacter, a line feed that would start a second
// command, an option and a 255-byte name.
QStringList hostileNames(const QString &canaryCommand)
{
    QStringList names;
    for (char16_t c = 1; c < 0x20; ++c)
        names << QStringLiteral("c%1-").arg(int(c)) + QChar(c) + QStringLiteral("-x");
    names << QStringLiteral("del-\x7f-x");
    for (const QString &wrapped :
         {QStringLiteral("$(%1)"), QStringLiteral("`%1`"), QStringLiteral("; %1 ;"), QStringLiteral("| %1"),
          QStringLiteral("&& %1"), QStringLiteral("' ; %1 ; '"), QStringLiteral("\" ; %1 ; \"")})
        names << wrapped.arg(canaryCommand);
    names << QStringLiteral("-rf") << QStringLiteral("..foo") << QStringLiteral("\\") << QStringLiteral("*")
          << QStringLiteral("?") << QStringLiteral("[a]") << QStringLiteral("{a,b}") << QStringLiteral("~")
          << QStringLiteral("!x") << QStringLiteral("#x") << QStringLiteral("a b") << QStringLiteral("<x>")
          << QStringLiteral("ünï\u0301code") << QString(255, u'n');
    return names;
}

} // namespace

class TestHostileRestore : public SshdBackupTest
{
    Q_OBJECT

    QString canary() const { return m_s->home.path() + QStringLiteral("/CANARY"); }
    QString today() const { return QDate::currentDate().toString(Qt::ISODate); }
    QString id(const Server &server) const { return server.id.toString(QUuid::WithoutBraces); }

    Outcome restore(const Server &server, const QStringList &items, const QStringList &how)
    {
        QStringList arguments{QStringLiteral("--restore"), id(server), QStringLiteral("--date"), today()};
        for (const QString &item : items)
            arguments << QStringLiteral("--item") << item;
        return runTidewell(m_s->home, arguments + how);
    }

private Q_SLOTS:
    void cleanup()
    {
        KeepOptions::setRootForTesting(std::nullopt);
        SshdBackupTest::cleanup();
    }

    // Names that would be commands are backed up, listed, browsed,
    // previewed and restored (here and to the server) as the names they
    // are; a script they point at on the server never runs.
    void namesNeverBecomeCommands()
    {
        const QString evil = writeScript(m_s->remote + QStringLiteral("/evil"), "touch '" + canary().toUtf8() + "'\n");
        const QString tree = m_s->remote + QStringLiteral("/tree");
        for (const QString &name : hostileNames(QStringLiteral("touch ") + canary()))
            QVERIFY(writeFile(tree + u'/' + name, name.toUtf8()));
        const QString lineFeeds = tree + QStringLiteral("/photos\n") + evil + QStringLiteral("\nx");
        QVERIFY(writeFile(lineFeeds + QStringLiteral("/inner.txt"), "inner"));
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Tree"), tree),
                                                BackupScenario::path(QStringLiteral("Photos"), lineFeeds)});
        const Outcome backup = m_s->runHeadless(server.id);
        QVERIFY2(backup.status == 0, qPrintable(m_s->logOf(server).join(u'\n')));
        QCOMPARE(treeDifferences(tree, m_s->runFolder() + QStringLiteral("/Tree")), QStringList());
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Photos/inner.txt")), QByteArray("inner"));
        QVERIFY(!QFile::exists(canary()));
        // One log line per line written, however the names are made.
        QVERIFY(m_s->logOf(server).contains(QStringLiteral("=== Photos (") + tree + QStringLiteral("/photos^J") + evil
                                            + QStringLiteral("^Jx) ===")));

        // Browse…: the folder and the one inside it.
        const auto listed = done(RemoteListing::list(server, tree), 30000);
        QVERIFY2(listed, qPrintable(listed ? QString() : listed.error().message));
        QStringList names;
        for (const RemoteListing::Entry &entry : listed->entries)
            names << entry.name;
        QVERIFY2(listed->entries.contains(RemoteListing::Entry{QStringLiteral("photos\n"), true}),
                 qPrintable(names.join(u'|')));
        QCOMPARE(listed->entries.size(), hostileNames(QString()).size() + 1);
        const auto inside = done(RemoteListing::list(server, lineFeeds), 30000);
        QVERIFY(inside);
        QCOMPARE(inside->folder, lineFeeds);
        QCOMPARE(inside->entries, (QList<RemoteListing::Entry>{{QStringLiteral("inner.txt"), false}}));
        QVERIFY(!QFile::exists(canary()));

        // Preview of the path whose remote path holds the line feeds.
        RsyncPreview preview;
        const auto previewed =
            done(preview.run(server, server.paths.at(1).id, AppSettings(), RsyncProbe::compute()), 60000);
        QVERIFY2(previewed.exitCode == 0, qPrintable(previewed.lines.join(u'\n')));
        QVERIFY(!QFile::exists(canary()));

        // Back to the server (dry run first), and here.
        // (A name holding "/" is folders: "$(touch " is the first of them.)
        const QStringList items{lineFeeds + QStringLiteral("/inner.txt"), tree + QStringLiteral("/$(touch "),
                                tree + QStringLiteral("/-rf"), tree + QStringLiteral("/c10-\n-x")};
        const QString back = m_s->remote + QStringLiteral("/back\nto $(touch ") + canary() + u')';
        QCOMPARE(restore(server, items, {QStringLiteral("--to-server"), back, QStringLiteral("--dry-run")}).status, 0);
        QVERIFY(!QFileInfo::exists(back));
        const Outcome toServer = restore(server, items, {QStringLiteral("--to-server"), back});
        QVERIFY2(toServer.status == 0, toServer.out.constData());
        QCOMPARE(readFile(back + QStringLiteral("/inner.txt")), QByteArray("inner"));
        QCOMPARE(readFile(back + QStringLiteral("/-rf")), QByteArray("-rf"));
        QCOMPARE(readFile(back + QStringLiteral("/c10-\n-x")), QByteArray("c10-\n-x"));
        QCOMPARE(
            treeDifferences(m_s->runFolder() + QStringLiteral("/Tree/$(touch "), back + QStringLiteral("/$(touch ")),
            QStringList());
        const QString here = m_s->home.path() + QStringLiteral("/here");
        QCOMPARE(restore(server, items, {QStringLiteral("--to"), here}).status, 0);
        QCOMPARE(treeDifferences(back, here), QStringList());
        QVERIFY(!QFile::exists(canary()));
    }

    // As root (a backup host), copies hold no working setuid-root file,
    // device node or FIFO, and no other user reaches into the server's
    // folder; restores give those back only when asked, and only to root.
    void rootCopiesHandOutNoRoot()
    {
        if (!isRoot())
            QSKIP("needs root: setuid-root files and device nodes");
        const QString suid = m_s->remote + QStringLiteral("/bin/shell");
        QVERIFY(QDir().mkpath(QFileInfo(suid).path()));
        QVERIFY(QFile::copy(QStringLiteral("/bin/sh"), suid));
        QCOMPARE(::chmod(QFile::encodeName(suid).constData(), 04755), 0);
        QCOMPARE(::mknod(QFile::encodeName(m_s->remote + QStringLiteral("/zero")).constData(), S_IFCHR | 0666,
                         makedev(1, 5)),
                 0);
        QCOMPARE(::mkfifo(QFile::encodeName(m_s->remote + QStringLiteral("/fifo")).constData(), 0666), 0);
        writeFile(m_s->remote + QStringLiteral("/plain.txt"), "plain");
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Root"), m_s->remote)});
        // A server folder from before, open to everyone, in folders anyone may pass.
        QVERIFY(QDir().mkpath(m_s->serverFolder()));
        for (const QString &folder : {m_s->home.path(), m_s->destination, m_s->serverFolder()})
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        const Outcome backup = m_s->runHeadless(server.id);
        QVERIFY2(backup.status == 0, qPrintable(m_s->logOf(server).join(u'\n')));
        QCOMPARE(m_s->logOf(server)
                     .filter(QStringLiteral("Made ") + m_s->serverFolder() + QStringLiteral(" private (it was 0755)"))
                     .size(),
                 1);
        QCOMPARE(statOf(m_s->serverFolder()).st_mode & 07777, 0700u);
        QCOMPARE(privileged(m_s->destination), QStringList());
        // Another user of this computer reaches nothing.
        const QString reached = m_s->runFolder() + QStringLiteral("/Root/bin/shell");
        QVERIFY(asUnprivilegedUser(
            QString(), [&] { return ::access(QFile::encodeName(reached).constData(), F_OK) != 0 && errno == EACCES; }));
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY(m_s->logOf(server).filter(QStringLiteral(" private (it was")).isEmpty());

        const QString here = m_s->home.path() + QStringLiteral("/here");
        const Outcome plain = restore(server, {m_s->remote}, {QStringLiteral("--to"), here});
        QVERIFY2(plain.status == 0, plain.err.constData());
        QVERIFY2(plain.out.contains("Skipped 2 special file(s)"), plain.out.constData());
        QCOMPARE(privileged(here), QStringList());
        const QString restored = here + u'/' + QFileInfo(m_s->remote).fileName();
        QCOMPARE(statOf(restored + QStringLiteral("/bin/shell")).st_mode & 07777, 0755u);
        QCOMPARE(readFile(restored + QStringLiteral("/plain.txt")), QByteArray("plain"));

        const QString asWas = m_s->home.path() + QStringLiteral("/as-was");
        const Outcome special =
            restore(server, {m_s->remote}, {QStringLiteral("--to"), asWas, QStringLiteral("--keep-special")});
        QVERIFY2(special.status == 0, special.err.constData());
        const QString kept = asWas + u'/' + QFileInfo(m_s->remote).fileName();
        QCOMPARE(statOf(kept + QStringLiteral("/bin/shell")).st_mode & 07777, 04755u);
        QVERIFY(S_ISCHR(statOf(kept + QStringLiteral("/zero")).st_mode));
        QVERIFY(S_ISFIFO(statOf(kept + QStringLiteral("/fifo")).st_mode));
        // Not root: refused with one line, nothing written.
        KeepOptions::setRootForTesting(false);
        LocalRestore::Options options;
        options.keepSpecial = true;
        QVERIFY(!LocalRestore::check(options));
        QVERIFY(LocalRestore::copy(LocalRestore::plan({}, here + QStringLiteral("/x"), options), {}, QDate())
                    .failures.size()
                == 1);
        QVERIFY(!QFileInfo::exists(here + QStringLiteral("/x")));
    }

    // In a folder other users write to (1777 and 0777), links they plant
    // where the restore puts things are never followed: the restored
    // copies go beside them, or replace the links themselves.
    void plantedLinksAreNeverWrittenThrough()
    {
        writeFile(m_s->remote + QStringLiteral("/notes.txt"), "restored notes");
        writeFile(m_s->remote + QStringLiteral("/sub/a.txt"), "restored a");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        const QString victim = m_s->home.path() + QStringLiteral("/private");
        writeFile(victim + QStringLiteral("/victim.txt"), "victim");
        QFile::setPermissions(victim + QStringLiteral("/victim.txt"), QFile::ReadOwner | QFile::WriteOwner);
        const QString protectedLinks = QStringLiteral("/proc/sys/fs/protected_symlinks");
        const QByteArray before = readFile(protectedLinks).trimmed();
        const bool canSwitch = QFileInfo(protectedLinks).isWritable() && isRoot();
        const QDate day = QDate::currentDate();
        for (const QByteArray &setting : canSwitch ? QList<QByteArray>{"0", "1"} : QList<QByteArray>{before}) {
            if (canSwitch)
                writeFile(protectedLinks, setting);
            for (const int mode : {01777, 0777}) {
                const QString shared =
                    m_s->home.path()
                    + QStringLiteral("/shared-%1-%2").arg(mode, 0, 8).arg(QString::fromLatin1(setting));
                QVERIFY(QDir().mkpath(shared));
                QCOMPARE(::chmod(QFile::encodeName(shared).constData(), mode_t(mode)), 0);
                // What another account plants (its links belong to it).
                const auto plant = [&](const QString &name, const QString &target) {
                    const QByteArray link = QFile::encodeName(shared + u'/' + name);
                    QCOMPARE(::symlink(QFile::encodeName(target).constData(), link.constData()), 0);
                    QCOMPARE(::lchown(link.constData(), 65534, 65534), 0);
                };
                plant(QStringLiteral("notes.txt"), victim + QStringLiteral("/victim.txt"));
                plant(QStringLiteral(".tidewell-restoring-notes.txt"), victim + QStringLiteral("/victim.txt"));
                plant(QStringLiteral("sub"), victim);
                const QStringList items{m_s->remote + QStringLiteral("/notes.txt"),
                                        m_s->remote + QStringLiteral("/sub")};
                const Outcome outcome = restore(server, items, {QStringLiteral("--to"), shared});
                QVERIFY2(outcome.status == 0, outcome.err.constData());
                QCOMPARE(readFile(victim + QStringLiteral("/victim.txt")), QByteArray("victim"));
                QCOMPARE(QDir(victim).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                         QStringList{QStringLiteral("victim.txt")});
                QCOMPARE(statOf(victim + QStringLiteral("/victim.txt")).st_mode & 0777, 0600u);
                QVERIFY(QFileInfo(shared + QStringLiteral("/notes.txt")).isSymLink());
                QCOMPARE(readFile(shared + QStringLiteral("/notes (restored ") + day.toString(Qt::ISODate)
                                  + QStringLiteral(").txt")),
                         QByteArray("restored notes"));
                QCOMPARE(readFile(shared + QStringLiteral("/sub (restored ") + day.toString(Qt::ISODate)
                                  + QStringLiteral(")/a.txt")),
                         QByteArray("restored a"));
                // Replacing replaces the links, never what they point at.
                const LocalRestore::Plan plan = LocalRestore::plan(
                    {{m_s->runFolder() + QStringLiteral("/Site/notes.txt"), QStringLiteral("notes.txt")},
                     {m_s->runFolder() + QStringLiteral("/Site/sub"), QStringLiteral("sub")}},
                    shared);
                QCOMPARE(plan.conflicts.size(), 2);
                QHash<QString, LocalRestore::Choice> replace;
                for (const QString &conflict : plan.conflicts)
                    replace.insert(conflict, LocalRestore::Choice::replace);
                const LocalRestore::Outcome replaced = LocalRestore::copy(plan, replace, day);
                QVERIFY2(replaced.failures.isEmpty(), qPrintable(replaced.failures.join(u'\n')));
                QCOMPARE(readFile(shared + QStringLiteral("/notes.txt")), QByteArray("restored notes"));
                QVERIFY(!QFileInfo(shared + QStringLiteral("/sub")).isSymLink());
                QCOMPARE(readFile(victim + QStringLiteral("/victim.txt")), QByteArray("victim"));
                QCOMPARE(QDir(victim).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                         QStringList{QStringLiteral("victim.txt")});
                // Nothing of Tidewell's own is left there.
                QCOMPARE(QDir(shared).entryList({QStringLiteral(".tidewell-restoring-????????")},
                                                QDir::AllEntries | QDir::Hidden),
                         QStringList());
                // A target reached through another user's link is refused.
                plant(QStringLiteral("into-private"), victim);
                const Outcome through =
                    restore(server, items, {QStringLiteral("--to"), shared + QStringLiteral("/into-private")});
                QVERIFY(through.status != 0);
                QCOMPARE(QDir(victim).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                         QStringList{QStringLiteral("victim.txt")});
            }
        }
        if (canSwitch)
            writeFile(protectedLinks, before);
    }

    // An item names a place in the backup: "..", "." and empty parts are
    // refused; one that lies behind a link the server planted is that link,
    // never what the link points to on this computer.
    void itemsStayInTheBackup()
    {
        const QString secret = m_s->home.path() + QStringLiteral("/this-computer/.ssh");
        writeFile(secret + QStringLiteral("/id_key"), "SECRET KEY");
        writeFile(m_s->remote + QStringLiteral("/app/sub/x.txt"), "x");
        QVERIFY(QFile::link(secret, m_s->remote + QStringLiteral("/app/conf")));
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("App"), m_s->remote)});
        // A copy that keeps links as links (a user's backup without ownership).
        KeepOptions::setRootForTesting(false);
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        KeepOptions::setRootForTesting(std::nullopt);
        QVERIFY(QFileInfo(m_s->runFolder() + QStringLiteral("/App/app/conf")).isSymLink());

        const QString here = m_s->home.path() + QStringLiteral("/here");
        for (const QString &wrong :
             QStringList{m_s->remote + QStringLiteral("/app/sub/.."), m_s->remote + QStringLiteral("//app"),
                         m_s->remote + QStringLiteral("/app/./sub")}) {
            const Outcome outcome = restore(server, {wrong}, {QStringLiteral("--to"), here});
            QCOMPARE(outcome.status, 2);
            QCOMPARE(outcome.err.count('\n'), 1);
        }
        QVERIFY(!QFileInfo::exists(here));
        const QString item = m_s->remote + QStringLiteral("/app/conf/id_key");
        const Outcome local = restore(server, {item}, {QStringLiteral("--to"), here});
        QVERIFY2(local.status == 0, local.err.constData());
        QVERIFY2(local.out.contains("lies behind the link"), local.out.constData());
        QVERIFY(QFileInfo(here + QStringLiteral("/conf")).isSymLink());
        const QString other = m_s->remote + QStringLiteral("/other");
        const Outcome remote = restore(server, {item}, {QStringLiteral("--to-server"), other});
        QVERIFY2(remote.status == 0, remote.out.constData());
        QVERIFY(QFileInfo(other + QStringLiteral("/conf")).isSymLink());
        for (const QString &root : {here, other}) {
            QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
            while (it.hasNext())
                QVERIFY(!readFile(it.next()).contains("SECRET"));
        }
    }

    // Every restore keeps what it replaces in a folder of its own: two in
    // the same second, and two items of one name into one folder.
    void replacedFilesAreNeverLost()
    {
        writeFile(m_s->remote + QStringLiteral("/a/x.conf"), "a's x");
        writeFile(m_s->remote + QStringLiteral("/b/x.conf"), "b's own x");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Etc"), m_s->remote)});
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        const QString snapshot = m_s->runFolder() + QStringLiteral("/Etc");
        ServerRestore restore;
        restore.setClock([] { return QDateTime(QDate(2026, 12, 7), QTime(9, 15, 30, 250)); });
        ServerRestore::Request request;
        request.server = server;
        request.probe = RsyncProbe::compute();
        request.items = {{snapshot + QStringLiteral("/a/x.conf"), m_s->remote + QStringLiteral("/a/x.conf"), false}};
        request.snapshotName = today();
        QStringList kept;
        for (const QByteArray &onServer : {QByteArray("edited first, on the server"), QByteArray("edited again")}) {
            writeFile(m_s->remote + QStringLiteral("/a/x.conf"), onServer);
            QCOMPARE(done(restore.run(request)), 0);
            QCOMPARE(restore.replacedFolders().size(), 1);
            kept << restore.replacedFolders().first();
        }
        QVERIFY(kept.at(0) != kept.at(1));
        QCOMPARE(readFile(kept.at(0) + QStringLiteral("/x.conf")), QByteArray("edited first, on the server"));
        QCOMPARE(readFile(kept.at(1) + QStringLiteral("/x.conf")), QByteArray("edited again"));

        const QString into = m_s->remote + QStringLiteral("/into");
        writeFile(into + QStringLiteral("/x.conf"), "the server's own");
        request.items << ServerRestore::Item{snapshot + QStringLiteral("/b/x.conf"),
                                             m_s->remote + QStringLiteral("/b/x.conf"), false};
        request.otherFolder = into;
        QCOMPARE(done(restore.run(request)), 0);
        QStringList versions;
        QDirIterator it(into, {QStringLiteral("x.conf")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            versions << QString::fromUtf8(readFile(it.next()));
        versions.sort();
        QVERIFY2(versions.size() == 3,
                 qPrintable(versions.join(u'|') + restore.logLines().filter(QStringLiteral("<f")).join(u'|')));
        QCOMPARE(versions, (QStringList{QStringLiteral("a's x"), QStringLiteral("b's own x"),
                                        QStringLiteral("the server's own")}));
        QCOMPARE(restore.replacedFiles(), 2);
    }

    // FIFOs and devices in a backup are never opened: a restore here skips
    // them and says so, and ends; links of a copy that keeps owners in
    // attributes come back as links; 255-byte names come back, also beside
    // a file of that name.
    void specialFilesAndLongNames()
    {
        if (!isRoot())
            QSKIP("needs root to make a device node on the server");
        QCOMPARE(::mkfifo(QFile::encodeName(m_s->remote + QStringLiteral("/fifo")).constData(), 0644), 0);
        QCOMPARE(::mknod(QFile::encodeName(m_s->remote + QStringLiteral("/zero")).constData(), S_IFCHR | 0666,
                         makedev(1, 5)),
                 0);
        const QString longName = QString(251, u'l') + QStringLiteral(".txt");
        writeFile(m_s->remote + u'/' + longName, "long");
        writeFile(m_s->remote + u'/' + QString(255, u'd') + QStringLiteral("/in.txt"), "in");
        QVERIFY(QFile::link(QStringLiteral("in.txt"), m_s->remote + QStringLiteral("/link")));
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Odd"), m_s->remote)});
        // Real FIFOs and devices in the copy: root without attributes to keep them in.
        KeepOptions::setRootForTesting(false);
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        KeepOptions::setRootForTesting(std::nullopt);
        QVERIFY(S_ISFIFO(statOf(m_s->runFolder() + QStringLiteral("/Odd/fifo")).st_mode));
        const QString here = m_s->home.path() + QStringLiteral("/here");
        for (int round = 0; round < 2; ++round) {
            const Outcome outcome = restore(server, {m_s->remote}, {QStringLiteral("--to"), here});
            QVERIFY2(outcome.status == 0, outcome.err.constData());
            QVERIFY2(outcome.out.contains("Skipped 2 special file(s)"), outcome.out.constData());
        }
        const QString restored = here + u'/' + QFileInfo(m_s->remote).fileName();
        QCOMPARE(privileged(here), QStringList());
        QCOMPARE(readFile(restored + u'/' + longName), QByteArray("long"));
        QCOMPARE(readFile(restored + u'/' + QString(255, u'd') + QStringLiteral("/in.txt")), QByteArray("in"));
        QVERIFY(QFileInfo(restored + QStringLiteral("/link")).isSymLink());
        // The second restore kept the first copies and put its own beside
        // them, the long name cut to fit.
        const QStringList beside = QDir(restored).entryList({QStringLiteral("*(restored *")}, QDir::Files);
        QCOMPARE(beside.size(), 1);
        QVERIFY(beside.first().toUtf8().size() <= 255);
        QCOMPARE(readFile(restored + u'/' + beside.first()), QByteArray("long"));
        QVERIFY(FileLock::tryLock(AppPaths::runLockFile(server.id)).has_value());

        // A copy that keeps owners and special files in attributes.
        KeepOptions::setRootForTesting(false);
        server.preserveOwnership = true;
        m_s->writeConfig(server.paths, [&](AppSettings &settings) { settings.servers.first() = server; });
        QDir(m_s->runFolder()).removeRecursively();
        QCOMPARE(m_s->runOn(QDate::currentDate(), server).exitCode, 0);
        KeepOptions::setRootForTesting(std::nullopt);
        QVERIFY(QFileInfo(m_s->runFolder() + QStringLiteral("/Odd/link")).isFile()); // kept in an attribute
        const QString fake = m_s->home.path() + QStringLiteral("/from-attributes");
        const Outcome fromAttributes = restore(server, {m_s->remote}, {QStringLiteral("--to"), fake});
        QVERIFY2(fromAttributes.status == 0, fromAttributes.err.constData());
        const QString back = fake + u'/' + QFileInfo(m_s->remote).fileName();
        QVERIFY(QFileInfo(back + QStringLiteral("/link")).isSymLink());
        QCOMPARE(QFileInfo(back + QStringLiteral("/link")).symLinkTarget(),
                 QFileInfo(back + QStringLiteral("/in.txt")).absoluteFilePath());
        QCOMPARE(privileged(fake), QStringList());
    }

    // SIGTERM ends a restore to the server as it ends a backup: said in the
    // log, exit 20, no rsync or ssh left behind.
    void aSignalEndsARestore()
    {
        QFile big(m_s->remote + QStringLiteral("/big.bin"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QFile random(QStringLiteral("/dev/urandom"));
        QVERIFY(random.open(QIODevice::ReadOnly));
        big.write(random.read(4 * 1024 * 1024));
        big.close();
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Big"), m_s->remote)});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        server.bandwidthLimitKBps = 64;
        m_s->writeConfig(server.paths, [&](AppSettings &settings) { settings.servers.first() = server; });
        const QString other = m_s->remote + QStringLiteral("/slowly-back");
        QProcess process;
        process.setProcessEnvironment(tidewellEnvironment(m_s->home));
        process.start(QStringLiteral(TIDEWELL_BINARY),
                      {QStringLiteral("--restore"), id(server), QStringLiteral("--date"), today(),
                       QStringLiteral("--item"), m_s->remote + QStringLiteral("/big.bin"),
                       QStringLiteral("--to-server"), other});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(
            !processesMentioning(QStringLiteral("slowly-back")).filter(QStringLiteral("rsync")).isEmpty(), 30000);
        ::kill(pid_t(process.processId()), SIGTERM);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 20);
        const QString log = QString::fromUtf8(readFile(LogStore::restoreLogFile(server.id)));
        QVERIFY2(log.contains(QStringLiteral("Received SIGTERM: cancelling the restore.")), qPrintable(log));
        QVERIFY(log.contains(QStringLiteral("Cancelled by user.")));
        QVERIFY(log.contains(QStringLiteral("# Status:    CANCELLED")));
        QTRY_VERIFY2_WITH_TIMEOUT(processesMentioning(QStringLiteral("slowly-back")).isEmpty(),
                                  qPrintable(processesMentioning(QStringLiteral("slowly-back")).join(u'\n')), 30000);
    }
};

QTEST_GUILESS_MAIN(TestHostileRestore)
#include "tst_HostileRestore.moc"
