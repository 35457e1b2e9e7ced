// SPDX-License-Identifier: GPL-3.0-or-later
// The built binary in German: what people read is German, what scripts and
// bug reports read is the same as in English.
#include "core/engine/RsyncRunner.h"
#include "core/report/RunReporter.h"
#include "core/storage/LogStore.h"
#include "fixtures/DbusSessionFixture.h"
#include "fixtures/Files.h"
#include "fixtures/SshdBackupTest.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace TestHelpers;

class TestLanguages : public SshdBackupTest
{
    Q_OBJECT

public:
    TestLanguages()
        : SshdBackupTest(true)
    { }

private:
    QProcessEnvironment language(const QString &lang) const
    {
        QProcessEnvironment env = m_bus->environment(QProcessEnvironment());
        env.insert(QStringLiteral("LANG"), lang);
        env.insert(QStringLiteral("LANGUAGE"), QString());
        env.insert(QStringLiteral("LC_ALL"), QString());
        env.insert(QStringLiteral("LC_MESSAGES"), QString());
        // The same character set for both runs: rsync writes file names by it.
        env.insert(QStringLiteral("LC_CTYPE"), QStringLiteral("C.UTF-8"));
        env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
        return env;
    }

    Outcome run(const QStringList &arguments, const QString &lang) const
    {
        return runTidewell(m_s->home, arguments, language(lang));
    }

    // Times, durations, sizes and speeds differ from run to run (also in how
    // many digits they have); every word stays.
    static QStringList withoutNumbers(const QByteArray &text)
    {
        static const QRegularExpression digits(QStringLiteral("[0-9]+"));
        return QString::fromUtf8(text).replace(digits, QStringLiteral("0")).split(u'\n');
    }

    QString lastNotification() const { return m_bus->notifications().last().value(QStringLiteral("body")).toString(); }

    // Whether the C library has the locale (test.sh generates de_DE and fr_FR).
    static bool nearlyEqual(double a, double b) { return std::abs(a - b) <= std::max(a, b) / 100; }

    static bool available(const QByteArray &locale)
    {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
        probe.setProcessEnvironment(env);
        probe.start(QStringLiteral("/usr/bin/locale"), {QStringLiteral("decimal_point")});
        probe.waitForFinished();
        return probe.exitCode() == 0 && probe.readAllStandardError().isEmpty();
    }

private Q_SLOTS:
    void initTestCase()
    {
        SshdBackupTest::initTestCase();
        for (const QByteArray locale : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (!available(locale))
                QFAIL(qPrintable(QStringLiteral("the locale %1 is not generated: run ./test.sh, which makes it")
                                     .arg(QString::fromLatin1(locale))));
        }
    }

    // rsync writes its statistics in the user's locale ("1.501", "200,01K"
    // in German): the totals of a run read the same in every language,
    // digits included, in the log and in what the webhook is sent.
    void numbersReadTheSameInEveryLanguage()
    {
        for (int i = 0; i < 1500; ++i)
            writeFile(m_s->remote + QStringLiteral("/many/f%1.txt").arg(i), QByteArray::number(i));
        QFile blob(m_s->remote + QStringLiteral("/many/blob.bin"));
        QVERIFY(blob.open(QIODevice::WriteOnly));
        for (int i = 0; i < 50000; ++i)
            blob.write(QByteArray::number(quint32(i * 2654435761u), 16));
        blob.close();
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Many"), m_s->remote)});
        const QStringList backup{QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)};
        QStringList summaries;
        for (const QString &lang :
             {QStringLiteral("C.UTF-8"), QStringLiteral("de_DE.UTF-8"), QStringLiteral("fr_FR.UTF-8")}) {
            QVERIFY(QDir(m_s->destination).removeRecursively());
            QProcessEnvironment env = language(lang);
            env.insert(QStringLiteral("LC_CTYPE"), lang); // all of it in that language
            QCOMPARE(runTidewell(m_s->home, backup, env).status, 0);
            const QStringList lines = m_s->logOf(server).filter(QStringLiteral("Snapshot: "));
            QCOMPARE(lines.size(), 1);
            summaries << lines.first();
        }
        // The bytes received differ by a few between runs (rsync's own
        // bookkeeping); a number read in the wrong locale is off a hundredfold.
        static const QRegularExpression shape(QStringLiteral("^Snapshot: 1,501 files, (\\d+\\.\\d\\d)K received$"));
        QList<double> received;
        for (const QString &summary : std::as_const(summaries)) {
            const QRegularExpressionMatch match = shape.match(summary);
            QVERIFY2(match.hasMatch(), qPrintable(summary));
            received << match.captured(1).toDouble();
        }
        QVERIFY2(nearlyEqual(received.at(1), received.first()), qPrintable(summaries.join(u'\n')));
        QVERIFY2(nearlyEqual(received.at(2), received.first()), qPrintable(summaries.join(u'\n')));

