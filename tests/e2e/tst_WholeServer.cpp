// SPDX-License-Identifier: GPL-3.0-or-later
// Whole-server copies: owners, hard links, ACLs, extended attributes, sparse
// files and special files kept by a backup that is not root here, and given
// back by a restore through sudo on the server. Real sshd, rsync and sudo.
#include "core/engine/KeepOptions.h"
#include "core/engine/RsyncInvocation.h"
#include "core/engine/RsyncRunner.h"
#include "core/restore/LocalRestore.h"
#include "core/restore/ServerRestore.h"
#include "core/ssh/SudoCheck.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Await.h"
#include "fixtures/EngineHarness.h"
#include "fixtures/Files.h"
#include "fixtures/SshdFixture.h"

#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QUuid>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace TestHelpers;

namespace {

const QString account = QStringLiteral("tw-whole");
const QString sudoers = QStringLiteral("/etc/sudoers.d/tidewell-test-whole");

QByteArray output(const QString &program, const QStringList &args, const QString &folder = QString())
{
    QProcess process;
    if (!folder.isEmpty())
        process.setWorkingDirectory(folder);
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning() << program << args << process.readAllStandardError();
    return process.readAllStandardOutput();
}

bool ok(const QString &program, const QStringList &args)
{
    QProcess process;
    process.start(program, args);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

QByteArray xattr(const QString &path, const char *name)
{
    QByteArray value(4096, '\0');
    const ssize_t n = ::lgetxattr(QFile::encodeName(path).constData(), name, value.data(), size_t(value.size()));
    return n < 0 ? QByteArray() : value.left(n);
}

struct stat statOf(const QString &path)
{
    struct stat info
    { };
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// Mode, owner, group and link count of every entry, by relative path.
QStringList shapeOf(const QString &root)
{
    QStringList lines;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const struct stat info = statOf(path);
        lines << QStringLiteral("%1 %2 %3:%4 links %5")
                     .arg(QDir(root).relativeFilePath(path))
                     .arg(info.st_mode, 0, 8)
                     .arg(info.st_uid)
                     .arg(info.st_gid)
                     .arg(S_ISDIR(info.st_mode) ? 0 : info.st_nlink);
    }
    lines.sort();
    return lines;
}

} // namespace

class TestWholeServer : public QObject
{
    Q_OBJECT

    SshdFixture *m_sshd = nullptr;
    QTemporaryDir m_dir;
    QString m_source;

    Server server(bool keepAll) const
    {
        Server s = m_sshd->server(QStringLiteral("whole server"));
        s.username = account;
        s.remoteSudo = true;
        s.preserveOwnership = s.preserveHardLinks = s.preserveACLs = s.preserveXattrs = s.numericIds = s.sparseFiles =
            keepAll;
        BackupPath path;
        path.name = QStringLiteral("etc");
        path.remotePath = m_source;
        s.paths = {path};
        return s;
    }

