// SPDX-License-Identifier: GPL-3.0-or-later
// Backups into a gocryptfs folder against the real sshd, rsync, gocryptfs and
// FUSE: nothing of the server's names or contents lies in the clear on the
// destination, everything works in the plaintext view, the view is open only
// while it is used (and closed after a killed run by the next start), and
// the passphrase shows in no process's arguments or environment, no log and
// no configuration.
#include "core/engine/Fingerprints.h"
#include "core/system/EncryptedFolder.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace TestHelpers;

namespace {

const QByteArray passphrase = "correct horse 7731 battery";
const QByteArray marker = "PLAINTEXT-MARKER-5521";
const QString secretName = QStringLiteral("payroll-secret.txt");
const QString longName = QString(200, u'l') + QStringLiteral("-long.txt");

// Why gocryptfs cannot mount here (no FUSE device, a container that may not
// mount), found once by mounting a folder of its own; empty when it can.
QString gocryptfsProblem()
{
    static const QString problem = []() -> QString {
        for (const char *needed : {"/usr/bin/gocryptfs", "/usr/bin/fusermount3", "/dev/fuse"}) {
            if (!QFileInfo::exists(QLatin1String(needed)))
                return QStringLiteral("needs ") + QLatin1String(needed);
        }
        QTemporaryDir trial;
        const QString cipher = trial.path() + QStringLiteral("/c");
        const QString plain = trial.path() + QStringLiteral("/p");
        QDir().mkpath(cipher);
        QDir().mkpath(plain);
        const auto key = EncryptedFolder::initialise(cipher, "trial");
        if (!key)
            return key.error().message;
        const auto mounted = EncryptedFolder::mount(cipher, plain, "trial");
        if (!mounted)
            return QStringLiteral("gocryptfs cannot mount here: ") + mounted.error().message;
        (void)EncryptedFolder::unmount(plain);
        return QString();
    }();
    return problem;
}

// Every gocryptfs view this process can see under `folder`.
QStringList mountsUnder(const QString &folder)
{
    QStringList found;
    for (const QByteArray &line : readFile(QStringLiteral("/proc/self/mountinfo")).split('\n')) {
        if (line.contains(" - fuse.gocryptfs ") && line.contains(QFile::encodeName(folder).replace(' ', "\\040")))
            found << QString::fromUtf8(line);
    }
    return found;
}

// The gocryptfs processes that serve the mount point.
QList<pid_t> gocryptfsOf(const QString &mountPoint)
{
    QList<pid_t> found;
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs)) {
        const QByteArray command = readFile(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
        if (command.startsWith("/usr/bin/gocryptfs") && command.contains(QFile::encodeName(mountPoint)))
            found << pid_t(pid.toInt());
    }
    return found;
}

struct stat statOf(const QString &path)
{
    struct stat status = {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

} // namespace

class TestEncryptedBackups : public SshdBackupTest
{
    Q_OBJECT

    QString m_runtime;
    QString m_keyFile;
    Server m_server;

    QString view() const { return m_runtime + QStringLiteral("/tidewell/destination"); }
    QString tree() const { return m_s->remote + QStringLiteral("/srv"); }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        return env;
    }
    Outcome tidewell(const QStringList &arguments) const { return runTidewell(m_s->home, arguments, environment()); }
    Outcome runHeadless() const
    {
        return tidewell({QStringLiteral("--run-backup"), m_server.id.toString(QUuid::WithoutBraces)});
    }

    // A server tree with a name and a content to look for, a long name, a
    // hard link and a folder with a space.
    void fillTree()
    {
        writeFile(tree() + QStringLiteral("/pay roll/") + secretName, marker + " salaries\n");
        writeFile(tree() + u'/' + longName, marker + " long\n");
        writeFile(tree() + QStringLiteral("/blob"), QByteArray(256 * 1024, 'x') + marker);
        QVERIFY(QFile::link(QStringLiteral("pay roll/") + secretName, tree() + QStringLiteral("/link-to-secret")));
    }

