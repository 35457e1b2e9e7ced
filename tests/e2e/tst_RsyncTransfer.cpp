// SPDX-License-Identifier: GPL-3.0-or-later
// Real rsync over the real sshd, driven by the engine.
#include "core/engine/RsyncInvocation.h"
#include "core/engine/RsyncRunner.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdFixture.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace TestHelpers;

// Real rsync over the fixture's real sshd, driven by the engine.
class TestRsyncTransfer : public QObject
{
    Q_OBJECT

    SshdFixture *m_sshd = nullptr;
    QTemporaryDir m_dir;
    RsyncProbe m_probe;

    static void makeOddTree(const QString &root)
    {
        const QString special = QStringLiteral(" \t\"'\\$`()[]{}|&;<>*?#!~");
        QDir().mkpath(root + QStringLiteral("/nested/deeper"));
        for (const QChar c : special) {
            const QString name = QStringLiteral("x%1y").arg(c);
            writeFile(root + u'/' + name, name.toUtf8());
        }
        writeFile(root + QStringLiteral("/with space & 'quote'.txt"), "spaces");
        writeFile(root + QStringLiteral("/nested/Ünïcødé –日本語.txt"), "unicode");
        writeFile(root + QStringLiteral("/nested/deeper/-dash-first"), "dash");
        writeFile(root + QStringLiteral("/.hidden"), "hidden");
    }

    int transfer(RsyncRunner &runner, const Server &server, const BackupPath &path, const QString &target)
    {
        AppSettings settings;
        settings.deleteExtraneous = true;
        const QStringList args =
            RsyncInvocation::arguments(RsyncInvocation::common(server, settings, m_probe), path, target);
        return await(runner.runProcess(m_probe.executable, args), 60000).value_or(-1000);
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_sshd = new SshdFixture;
        QVERIFY(m_sshd->isRunning());
        m_probe = RsyncProbe::compute();
        QVERIFY(m_probe.isModern);
    }

    void cleanupTestCase() { delete m_sshd; }

    void oddNamesArriveExactly()
    {
        const QString source = m_dir.path() + QStringLiteral("/source");
        makeOddTree(source);
        BackupPath path;
        path.name = QStringLiteral("tree");
        path.remotePath = source;
        const QString target = m_dir.path() + QStringLiteral("/copy");
        RsyncRunner runner;
        const int status = transfer(runner, m_sshd->server(), path, target);
        QVERIFY2(status == 0, qPrintable(runner.logLines().join(u'\n')));
        QCOMPARE(treeDifferences(source, target), QStringList());
        // The --stats summary is the last thing rsync writes; it must be there.
        QVERIFY(runner.logLines().join(u'\n').contains(QStringLiteral("Total bytes received")));
        QVERIFY(runner.progressPercent().has_value());
    }

    void remoteFolderWithShellCharacters()
    {
        const QString source = m_dir.path() + QStringLiteral("/my dir (it's $HOME & more)");
        writeFile(source + QStringLiteral("/a.txt"), "a");
        writeFile(source + QStringLiteral("/sub/b.txt"), "b");
        BackupPath path;
        path.remotePath = source;
        const QString target = m_dir.path() + QStringLiteral("/special-copy");
        RsyncRunner runner;
        const int status = transfer(runner, m_sshd->server(), path, target);
        QVERIFY2(status == 0, qPrintable(runner.logLines().join(u'\n')));
        QCOMPARE(treeDifferences(source, target), QStringList());
    }

    void singleFileWithSpaces()
    {
        const QString file = m_dir.path() + QStringLiteral("/db file (1).sqlite");
        writeFile(file, "sqlite");
        BackupPath path;
        path.isDirectory = false;
        path.remotePath = file;
        const QString target = m_dir.path() + QStringLiteral("/file-copy");
        QDir().mkpath(target);
        RsyncRunner runner;
        QCOMPARE(transfer(runner, m_sshd->server(), path, target), 0);
        QCOMPARE(readFile(target + QStringLiteral("/db file (1).sqlite")), QByteArray("sqlite"));
    }

    void keyPathWithAQuote()
    {
        const QString keyFolder = m_dir.path() + QStringLiteral("/it's keys");
        QDir().mkpath(keyFolder);
        const QString key = keyFolder + QStringLiteral("/o'key");
        QVERIFY(QFile::copy(m_sshd->clientKey(), key));
        QFile::setPermissions(key, QFile::ReadOwner | QFile::WriteOwner);
        const QString source = m_dir.path() + QStringLiteral("/keysource");
        writeFile(source + QStringLiteral("/k.txt"), "k");
        Server server = m_sshd->server();
        server.privateKeyPath = key;
        BackupPath path;
        path.remotePath = source;
        RsyncRunner runner;
        const int status = transfer(runner, server, path, m_dir.path() + QStringLiteral("/keycopy"));
        QVERIFY2(status == 0, qPrintable(runner.logLines().join(u'\n')));
        QCOMPARE(readFile(m_dir.path() + QStringLiteral("/keycopy/k.txt")), QByteArray("k"));
    }

    void missingRemoteFolderIsPartialTransfer()
    {
        BackupPath path;
        path.remotePath = m_dir.path() + QStringLiteral("/does-not-exist");
        RsyncRunner runner;
        QCOMPARE(transfer(runner, m_sshd->server(), path, m_dir.path() + QStringLiteral("/nothing")), 23);
        // rsync's complaint arrives on standard error (in whatever order with its other output).
        QVERIFY(!runner.logLines()
                     .filter(QRegularExpression(QStringLiteral("^! rsync.*No such file or directory")))
                     .isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRsyncTransfer)
#include "tst_RsyncTransfer.moc"