    static void allowSudo(bool allowed)
    {
        QFile::remove(sudoers);
        if (!allowed)
            return;
        QVERIFY(writeFile(sudoers, (account + QStringLiteral(" ALL=(root) NOPASSWD: /usr/bin/rsync\n")).toUtf8()));
        QFile::setPermissions(sudoers, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    }

    // A small /etc: a hard-linked pair, an ACL, a user attribute, a file of
    // another owner, a setuid program, a 100 MiB sparse file and a FIFO.
    void makeTree()
    {
        m_source = m_dir.path() + QStringLiteral("/srv/etc");
        QDir().mkpath(m_source + QStringLiteral("/conf.d"));
        QVERIFY(writeFile(m_source + QStringLiteral("/passwd"), "root:x:0:0\n"));
        QVERIFY(::link(QFile::encodeName(m_source + QStringLiteral("/passwd")).constData(),
                       QFile::encodeName(m_source + QStringLiteral("/conf.d/passwd-link")).constData())
                == 0);
        QVERIFY(writeFile(m_source + QStringLiteral("/acl.conf"), "acl"));
        QVERIFY(ok(QStringLiteral("/usr/bin/setfacl"),
                   {QStringLiteral("-m"), QStringLiteral("u:nobody:r"), m_source + QStringLiteral("/acl.conf")}));
        QVERIFY(writeFile(m_source + QStringLiteral("/noted.conf"), "note"));
        QVERIFY(ok(QStringLiteral("/usr/bin/setfattr"),
                   {QStringLiteral("-n"), QStringLiteral("user.note"), QStringLiteral("-v"), QStringLiteral("kept"),
                    m_source + QStringLiteral("/noted.conf")}));
        QVERIFY(writeFile(m_source + QStringLiteral("/conf.d/owned.conf"), "theirs"));
        QVERIFY(::chown(QFile::encodeName(m_source + QStringLiteral("/conf.d/owned.conf")).constData(), 1234, 2345)
                == 0);
        QVERIFY(writeFile(m_source + QStringLiteral("/suid"), "#!/bin/sh\n"));
        QVERIFY(::chmod(QFile::encodeName(m_source + QStringLiteral("/suid")).constData(), 04755) == 0);
        QFile sparse(m_source + QStringLiteral("/disk.img"));
        QVERIFY(sparse.open(QIODevice::WriteOnly));
        sparse.write("start");
        QVERIFY(sparse.resize(100 * 1024 * 1024));
        sparse.close();
        QVERIFY(::mkfifo(QFile::encodeName(m_source + QStringLiteral("/fifo")).constData(), 0640) == 0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        for (const char *tool :
             {"/usr/bin/sudo", "/usr/bin/setfacl", "/usr/bin/getfacl", "/usr/bin/getfattr", "/usr/bin/setfattr"}) {
            if (!QFile::exists(QLatin1String(tool)))
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
        }
        if (::geteuid() != 0)
            QSKIP("making an account and a sudoers drop-in needs root");
        m_sshd = new SshdFixture(SshdFixture::passwordLogins(account));
        QVERIFY(m_sshd->isRunning());
        // An unprivileged account that logs in with the fixture's key.
        QProcess add;
        add.start(QStringLiteral(TIDEWELL_FIXTURES "/sshd.sh"), {QStringLiteral("account"), account});
        QVERIFY(add.waitForStarted());
        add.write(QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '\n');
        add.closeWriteChannel();
        QVERIFY(add.waitForFinished(30000) && add.exitCode() == 0);
        const struct passwd *entry = ::getpwnam(account.toUtf8().constData());
        QVERIFY(entry);
        const QString ssh = QFile::decodeName(entry->pw_dir) + QStringLiteral("/.ssh");
        QDir().mkpath(ssh);
        QVERIFY(QFile::copy(m_sshd->clientKey() + QStringLiteral(".pub"), ssh + QStringLiteral("/authorized_keys")));
        QVERIFY(ok(QStringLiteral("/usr/bin/chown"), {QStringLiteral("-R"), account + u':' + account, ssh}));
        QFile::setPermissions(ssh, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        makeTree();
    }

    void cleanupTestCase()
    {
        QFile::remove(sudoers);
        KeepOptions::setRootForTesting(std::nullopt);
        delete m_sshd;
        QProcess::execute(QStringLiteral(TIDEWELL_FIXTURES "/sshd.sh"), {QStringLiteral("drop-account"), account});
    }

    // Off, nothing changes the argument list; on, each setting its option.
    void theOptions()
    {
        const RsyncProbe probe = RsyncProbe::classify(QStringLiteral("/usr/bin/rsync"),
                                                      QStringLiteral("rsync  version 3.2.7  protocol version 31"));
        AppSettings settings;
        Server plain = server(false);
        plain.remoteSudo = false;
        const KeepOptions::Local user{false, true};
        const QStringList before = RsyncInvocation::arguments(RsyncInvocation::common(plain, settings, probe, user),
                                                              plain.paths.first(), QStringLiteral("/t"));
        QVERIFY(!before.contains(QStringLiteral("-H")) && !before.contains(QStringLiteral("--fake-super")));
        // Root keeps owners, setuid bits and devices as attributes whatever the
        // settings say: no copy is a working setuid-root file or device node.
        QStringList asRoot =
            RsyncInvocation::arguments(RsyncInvocation::common(plain, settings, probe, KeepOptions::Local{true, true}),
                                       plain.paths.first(), QStringLiteral("/t"));
        QVERIFY(asRoot.removeOne(QStringLiteral("--fake-super")));
        QCOMPARE(asRoot, before);
        const Server all = server(true);
        QCOMPARE(
            KeepOptions::arguments(all, probe, user),
            (QStringList{QStringLiteral("-H"), QStringLiteral("-A"), QStringLiteral("-X"),
                         QStringLiteral("--filter=-x user.tidewell.xxh128"), QStringLiteral("--filter=-x system.*"),
                         QStringLiteral("--numeric-ids"), QStringLiteral("--sparse"), QStringLiteral("--fake-super"),
                         QStringLiteral("--rsync-path=sudo -n rsync")}));
        // Without --fake-super a user copies the user namespace only, as
        // rsync does when no attribute rule is given.
        Server attributesOnly = all;
        attributesOnly.preserveOwnership = false;
        QVERIFY(KeepOptions::arguments(attributesOnly, probe, user).contains(QStringLiteral("--filter=-x! user.*")));
        QVERIFY(KeepOptions::arguments(all, probe, {true, true}).contains(QStringLiteral("--fake-super")));
        // Root on a folder without xattrs makes no device, FIFO or setuid bit at all.
        const QStringList rootNoXattrs = KeepOptions::arguments(all, probe, {true, false});
        QVERIFY(!rootNoXattrs.contains(QStringLiteral("--fake-super")));
        QVERIFY(rootNoXattrs.contains(QStringLiteral("--no-devices"))
                && rootNoXattrs.contains(QStringLiteral("--no-specials"))
                && rootNoXattrs.contains(QStringLiteral("--chmod=Fug-s")));
        const QStringList noXattrs = KeepOptions::arguments(all, probe, {false, false});
        QVERIFY(!noXattrs.contains(QStringLiteral("--fake-super")) && !noXattrs.contains(QStringLiteral("-X")));
        QVERIFY(KeepOptions::notes(all, probe, {false, false})
                    .first()
                    .startsWith(QStringLiteral("The backup folder's file system does not store extended attributes")));
        const RsyncProbe bare = RsyncProbe::classify(QStringLiteral("/usr/bin/rsync"),
                                                     QStringLiteral("rsync version 3.2.7\n    no ACLs, no xattrs,\n"));
        QVERIFY(!KeepOptions::arguments(all, bare, user).contains(QStringLiteral("-A")));
        QCOMPARE(KeepOptions::notes(all, bare, user).size(), 2);
        Server custom = all;
        custom.remoteRsyncPath = QStringLiteral("/opt/rsync/bin/rsync");
        QVERIFY(KeepOptions::arguments(custom, probe, user)
                    .contains(QStringLiteral("--rsync-path=sudo -n '/opt/rsync/bin/rsync'")));
        custom.remoteRsyncPath = QStringLiteral("rsync; rm -rf ~");
        QCOMPARE(await(SudoCheck::check(custom, 10), 20000)->works, false);
        QCOMPARE(KeepOptions::explainFailure({QStringLiteral("rsync: on remote machine: -A: unknown option")}).size(),
                 1);
        // However the pipe cut sudo's words into log lines.
        QCOMPARE(KeepOptions::explainFailure(
                     {QStringLiteral("! sudo"), QStringLiteral("! : a password is re"), QStringLiteral("! quired")})
                     .size(),
                 1);
        QVERIFY(KeepOptions::explainFailure({QStringLiteral("sh: 1: sudo: not found")})
                    .first()
                    .startsWith(QStringLiteral("The server has no sudo")));
    }

    // Without a sudoers line: the check says which one to add, and a run
    // says plainly why it failed, at once and without retrying.
    void aSudoThatAsksIsSaidAndNothingHangs()
    {
        allowSudo(false);
        const Server s = server(true);
        const auto check = await(SudoCheck::check(s, 10), 30000);
        QVERIFY(check);
        QVERIFY(!check->works);
        QVERIFY2(check->message.contains(QStringLiteral("a password is required")), qPrintable(check->message));
        QCOMPARE(check->sudoersLine, account + QStringLiteral(" ALL=(root) NOPASSWD: /usr/bin/rsync"));

        EngineHarness h;
        h.store.update([&](AppSettings &settings) {
            settings.destinationPath = h.destination();
            settings.useDateSubfolder = false;
            settings.retryAttempts = 3;
            settings.servers = {s};
        });
        QElapsedTimer clock;
        clock.start();
        QVERIFY(awaitVoid(h.runner.run(s, &h.store), 60000));
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        const QString log = h.runner.logLines().join(u'\n');
        QVERIFY2(h.store.settings().servers.first().lastExitCode.value_or(0) != 0, qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("!! sudo on the server asks for a password")), qPrintable(log));
        QVERIFY2(log.count(QStringLiteral("→ exit ")) == 1, qPrintable(log));

        allowSudo(true);
        const auto works = await(SudoCheck::check(s, 10), 30000);
        QVERIFY(works && works->works);
        QVERIFY(works->sudoersLine.isEmpty());
    }

    // Backed up by a user that is not root, through sudo on the server;
    // restored through sudo into a fresh folder: everything as it was.
    void everythingComesBack()
    {
        allowSudo(true);
        KeepOptions::setRootForTesting(false);
        const Server s = server(true);
        EngineHarness h;
        h.store.update([&](AppSettings &settings) {
            settings.destinationPath = h.destination();
            settings.useDateSubfolder = false;
            settings.servers = {s};
        });
        QVERIFY(awaitVoid(h.runner.run(s, &h.store), 120000));
        const QString log = h.runner.logLines().join(u'\n');
        QVERIFY2(h.store.settings().servers.first().lastExitCode == 0, qPrintable(log));
        QVERIFY(log.contains(QStringLiteral("--fake-super")));
        const QString copy = h.destination() + QStringLiteral("/whole server/etc");

        // In the copy: one inode for the pair, owners and the ACL in
        // attributes, the user attribute itself, holes kept.
        QCOMPARE(statOf(copy + QStringLiteral("/passwd")).st_ino,
                 statOf(copy + QStringLiteral("/conf.d/passwd-link")).st_ino);
        QVERIFY2(xattr(copy + QStringLiteral("/conf.d/owned.conf"), "user.rsync.%stat").endsWith(" 1234:2345"),
                 xattr(copy + QStringLiteral("/conf.d/owned.conf"), "user.rsync.%stat").constData());
        QVERIFY(!xattr(copy + QStringLiteral("/acl.conf"), "user.rsync.%aacl").isEmpty());
        QCOMPARE(xattr(copy + QStringLiteral("/noted.conf"), "user.note"), QByteArray("kept"));
        QVERIFY(xattr(copy + QStringLiteral("/suid"), "user.rsync.%stat").startsWith("104755"));
        QVERIFY(xattr(copy + QStringLiteral("/fifo"), "user.rsync.%stat").startsWith("10640"));
        QVERIFY2(statOf(copy + QStringLiteral("/disk.img")).st_blocks * 512 < 1024 * 1024,
                 qPrintable(QString::number(statOf(copy + QStringLiteral("/disk.img")).st_blocks)));
        QCOMPARE(statOf(copy + QStringLiteral("/disk.img")).st_size, 100 * 1024 * 1024);

        // Back to the server, into a folder of its own, as root through sudo.
        const QString into = m_dir.path() + QStringLiteral("/restored");
        QDir().mkpath(into);
        ServerRestore restore;
        ServerRestore::Request request;
        request.server = s;
        request.probe = RsyncProbe::compute();
        request.items = {{copy, m_source, true}};
        request.otherFolder = into;
        request.snapshotName = QStringLiteral("today");
        const int status = await(restore.run(request), 120000).value_or(-1);
        QVERIFY2(status == 0, qPrintable(restore.logLines().join(u'\n')));
        const QString back = into + QStringLiteral("/etc");
        QCOMPARE(shapeOf(back), shapeOf(m_source));
        QVERIFY(S_ISFIFO(statOf(back + QStringLiteral("/fifo")).st_mode));
        QCOMPARE(output(QStringLiteral("/usr/bin/getfacl"), {QStringLiteral("-R"), QStringLiteral(".")}, back),
                 output(QStringLiteral("/usr/bin/getfacl"), {QStringLiteral("-R"), QStringLiteral(".")}, m_source));
        const QStringList dump{QStringLiteral("-d"), QStringLiteral("-R"), QStringLiteral(".")};
        QCOMPARE(output(QStringLiteral("/usr/bin/getfattr"), dump, back),
                 output(QStringLiteral("/usr/bin/getfattr"), dump, m_source));
        QVERIFY(statOf(back + QStringLiteral("/disk.img")).st_blocks * 512 < 1024 * 1024);
        QVERIFY(!restore.logLines().join(u'\n').contains(QStringLiteral("Owners and groups cannot be set")));
        KeepOptions::setRootForTesting(std::nullopt);

        // Without sudo the account cannot give the files their owners: said
        // once, with how many.
        const struct passwd *entry = ::getpwnam(account.toUtf8().constData());
        QVERIFY(entry);
        ServerRestore::Request plainAccount = request;
        plainAccount.server.remoteSudo = false;
        plainAccount.otherFolder = QFile::decodeName(entry->pw_dir) + QStringLiteral("/back");
        const int asAccount = await(restore.run(plainAccount), 120000).value_or(-1);
        const QStringList said = restore.logLines().filter(QStringLiteral("Owners and groups cannot be set for "));
        QVERIFY2(said.size() == 1, qPrintable(restore.logLines().join(u'\n')));
        QVERIFY2(
            said.first().startsWith(
                QStringLiteral("Owners and groups cannot be set for %1 file(s)").arg(shapeOf(m_source).size() + 1)),
            qPrintable(said.first()));
        Q_UNUSED(asAccount);

        // To this computer, as root, with everything the copy kept.
        LocalRestore::Options options;
        options.hardLinks = options.acls = options.xattrs = options.sparse = options.keepSpecial = true;
        const QString here = m_dir.path() + QStringLiteral("/here");
        const LocalRestore::Plan plan = LocalRestore::plan({{copy, QStringLiteral("etc")}}, here, options);
        QVERIFY(plan.fakeSuper);
        const LocalRestore::Outcome outcome = LocalRestore::copy(plan, {}, QDate::currentDate());
        QVERIFY2(outcome.failures.isEmpty(), qPrintable(outcome.failures.join(u'\n')));
        const QString local = here + QStringLiteral("/etc");
        QCOMPARE(shapeOf(local), shapeOf(m_source));
        QCOMPARE(output(QStringLiteral("/usr/bin/getfacl"), {QStringLiteral("-R"), QStringLiteral(".")}, local),
                 output(QStringLiteral("/usr/bin/getfacl"), {QStringLiteral("-R"), QStringLiteral(".")}, m_source));
        QCOMPARE(output(QStringLiteral("/usr/bin/getfattr"), dump, local),
                 output(QStringLiteral("/usr/bin/getfattr"), dump, m_source));
        QVERIFY(statOf(local + QStringLiteral("/disk.img")).st_blocks * 512 < 1024 * 1024);
        QCOMPARE(statOf(local + QStringLiteral("/disk.img")).st_size, 100 * 1024 * 1024);
        // Without asking: no FIFO, no setuid bit, and the rest as it was.
        options.keepSpecial = false;
        const QString plain = m_dir.path() + QStringLiteral("/plain");
        const LocalRestore::Outcome without =
            LocalRestore::copy(LocalRestore::plan({{copy, QStringLiteral("etc")}}, plain, options), {}, QDate());
        QCOMPARE(without.skippedSpecial, QStringList{QStringLiteral("etc/fifo")});
        QVERIFY(!QFileInfo::exists(plain + QStringLiteral("/etc/fifo")));
        QCOMPARE(statOf(plain + QStringLiteral("/etc/suid")).st_mode & 07777, 0755u);
        QCOMPARE(statOf(plain + QStringLiteral("/etc/conf.d/owned.conf")).st_uid, 1234u);
        QCOMPARE(statOf(plain + QStringLiteral("/etc/passwd")).st_nlink, 2u);
    }
};

QTEST_GUILESS_MAIN(TestWholeServer)
#include "tst_WholeServer.moc"
