// SPDX-License-Identifier: GPL-3.0-or-later
// Host keys against a real sshd and the OpenSSH tools.
#include "core/ssh/HostKeyChecker.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"
#include "fixtures/SshdFixture.h"
#include "fixtures/TempHome.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

using namespace TestHelpers;
using namespace HostKeyChecker;

// Against the fixture's real sshd, with known_hosts in a temporary HOME.
class TestHostKeyChecker : public QObject
{
    Q_OBJECT

    SshdFixture *m_sshd = nullptr;
    std::unique_ptr<TempHome> m_home;

    QString fingerprintOfFile(const QString &publicKey)
    {
        QProcess keygen;
        keygen.start(keygenExecutable, {QStringLiteral("-l"), QStringLiteral("-f"), publicKey});
        keygen.waitForFinished();
        return QString::fromUtf8(keygen.readAllStandardOutput()).split(u' ').value(1);
    }

    QString host() const { return QStringLiteral("127.0.0.1"); }

private Q_SLOTS:
    void initTestCase()
    {
        m_sshd = new SshdFixture;
        QVERIFY(m_sshd->isRunning());
    }

    void cleanupTestCase() { delete m_sshd; }
    void init() { m_home = std::make_unique<TempHome>(); }

    void parsing()
    {
        const QString output = QStringLiteral("3072 SHA256:rsaAAAA 127.0.0.1 (RSA)\n"
                                              "256 MD5:aa:bb 127.0.0.1 (ED25519)\n"
                                              "\n"
                                              "256  SHA256:edBBBB  [127.0.0.1]:2222  ((ED25519))\n"
                                              "256 SHA256:skCCCC host (ED25519-SK)\n");
        const QList<Fingerprint> list = parseFingerprints(output);
        QCOMPARE(list.size(), 3);
        QCOMPARE(list.at(1), (Fingerprint{QStringLiteral("ED25519"), QStringLiteral("SHA256:edBBBB")}));
        QCOMPARE(preferred(list)->keyType, QStringLiteral("ED25519"));
        QCOMPARE(preferred({list.at(2)})->keyType, QStringLiteral("ED25519-SK")); // first of the list
        QVERIFY(!preferred({}));
        QCOMPARE(hostPattern(QStringLiteral("h"), 22), QStringLiteral("h"));
        QCOMPARE(hostPattern(QStringLiteral("h"), 2222), QStringLiteral("[h]:2222"));
    }

    void classification()
    {
        const Fingerprint a{QStringLiteral("ED25519"), QStringLiteral("SHA256:a")};
        const Fingerprint b{QStringLiteral("RSA"), QStringLiteral("SHA256:b")};
        QCOMPARE((Status{std::nullopt, a, std::nullopt}).state().reason, QStringLiteral("ssh-keyscan failed"));
        QCOMPARE((Status{std::nullopt, std::nullopt, QStringLiteral("x")}).state().reason, QStringLiteral("x"));
        QCOMPARE((Status{a, std::nullopt, QStringLiteral("ignored")}).state().state, Status::State::unknown);
        QCOMPARE((Status{a, a, std::nullopt}).state().state, Status::State::trusted);
        QCOMPARE((Status{a, b, std::nullopt}).state().state, Status::State::mismatch);
    }

    void liveKeyIsTheEd25519One()
    {
        const auto live = await(liveFingerprint(host(), m_sshd->port()));
        QVERIFY(live && live->has_value());
        QCOMPARE((*live)->keyType, QStringLiteral("ED25519"));
        QCOMPARE((*live)->sha256, fingerprintOfFile(m_sshd->hostPublicKey(QStringLiteral("ed25519"))));
    }

