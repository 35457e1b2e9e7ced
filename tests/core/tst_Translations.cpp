// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogues as the program loads them: which language, plural forms,
// and messages that stay English for the logs.
#include "core/model/Phrase.h"
#include "core/model/ServerCheck.h"
#include "core/presentation/Formatting.h"
#include "core/presentation/OverdueWatch.h"
#include "core/presentation/ServerRules.h"
#include "core/system/NotificationService.h"
#include "core/system/Translations.h"

#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QStringList builtCatalogues{QStringLiteral(TIDEWELL_BUILD_DIR "/translations")};

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        // The next test, and the rest of the suite, read English again.
        Translations::install(QLocale(QLocale::C), builtCatalogues);
    }

    void theLanguageFollowsTheUsersOrder_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("loaded");
        QTest::newRow("German of Germany") << "de_DE"
                                           << "de";
        QTest::newRow("German of Austria") << "de_AT"
                                           << "de";
        QTest::newRow("French of Canada") << "fr_CA"
                                          << "fr";
        QTest::newRow("English") << "en_GB"
                                 << "en";
        QTest::newRow("C") << "C"
                           << "en";
        QTest::newRow("no catalogue: English") << "es_ES"
                                               << "en";
    }

    void theLanguageFollowsTheUsersOrder()
    {
        QFETCH(QString, locale);
        QFETCH(QString, loaded);
        QCOMPARE(Translations::install(QLocale(locale), builtCatalogues), loaded);
        const QString ago = Formatting::relativeTime(QDateTime(QDate(2026, 6, 1), QTime(12, 0)),
                                                     QDateTime(QDate(2026, 6, 3), QTime(12, 0)));
        if (loaded.startsWith(QLatin1String("de")))
            QCOMPARE(ago, QStringLiteral("vor 2 Tagen"));
        else if (loaded.startsWith(QLatin1String("fr")))
            QCOMPARE(ago, QStringLiteral("il y a 2 jours"));
        else
            QCOMPARE(ago, QStringLiteral("2 days ago"));
    }

    // A damaged catalogue is never installed or never read outside itself:
    // 300 damaged copies of the German one (bytes flipped, cut short, a
    // length or an offset made huge), each installed and asked for every
    // text the program has, in every plural form. A crash fails the test.
    void damagedCataloguesAreRefusedOrHarmless()
    {
        QFile built(QStringLiteral(TIDEWELL_BUILD_DIR "/translations/tidewell_de.qm"));
        QVERIFY(built.open(QIODevice::ReadOnly));
        const QByteArray sound = built.readAll();
        QVERIFY(Translations::check(sound).has_value());
        QList<std::pair<QByteArray, QByteArray>> texts; // context, source
        QFile ts(QStringLiteral(TIDEWELL_SOURCE_DIR "/translations/tidewell_de.ts"));
        QVERIFY(ts.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&ts);
        QByteArray context;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == QLatin1String("name"))
                context = xml.readElementText().toUtf8();
            else if (xml.name() == QLatin1String("source"))
                texts << std::pair{context, xml.readElementText().toUtf8()};
        }
        QVERIFY(texts.size() > 300);
        QTemporaryDir folder;
        QRandomGenerator random(20261208);
        int refused = 0;
        for (int round = 0; round < 300; ++round) {
            QByteArray damaged = sound;
            const auto anywhere = [&] { return 16 + int(random.bounded(quint32(damaged.size() - 16))); };
            switch (round % 4) {
            case 0:
                for (int flips = 1 + int(random.bounded(16)); flips > 0; --flips)
                    damaged[anywhere()] = char(random.bounded(256));
                break;
            case 1:
                damaged.truncate(anywhere());
                break;
            case 2: {
                // A length or an offset: four bytes made huge or odd.
                const int at = anywhere() & ~3;
                const quint32 value = random.bounded(2) ? 0xfffffff8u - random.bounded(64) : random.generate();
                for (int i = 0; i < 4 && at + i < damaged.size(); ++i)
                    damaged[at + i] = char(value >> (24 - 8 * i));
                break;
            }
            default:
                // A context table that points nowhere, put in front.
                damaged.insert(16, QByteArray::fromHex("2f00000004000000ff"));
                break;
            }
            QFile file(folder.path() + QStringLiteral("/tidewell_de.qm"));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(damaged);
            file.close();
            if (!Translations::check(damaged))
                ++refused;
            Translations::install(QLocale(QStringLiteral("de_DE")), {folder.path()});
            for (const auto &[where, source] : std::as_const(texts)) {
                for (const int n : {-1, 1, 2, 5})
                    (void)QCoreApplication::translate(where.constData(), source.constData(), nullptr, n);
            }
        }
        QVERIFY2(refused > 100, qPrintable(QString::number(refused)));
        // A cut one is refused with one warning, and English is spoken.
        QFile cut(folder.path() + QStringLiteral("/tidewell_de.qm"));
        QVERIFY(cut.open(QIODevice::WriteOnly | QIODevice::Truncate));
        cut.write(sound.left(sound.size() / 2));
        cut.close();
        QVERIFY(!Translations::check(sound.left(sound.size() / 2)));
        QVERIFY(QFile::copy(QStringLiteral(TIDEWELL_BUILD_DIR "/translations/tidewell_en.qm"),
                            folder.path() + QStringLiteral("/tidewell_en.qm")));
        QCOMPARE(Translations::install(QLocale(QStringLiteral("de_DE")), {folder.path()}), QStringLiteral("en"));
        QCOMPARE(Formatting::relativeTime(QDateTime(QDate(2026, 6, 1), QTime(12, 0)),
                                          QDateTime(QDate(2026, 6, 3), QTime(12, 0))),
                 QStringLiteral("2 days ago"));
    }

    void aFolderWithoutCataloguesLeavesTheSourceTexts()
    {
        QCOMPARE(Translations::install(QLocale(QStringLiteral("de_DE")), {QStringLiteral("/nonexistent")}), QString());
        QCOMPARE(ServerRules::healthStatus(Server(), false, QDateTime::currentDateTime()).label,
                 QStringLiteral("Never ran"));
    }

    void pluralForms_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("days");
        QTest::addColumn<QString>("ago");
        QTest::addColumn<QString>("attention");
        QTest::newRow("en 1") << "C" << 1 << "1 day ago"
                              << "⚠ 1 server needs attention";
        QTest::newRow("en 2") << "C" << 2 << "2 days ago"
                              << "⚠ 2 servers need attention";
        QTest::newRow("en 5") << "C" << 5 << "5 days ago"
                              << "⚠ 5 servers need attention";
        QTest::newRow("de 1") << "de_DE" << 1 << "vor 1 Tag"
                              << "⚠ 1 Server braucht Aufmerksamkeit";
        QTest::newRow("de 2") << "de_DE" << 2 << "vor 2 Tagen"
                              << "⚠ 2 Server brauchen Aufmerksamkeit";
        QTest::newRow("de 5") << "de_DE" << 5 << "vor 5 Tagen"
                              << "⚠ 5 Server brauchen Aufmerksamkeit";
        QTest::newRow("fr 1") << "fr_FR" << 1 << "il y a 1 jour"
                              << "⚠ 1 serveur demande votre attention";
        QTest::newRow("fr 2") << "fr_FR" << 2 << "il y a 2 jours"
                              << "⚠ 2 serveurs demandent votre attention";
        QTest::newRow("fr 5") << "fr_FR" << 5 << "il y a 5 jours"
                              << "⚠ 5 serveurs demandent votre attention";
    }

    void pluralForms()
    {
        QFETCH(QString, locale);
        QFETCH(int, days);
        QFETCH(QString, ago);
        QFETCH(QString, attention);
        Translations::install(QLocale(locale), builtCatalogues);
        const QDateTime now(QDate(2026, 6, 10), QTime(12, 0));
        QCOMPARE(Formatting::relativeTime(now.addDays(-days), now), ago);
        QStringList names;
        for (int i = 0; i < days; ++i)
            names << QStringLiteral("s%1").arg(i);
        QCOMPARE(OverdueWatch::summaryText(names).section(u'\n', 0, 0), attention);
    }

    void wholeSentencesKeepTheirNamesWhereTheLanguageWantsThem()
    {
        Translations::install(QLocale(QStringLiteral("de_DE")), builtCatalogues);
        Server server;
        server.name = QStringLiteral("web %1 & “prod”");
        QCOMPARE(NotificationService::contentFor(server, 0, false).body,
                 QStringLiteral("✓ web %1 & “prod” – Sicherung abgeschlossen"));
        QCOMPARE(NotificationService::contentFor(server, 23, false).body,
                 QStringLiteral("✗ web %1 & “prod” – Sicherung fehlgeschlagen (Exit-Code 23)"));
        // The engine's warning is English in the log and translated here.
        QCOMPARE(
            NotificationService::contentFor(server, 0, false, QStringLiteral("old backups could not be deleted")).body,
            QStringLiteral("⚠ web %1 & “prod” – Sicherung abgeschlossen, aber alte Sicherungen konnten nicht "
                           "gelöscht werden"));
        Translations::install(QLocale(QStringLiteral("fr_FR")), builtCatalogues);
        QCOMPARE(ServerRules::duplicate(server).name, QStringLiteral("web %1 & “prod” (copie)"));
    }

    void problemsAreEnglishForTheLogAndTranslatedForTheWindow()
    {
        Translations::install(QLocale(QStringLiteral("de_DE")), builtCatalogues);
        Server server;
        server.host = QStringLiteral("-oProxyCommand=x");
        server.username = QStringLiteral("deploy");
        BackupPath path;
        path.name = QStringLiteral("Site");
        path.enabled = true;
        server.paths << path;
        const QList<ServerCheck::Problem> found = ServerCheck::problems(server, {});
        QCOMPARE(found.size(), 2);
        QCOMPARE(found.at(0).message, QStringLiteral("Refusing host name “-oProxyCommand=x”: it begins with “-” and "
                                                     "would be read as an ssh option."));
        QCOMPARE(found.at(0).shown, QStringLiteral("Hostname „-oProxyCommand=x“ abgelehnt: Er beginnt mit „-“ und "
                                                   "würde als ssh-Option gelesen."));
        QCOMPARE(found.at(1).message, QStringLiteral("Path “Site” has no remote path — set it in this server's "
                                                     "settings or turn the path off."));
        QVERIFY(found.at(1).shown.startsWith(QStringLiteral("Der Pfad „Site“ hat keinen entfernten Pfad")));
        // The engine's check, which writes the log, says it in English.
        QCOMPARE(ServerCheck::checkHost(server.host).error().message, found.at(0).message);
    }

    void argumentsArePutInOnce()
    {
        // A name holding "%2" is not filled in again.
        QCOMPARE(Phrase::fill(QStringLiteral("%1 and %2"), {QStringLiteral("a%2"), QStringLiteral("b")}),
                 QStringLiteral("a%2 and b"));
        QCOMPARE(Phrase::fill(QStringLiteral("100% of %1, %3"), {QStringLiteral("x")}),
                 QStringLiteral("100% of x, %3"));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_Translations.moc"
