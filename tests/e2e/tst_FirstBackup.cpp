// SPDX-License-Identifier: GPL-3.0-or-later
// A first backup without a terminal: a key made and installed with the
// account's password, host keys never trusted unseen, the remote folder
// browser; against a real sshd that also takes a password.
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/KeySetup.h"
#include "core/ssh/RemoteListing.h"
#include "core/ssh/SSHTester.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

using namespace TestHelpers;

namespace {

const QString account = QStringLiteral("tidewell-pw");

QString passwdHome()
{
    return QString::fromLocal8Bit(::getpwuid(::getuid())->pw_dir);
}

// What ssh-keygen says the fingerprint of a public key file is: "SHA256:…".
QString fingerprintOf(const QString &publicKey)
{
    QProcess keygen;
    keygen.start(HostKeyChecker::keygenExecutable, {QStringLiteral("-l"), QStringLiteral("-f"), publicKey});
    keygen.waitForFinished(10000);
    return QString::fromUtf8(keygen.readAllStandardOutput()).split(u' ').value(1);
}

// Whether any file under `folder` holds `secret`.
QStringList filesHolding(const QString &folder, const QByteArray &secret)
{
    QStringList found;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (readFile(file).contains(secret))
            found << file;
    }
    return found;
}

} // namespace

class TestFirstBackup : public SshdBackupTest
{
    Q_OBJECT

private Q_SLOTS:
    // A key made here, installed with the account's password through
    // Tidewell's askpass; then the key alone logs in. The password is in no
    // file, no log and no process's command line.
    void aKeyIsMadeAndInstalledWithThePassword()
    {
        if (::getuid() != 0)
            QSKIP("making a test account with a password needs root");
        const QByteArray password = "pw-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        QProcess makeAccount;
        makeAccount.start(QStringLiteral(TIDEWELL_FIXTURES "/sshd.sh"), {QStringLiteral("account"), account});
        makeAccount.write(password + '\n');
        makeAccount.closeWriteChannel();
        QVERIFY(makeAccount.waitForFinished(30000));
        QCOMPARE(makeAccount.exitCode(), 0);
        const auto dropAccount = qScopeGuard([] {
            QProcess::execute(QStringLiteral(TIDEWELL_FIXTURES "/sshd.sh"), {QStringLiteral("drop-account"), account});
        });
        SshdFixture sshd(SshdFixture::passwordLogins(account));
        QVERIFY(sshd.isRunning());

        // The key: made once, never over a file.
        Server server = sshd.server();
        server.username = account;
        server.privateKeyPath = m_s->home.home() + QStringLiteral("/keys/id_ed25519");
        QCOMPARE(done(KeySetup::inspect(server.privateKeyPath)).state, KeySetup::KeyState::missing);
        QVERIFY(done(KeySetup::createKey(server.privateKeyPath)).has_value());
        QCOMPARE(QFileInfo(m_s->home.home() + QStringLiteral("/keys")).permissions() & 0x0077, 0);
        QVERIFY(readFile(server.privateKeyPath + QStringLiteral(".pub")).contains("tidewell@"));
        const QByteArray key = readFile(server.privateKeyPath);
        const auto again = done(KeySetup::createKey(server.privateKeyPath));
        QVERIFY(!again && again.error().message.contains(QStringLiteral("already")));
        QCOMPARE(readFile(server.privateKeyPath), key);
        QCOMPARE(done(KeySetup::inspect(server.privateKeyPath)).state, KeySetup::KeyState::ready);

        // Before the key is there the account cannot log in with it.
        QVERIFY(done(HostKeyChecker::trust(server.host, server.port)).has_value());
        QVERIFY(!done(SSHTester::test(server, 10)).has_value());

        // Command lines are sampled while ssh-copy-id runs.
        QStringList leaked;
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, this,
                [&] { leaked << processesMentioning(QString::fromLatin1(password)); });
        sampler.start(5);
        const auto wrong = done(
            KeySetup::installKey(server, QStringLiteral("not-the-password"), QStringLiteral(TIDEWELL_BINARY)), 90000);
        QVERIFY(!wrong);
        QCOMPARE(wrong.error().message, QStringLiteral("the server did not accept the password"));
        const auto installed =
            done(KeySetup::installKey(server, QString::fromLatin1(password), QStringLiteral(TIDEWELL_BINARY)), 90000);
        sampler.stop();
        QVERIFY2(installed.has_value(), qPrintable(installed ? QString() : installed.error().message));
        QVERIFY2(leaked.isEmpty(), qPrintable(leaked.join(u'\n')));

