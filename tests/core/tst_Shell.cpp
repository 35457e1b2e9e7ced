// SPDX-License-Identifier: GPL-3.0-or-later
// Escaping, quoting and the rsync command line.
#include "core/engine/RsyncInvocation.h"
#include "core/model/SafePathComponent.h"
#include "core/model/ServerCheck.h"
#include "core/ssh/CipherPreference.h"
#include "core/ssh/HostKeyChecker.h"
#include "core/ssh/Shell.h"
#include "fixtures/TempHome.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void quote_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("space") << "a b"
                               << "'a b'";
        QTest::newRow("quote") << "it's"
                               << "'it'\\''s'";
        QTest::newRow("dollar and star") << "$HOME/*.db"
                                         << "'$HOME/*.db'";
        QTest::newRow("line feed") << "a\nb"
                                   << "'a\nb'";
        QTest::newRow("empty") << ""
                               << "''";
        QTest::newRow("non-ASCII") << QStringLiteral("Ünïcødé folder") << QStringLiteral("'Ünïcødé folder'");
    }

    void quote()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(Shell::quote(input), expected);
    }

    // What the server's shell makes of a quoted text is the text, byte for
    // byte: every ASCII character alone and all together (line feeds,
    // carriage returns, every control character and metacharacter), with
    // the marks that make one grapheme of a metacharacter, in dash and bash.
    void everyCharacterComesBackAsItWas()
    {
        QStringList texts;
        QString all;
        for (char16_t c = 1; c < 0x80; ++c) {
            texts << QString(QChar(c)) + QStringLiteral("x") + QString(QChar(c));
            all += QChar(c);
        }
        texts << all << QStringLiteral("photos\n/srv/www/uploads/evil\nx") << QStringLiteral("'; touch /tmp/x; '")
              << QStringLiteral("-rf") << QStringLiteral("a\r\nb");
        for (const QString &follower :
             {QStringLiteral("\u0301"), QStringLiteral("\u200D"), QStringLiteral("\U0001F3FB")})
            texts << QStringLiteral("secret'") + follower + QStringLiteral("$x\\") + follower;
        for (const QString &shell : {QStringLiteral("/bin/sh"), QStringLiteral("/bin/bash")}) {
            if (!QFileInfo(shell).isExecutable())
                continue;
            for (const QString &text : std::as_const(texts)) {
                QProcess process;
                process.start(shell, {QStringLiteral("-c"), QStringLiteral("printf %s ") + Shell::quote(text)});
                QVERIFY(process.waitForFinished(10000));
                QCOMPARE(process.readAllStandardOutput(), text.toUtf8());
            }
        }
    }

    // "~" is the account's home, a leading "-" no option.
    void remotePaths_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << "/srv/my site"
                                  << "'/srv/my site'";
        QTest::newRow("home") << "~"
                              << "'./'";
        QTest::newRow("in the home") << "~/www"
                                     << "'www'";
        QTest::newRow("another user's home stays literal") << "~bob/x"
                                                           << "'~bob/x'";
        QTest::newRow("an option") << "-rf"
                                   << "'./-rf'";
        QTest::newRow("an option in the home") << "~/-rf"
                                               << "'./-rf'";
    }

    void remotePaths()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(Shell::quotePath(input), expected);
    }

    void quotingForRsyncsSplitter()
    {
        QCOMPARE(Shell::quoteForRsyncShell(QStringLiteral("/k/it's")), QStringLiteral("'/k/it''s'"));
        QCOMPARE(Shell::quoteForRsyncShell(QStringLiteral("/a b/\\c")), QStringLiteral("'/a b/\\c'"));
    }

    void safePathComponent_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separators") << "web/prod: main"
                                    << "web_prod_main";
        QTest::newRow("trimmed") << "  My Server  "
                                 << "My Server";
        QTest::newRow("empty pieces") << "a//b"
                                      << "a_b";
        QTest::newRow("empty") << ""
                               << "unnamed";
        QTest::newRow("only separators") << "///"
                                         << "unnamed";
        QTest::newRow("question mark") << "db?.sqlite"
                                       << "db_.sqlite";
        QTest::newRow("tabs trimmed") << "\tx\t"
                                      << "x";
        QTest::newRow("line ends kept") << "a\n"
                                        << "a\n";
        QTest::newRow("dot") << "."
                             << "_.";
        QTest::newRow("dot dot") << ".."
                                 << "_..";
        QTest::newRow("dot dot around separators") << " .. / "
                                                   << "_..";
        QTest::newRow("three dots are a name") << "..."
                                               << "...";
    }

    void safePathComponent()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(::safePathComponent(input), expected);
    }

    void invocationMatchesTheDocumentedExample()
    {
        Server server;
        server.username = QStringLiteral("backup");
        server.host = QStringLiteral("192.0.2.10");
        server.port = 2222;
        server.privateKeyPath = QStringLiteral("/Users/user/.ssh/id_ed25519");
        server.sshCiphers = QStringLiteral("aes128-gcm@openssh.com"); // not this machine's choice
        BackupPath path;
        path.name = QStringLiteral("Site");
        path.remotePath = QStringLiteral("/var/www/my site");
        RsyncProbe probe;
        probe.executable = QStringLiteral("/opt/homebrew/bin/rsync");
        probe.isModern = true;
        probe.version = QVersionNumber(3, 2, 3);
        const QString target =
            RsyncInvocation::targetFolder(QStringLiteral("/Users/user/Backups/web1/2025-01-31"), path);
        AppSettings settings;
        settings.deleteExtraneous = true;
        // As a desktop user runs it (root keeps owners in attributes, see KeepOptions).
        const KeepOptions::Local user;
        const QStringList args =
            RsyncInvocation::arguments(RsyncInvocation::common(server, settings, probe, user), path, target);
        const QStringList expected{
            QStringLiteral("-a"),
            QStringLiteral("--stats"),
            QStringLiteral("-e"),
            QStringLiteral("ssh -p 2222 -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o "
                           "ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '/Users/user/.ssh/id_ed25519' -o "
                           "IdentitiesOnly=yes -o Ciphers=aes128-gcm@openssh.com"),
            QStringLiteral("--human-readable"),
            QStringLiteral("--info=progress2"),
            QStringLiteral("-z"),
            QStringLiteral("--delete"),
            QStringLiteral("--timeout=300"),
            QStringLiteral("--partial-dir=.tidewell-partial"),
            QStringLiteral("backup@192.0.2.10:'/var/www/my site/'"),
            QStringLiteral("/Users/user/Backups/web1/2025-01-31/Site")};
        QCOMPARE(args, expected);
        QCOMPARE(
            QStringLiteral("$ ") + Shell::displayCommandLine(probe.executable, args),
            QStringLiteral("$ /opt/homebrew/bin/rsync -a --stats -e \"ssh -p 2222 -o StrictHostKeyChecking=accept-new "
                           "-o BatchMode=yes -o ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 "
                           "-i '/Users/user/.ssh/id_ed25519' -o IdentitiesOnly=yes -o Ciphers=aes128-gcm@openssh.com\" "
                           "--human-readable "
                           "--info=progress2 -z --delete --timeout=300 --partial-dir=.tidewell-partial "
                           "\"backup@192.0.2.10:'/var/www/my site/'\" "
                           "/Users/user/Backups/web1/2025-01-31/Site"));
    }

    void invocationOptions_data()
    {
        QTest::addColumn<bool>("isDirectory");
        QTest::addColumn<QString>("remotePath");
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("compress");
        QTest::addColumn<bool>("deleteExtraneous");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("source");
        QTest::newRow("old rsync") << true << "/d"
                                   << "2.6.9" << true << true << "--progress -z --del"
                                   << "u@h:'/d/'";
        QTest::newRow("file never deletes")
            << false << "/f.db"
            << "3.2.7" << false << true << "--human-readable --info=progress2 --old-args"
            << "u@h:'/f.db'";
        QTest::newRow("trailing slash kept single") << true << "/d/"
                                                    << "3.2.3" << false << false << "--human-readable --info=progress2"
                                                    << "u@h:'/d/'";
        QTest::newRow("3.2.4 gets --old-args")
            << true << "/d"
            << "3.2.4" << true << false << "--human-readable --info=progress2 -z --old-args"
            << "u@h:'/d/'";
        QTest::newRow("unknown version as old") << true << "/d"
                                                << "" << false << false << "--progress"
                                                << "u@h:'/d/'";
        // The account's home: relative to it, never a folder named "~".
        QTest::newRow("home folder") << true << "~/www"
                                     << "3.2.7" << false << false << "--human-readable --info=progress2 --old-args"
                                     << "u@h:'www/'";
        QTest::newRow("home file with a space")
            << false << "~/my notes.txt"
            << "3.2.7" << false << false << "--human-readable --info=progress2 --old-args"
            << "u@h:'my notes.txt'";
        QTest::newRow("the home itself") << true << "~"
                                         << "3.2.7" << false << false << "--human-readable --info=progress2 --old-args"
                                         << "u@h:'./'";
        QTest::newRow("another user's home stays literal")
            << true << "~bob/x"
            << "3.2.7" << false << false << "--human-readable --info=progress2 --old-args"
            << "u@h:'~bob/x/'";
    }

    void invocationOptions()
    {
        QFETCH(bool, isDirectory);
        QFETCH(QString, remotePath);
        QFETCH(QString, version);
        QFETCH(bool, compress);
        QFETCH(bool, deleteExtraneous);
        QFETCH(QString, options);
        QFETCH(QString, source);
        Server server;
        server.username = QStringLiteral("u");
        server.host = QStringLiteral("h");
        server.useSSHAgent = true;
        server.sshCiphers = QStringLiteral("chacha20-poly1305@openssh.com");
        BackupPath path;
        path.isDirectory = isDirectory;
        path.remotePath = remotePath;
        const RsyncProbe probe = RsyncProbe::classify(
            QStringLiteral("/usr/bin/rsync"),
            version.isEmpty() ? QString() : QStringLiteral("rsync  version ") + version + QStringLiteral("  protocol"));
        AppSettings settings;
        settings.compress = compress;
        settings.deleteExtraneous = deleteExtraneous;
        settings.ioTimeoutSeconds = 0;
        const QStringList args = RsyncInvocation::arguments(
            RsyncInvocation::common(server, settings, probe, KeepOptions::Local()), path, QStringLiteral("/t"));
        QCOMPARE(args.mid(0, 4),
                 (QStringList{QStringLiteral("-a"), QStringLiteral("--stats"), QStringLiteral("-e"),
                              QStringLiteral("ssh -p 22 -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o "
                                             "ConnectTimeout=30 -o ServerAliveInterval=15 -o ServerAliveCountMax=4 -o "
                                             "Ciphers=chacha20-poly1305@openssh.com")}));
        // Every transfer keeps a file it is cut off in (see the documented example).
        QStringList middle = args.mid(4, args.size() - 6);
        QCOMPARE(middle.removeAll(QStringLiteral("--partial-dir=.tidewell-partial")), 1);
        QCOMPARE(middle.join(u' '), options);
        QCOMPARE(args.at(args.size() - 2), source);
        QCOMPARE(args.last(), QStringLiteral("/t"));
    }

    // Each pattern is one argument, in order, before the source; blank lines
    // from editing are dropped; the bandwidth limit is in KiB/s.
    void excludesAndBandwidthLimit()
    {
        Server server;
        server.username = QStringLiteral("u");
        server.host = QStringLiteral("h");
        server.useSSHAgent = true;
        BackupPath path;
        path.remotePath = QStringLiteral("/d");
        path.excludes = {QStringLiteral("*.log"),
                         QString(),
                         QStringLiteral("  "),
                         QStringLiteral("a dir with space/"),
                         QStringLiteral("$(touch /tmp/x);'\""),
                         QStringLiteral("- old.txt")};
        AppSettings settings;
        const RsyncProbe probe =
            RsyncProbe::classify(QStringLiteral("/usr/bin/rsync"), QStringLiteral("rsync  version 3.2.7  protocol"));
        QStringList args =
            RsyncInvocation::arguments(RsyncInvocation::common(server, settings, probe), path, QStringLiteral("/t"));
        QVERIFY(!args.join(u' ').contains(QStringLiteral("--bwlimit")));
        // Each an explicit exclude rule, so a leading "- " is part of the name.
        const qsizetype first = args.indexOf(QStringLiteral("--filter=- *.log"));
        QVERIFY(first > 0);
        QCOMPARE(
            args.mid(first, 4),
            (QStringList{QStringLiteral("--filter=- *.log"), QStringLiteral("--filter=- a dir with space/"),
                         QStringLiteral("--filter=- $(touch /tmp/x);'\""), QStringLiteral("--filter=- - old.txt")}));
        QCOMPARE(args.filter(QStringLiteral("--filter")).size(), 4);
        QCOMPARE(args.at(args.size() - 2), QStringLiteral("u@h:'/d/'"));

        server.bandwidthLimitKBps = 512;
        args = RsyncInvocation::arguments(RsyncInvocation::common(server, settings, probe), path, QStringLiteral("/t"));
        QCOMPARE(args.filter(QStringLiteral("--bwlimit")), QStringList{QStringLiteral("--bwlimit=512")});
        QVERIFY(args.indexOf(QStringLiteral("--bwlimit=512")) < args.indexOf(QStringLiteral("u@h:'/d/'")));
    }

    void keyPathIsExpandedAndQuoted()
    {
        TestHelpers::TempHome home;
        HostKeyChecker::setKnownHostsFileForTesting(QString()); // ssh's own file: no option names it
        Server server;
        server.privateKeyPath = QStringLiteral("~/keys/it's");
        QCOMPARE(RsyncInvocation::remoteShellCommand(server),
                 QStringLiteral(
                     "ssh -p 22 -o StrictHostKeyChecking=accept-new -o BatchMode=yes -o ConnectTimeout=30 -o "
                     "ServerAliveInterval=15 -o ServerAliveCountMax=4 -i '%1/keys/it''s' -o IdentitiesOnly=yes -o "
                     "Ciphers=%2")
                     .arg(home.home(), CipherPreference::forServer(server)));
        HostKeyChecker::setKnownHostsFileForTesting(home.home() + QStringLiteral("/it's hosts"));
        QVERIFY(RsyncInvocation::remoteShellCommand(server).contains(
            QStringLiteral(" -o 'UserKnownHostsFile=%1/it''s hosts' ").arg(home.home())));
        HostKeyChecker::setKnownHostsFileForTesting(QString());
    }

    // Fastest first for the CPU; never CBC or arcfour; the server's own list wins.
    void cipherPreference_data()
    {
        QTest::addColumn<QString>("cpuinfo");
        QTest::addColumn<bool>("aes");
        QTest::newRow("x86 with AES-NI") << "processor\t: 0\nflags\t\t: fpu sse2 aes avx2\n" << true;
        QTest::newRow("x86 without") << "processor\t: 0\nflags\t\t: fpu sse2 avx2 aesni-like\n" << false;
        QTest::newRow("ARM with the feature") << "processor\t: 0\nFeatures\t: fp asimd aes pmull sha1\n" << true;
        QTest::newRow("ARM without") << "processor\t: 0\nFeatures\t: fp asimd evtstrm\n" << false;
        QTest::newRow("a name that mentions aes") << "model name\t: aes fast CPU\nflags\t\t: fpu\n" << false;
        QTest::newRow("nothing readable") << "" << false;
    }

    void cipherPreference()
    {
        QFETCH(QString, cpuinfo);
        QFETCH(bool, aes);
        QCOMPARE(CipherPreference::hasAesInstructions(cpuinfo), aes);
        const QStringList list = CipherPreference::automatic(aes).split(u',');
        QCOMPARE(list.first(),
                 aes ? QStringLiteral("aes128-gcm@openssh.com") : QStringLiteral("chacha20-poly1305@openssh.com"));
        QVERIFY(list.contains(QStringLiteral("aes256-ctr")));
        for (const QString &cipher : list)
            QVERIFY2(!cipher.contains(QStringLiteral("cbc")) && !cipher.contains(QStringLiteral("arcfour")),
                     qPrintable(cipher));
        Server server;
        QCOMPARE(CipherPreference::forServer(server).split(u',').size(), list.size());
        server.sshCiphers = QStringLiteral(" aes256-ctr ");
        QCOMPARE(CipherPreference::forServer(server), QStringLiteral("aes256-ctr"));
        server.sshCiphers = QStringLiteral("aes256-ctr; touch x");
        QVERIFY(!ServerCheck::problems(server, {}).isEmpty());
    }

    void emptyPathNameGoesToUnnamed()
    {
        BackupPath path;
        QCOMPARE(RsyncInvocation::targetFolder(QStringLiteral("/r"), path), QStringLiteral("/r/unnamed"));
    }
};

QTEST_GUILESS_MAIN(TestShell)
#include "tst_Shell.moc"
