// SPDX-License-Identifier: GPL-3.0-or-later
// Exclude patterns, their preview and the bandwidth limit, through real rsync
// over the real sshd.
#include "core/engine/RsyncPreview.h"
#include "core/engine/RsyncRunner.h"
#include "core/ssh/CipherPreference.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTest>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

using namespace TestHelpers;

class TestTransferOptions : public SshdBackupTest
{
    Q_OBJECT

    // Every file under `folder`, relative to it, sorted.
    static QStringList filesUnder(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(folder).relativeFilePath(it.next());
        files.sort();
        return files;
    }

    // A tree with something for each pattern to match, and something it must not.
    void writeTree(const QString &root)
    {
        for (const char *file :
             {"keep.txt",  "debug.log",    "sub/keep.txt", "sub/trace.log", "cache/x",    "sub/cache/y", "cachefile",
              "top-only",  "sub/top-only", "My Docs/z",    "sub/My Docs/z", "My Docsx/z", "- old.txt",   "old.txt",
              "+ new.txt", "new.txt",      "!bang",        "#hash",         "bang",       "hash"})
            writeFile(root + u'/' + QLatin1String(file), QByteArray(file));
    }

    std::optional<RsyncPreview::Result> preview(const Server &server, const QUuid &pathID)
    {
        AppSettings settings;
        settings.destinationPath = m_s->destination;
        settings.servers = {server};
        RsyncRunner runner;
        RsyncPreview preview;
        return await(preview.run(server, pathID, settings, runner.rsyncProbe()), 60000);
    }

private Q_SLOTS:
    // "~/www" is the account's www, not a folder named "~".
    void aPathUnderTheHomeIsTheAccountsOwn()
    {
        // ssh logs in to the account's passwd home, whatever $HOME says here.
        const QString home = QString::fromLocal8Bit(::getpwuid(::getuid())->pw_dir);
        const QString name = QStringLiteral("tidewell-test-") + QUuid::createUuid().toString(QUuid::Id128);
        const auto cleanup = qScopeGuard([&] { QDir(home + u'/' + name).removeRecursively(); });
        if (!writeFile(home + u'/' + name + QStringLiteral("/index.html"), "home"))
            QSKIP("the account's home cannot be written here");
        const Server server =
            m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), QStringLiteral("~/") + name)});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Site/index.html")), QByteArray("home"));
    }

    // The cipher list starts with what is fastest here; a server that offers
    // only one of the later ones is still backed up, and the "$ " line says which list.
    void aServerWithOneCipherStillBacksUp()
    {
        SshdFixture chachaOnly(QStringLiteral("Ciphers chacha20-poly1305@openssh.com"));
        QVERIFY(chachaOnly.isRunning());
        BackupScenario scenario(chachaOnly);
        writeFile(scenario.remote + QStringLiteral("/a.txt"), "a");
        const Server server = scenario.writeConfig({BackupScenario::path(QStringLiteral("Site"), scenario.remote)});
        const Outcome outcome = scenario.runHeadless(server.id);
        QCOMPARE(outcome.status, 0);
        QCOMPARE(readFile(scenario.runFolder() + QStringLiteral("/Site/a.txt")), QByteArray("a"));
        QVERIFY(scenario.logOf(server)
                    .filter(QStringLiteral("$ "))
                    .first()
                    .contains(QStringLiteral("-o Ciphers=") + CipherPreference::forServer(server)));

        // A list of the server's own that it does not share fails as ssh says.
        const Server own =
            scenario.writeConfig({BackupScenario::path(QStringLiteral("Site"), scenario.remote)}, [](AppSettings &s) {
                s.servers[0].sshCiphers = QStringLiteral("aes256-ctr");
                s.retryAttempts = 0;
            });
        QVERIFY(scenario.runHeadless(own.id).status != 0);
        QVERIFY(scenario.logOf(own).join(u'\n').contains(QStringLiteral("no matching cipher")));
    }

    // Each pattern drops exactly what rsync's own rules match, nothing more.
    void excludesDropExactlyTheMatchingFiles_data()
    {
        QTest::addColumn<QStringList>("patterns");
        QTest::addColumn<QStringList>("dropped");
        QTest::newRow("*.log") << QStringList{QStringLiteral("*.log")}
                               << QStringList{QStringLiteral("debug.log"), QStringLiteral("sub/trace.log")};
        QTest::newRow("cache/") << QStringList{QStringLiteral("cache/")}
                                << QStringList{QStringLiteral("cache/x"), QStringLiteral("sub/cache/y")};
        QTest::newRow("/top-only") << QStringList{QStringLiteral("/top-only")}
                                   << QStringList{QStringLiteral("top-only")};
        QTest::newRow("a space") << QStringList{QStringLiteral("My Docs")}
                                 << QStringList{QStringLiteral("My Docs/z"), QStringLiteral("sub/My Docs/z")};
        // rsync reads "- ", "+ " and "!" at the start of a plain --exclude as
        // rules of their own, "#" in a rules file as a comment: here they are names.
        QTest::newRow("rule prefixes are names")
            << QStringList{QStringLiteral("- old.txt"), QStringLiteral("+ new.txt"), QStringLiteral("!bang"),
                           QStringLiteral("#hash")}
            << QStringList{QStringLiteral("- old.txt"), QStringLiteral("+ new.txt"), QStringLiteral("!bang"),
                           QStringLiteral("#hash")};
        QTest::newRow("blank lines and two patterns")
            << QStringList{QString(), QStringLiteral("*.log"), QStringLiteral("  "), QStringLiteral("/top-only")}
            << QStringList{QStringLiteral("debug.log"), QStringLiteral("sub/trace.log"), QStringLiteral("top-only")};
    }

    void excludesDropExactlyTheMatchingFiles()
    {
        QFETCH(QStringList, patterns);
        QFETCH(QStringList, dropped);
        const QString tree = m_s->remote + QStringLiteral("/tree");
        writeTree(tree);
        BackupPath site = BackupScenario::path(QStringLiteral("Site"), tree);
        site.excludes = patterns;
        const Server server = m_s->writeConfig({site});
        QCOMPARE(m_s->runHeadless(server.id).status, 0);

        QStringList expected = filesUnder(tree);
        for (const QString &file : dropped)
            QVERIFY2(expected.removeOne(file), qPrintable(file));
        QCOMPARE(filesUnder(m_s->runFolder() + QStringLiteral("/Site")), expected);
        // The preview, asked afterwards, takes the same files (from this snapshot).
        const auto result = preview(server, site.id);
        QVERIFY(result);
        QCOMPARE(result->unchangedFiles, expected.size());
        QCOMPARE(result->copiedFiles, 0);
        // The "$ " line shows the patterns as rsync got them, one argument each.
        const QString command = m_s->logOf(server).filter(QStringLiteral("$ ")).first();
        QVERIFY2(command.contains(QStringLiteral("\"--filter=- ")), qPrintable(command));
    }

    // The preview names what a real run then copies, and what the patterns leave out.
    void thePreviewListsWhatARunCopies()
    {
        const QString tree = m_s->remote + QStringLiteral("/tree");
        writeTree(tree);
        BackupPath site = BackupScenario::path(QStringLiteral("Site"), tree);
        site.excludes = {QStringLiteral("*.log"), QStringLiteral("cache/")};
        const Server server = m_s->writeConfig({site});
        const auto result = preview(server, site.id);
        QVERIFY(result);
        QVERIFY2(result->refusal.isEmpty(), qPrintable(result->refusal.join(u'\n')));
        QCOMPARE(result->exitCode, 0);
        QVERIFY(!QDir(m_s->destination).exists()); // a dry run makes nothing

        QStringList previewed;
        for (const QString &line : result->lines) {
            if (line.startsWith(QStringLiteral(">f")))
                previewed << line.section(u' ', 1);
        }
        previewed.sort();
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QCOMPARE(previewed, filesUnder(m_s->runFolder() + QStringLiteral("/Site")));
        // The count is of files and folders: the copy's own, and its top folder.
        int folders = 1;
        for (QDirIterator it(m_s->runFolder() + QStringLiteral("/Site"), QDir::Dirs | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++folders;
        QCOMPARE(result->copied, previewed.size() + folders);
        // Four things are left out: two logs, two cache folders.
        QCOMPARE(result->excluded, 4);
        QVERIFY(result->lines.filter(QStringLiteral("hiding file debug.log because of pattern *.log")).size() == 1);
    }

    void aPreviewCanBeStopped()
    {
        const QString tree = m_s->remote + QStringLiteral("/tree");
        writeTree(tree);
        Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), tree)});
        // A pre-backup command is not part of a preview; a server that never answers is.
        server.privateKeyPath = m_sshd->hungKey();
        AppSettings settings;
        settings.destinationPath = m_s->destination;
        settings.servers = {server};
        RsyncRunner runner;
        RsyncPreview preview;
        QTimer::singleShot(500, &preview, &RsyncPreview::cancel);
        QElapsedTimer clock;
        clock.start();
        const auto result = await(preview.run(server, server.paths.first().id, settings, runner.rsyncProbe()), 30000);
        QVERIFY(result);
        QVERIFY(result->cancelled);
        QVERIFY(clock.elapsed() < 15000);
        QVERIFY(!preview.isRunning());
    }

    // 2 MiB at 512 KiB/s cannot take less than about 4 s.
    void theBandwidthLimitSlowsTheTransfer()
    {
        const QString tree = m_s->remote + QStringLiteral("/big");
        QByteArray noise(2 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 2654435761u) >> 13); // does not compress
        writeFile(tree + QStringLiteral("/blob"), noise);
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Big"), tree)}, [](AppSettings &s) {
            s.compress = false;
            s.servers[0].bandwidthLimitKBps = 512;
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(m_s->runHeadless(server.id).status, 0);
        QVERIFY2(clock.elapsed() >= 3000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(readFile(m_s->runFolder() + QStringLiteral("/Big/blob")), noise);
        QVERIFY(m_s->logOf(server).filter(QStringLiteral("$ ")).first().contains(QStringLiteral("--bwlimit=512")));
    }
};

QTEST_GUILESS_MAIN(TestTransferOptions)
#include "tst_TransferOptions.moc"