        const auto test = done(SSHTester::test(server, 10));
        QVERIFY2(test.has_value(), qPrintable(SSHTester::messageOf(test)));
        QVERIFY(test->startsWith(QStringLiteral("OK")));
        QVERIFY(filesHolding(m_s->home.path(), password).isEmpty());
        QVERIFY(filesHolding(sshd.folder(), password).isEmpty());
        const QString accountHome = QString::fromLocal8Bit(::getpwnam(account.toLocal8Bit().constData())->pw_dir);
        QVERIFY(filesHolding(accountHome, password).isEmpty());
        QVERIFY(readFile(accountHome + QStringLiteral("/.ssh/authorized_keys"))
                    .contains(readFile(server.privateKeyPath + QStringLiteral(".pub")).trimmed()));
    }

    // A key with a passphrase is told apart from one without and from a
    // file that is no key; ssh-agent without keys is said as such.
    void keysAreRecognised()
    {
        const QString folder = m_s->home.path() + QStringLiteral("/keys");
        QDir().mkpath(folder);
        QCOMPARE(QProcess::execute(KeySetup::keygenExecutable,
                                   {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                    QStringLiteral("-N"), QStringLiteral("a passphrase"), QStringLiteral("-f"),
                                    folder + QStringLiteral("/locked")}),
                 0);
        QCOMPARE(done(KeySetup::inspect(folder + QStringLiteral("/locked"))).state, KeySetup::KeyState::passphrase);
        writeFile(folder + QStringLiteral("/notes.txt"), "not a key\n");
        QFile::setPermissions(folder + QStringLiteral("/notes.txt"), QFile::ReadOwner | QFile::WriteOwner);
        const auto notAKey = done(KeySetup::inspect(folder + QStringLiteral("/notes.txt")));
        QCOMPARE(notAKey.state, KeySetup::KeyState::unreadable);
        QVERIFY(!notAKey.detail.isEmpty());
        QCOMPARE(done(KeySetup::inspect(folder + QStringLiteral("/none"))).state, KeySetup::KeyState::missing);

        QProcess agent;
        agent.start(QStringLiteral("/usr/bin/ssh-agent"),
                    {QStringLiteral("-D"), QStringLiteral("-a"), folder + QStringLiteral("/agent.sock")});
        QVERIFY(agent.waitForStarted());
        const auto stopAgent = qScopeGuard([&] {
            agent.kill();
            agent.waitForFinished();
        });
        QTRY_VERIFY(QFileInfo::exists(folder + QStringLiteral("/agent.sock")));
        const QByteArray before = qgetenv("SSH_AUTH_SOCK");
        const auto restore = qScopeGuard([&] { qputenv("SSH_AUTH_SOCK", before); });
        qputenv("SSH_AUTH_SOCK", (folder + QStringLiteral("/agent.sock")).toUtf8());
        QCOMPARE(done(KeySetup::agentState()), KeySetup::AgentState::empty);
        qputenv("SSH_AUTH_SOCK", (folder + QStringLiteral("/nothing.sock")).toUtf8());
        QCOMPARE(done(KeySetup::agentState()), KeySetup::AgentState::absent);
    }

    // Where someone can be asked, ssh never records a key by itself: the
    // test fails and known_hosts stays as it was.
    void anUnseenHostKeyIsNeverRecordedWhereTheUserIsAsked()
    {
        const auto policy = qScopeGuard([] { SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::acceptNew); });
        SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::strict);
        const Server server = m_sshd->server();
        QVERIFY(!done(HostKeyChecker::knownHostFingerprint(server.host, server.port)));
        const QByteArray before = readFile(HostKeyChecker::knownHostsFile());
        const auto test = done(SSHTester::test(server, 10));
        QVERIFY(!test);
        QVERIFY(test.error().message.contains(QStringLiteral("Host key verification failed")));
        QCOMPARE(readFile(HostKeyChecker::knownHostsFile()), before);

        // Trusting checks that the key is still the one shown.
        const HostKeyChecker::Fingerprint other{QStringLiteral("ED25519"), QStringLiteral("SHA256:not-this-one")};
        const auto refused = done(HostKeyChecker::trust(server.host, server.port, other));
        QVERIFY(!refused);
        QVERIFY(refused.error().message.contains(QStringLiteral("not the key shown")));
        QCOMPARE(readFile(HostKeyChecker::knownHostsFile()), before);
        const auto shown = done(HostKeyChecker::liveFingerprint(server.host, server.port));
        QVERIFY(shown);
        QVERIFY(done(HostKeyChecker::trust(server.host, server.port, *shown)).has_value());
        QVERIFY(done(SSHTester::test(server, 10)).has_value());
    }

    // A scheduled run cannot ask: it accepts the key on first use and says
    // which one in its log.
    void aHeadlessRunSaysWhichHostKeyItAdded()
    {
        m_sshd->forgetHostKey();
        const auto forget = qScopeGuard([this] { m_sshd->forgetHostKey(); });
        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        // The binary reads the account's own known_hosts, as ssh does.
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), passwdHome());
        const Outcome outcome = runTidewell(
            m_s->home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)}, environment);
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        const QString expected = QStringLiteral("Host key of 127.0.0.1 added on first use: ED25519 ")
                                 + fingerprintOf(m_sshd->hostPublicKey(QStringLiteral("ed25519")));
        QCOMPARE(m_s->logOf(server).filter(QStringLiteral("added on first use")), QStringList{expected});

        // Known now: the next run says nothing of it.
        QCOMPARE(runTidewell(m_s->home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)},
                             environment)
                     .status,
                 0);
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("added on first use")).isEmpty());
    }

    // Host keys the configuration holds are the only ones: a run checks the
    // server against them, and a key it does not hold is refused, never
    // accepted on first use.
    void hostKeysFromTheFleet()
    {
        m_sshd->forgetHostKey();
        const auto forget = qScopeGuard([this] { m_sshd->forgetHostKey(); });
        writeFile(m_s->remote + QStringLiteral("/a.txt"), "a");
        const QString pattern = QStringLiteral("[127.0.0.1]:%1 ").arg(m_sshd->port());
        QStringList keys;
        for (const QString &type : {QStringLiteral("ed25519"), QStringLiteral("ecdsa"), QStringLiteral("rsa")})
            keys << pattern + QString::fromUtf8(readFile(m_sshd->hostPublicKey(type)).trimmed());
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)},
                                         [&keys](AppSettings &s) { s.servers[0].knownHostKeys = keys; });
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("HOME"), passwdHome());
        const QStringList run{QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)};
        Outcome outcome = runTidewell(m_s->home, run, environment);
        QVERIFY2(outcome.status == 0, outcome.err.constData());
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("added on first use")).isEmpty());
        const auto inUserFile = [this] {
            QProcess find;
            find.start(QStringLiteral("/usr/bin/ssh-keygen"),
                       {QStringLiteral("-F"), QStringLiteral("[127.0.0.1]:%1").arg(m_sshd->port()),
                        QStringLiteral("-f"), HostKeyChecker::knownHostsFile()});
            find.waitForFinished(30000);
            return find.exitCode() == 0;
        };
        QVERIFY(!inUserFile());

        // Another key than the server's: refused, and nothing is learnt.
        QTemporaryDir other;
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/ssh-keygen"),
                                   {QStringLiteral("-q"), QStringLiteral("-t"), QStringLiteral("ed25519"),
                                    QStringLiteral("-N"), QString(), QStringLiteral("-f"),
                                    other.path() + QStringLiteral("/key")}),
                 0);
        server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)}, [&](AppSettings &s) {
            s.servers[0].knownHostKeys = {
                pattern + QString::fromUtf8(readFile(other.path() + QStringLiteral("/key.pub")).trimmed())};
        });
        outcome = runTidewell(m_s->home, {QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)},
                              environment);
        QCOMPARE(outcome.status, 255); // ssh's own failure
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("added on first use")).isEmpty());
        QVERIFY(!inUserFile());
    }

    // Names come back exactly, whatever they hold; folders first.
    void theBrowserListsOddNamesExactly()
    {
        const QStringList names{QStringLiteral("with space"),  QStringLiteral("ünïcödé 日本"),
                                QStringLiteral("line\nbreak"), QStringLiteral("-dash"),
                                QStringLiteral("$(touch x)"),  QStringLiteral("it's"),
                                QStringLiteral(".hidden")};
        const QString root = m_s->remote + QStringLiteral("/odd folder");
        for (const QString &name : names)
            QVERIFY(QDir().mkpath(root + u'/' + name));
        writeFile(root + QStringLiteral("/a file.txt"), "x");
        QVERIFY(QFile::link(root + QStringLiteral("/with space"), root + QStringLiteral("/link to folder")));

        const auto listing = done(RemoteListing::list(m_sshd->server(), root));
        QVERIFY2(listing.has_value(), qPrintable(listing ? QString() : listing.error().message));
        QCOMPARE(listing->folder, root);
        QStringList folders;
        QStringList files;
        for (const RemoteListing::Entry &entry : listing->entries)
            (entry.isFolder ? folders : files) << entry.name;
        QStringList expectedFolders = names;
        expectedFolders << QStringLiteral("link to folder");
        QCOMPARE(QSet<QString>(folders.cbegin(), folders.cend()),
                 QSet<QString>(expectedFolders.cbegin(), expectedFolders.cend()));
        QCOMPARE(files, QStringList{QStringLiteral("a file.txt")});
        QCOMPARE(listing->entries.last().name, QStringLiteral("a file.txt")); // folders first
        QCOMPARE(folders.last(), QStringLiteral(".hidden"));                  // hidden ones last
        QVERIFY(!QFileInfo::exists(root + QStringLiteral("/x")) && !QFileInfo::exists(QStringLiteral("x")));

        // The home is where it starts; a folder that is not there says so.
        const auto home = done(RemoteListing::list(m_sshd->server(), QString()));
        QVERIFY(home.has_value());
        QCOMPARE(home->folder, passwdHome());
        const auto missing = done(RemoteListing::list(m_sshd->server(), root + QStringLiteral("/gone")));
        QVERIFY(!missing);
    }
};

QTEST_GUILESS_MAIN(TestFirstBackup)
#include "tst_FirstBackup.moc"
