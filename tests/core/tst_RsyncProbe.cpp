// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing and classifying rsync.
#include "core/engine/RsyncProbe.h"
#include "fixtures/Files.h"

#include <QTemporaryDir>
#include <QTest>

using namespace TestHelpers;

class TestRsyncProbe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void classify_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("modern");
        QTest::addColumn<QString>("version");
        QTest::newRow("3.2.7") << "rsync  version 3.2.7  protocol version 31\n" << true << "3.2.7";
        QTest::newRow("2.6.9") << "rsync  version 2.6.9  protocol version 29" << false << "";
        QTest::newRow("openrsync") << "openrsync: protocol version 29\nrsync version 3.0.0 compatible" << false << "";
        QTest::newRow("OpenRsync any case") << "OpenRSYNC version 4.0." << false << "";
        QTest::newRow("capital V") << "Version 3.1.0" << false << "";
        QTest::newRow("10.0") << "rsync version 10.0" << true << "10.0";
        QTest::newRow("no full stop") << "rsync version 3" << false << "";
        QTest::newRow("nothing") << "" << false << "";
    }

    void classify()
    {
        QFETCH(QString, output);
        QFETCH(bool, modern);
        QFETCH(QString, version);
        const RsyncProbe probe = RsyncProbe::classify(QStringLiteral("/x/rsync"), output);
        QCOMPARE(probe.isModern, modern);
        QCOMPARE(probe.executable, QStringLiteral("/x/rsync"));
        if (modern)
            QCOMPARE(probe.version.toString(), version);
    }

    void firstExecutableCandidateWinsEvenWhenOld()
    {
        QTemporaryDir dir;
        const QString marker = dir.path() + QStringLiteral("/runs");
        const QByteArray body = "echo run >> '" + marker.toUtf8() + "'\n";
        const QString missing = dir.path() + QStringLiteral("/missing");
        const QString notExecutable = dir.path() + QStringLiteral("/plain");
        writeFile(notExecutable, "#!/bin/sh\necho rsync version 3.2.7\n");
        const QString old = writeScript(dir.path() + QStringLiteral("/old"),
                                        body + "echo 'rsync  version 2.6.9  protocol version 29'\n");
        const QString modern = writeScript(dir.path() + QStringLiteral("/modern"),
                                           body + "echo 'rsync  version 3.2.7  protocol version 31'\n");

        RsyncProbe probe = RsyncProbe::compute({missing, notExecutable, old, modern});
        QCOMPARE(probe.executable, old);
        QVERIFY(!probe.isModern);
        QCOMPARE(readFile(marker), QByteArray("run\n"));

        probe = RsyncProbe::compute({missing, modern});
        QCOMPARE(probe.executable, modern);
        QVERIFY(probe.isModern);
    }

    // The version is asked once per binary: a changed binary (another size
    // or time) is asked again.
    void theVersionIsCachedPerBinary()
    {
        QTemporaryDir dir;
        const QString calls = dir.path() + QStringLiteral("/calls");
        const QString rsync = recordingScript(dir.path() + QStringLiteral("/rsync"), calls,
                                              "echo 'rsync  version 3.2.7  protocol version 31'\n");
        const QString cache = dir.path() + QStringLiteral("/data/rsync-version.json");
        const auto callCount = [&] { return readFile(calls).count('\n'); };
        QVERIFY(RsyncProbe::computeCached(cache, {rsync}).needsOldArgs());
        QCOMPARE(callCount(), 1);
        const RsyncProbe again = RsyncProbe::computeCached(cache, {rsync});
        QCOMPARE(callCount(), 1);
        QCOMPARE(again.version, QVersionNumber(3, 2, 7));
        QCOMPARE(again.executable, rsync);

        // An upgrade replaces the binary.
        recordingScript(rsync, calls, "echo 'rsync  version 3.2.3  protocol version 31'  # older\n");
        QVERIFY(!RsyncProbe::computeCached(cache, {rsync}).needsOldArgs());
        QCOMPARE(callCount(), 2);
        // A damaged cache is asked past.
        QVERIFY(writeFile(cache, "{"));
        QCOMPARE(RsyncProbe::computeCached(cache, {rsync}).version, QVersionNumber(3, 2, 3));
        QCOMPARE(callCount(), 3);
    }

    void noCandidateFallsBackWithoutRunningAnything()
    {
        const RsyncProbe probe = RsyncProbe::compute({QStringLiteral("/nonexistent/rsync"), QStringLiteral("/tmp")});
        QCOMPARE(probe.executable, QStringLiteral("/usr/bin/rsync"));
        QVERIFY(!probe.isModern);
    }

    void invalidUtf8IsNotModern()
    {
        QTemporaryDir dir;
        const QString bad = writeScript(dir.path() + QStringLiteral("/bad"), "printf 'rsync version 3.2.7 \\377\\n'\n");
        QVERIFY(!RsyncProbe::probeIsModern(bad));
    }

    void thisMachinesRsyncIsModern()
    {
        if (!QFile::exists(QStringLiteral("/usr/bin/rsync")))
            QSKIP("rsync is not installed");
        QVERIFY(RsyncProbe::probeIsModern(QStringLiteral("/usr/bin/rsync")));
    }
};

QTEST_GUILESS_MAIN(TestRsyncProbe)
#include "tst_RsyncProbe.moc"