        // The run's own numbers (the webhook's "files" and "bytesReceived"),
        // with the whole locale set at once.
        QList<RsyncStats> stats;
        for (const QByteArray locale : {"C.UTF-8", "de_DE.UTF-8"}) {
            QVERIFY(QDir(m_s->destination).removeRecursively());
            const QByteArray before = qgetenv("LC_ALL");
            qputenv("LC_ALL", locale);
            std::optional<RsyncStats> seen;
            const auto run = m_s->runOn(QDate::currentDate(), server, [&](RsyncRunner &runner) {
                QObject::connect(&runner, &RsyncRunner::runFinished, &runner,
                                 [&runner, &seen] { seen = runner.runStats(); });
            });
            qputenv("LC_ALL", before);
            QCOMPARE(run.exitCode, 0);
            QVERIFY(seen);
            stats << *seen;
        }
        QCOMPARE(stats.first().files, 1501);
        QCOMPARE(stats.at(1).files, stats.first().files);
        QVERIFY(nearlyEqual(double(stats.at(1).bytesReceived), double(stats.first().bytesReceived)));
        RunReporter::Run run;
        run.server = server;
        run.exitCode = 0;
        run.stats = stats.at(1);
        const QJsonObject german = QJsonDocument::fromJson(RunReporter::webhookDocument(run)).object();
        QCOMPARE(german.value(QStringLiteral("files")).toInteger(), 1501);
        QVERIFY(
            nearlyEqual(german.value(QStringLiteral("bytesReceived")).toDouble(), double(stats.first().bytesReceived)));
    }

    void germanForPeopleEnglishForScripts()
    {
        writeFile(m_s->remote + QStringLiteral("/site/index.html"), "<html>");
        writeFile(m_s->remote + QStringLiteral("/site/a/b.txt"), "b");
        const Server server = m_s->writeConfig({BackupScenario::path(QStringLiteral("Site"), m_s->remote)});
        const QStringList backup{QStringLiteral("--run-backup"), server.id.toString(QUuid::WithoutBraces)};
        // The first contact records the host key (and says so): not compared.
        QCOMPARE(run(backup, QStringLiteral("C.UTF-8")).status, 0);

        const int before = int(m_bus->notifications().size());
        QCOMPARE(run(backup, QStringLiteral("C.UTF-8")).status, 0);
        const QByteArray englishLog = readFile(LogStore::logFile(server.id));
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 1, 5000);
        QCOMPARE(lastNotification(), QStringLiteral("✓ web: prod — backup completed"));

        const Outcome german = run(backup, QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(german.status, 0);
        const QByteArray germanLog = readFile(LogStore::logFile(server.id));
        QTRY_COMPARE_WITH_TIMEOUT(m_bus->notifications().size(), before + 2, 5000);
        QCOMPARE(lastNotification(), QStringLiteral("✓ web: prod – Sicherung abgeschlossen"));
        QVERIFY(englishLog.contains("=== All backups completed ==="));
        QCOMPARE(withoutNumbers(germanLog), withoutNumbers(englishLog));

        // --status: German words around the same facts; --json and --nagios as in English.
        const Outcome englishStatus = run({QStringLiteral("--status")}, QStringLiteral("C.UTF-8"));
        const Outcome germanStatus = run({QStringLiteral("--status")}, QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(germanStatus.status, englishStatus.status);
        QVERIFY2(englishStatus.out.startsWith("web: prod: not scheduled; last run "), englishStatus.out.constData());
        QVERIFY2(germanStatus.out.startsWith("web: prod: nicht geplant; letzter Lauf "), germanStatus.out.constData());
        QVERIFY2(germanStatus.out.contains("; nächster Lauf keiner\n"), germanStatus.out.constData());
        const QRegularExpression checkedAt(QStringLiteral("\"checkedAt\": \"[^\"]*\""));
        const auto json = [&](const QString &lang) {
            const Outcome outcome = run({QStringLiteral("--status"), QStringLiteral("--json")}, lang);
            return QString::fromUtf8(outcome.out).remove(checkedAt);
        };
        const QString englishJson = json(QStringLiteral("C.UTF-8"));
        QVERIFY(englishJson.contains(QStringLiteral("\"health\": \"not scheduled\"")));
        QCOMPARE(json(QStringLiteral("de_DE.UTF-8")), englishJson);
        QCOMPARE(run({QStringLiteral("--status"), QStringLiteral("--nagios")}, QStringLiteral("de_DE.UTF-8")).out,
                 run({QStringLiteral("--status"), QStringLiteral("--nagios")}, QStringLiteral("C.UTF-8")).out);

        // Help and command-line mistakes, for people.
        QVERIFY(run({QStringLiteral("--help")}, QStringLiteral("de_DE.UTF-8")).out.startsWith("Aufruf: tidewell"));
        QVERIFY(run({QStringLiteral("--help")}, QStringLiteral("fr_FR.UTF-8")).out.startsWith("Utilisation"));
        const Outcome mistake = run({QStringLiteral("--run-backup")}, QStringLiteral("de_DE.UTF-8"));
        QCOMPARE(mistake.status, 2);
        QCOMPARE(
            mistake.err,
            QByteArray("tidewell: --run-backup braucht die ID oder den Namen eines Servers (siehe tidewell --help)\n"));
    }
};

QTEST_GUILESS_MAIN(TestLanguages)
#include "tst_Languages.moc"
