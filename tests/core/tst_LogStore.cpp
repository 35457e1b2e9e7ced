#include "core/storage/LogStore.h"
#include "fixtures/TestHelpers.h"

#include <QRegularExpression>
#include <QTest>
#include <QTimeZone>

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

    void timeStampsCarryTheOffset()
    {
        const QDateTime time(QDate(2025, 1, 31), QTime(2, 0, 5), QTimeZone(3600));
        const QString text = LogStore::timeStamp(time);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2} [+-]\\d{4}$")).match(text).hasMatch());
        // Same instant, whatever zone the machine is in.
        const int offset = time.toLocalTime().offsetFromUtc();
        QCOMPARE(text, time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss ")) +
                           QStringLiteral("%1%2%3").arg(offset < 0 ? '-' : '+').arg(std::abs(offset) / 3600, 2, 10, QLatin1Char('0'))
                               .arg(std::abs(offset) % 3600 / 60, 2, 10, QLatin1Char('0')));
    }

    void fileLayout()
    {
        TempHome home;
        const QUuid id = QUuid::fromString(QStringLiteral("0f3c2a9e-7b1d-4c55-9e2a-1b2c3d4e5f60"));
        const QDateTime t = QDateTime::currentDateTime();
        const QString header = LogStore::header(t, t, QStringLiteral("SUCCESS"));
        QVERIFY(header.startsWith(QStringLiteral("# Tidewell log\n# Started:   ")));
        QVERIFY(header.contains(QStringLiteral("\n# Finished:  ")));
        QVERIFY(header.endsWith(QStringLiteral("\n# Status:    SUCCESS")));

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