    void unknownThenTrustedAndTrustingTwiceAppendsTwice()
    {
        QVERIFY(!done(knownHostFingerprint(host(), m_sshd->port())));
        const auto trusted = await(trust(host(), m_sshd->port()));
        QVERIFY(trusted && trusted->has_value());
        const auto known = done(knownHostFingerprint(host(), m_sshd->port()));
        QVERIFY(known);
        QCOMPARE((Status{**trusted, known, std::nullopt}).state().state, Status::State::trusted);
        const int linesOnce = readFile(knownHostsFile()).count('\n');
        QVERIFY(linesOnce >= 3);
        QVERIFY(readFile(knownHostsFile()).contains(QStringLiteral("[127.0.0.1]:%1 ").arg(m_sshd->port()).toUtf8()));
        QVERIFY(await(trust(host(), m_sshd->port()))->has_value());
        QCOMPARE(readFile(knownHostsFile()).count('\n'), 2 * linesOnce);
        // Port 22 would be looked up under the bare name, which is not recorded.
        QVERIFY(!done(knownHostFingerprint(host(), 22)));
    }

    void onlyTheRsaKeyRecordedIsAMismatch()
    {
        const QByteArray rsa = readFile(m_sshd->hostPublicKey(QStringLiteral("rsa"))).split(' ').mid(0, 2).join(' ');
        writeFile(knownHostsFile(), QStringLiteral("[127.0.0.1]:%1 ").arg(m_sshd->port()).toUtf8() + rsa + '\n');
        const auto live = await(liveFingerprint(host(), m_sshd->port()));
        const auto known = done(knownHostFingerprint(host(), m_sshd->port()));
        QCOMPARE(known->keyType, QStringLiteral("RSA"));
        QCOMPARE((Status{**live, known, std::nullopt}).state().state, Status::State::mismatch);
    }

    void hashedKnownHostsAreFound()
    {
        QVERIFY(await(trust(host(), m_sshd->port()))->has_value());
        QCOMPARE(QProcess::execute(keygenExecutable, {QStringLiteral("-H"), QStringLiteral("-f"), knownHostsFile()}),
                 0);
        QVERIFY(!readFile(knownHostsFile()).contains("127.0.0.1"));
        const auto known = done(knownHostFingerprint(host(), m_sshd->port()));
        QVERIFY(known);
        QCOMPARE(known->sha256, fingerprintOfFile(m_sshd->hostPublicKey(QStringLiteral("ed25519"))));
    }

    void closedPortAnswersQuickly()
    {
        QElapsedTimer clock;
        clock.start();
        const auto live = await(liveFingerprint(host(), 1));
        QVERIFY(live && !live->has_value());
        QCOMPARE(live->error().message, QStringLiteral("No response from 127.0.0.1:1"));
        QVERIFY(clock.elapsed() < 7000);
        QVERIFY(!(await(trust(host(), 1)))->has_value());
        QVERIFY(!QFile::exists(knownHostsFile())); // a failed scan leaves it untouched
    }

    void appendNeverGluesOntoTheLastLine()
    {
        writeFile(knownHostsFile(),
                  "otherhost ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIOMqqnkVzrm0SdG6UOoqKLsabgH5C9okWi0dh2l9GKJl");
        QVERIFY(await(trust(host(), m_sshd->port()))->has_value());
        const QList<QByteArray> lines = readFile(knownHostsFile()).split('\n');
        QVERIFY(lines.first().endsWith("GKJl"));
        QVERIFY(lines.at(1).startsWith("[127.0.0.1]:"));
    }

    void unsafeHostIsRefusedBeforeAnyToolRuns()
    {
        const auto live = await(liveFingerprint(QStringLiteral("-oProxyCommand=x"), 22));
        QVERIFY(live && !live->has_value());
        QVERIFY(live->error().message.startsWith(QStringLiteral("Refusing host name")));
        QVERIFY(!(await(trust(QStringLiteral("a b"), 22)))->has_value());
        QVERIFY(!QFile::exists(knownHostsFile()));
    }
};

QTEST_GUILESS_MAIN(TestHostKeyChecker)
#include "tst_HostKeyChecker.moc"
