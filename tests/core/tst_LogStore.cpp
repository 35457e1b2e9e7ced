// SPDX-License-Identifier: GPL-3.0-or-later
// Run log files and their header.
#include "core/storage/LogStore.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"

#include <QTest>
#include <QTimeZone>

#include <ctime>

using namespace TestHelpers;

class TestLogStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void statusWords()
    {
        QCOMPARE(LogStore::statusWord(true, 0), QStringLiteral("CANCELLED"));
        QCOMPARE(LogStore::statusWord(false, std::nullopt), QStringLiteral("UNKNOWN"));
        QCOMPARE(LogStore::statusWord(false, 0), QStringLiteral("SUCCESS"));
        QCOMPARE(LogStore::statusWord(false, 23), QStringLiteral("FAILED (exit 23)"));
        QCOMPARE(LogStore::statusWord(false, -1), QStringLiteral("FAILED (exit -1)"));
    }

    void initTestCase()
    {
        // Central European time, named by its rule so no zone database is needed.
        qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
        ::tzset();
    }

    void headerInTheLocalZone()
    {
        const QDateTime winter(QDate(2025, 1, 31), QTime(1, 0, 5), QTimeZone::utc());
        const QDateTime summer(QDate(2025, 7, 1), QTime(23, 30, 0), QTimeZone::utc());
        QCOMPARE(LogStore::timeStamp(winter), QStringLiteral("2025-01-31 02:00:05 +0100"));
        QCOMPARE(LogStore::header(winter, summer, QStringLiteral("SUCCESS")),
                 QStringLiteral(
                     "# Tidewell log\n# Started:   2025-01-31 02:00:05 +0100\n# Finished:  2025-07-02 01:30:00 +0200\n"
                     "# Status:    SUCCESS"));
    }

    void fileLayout()
    {
        TempHome home;
        const QUuid id = QUuid::fromString(QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60"));
        const QString header = QStringLiteral("# Tidewell log\n# Status:    SUCCESS");

        LogStore::save(id, header, {QStringLiteral("first"), QString(), QStringLiteral("ünï")});
        const QString path = home.logDir() + QStringLiteral("/0F3C2A9E-7B1D-4C55-9E2A-1B2C3D4E5F60.log");
        QCOMPARE(LogStore::logFile(id), path);
        QCOMPARE(QString::fromUtf8(readFile(path)), header + QStringLiteral("\nfirst\n\nünï\n"));

        // A second run replaces the file whole; no lines leave one empty line.
        LogStore::save(id, QStringLiteral("H"), {});
        QCOMPARE(readFile(path), QByteArray("H\n\n"));
    }
};

QTEST_GUILESS_MAIN(TestLogStore)
#include "tst_LogStore.moc"
