// SPDX-License-Identifier: GPL-3.0-or-later
// The store: loading, debounced saves, merging run results.
#include "core/model/ReferenceDate.h"
#include "core/storage/ConfigStore.h"
#include "core/system/FileLock.h"
#include "fixtures/Files.h"
#include "fixtures/StderrCapture.h"
#include "fixtures/TempHome.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using namespace TestHelpers;

namespace {

// Records each distinct version of the file (a new inode per atomic write).
class WriteCounter : public QObject
{
public:
    explicit WriteCounter(QString path)
        : m_path(std::move(path))
    {
        connect(&m_timer, &QTimer::timeout, this, &WriteCounter::poll);
        m_timer.start(2);
        m_clock.start();
    }
    void poll()
    {
        struct stat info;
        if (::stat(QFile::encodeName(m_path).constData(), &info) != 0)
            return;
        if (info.st_ino != m_inode) {
            m_inode = info.st_ino;
            writeTimesMs.append(m_clock.elapsed());
        }
    }
    QList<qint64> writeTimesMs;

private:
    QString m_path;
    QTimer m_timer;
    QElapsedTimer m_clock;
    ino_t m_inode = 0;
};

} // namespace

class TestConfigStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void usesTheXdgDataFolder()
    {
        TempHome home;
        ConfigStore store;
        QCOMPARE(store.url(), home.configFile());
        QVERIFY(QDir(home.dataHome() + QStringLiteral("/Tidewell")).exists());
        QCOMPARE(store.settings(), AppSettings());
        QVERIFY(!QFile::exists(store.url())); // nothing written at creation
    }

    void firstChangeWritesAfterTheDelay()
    {
        TempHome home;
        ConfigStore store;
        QSignalSpy before(&store, &ConfigStore::settingsAboutToChange);
        store.update([](AppSettings &s) { s.compress = false; });
        QCOMPARE(before.count(), 1);
        QVERIFY(!QFile::exists(store.url()));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(store.url()), 2000);
        const auto onDisk = AppSettings::decode(readFile(store.url()));
        QVERIFY(onDisk && !onDisk->compress);
    }

    void observersHearBeforeTheValueChanges()
    {
        TempHome home;
        ConfigStore store;
        bool sawOldValue = false;
        connect(&store, &ConfigStore::settingsAboutToChange, this,
                [&] { sawOldValue = store.settings().destinationPath == QStringLiteral("~/Backups"); });
        store.update([](AppSettings &s) { s.destinationPath = QStringLiteral("/x"); });
        QVERIFY(sawOldValue);
    }

    void burstOfChangesGivesOneWrite()
    {
        TempHome home;
        ConfigStore store;
        WriteCounter counter(store.url());
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 10; ++i) {
            store.update([i](AppSettings &s) { s.retryAttempts = i; });
            QTest::qWait(100);
        }
        const qint64 lastChangeMs = clock.elapsed() - 100;
        QTRY_VERIFY_WITH_TIMEOUT(!store.hasPendingSave(), 2000);
        counter.poll();
        QCOMPARE(counter.writeTimesMs.size(), 1);
        const qint64 delay = counter.writeTimesMs.first() - lastChangeMs;
        QVERIFY2(delay >= 250 && delay < 1000, QByteArray::number(delay).constData());
        QCOMPARE(AppSettings::decode(readFile(store.url()))->retryAttempts, 9);
    }

    void saveWritesAtOnceAndKeepsThePendingSave()
    {
        TempHome home;
        ConfigStore store;
        store.update([](AppSettings &s) { s.minFreeSpaceGB = 5; });
        QVERIFY(store.save());
        QCOMPARE(AppSettings::decode(readFile(store.url()))->minFreeSpaceGB, 5);
        QVERIFY(store.hasPendingSave());
        QTRY_VERIFY_WITH_TIMEOUT(!store.hasPendingSave(), 2000);
    }

    void deleteServerRemovesEveryMatchAndSchedulesASave()
    {
        TempHome home;
        ConfigStore store;
        Server a, b;
        store.update([&](AppSettings &s) { s.servers = {a, b, a}; });
        QVERIFY(store.save());
        store.deleteServer(a.id);
        QCOMPARE(store.settings().servers.size(), 1);
        QCOMPARE(store.settings().servers.first().id, b.id);
        store.deleteServer(QUuid::createUuid());
        QCOMPARE(store.settings().servers.size(), 1);
        QVERIFY(store.hasPendingSave());
    }

    void undecodableFileIsKeptBesideBeforeBeingReplaced()
    {
        TempHome home;
        const QByteArray broken = "{ \"servers\": [ { \"name\": \"prod\", } ] ";
        QVERIFY(writeFile(home.configFile(), broken));
        StderrCapture errors;
        ConfigStore store;
        QCOMPARE(store.settings(), AppSettings());
        QCOMPARE(readFile(store.url()), broken); // untouched until the first change
        store.update([](AppSettings &s) { s.compress = false; });
        QVERIFY(store.save());
        const QStringList kept = QDir(home.dataHome() + QStringLiteral("/Tidewell"))
                                     .entryList({QStringLiteral("config.json.corrupt-*")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(home.dataHome() + QStringLiteral("/Tidewell/") + kept.first()), broken);
        QVERIFY(AppSettings::decode(readFile(store.url())));
        QVERIFY(errors.text().contains(kept.first()));
        // Only the first replacement keeps a copy.
        QVERIFY(store.save());
        QCOMPARE(QDir(home.dataHome() + QStringLiteral("/Tidewell"))
                     .entryList({QStringLiteral("config.json.corrupt-*")})
                     .size(),
                 1);
    }

    void failedWriteLogsAndKeepsTheSettings()
    {
        TempHome home;
        // A file where the folder should be: no write can succeed, even as root.
        const QString blocker = home.path() + QStringLiteral("/blocked");
        QVERIFY(writeFile(blocker, "x"));
        StderrCapture errors;
        ConfigStore store(blocker + QStringLiteral("/config.json"));
        store.update([](AppSettings &s) { s.retryAttempts = 7; });
        QVERIFY(!store.save());
        QVERIFY(!store.save());
        QCOMPARE(store.settings().retryAttempts, 7);
        // One line for each failed save, besides the lock that could not be made.
        QStringList lines = errors.lines();
        lines.removeIf([](const QString &line) { return line.contains(QStringLiteral("without the lock")); });
        QCOMPARE(lines.size(), 2);
        for (const QString &line : lines)
            QVERIFY2(line.startsWith(QStringLiteral("ConfigStore save error: ")), qPrintable(line));
    }

    void pendingChangeIsWrittenWhenTheApplicationQuits()
    {
        TempHome home;
        ConfigStore store;
        store.update([](AppSettings &s) { s.destinationPath = QStringLiteral("/typed/just/before/quit"); });
        QVERIFY(!QFile::exists(store.url()));
        QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit");
        QCOMPARE(AppSettings::decode(readFile(store.url()))->destinationPath,
                 QStringLiteral("/typed/just/before/quit"));
    }

    void runResultIsMergedIntoTheFileOnDisk()
    {
        TempHome home;
        Server server;
        server.name = QStringLiteral("old name");
        AppSettings initial;
        initial.servers = {server};
        QVERIFY(writeFile(home.configFile(), initial.encode()));
        ConfigStore stale; // as a headless run holds it

        // Another process renames the server and adds one meanwhile.
        AppSettings edited = stale.settings();
        edited.servers[0].name = QStringLiteral("renamed");
        edited.servers.append(Server{});
        QVERIFY(writeFile(stale.url(), edited.encode()));

        ConfigStore watcher;
        watcher.setWatchesFile(true);
        QSignalSpy merged(&watcher, &ConfigStore::settingsChanged);

        stale.recordRunResult(server.id, 1000.5, 23);
        const auto onDisk = AppSettings::decode(readFile(stale.url()));
        QVERIFY(onDisk);
        QCOMPARE(onDisk->servers.size(), 2);
        QCOMPARE(onDisk->servers[0].name, QStringLiteral("renamed"));
        QCOMPARE(onDisk->servers[0].lastRunAt, 1000.5);
        QCOMPARE(onDisk->servers[0].lastExitCode, 23);
        QCOMPARE(stale.settings().servers[0].lastExitCode, 23);
        QVERIFY(!stale.hasPendingSave());

        // A window holding the file sees the result, and only the result.
        QTRY_COMPARE_WITH_TIMEOUT(watcher.settings().servers[0].lastExitCode, std::optional<qint64>(23), 3000);
        QCOMPARE(watcher.settings().servers[0].name, QStringLiteral("renamed"));
        QVERIFY(!watcher.hasPendingSave());
        QVERIFY(merged.count() >= 1);
    }

    void repeatedIdsGetFreshOnes()
    {
        TempHome home;
        Server a;
        a.name = QStringLiteral("a");
        Server b = a;
        b.name = QStringLiteral("b");
        AppSettings twins;
        twins.servers = {a, b};
        QVERIFY(writeFile(home.configFile(), twins.encode()));
        StderrCapture errors;
        ConfigStore store;
        QCOMPARE(store.settings().servers.size(), 2);
        QCOMPARE(store.settings().servers[0].id, a.id);
        QVERIFY(store.settings().servers[1].id != a.id);
        QCOMPARE(errors.lines().size(), 1);
        QVERIFY(store.hasPendingSave()); // the fresh id reaches the file
        store.deleteServer(a.id);
        QCOMPARE(store.settings().servers.size(), 1);
    }

    // A window's store saves over a file that someone broke meanwhile: the
    // broken bytes are kept aside first, and the window is told where.
    void aFileBrokenUnderTheWindowIsKeptAside()
    {
        TempHome home;
        ConfigStore store;
        store.update([](AppSettings &s) { s.retryAttempts = 4; });
        QVERIFY(store.save());
        QVERIFY(writeFile(store.url(), "{ \"servers\": oops"));
        QSignalSpy kept(&store, &ConfigStore::damagedFileKept);
        StderrCapture errors;
        store.update([](AppSettings &s) { s.retryAttempts = 5; });
        QVERIFY(store.save());
        QCOMPARE(kept.count(), 1);
        QCOMPARE(readFile(kept.first().first().toString()), QByteArray("{ \"servers\": oops"));
        QCOMPARE(AppSettings::decode(readFile(store.url()))->retryAttempts, 5);
        QVERIFY(store.save()); // what it wrote itself is never kept again
        QCOMPARE(kept.count(), 1);
    }

    // A window's save merges what runs recorded meanwhile, and never takes an older result.
    // What a killed writer left half-written goes at the next save; kept copies stay.
    void staleTemporariesAreRemoved()
    {
        TempHome home;
        ConfigStore store;
        const QString folder = QFileInfo(store.url()).absolutePath();
        QVERIFY(writeFile(store.url() + QStringLiteral(".Ab3xYz"), "{ half"));
        QVERIFY(writeFile(store.url() + QStringLiteral(".corrupt-20250101-000000"), "kept"));
        QVERIFY(store.save());
        QCOMPARE(QDir(folder).entryList(QDir::Files),
                 (QStringList{QStringLiteral("config.json"), QStringLiteral("config.json.corrupt-20250101-000000"),
                              QStringLiteral("config.json.lock")}));
    }

    // A window's save merges the results runs recorded meanwhile. Only a run
    // that ends with 0 moves the last success; a later failure or a cancel keeps it.
    void saveMergesResultsAndSuccessMovesOnlyOnZero()
    {
        TempHome home;
        Server server;
        ConfigStore window;
        window.update([&](AppSettings &s) { s.servers = {server}; });
        QVERIFY(window.save());
        ConfigStore headless;
        headless.recordRunResult(server.id, 100, 0);
        headless.recordRunResult(server.id, 200, 23);
        QCOMPARE(headless.settings().servers[0].lastSuccessAt, 100.0);
        headless.recordRunResult(server.id, 300, std::nullopt); // cancelled
        window.update([](AppSettings &s) { s.compress = false; });
        QVERIFY(window.save());
        const auto onDisk = AppSettings::decode(readFile(window.url()));
        QCOMPARE(onDisk->servers[0].lastRunAt, 300.0);
        QVERIFY(!onDisk->servers[0].lastExitCode);
        QCOMPARE(onDisk->servers[0].lastSuccessAt, 100.0);
        QVERIFY(!onDisk->compress);
        QCOMPARE(window.settings().servers[0].lastSuccessAt, 100.0);
    }

    // A window whose clock ran ahead holds a result "newer" than a failed
    // run that followed it: the count of results, not the time, decides.
    void aStaleWindowNeverWritesBackAnOlderResult()
    {
        TempHome home;
        Server server;
        ConfigStore window;
        window.update([&](AppSettings &s) { s.servers = {server}; });
        QVERIFY(window.save());
        const double now = ReferenceDate::now();
        window.recordRunResult(server.id, now + 2 * 86400, 0); // two days ahead
        ConfigStore headless;
        headless.recordRunResult(server.id, now, 23);
        window.update([](AppSettings &s) { s.compress = false; });
        QVERIFY(window.save());
        const auto onDisk = ConfigStore::readOnly(window.url());
        QCOMPARE(onDisk->servers[0].lastExitCode, 23);
        QCOMPARE(onDisk->servers[0].lastRunAt, now);
        QCOMPARE(window.settings().servers[0].lastExitCode, 23);
        QVERIFY(!onDisk->compress);
    }

    // One wrong value costs that value: the rest of the file is read, and
    // the member is named. What identifies servers and paths still fails the whole.
    void aWrongTypedValueFallsBackToItsDefault()
    {
        TempHome home;
        Server server;
        server.name = QStringLiteral("web");
        server.retentionCount = 7;
        server.paths = {BackupPath()};
        server.paths[0].remotePath = QStringLiteral("/srv");
        AppSettings settings;
        settings.servers = {server};
        QJsonObject object = settings.toJson();
        QJsonArray servers = object.value(QStringLiteral("servers")).toArray();
        QJsonObject first = servers.at(0).toObject();
        first.insert(QStringLiteral("retentionCount"), QStringLiteral("7"));
        first.insert(QStringLiteral("lastRunAt"), 1e300); // no date any calendar prints
        servers[0] = first;
        object.insert(QStringLiteral("servers"), servers);
        object.insert(QStringLiteral("compress"), QStringLiteral("yes"));
        QVERIFY(writeFile(home.configFile(), QJsonDocument(object).toJson()));

        StderrCapture errors;
        ConfigStore store;
        QVERIFY(store.loadProblem().isEmpty());
        QCOMPARE(store.settings().servers.size(), 1);
        QCOMPARE(store.settings().servers[0].name, QStringLiteral("web"));
        QCOMPARE(store.settings().servers[0].retentionCount, 0);
        QVERIFY(!store.settings().servers[0].lastRunAt);
        QVERIFY(store.settings().compress);
        QCOMPARE(store.loadWarnings().size(), 3);
        QVERIFY(errors.text().contains(QStringLiteral("“servers[0].retentionCount” must be a whole number.")));
        // The value the default replaces is kept, with the rest, before the first write.
        const QByteArray original = readFile(home.configFile());
        QVERIFY(store.save());
        const QStringList copies =
            QFileInfo(home.configFile()).dir().entryList({QStringLiteral("config.json.corrupt-*")});
        QCOMPARE(copies.size(), 1);
        QCOMPARE(readFile(QFileInfo(home.configFile()).dir().filePath(copies.first())), original);
        QVERIFY(store.save());
        QCOMPARE(QFileInfo(home.configFile()).dir().entryList({QStringLiteral("config.json.corrupt-*")}).size(), 1);
        for (const QString &name :
             QFileInfo(home.configFile()).dir().entryList({QStringLiteral("config.json.corrupt-*")}))
            QFile::remove(QFileInfo(home.configFile()).dir().filePath(name));

        first.insert(QStringLiteral("id"), 7);
        servers[0] = first;
        object.insert(QStringLiteral("servers"), servers);
        QVERIFY(writeFile(home.configFile(), QJsonDocument(object).toJson()));
        ConfigStore refused;
        QCOMPARE(refused.loadProblem(), QStringLiteral("“servers[0].id” must be a UUID string."));
        QVERIFY(refused.settings().servers.isEmpty());
        // Kept aside at once, for the window to say where.
        const auto kept = refused.keepUnreadableFile();
        QVERIFY(kept && kept->contains(QStringLiteral("config.json.corrupt-")));
        QCOMPARE(readFile(*kept), QJsonDocument(object).toJson());
    }

    // A FIFO in the file's place, or a lock held by a stuck process, never
    // makes a reader wait for ever.
    void readsNeverHang()
    {
        TempHome home;
        QDir().mkpath(QFileInfo(home.configFile()).absolutePath());
        QVERIFY(::mkfifo(QFile::encodeName(home.configFile()).constData(), 0600) == 0);
        auto read = ConfigStore::readOnly(home.configFile());
        QVERIFY(!read);
        QCOMPARE(read.error().message, QStringLiteral("it is not a regular file"));
        {
            ConfigStore store;
            QCOMPARE(store.loadProblem(), QStringLiteral("it is not a regular file"));
            store.update([](AppSettings &s) { s.compress = false; });
            QVERIFY(!store.save()); // nothing replaces what could not be kept
        }
        QFile::remove(home.configFile());

        auto held = FileLock::tryLock(home.configFile() + QStringLiteral(".lock"));
        QVERIFY(held);
        // Another open file description: the same as another process.
        QElapsedTimer clock;
        clock.start();
        const auto waited = FileLock::lock(home.configFile() + QStringLiteral(".lock"), 300);
        QVERIFY(!waited && waited.error().code == Error::Code::busy);
        QVERIFY(clock.elapsed() >= 300);
    }

    // The overdue clock of a never-successful server starts when its
    // schedule is switched on and stops when it is switched off; a file from
    // before it was kept gets it when the window starts the clocks.
    void scheduleClockStartsAndStops()
    {
        TempHome home;
        Server scheduled;
        scheduled.scheduleEnabled = true;
        AppSettings old;
        old.servers = {scheduled, Server{}};
        QVERIFY(writeFile(home.configFile(), old.encode()));
        ConfigStore store;
        QVERIFY(!store.settings().servers[0].scheduledSince);
        QVERIFY(!store.hasPendingSave());
        store.startScheduleClocks();
        const auto since = store.settings().servers[0].scheduledSince;
        QVERIFY(since);
        QVERIFY(!store.settings().servers[1].scheduledSince);
        QVERIFY(store.save());
        QCOMPARE(AppSettings::decode(readFile(store.url()))->servers[0].scheduledSince, since);

        store.updateServer(scheduled.id, [](Server &s) { s.name = QStringLiteral("kept"); });
        QCOMPARE(store.settings().servers[0].scheduledSince, since);
        store.updateServer(scheduled.id, [](Server &s) { s.scheduleEnabled = false; });
        QVERIFY(!store.settings().servers[0].scheduledSince);
        store.updateServer(old.servers[1].id, [](Server &s) { s.scheduleEnabled = true; });
        QVERIFY(store.settings().servers[1].scheduledSince);
    }
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_ConfigStore.moc"
