// SPDX-License-Identifier: GPL-3.0-or-later
// Running a child and streaming its output into the live log.
#include "core/engine/OutputDecoder.h"
#include "core/engine/RsyncRunner.h"
#include "core/engine/RunLog.h"
#include "fixtures/Await.h"
#include "fixtures/Files.h"

#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <signal.h>

using namespace TestHelpers;

class TestRsyncRunnerProcess : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString script(const char *name, const QByteArray &body)
    {
        return writeScript(m_dir.path() + u'/' + QLatin1String(name), body);
    }

    static int runScript(RsyncRunner &runner, const QString &program, QStringList args = {})
    {
        // await() fails the test if the event loop stalls while the child runs.
        return await(runner.runProcess(program, args), 30000).value_or(-1000);
    }

private Q_SLOTS:
    void linesProgressAndStreams()
    {
        RsyncRunner runner;
        const QString program =
            script("mixed", "printf '  1.23G  45%%  10.5MB/s    0:01:02 (xfr#12, to-chk=3/40)\\r'\n"
                            "printf 'a\\r\\rb\\n'\n"
                            "printf 'rsync error: some files could not be transferred (code 23)\\n' >&2\n"
                            "sleep 0.1\nprintf '50%%\\n' >&2\n"
                            "sleep 0.1\nprintf 'x 1234%% y 7%%\\n'\n"
                            "sleep 0.1\nprintf 'no percent\\n'\n"
                            "exit 23\n");
        QCOMPARE(runScript(runner, program), 23);
        const QStringList lines = runner.logLines();
        QVERIFY(lines.contains(QStringLiteral("  1.23G  45%  10.5MB/s    0:01:02 (xfr#12, to-chk=3/40)")));
        QVERIFY(lines.contains(QStringLiteral("a")) && lines.contains(QStringLiteral("b")));
        QVERIFY(lines.contains(QStringLiteral("! rsync error: some files could not be transferred (code 23)")));
        QVERIFY(lines.contains(QStringLiteral("! 50%")));
        QCOMPARE(lines.last(), QStringLiteral("no percent"));
        QCOMPARE(runner.progressPercent(), std::optional<double>(234)); // leftmost 1–3 digits, unchanged after
    }

    void percentMatchesTheRegularExpression_data()
    {
        QTest::addColumn<QString>("line");
        for (const char *line : {"45%", "  1.23G  45%  10.5MB/s", "1234%", "% 5%", "a%b%7%", "100%%", "x 0% y 99%",
                                 "no percent", "12 %", "٣٤%", "5%%6%", "%"})
            QTest::newRow(line) << QString::fromUtf8(line);
    }

    // The hand-written scan must agree with the documented pattern.
    void percentMatchesTheRegularExpression()
    {
        QFETCH(QString, line);
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("(\\d{1,3})%")).match(line);
        std::optional<double> expected;
        bool ok = false;
        if (match.hasMatch()) {
            const double value = match.captured(1).toDouble(&ok);
            if (ok)
                expected = value;
        }
        QCOMPARE(RunLog::leftmostPercent(line), expected);
    }

    void progressLines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("progress");
        QTest::newRow("progress2") << "  1.23G  45%  10.5MB/s    0:01:02 (xfr#12, to-chk=3/40)" << true;
        QTest::newRow("plain numbers") << "     32,768 100%   31.25MB/s    0:00:00 (xfr#1, to-chk=0/1)" << true;
        QTest::newRow("unit with B") << "  12.5MB  7%" << true;
        QTest::newRow("a file name") << "docs/a.txt" << false;
        QTest::newRow("stats") << "Number of files: 5,001 (reg: 5,000, dir: 1)" << false;
        QTest::newRow("percent without size") << "45% done" << false;
        QTest::newRow("words first") << "x 1234% y 7%" << false;
        QTest::newRow("four digits") << "  12 1000%" << false;
    }

    void progressLines()
    {
        QFETCH(QString, line);
        QFETCH(bool, progress);
        QCOMPARE(RunLog::isProgressLine(line), progress);
    }

    void progressUpdatesReplaceEachOther()
    {
        RunLog log;
        log.append(QStringLiteral("$ rsync …"));
        log.appendOutput({QStringLiteral("a.txt"), QStringLiteral("  1.00K  10%"), QStringLiteral("  2.00K  20%")},
                         false);
        log.appendOutput({QStringLiteral("  3.00K  30%")}, false);
        QCOMPARE(log.lines(),
                 (QStringList{QStringLiteral("$ rsync …"), QStringLiteral("a.txt"), QStringLiteral("  3.00K  30%")}));
        QCOMPARE(log.serial(), 3);
        QCOMPARE(log.revision(), 2);
        // Any other line ends the stretch: the next update starts a new line.
        log.appendOutput({QStringLiteral("oops")}, true);
        log.appendOutput({QStringLiteral("  4.00K  40%"), QStringLiteral("Number of files: 2")}, false);
        QCOMPARE(log.lines().mid(3), (QStringList{QStringLiteral("! oops"), QStringLiteral("  4.00K  40%"),
                                                  QStringLiteral("Number of files: 2")}));
        // 10,000 updates leave the lines before them alone.
        QStringList updates;
        for (int i = 0; i < 10000; ++i)
            updates << QStringLiteral("  %1K  50%").arg(i);
        log.appendOutput(updates, false);
        QCOMPARE(log.lines().first(), QStringLiteral("$ rsync …"));
        QCOMPARE(log.lines().size(), 7);
    }

    void aLineCutExactlyAtItsLimitIsMarkedOnce()
    {
        // The pipe can hand over exactly the longest line a log keeps, and
        // the rest of that line later.
        OutputDecoder decoder;
        const QStringList first = decoder.feed(QByteArray(OutputDecoder::maxLineLength, 'y'));
        const QStringList rest = decoder.feed("yyy\nnext\n");
        QCOMPARE(first.size(), 1);
        QCOMPARE(first.first().size(), OutputDecoder::maxLineLength + 1);
        QVERIFY(first.first().endsWith(QStringLiteral("…")));
        QCOMPARE(rest, QStringList{QStringLiteral("next")});
    }

    void endlessLinesAreCutAndEscapesShown()
    {
        RsyncRunner runner;
        const QString program = script("hostile", "printf '\\033]0;pwned\\007 title \\033[2J clear\\n'\n"
                                                  "head -c 20000000 /dev/zero | tr '\\0' y >&2\n"
                                                  "printf '\\nafter\\n' >&2\n");
        QCOMPARE(runScript(runner, program), 0);
        const QStringList lines = runner.logLines();
        QVERIFY(lines.contains(QStringLiteral("^[]0;pwned^G title ^[[2J clear")));
        // However the pipe cuts it, the line keeps its first 16 KiB, marked as cut; the rest is dropped.
        const QStringList pieces = lines.filter(QStringLiteral("yy"));
        QCOMPARE(pieces.join(QString()).count(u'y'), OutputDecoder::maxLineLength);
        QStringList shapes;
        for (const QString &piece : pieces)
            shapes << QString::number(piece.size())
                          + (piece.endsWith(QStringLiteral("…")) ? QStringLiteral("…") : QString());
        QVERIFY2(pieces.last().endsWith(QStringLiteral("…")), qPrintable(shapes.join(u' ')));
        QCOMPARE(lines.last(), QStringLiteral("! after"));
    }

    void lineSplitAcrossReadsBecomesTwoLines()
    {
        RsyncRunner runner;
        const QString program = script("split", "printf 'abc'\nsleep 0.3\nprintf 'def\\n'\n");
        QCOMPARE(runScript(runner, program), 0);
        QCOMPARE(runner.logLines(), (QStringList{QStringLiteral("abc"), QStringLiteral("def")}));
    }

    void invalidUtf8KeepsTheOtherLines()
    {
        RsyncRunner runner;
        // A bad byte in a chunk, then "é" cut in the middle of its two bytes.
        const QString program =
            script("bytes", "printf 'good\\nbad \\377 byte\\nhalf \\303'\nsleep 0.3\nprintf '\\251 done\\n'\n");
        QCOMPARE(runScript(runner, program), 0);
        QCOMPARE(runner.logLines(), (QStringList{QStringLiteral("good"), QStringLiteral("bad \uFFFD byte"),
                                                 QStringLiteral("half "), QStringLiteral("é done")}));
    }

    void theTailOfTheOutputIsNeverLost()
    {
        RsyncRunner runner;
        // Much output right before the end, as rsync's --stats summary.
        const QString program = script(
            "tail",
            "i=0; while [ $i -lt 3000 ]; do echo \"line $i\"; i=$((i+1)); done\necho 'Total bytes received: 42'\n");
        QCOMPARE(runScript(runner, program), 0);
        QCOMPARE(runner.logLines().size(), 3001);
        QCOMPARE(runner.logLines().last(), QStringLiteral("Total bytes received: 42"));
    }

    void failedStartReturnsMinusOne()
    {
        RsyncRunner runner;
        QCOMPARE(runScript(runner, QStringLiteral("/nonexistent/rsync")), -1);
        QCOMPARE(runner.logLines().size(), 1);
        QVERIFY(runner.logLines().first().startsWith(QStringLiteral("Failed to start rsync: ")));
    }

    // However much is written, the log keeps its opening lines, Tidewell's
    // own lines and the newest output, and says what it dropped between.
    void theLogStaysSmall()
    {
        RsyncRunner runner;
        QSignalSpy changes(&runner, &RsyncRunner::logLinesChanged);
        for (int i = 1; i <= 4001; ++i)
            runner.append(QString::number(i));
        QVERIFY(runner.logLines().size() <= RunLog::maxLines);
        QCOMPARE(runner.logLines().first(), QStringLiteral("1"));
        QCOMPARE(runner.logLines().last(), QStringLiteral("4001"));
        QCOMPARE(changes.count(), 4001);

        RunLog log;
        log.append(QStringLiteral("$ rsync …"));
        const QString wide(16 * 1024, u'x');
        for (int i = 0; i < 2000; ++i) {
            log.appendOutput({wide}, true);
            if (i == 1000)
                log.append(QStringLiteral("→ exit 23"));
        }
        log.appendOutput({QStringLiteral("rsync error: the end")}, true);
        qsizetype chars = 0;
        for (const QString &line : log.lines())
            chars += line.size();
        QVERIFY(chars <= RunLog::maxChars);
        QCOMPARE(log.lines().first(), QStringLiteral("$ rsync …"));
        QVERIFY(log.lines().contains(QStringLiteral("→ exit 23")));
        QCOMPARE(log.lines().last(), QStringLiteral("! rsync error: the end"));
        QCOMPARE(log.lines().filter(QStringLiteral("were dropped here")).size(), 1);
        QVERIFY(log.droppedLines() > 1500);
    }

    void cancelWithoutProcessOnlySetsTheFlag()
    {
        RsyncRunner runner;
        runner.cancel();
        QVERIFY(runner.wasCancelled());
        QVERIFY(runner.logLines().isEmpty());
    }

    void cancelTerminatesTheChildAndItsChildren()
    {
        RsyncRunner runner;
        const QString pidFile = m_dir.path() + QStringLiteral("/grandchild.pid");
        const QString program = script("tree", "sleep 60 &\necho $! > '" + pidFile.toUtf8() + "'\nwait\n");
        QTimer::singleShot(500, &runner, &RsyncRunner::cancel);
        const int status = runScript(runner, program);
        QCOMPARE(status, SIGTERM); // ended by the signal
        const pid_t grandchild = readFile(pidFile).trimmed().toInt();
        QVERIFY(grandchild > 0);
        QTRY_VERIFY_WITH_TIMEOUT(::kill(grandchild, 0) != 0, 3000);
    }

    void destroyingTheRunnerWhileWaitingIsSafe()
    {
        auto *runner = new RsyncRunner;
        const QString program = script("slow", "echo start\nsleep 0.5\necho end\n");
        bool resumed = false;
        QCoro::connect(runner->runProcess(program, {}), this, [&](int) { resumed = true; });
        QTest::qWait(200);
        delete runner; // terminates the child; the coroutine must not touch the runner
        QTRY_VERIFY_WITH_TIMEOUT(resumed, 5000);
    }
};

QTEST_GUILESS_MAIN(TestRsyncRunnerProcess)
#include "tst_RsyncRunnerProcess.moc"