    // Sets the destination up from the command line; returns the recovery key.
    QString encrypt()
    {
        const Outcome made =
            tidewell({QStringLiteral("--encrypt-destination"), QStringLiteral("--passphrase-file"), m_keyFile});
        if (made.status != 0)
            qWarning("%s", made.err.constData());
        const auto key = QRegularExpression(QStringLiteral("^    ([0-9a-f]{8}(-[0-9a-f]{8}){7})$"),
                                            QRegularExpression::MultilineOption)
                             .match(QString::fromUtf8(made.out));
        return made.status == 0 && key.hasMatch() ? key.captured(1) : QString();
    }

    // No name of the server's and no byte of its contents under the cipher folder.
    void verifyNothingInClear()
    {
        int files = 0;
        QDirIterator it(m_s->destination, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            for (const QString &name : {secretName, QStringLiteral("pay roll"), QStringLiteral("web_prod"),
                                        QStringLiteral("blob"), QStringLiteral("link-to-secret")})
                QVERIFY2(!it.fileName().contains(name), qPrintable(path));
            if (it.fileInfo().isFile() && !it.fileInfo().isSymLink()) {
                QVERIFY2(!readFile(path).contains(marker), qPrintable(path));
                ++files;
            }
        }
        QVERIFY(files > 3);
    }

private Q_SLOTS:
    void init()
    {
        if (const QString problem = gocryptfsProblem(); !problem.isEmpty())
            QSKIP(qPrintable(problem));
        SshdBackupTest::init();
        // A runtime folder of the test's own, with a space to be escaped in the mount table.
        m_runtime = m_s->home.path() + QStringLiteral("/run time");
        QVERIFY(QDir().mkpath(m_runtime));
        QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime));
        m_s->destination = m_s->home.path() + QStringLiteral("/Sicherung ü");
        m_keyFile = m_s->home.path() + QStringLiteral("/passphrase");
        QVERIFY(writeFile(m_keyFile, passphrase + '\n'));
        QFile::setPermissions(m_keyFile, QFile::ReadOwner | QFile::WriteOwner);
        fillTree();
        m_server = m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())});
    }

    void cleanup()
    {
        if (!m_runtime.isEmpty()) {
            for (const QString &line : mountsUnder(m_runtime)) {
                qWarning("left mounted: %s", qPrintable(line));
                QProcess::execute(QStringLiteral("/usr/bin/fusermount3"),
                                  {QStringLiteral("-u"), QStringLiteral("-z"), view()});
            }
        }
        SshdBackupTest::cleanup();
    }

    // Set up from the command line, two days run: the days are hard-linked
    // inside, attributes and long names are kept, nothing is in the clear
    // outside, and no view is left open.
    void daysLiveInTheViewAndNothingInTheClear()
    {
        QVERIFY(!encrypt().isEmpty());
        const auto stored = AppSettings::decode(readFile(m_s->home.configFile()));
        QVERIFY(stored && stored->destinationEncrypted);
        QCOMPARE(stored->passphraseFile, m_keyFile);
        QVERIFY(EncryptedFolder::isEncrypted(m_s->destination));

        const QDate today = QDate::currentDate();
        QCOMPARE(m_s->runOn(today.addDays(-1), m_server).exitCode.value_or(-1), 0);
        writeFile(tree() + QStringLiteral("/new.txt"), marker + " new\n");
        const auto second = m_s->runOn(today, m_server);
        QCOMPARE(second.exitCode.value_or(-1), 0);
        QVERIFY(mountsUnder(m_runtime).isEmpty());
        verifyNothingInClear();

        auto opened = PlainView::open(PlainView::destination(*AppSettings::decode(readFile(m_s->home.configFile()))));
        QVERIFY2(opened, qPrintable(opened ? QString() : opened.error().message));
        const QString days = opened->path() + QStringLiteral("/web_prod/");
        const QString before = days + today.addDays(-1).toString(Qt::ISODate) + QStringLiteral("/srv/");
        const QString after = days + today.toString(Qt::ISODate) + QStringLiteral("/srv/");
        QCOMPARE(readFile(after + QStringLiteral("pay roll/") + secretName), marker + " salaries\n");
        QCOMPARE(readFile(after + longName), marker + " long\n");
        QCOMPARE(readFile(after + QStringLiteral("new.txt")), marker + " new\n");
        // Unchanged files are one file in both days.
        QCOMPARE(statOf(before + QStringLiteral("blob")).st_ino, statOf(after + QStringLiteral("blob")).st_ino);
        QCOMPARE(statOf(after + QStringLiteral("blob")).st_nlink, nlink_t(2));
        // A link is a link, or as root a file whose attributes say it is one.
        const QByteArray link = QFile::encodeName(after + QStringLiteral("link-to-secret"));
        QVERIFY(QFileInfo(after + QStringLiteral("link-to-secret")).isSymLink()
                || ::lgetxattr(link.constData(), "user.rsync.%stat", nullptr, 0) > 0);
        // The fingerprint is an extended attribute of the copy.
        char value[256];
        QVERIFY(::lgetxattr(QFile::encodeName(after + QStringLiteral("new.txt")).constData(), Fingerprints::attribute,
                            value, sizeof value)
                > 0);
        // Copies share the view; it closes with the last.
        PlainView copy = *opened;
        opened->release();
        QVERIFY(!mountsUnder(m_runtime).isEmpty());
        copy.release();
        QVERIFY(mountsUnder(m_runtime).isEmpty());
    }

    // The command line reads, checks and restores through the view, which
    // each command opens and closes.
    void checksAndRestoresReadThroughTheView()
    {
        QVERIFY(!encrypt().isEmpty());
        const Outcome run = runHeadless();
        QCOMPARE(run.status, 0);
        const QString id = m_server.id.toString(QUuid::WithoutBraces);
        const Outcome listed = tidewell({QStringLiteral("--list-backups"), id});
        QCOMPARE(listed.status, 0);
        QVERIFY(listed.out.contains(QDate::currentDate().toString(Qt::ISODate).toUtf8()));
        const Outcome verified = tidewell({QStringLiteral("--verify"), id, QStringLiteral("--all")});
        QVERIFY2(verified.status == 0, QByteArray(verified.out + verified.err).constData());
        const QString to = m_s->home.path() + QStringLiteral("/restored");
        const Outcome restored = tidewell({QStringLiteral("--restore"), id, QStringLiteral("--date"),
                                           QDate::currentDate().toString(Qt::ISODate), QStringLiteral("--item"),
                                           tree() + QStringLiteral("/pay roll"), QStringLiteral("--to"), to});
        QVERIFY2(restored.status == 0, QByteArray(restored.out + restored.err).constData());
        QCOMPARE(readFile(to + QStringLiteral("/pay roll/") + secretName), marker + " salaries\n");
        QVERIFY(mountsUnder(m_runtime).isEmpty());
        const Outcome status = tidewell({QStringLiteral("--status"), QStringLiteral("--json")});
        QCOMPARE(QJsonDocument::fromJson(status.out).object().value(QStringLiteral("encrypted")).toBool(), true);
    }

    // The recovery key opens the copies with gocryptfs alone, even after
    // gocryptfs.conf is lost.
    void theRecoveryKeyOpensWithoutTheConfiguration()
    {
        const QString key = encrypt();
        QVERIFY(!key.isEmpty());
        QCOMPARE(runHeadless().status, 0);
        QVERIFY(QFile::remove(m_s->destination + QStringLiteral("/gocryptfs.conf")));
        const QString mountPoint = m_s->home.path() + QStringLiteral("/by hand");
        QVERIFY(QDir().mkpath(mountPoint));
        QProcess gocryptfs;
        // The mount's process outlives this one and would die writing to a closed pipe.
        gocryptfs.setStandardOutputFile(QProcess::nullDevice());
        gocryptfs.setStandardErrorFile(QProcess::nullDevice());
        gocryptfs.start(QStringLiteral("/usr/bin/gocryptfs"),
                        {QStringLiteral("-q"), QStringLiteral("-nosyslog"), QStringLiteral("-masterkey=stdin"),
                         m_s->destination, mountPoint});
        gocryptfs.write(key.toLatin1() + '\n');
        gocryptfs.closeWriteChannel();
        QVERIFY(gocryptfs.waitForFinished(60000));
        QCOMPARE(gocryptfs.exitCode(), 0);
        const QString file = mountPoint + QStringLiteral("/web_prod/") + QDate::currentDate().toString(Qt::ISODate)
                             + QStringLiteral("/srv/pay roll/") + secretName;
        const QByteArray read = readFile(file);
        QCOMPARE(QProcess::execute(QStringLiteral("/usr/bin/fusermount3"), {QStringLiteral("-u"), mountPoint}), 0);
        QCOMPARE(read, marker + " salaries\n");
    }

    // While the view is open, no process shows the passphrase in its
    // arguments or environment; no log and no configuration holds it.
    void thePassphraseLiesNowhere()
    {
        QVERIFY(!encrypt().isEmpty());
        QCOMPARE(runHeadless().status, 0);
        const auto opened =
            PlainView::open(PlainView::destination(*AppSettings::decode(readFile(m_s->home.configFile()))));
        QVERIFY(opened);
        const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
        int gocryptfs = 0;
        for (const QString &pid : pids) {
            const QByteArray command = readFile(QStringLiteral("/proc/") + pid + QStringLiteral("/cmdline"));
            QVERIFY2(!command.contains(passphrase), qPrintable(pid));
            QVERIFY2(!readFile(QStringLiteral("/proc/") + pid + QStringLiteral("/environ")).contains(passphrase),
                     qPrintable(pid));
            gocryptfs += command.startsWith("/usr/bin/gocryptfs") ? 1 : 0;
        }
        QCOMPARE(gocryptfs, 1);
        QDirIterator files(m_s->home.dataHome(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            QVERIFY2(!readFile(files.next()).contains(passphrase), qPrintable(files.filePath()));
        QDirIterator runtime(m_runtime, QDir::Files | QDir::Hidden);
        while (runtime.hasNext())
            QVERIFY2(!readFile(runtime.next()).contains(passphrase), qPrintable(runtime.filePath()));
    }

    // Two servers' runs at once share one view: the first to end leaves it
    // to the other, the last closes it.
    void runsAtOnceShareOneView()
    {
        QVERIFY(!encrypt().isEmpty());
        const QString started = m_s->home.path() + QStringLiteral("/hook-started");
        const QString release = m_s->home.path() + QStringLiteral("/hook-release");
        Server second = m_server;
        second.id = QUuid::createUuid();
        second.name = QStringLiteral("zweiter Server ü");
        second.localBeforeCommand = {writeScript(m_s->home.path() + QStringLiteral("/hold"),
                                                 "touch '" + QFile::encodeName(started) + "'\nwhile [ ! -e '"
                                                     + QFile::encodeName(release) + "' ]; do sleep 0.05; done\n")};
        m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())}, [&](AppSettings &settings) {
            settings.servers = {m_server, second};
            settings.destinationEncrypted = true;
            settings.passphraseFile = m_keyFile;
        });
        QProcess held;
        held.setProcessEnvironment(tidewellEnvironment(m_s->home, environment()));
        held.start(QStringLiteral(TIDEWELL_BINARY),
                   {QStringLiteral("--run-backup"), second.id.toString(QUuid::WithoutBraces)});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(started), 60000);
        QCOMPARE(runHeadless().status, 0);
        QCOMPARE(mountsUnder(m_runtime).size(), 1);
        QVERIFY(writeFile(release, {}));
        QVERIFY(held.waitForFinished(120000));
        QCOMPARE(held.exitCode(), 0);
        QVERIFY(mountsUnder(m_runtime).isEmpty());
    }

    // A run killed while the view is open leaves it; the next start of
    // Tidewell closes it.
    void aKilledRunsViewIsClosedByTheNextStart()
    {
        QVERIFY(!encrypt().isEmpty());
        const QString started = m_s->home.path() + QStringLiteral("/hook-started");
        m_server.localBeforeCommand = {writeScript(m_s->home.path() + QStringLiteral("/hold"),
                                                   "touch '" + QFile::encodeName(started) + "'\nexec sleep 300\n")};
        m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())}, [this](AppSettings &settings) {
            settings.servers = {m_server};
            settings.destinationEncrypted = true;
            settings.passphraseFile = m_keyFile;
        });
        QProcess run;
        run.setProcessEnvironment(tidewellEnvironment(m_s->home, environment()));
        run.start(QStringLiteral(TIDEWELL_BINARY),
                  {QStringLiteral("--run-backup"), m_server.id.toString(QUuid::WithoutBraces)});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(started), 60000);
        QCOMPARE(mountsUnder(m_runtime).size(), 1);
        ::kill(pid_t(run.processId()), SIGKILL);
        QVERIFY(run.waitForFinished(20000));
        QCOMPARE(mountsUnder(m_runtime).size(), 1);
        const Outcome next = tidewell({QStringLiteral("--status")});
        QVERIFY(next.status != -100);
        QVERIFY(mountsUnder(m_runtime).isEmpty());
        QVERIFY(!QFileInfo::exists(view()));

        // Killed with its gocryptfs: the view left is dead, and the next run
        // opens a fresh one instead.
        QFile::remove(started);
        run.start(QStringLiteral(TIDEWELL_BINARY),
                  {QStringLiteral("--run-backup"), m_server.id.toString(QUuid::WithoutBraces)});
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(started), 60000);
        ::kill(pid_t(run.processId()), SIGKILL);
        QVERIFY(run.waitForFinished(20000));
        for (const pid_t pid : gocryptfsOf(view()))
            ::kill(pid, SIGKILL);
        QTRY_VERIFY_WITH_TIMEOUT(gocryptfsOf(view()).isEmpty(), 20000);
        QCOMPARE(mountsUnder(m_runtime).size(), 1);
        m_server.localBeforeCommand.clear();
        m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())}, [this](AppSettings &settings) {
            settings.servers = {m_server};
            settings.destinationEncrypted = true;
            settings.passphraseFile = m_keyFile;
        });
        const auto again = m_s->runOn(QDate::currentDate(), m_server);
        QVERIFY2(again.exitCode.value_or(-1) == 0, qPrintable(again.log.join(u'\n')));
        QVERIFY(mountsUnder(m_runtime).isEmpty());
    }

    // A second copy in a folder, encrypted as well: it is written, listed
    // and restored from through its own view, and holds nothing in the clear.
    void anEncryptedSecondCopyIsReadThroughItsView()
    {
        QVERIFY(!encrypt().isEmpty());
        const QString offsite = m_s->home.path() + QStringLiteral("/offsite drive");
        QVERIFY(QDir().mkpath(offsite));
        CopyTarget target;
        target.name = QStringLiteral("offsite");
        target.path = offsite;
        m_server = m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())}, [&](AppSettings &settings) {
            settings.destinationEncrypted = true;
            settings.passphraseFile = m_keyFile;
            settings.copyTargets = {target};
        });
        // Another key file than the destination's is refused.
        const QString other = m_s->home.path() + QStringLiteral("/other");
        QVERIFY(writeFile(other, "other passphrase\n"));
        QFile::setPermissions(other, QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(tidewell({QStringLiteral("--encrypt-destination"), QStringLiteral("--target"),
                           QStringLiteral("offsite"), QStringLiteral("--passphrase-file"), other})
                     .status,
                 2);
        const Outcome made = tidewell({QStringLiteral("--encrypt-destination"), QStringLiteral("--target"),
                                       QStringLiteral("offsite"), QStringLiteral("--passphrase-file"), m_keyFile});
        QVERIFY2(made.status == 0, made.err.constData());
        const auto stored = AppSettings::decode(readFile(m_s->home.configFile()));
        QVERIFY(stored && stored->copyTargets.value(0).encrypted);

        const Outcome run = runHeadless();
        QCOMPARE(run.status, 0);
        QVERIFY(mountsUnder(m_runtime).isEmpty());
        const QString saved = m_s->destination;
        m_s->destination = offsite;
        verifyNothingInClear();
        m_s->destination = saved;
        const QString id = m_server.id.toString(QUuid::WithoutBraces);
        const Outcome listed =
            tidewell({QStringLiteral("--list-backups"), id, QStringLiteral("--from"), QStringLiteral("offsite")});
        QVERIFY2(listed.out.contains(QDate::currentDate().toString(Qt::ISODate).toUtf8()), listed.out.constData());
        const QString to = m_s->home.path() + QStringLiteral("/from offsite");
        const Outcome restored =
            tidewell({QStringLiteral("--restore"), id, QStringLiteral("--date"),
                      QDate::currentDate().toString(Qt::ISODate), QStringLiteral("--item"), tree() + u'/' + longName,
                      QStringLiteral("--to"), to, QStringLiteral("--from"), QStringLiteral("offsite")});
        QVERIFY2(restored.status == 0, QByteArray(restored.out + restored.err).constData());
        QCOMPARE(readFile(to + u'/' + longName), marker + " long\n");
        QVERIFY(mountsUnder(m_runtime).isEmpty());
    }

    // What must not open, does not, and says why; nothing is written.
    void refusalsWriteNothing()
    {
        QVERIFY(!encrypt().isEmpty());
        const QStringList before =
            QDir(m_s->destination).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        // A key file other users may read.
        QFile::setPermissions(m_keyFile, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
        auto run = m_s->runOn(QDate::currentDate(), m_server);
        QCOMPARE(run.exitCode.value_or(0), -1);
        QVERIFY(run.log.join(u'\n').contains(QStringLiteral("may be read by other users")));
        // A wrong passphrase.
        QFile::setPermissions(m_keyFile, QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(writeFile(m_keyFile, "not the passphrase\n"));
        run = m_s->runOn(QDate::currentDate(), m_server);
        QCOMPARE(run.exitCode.value_or(0), -1);
        QVERIFY2(run.log.join(u'\n').contains(QStringLiteral("the passphrase is wrong")),
                 qPrintable(run.log.join(u'\n')));
        QVERIFY(mountsUnder(m_runtime).isEmpty());
        // Encryption switched off in the configuration: no plain copy beside the ciphertext.
        QCOMPARE(tidewell({QStringLiteral("--set"), QStringLiteral("destinationEncrypted=false")}).status, 2);
        m_s->writeConfig({BackupScenario::path(QStringLiteral("srv"), tree())});
        run = m_s->runOn(QDate::currentDate(), m_server);
        QCOMPARE(run.exitCode.value_or(0), 2);
        QCOMPARE(QDir(m_s->destination).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        // Setting up again never replaces the folder's key.
        const QByteArray key = readFile(m_s->destination + QStringLiteral("/gocryptfs.conf"));
        QVERIFY(!EncryptedFolder::initialise(m_s->destination, passphrase));
        QCOMPARE(readFile(m_s->destination + QStringLiteral("/gocryptfs.conf")), key);
        // A folder that is not empty is not encrypted.
        const Outcome again =
            tidewell({QStringLiteral("--encrypt-destination"), QStringLiteral("--passphrase-file"), m_keyFile});
        QCOMPARE(again.status, 2);
    }
};

QTEST_GUILESS_MAIN(TestEncryptedBackups)
#include "tst_EncryptedBackups.moc"
