// SPDX-License-Identifier: GPL-3.0-or-later
// The window with 200 servers of 5 paths: start-up to the first frame, then
// 1,000 key presses in one server's Name field and 500 steps of a stepper in
// Settings, each sent through the event loop. Reports how long each change
// keeps the loop busy (from the key press until the loop is about to wait
// again), and the resident memory before, after and 10 s later. Then the
// same for keystrokes in the server search, 800 selection changes at 67 a
// second (how soon the editor follows the last, and the memory after), and
// the import of 4,000 servers.
//
//   QT_QPA_PLATFORM=offscreen bench_window_scale [servers] [paths-per-server] [all-scheduled]
//
// With a third argument every server has a daily schedule (else every other).
//
// Runs in a throw-away HOME; nothing is contacted.

#include "core/model/AppSettings.h"
#include "core/schedule/ConfigImport.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "ui/TidewellApp.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/MainWindow.h"
#include "ui/settings/SettingsView.h"
#include "ui/widgets/Desktop.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

AppSettings sampleSettings(int servers, int paths, bool allScheduled)
{
    AppSettings settings;
    settings.destinationPath = QStringLiteral("~/Backups");
    for (int i = 0; i < servers; ++i) {
        Server server;
        server.name = QStringLiteral("server-%1 Köln").arg(i, 3, 10, QLatin1Char('0'));
        server.host = QStringLiteral("host-%1.example.com").arg(i);
        server.username = QStringLiteral("deploy");
        server.scheduleEnabled = allScheduled || i % 2 == 0;
        server.lastRunAt = 0;
        server.lastExitCode = i % 7 == 0 ? 23 : 0;
        for (int p = 0; p < paths; ++p) {
            BackupPath path;
            path.name = QStringLiteral("Path %1").arg(p);
            path.remotePath = QStringLiteral("/srv/data/part %1").arg(p);
            server.paths << path;
        }
        settings.servers << server;
    }
    return settings;
}

double rssMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void waitMs(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Until a timer posted now fires within 20 ms (the loop is no longer held
// by earlier work), or `clock` passes `limitMs`.
void waitUntilResponsive(const QElapsedTimer &clock, qint64 limitMs)
{
    for (;;) {
        QElapsedTimer latency;
        latency.start();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
        if (latency.elapsed() < 20 || clock.elapsed() > limitMs)
            return;
    }
}

// Times one event: posted now, done when the loop is next about to wait.
class BusyClock : public QObject
{
public:
    explicit BusyClock(QObject *parent)
        : QObject(parent)
    {
        connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this, [this] {
            if (m_waiting) {
                m_waiting = false;
                m_times << m_clock.nsecsElapsed() / 1e6;
                m_loop.quit();
            }
        });
    }

    void send(QObject *receiver, Qt::Key key, const QString &text)
    {
        m_waiting = true;
        m_clock.start();
        QCoreApplication::postEvent(receiver, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, text));
        QCoreApplication::postEvent(receiver, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, text));
        m_loop.exec();
    }

    void report(const char *what)
    {
        QList<double> sorted = m_times;
        std::sort(sorted.begin(), sorted.end());
        const auto at = [&](double p) {
            return sorted.isEmpty() ? 0.0 : sorted[qsizetype(p * double(sorted.size() - 1))];
        };
        std::printf("%s: %lld events, busy p50 %.2f ms, p99 %.2f ms, max %.2f ms\n", what,
                    static_cast<long long>(sorted.size()), at(0.5), at(0.99), at(1.0));
        m_times.clear();
    }

private:
    QElapsedTimer m_clock;
    QEventLoop m_loop;
    QList<double> m_times;
    bool m_waiting = false;
};

// Notes the first paint of a widget.
class FirstFrame : public QObject
{
public:
    explicit FirstFrame(QElapsedTimer *clock)
        : m_clock(clock)
    { }
    qint64 ms = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && ms < 0)
            ms = m_clock->elapsed();
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer *m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    const int servers = argc > 1 ? std::atoi(argv[1]) : 200;
    const int paths = argc > 2 ? std::atoi(argv[2]) : 5;
    const bool allScheduled = argc > 3;

    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    // No session bus: schedules are read and found without a manager at once.
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            (QStringLiteral("unix:path=") + home.path() + QStringLiteral("/no-bus")).toUtf8());
    QDir().mkpath(AppPaths::dataFolder());
    QFile config(AppPaths::configFile());
    config.open(QIODevice::WriteOnly);
    config.write(sampleSettings(servers, paths, allScheduled).encode());
    config.close();

    // The glib dispatcher says it is about to block before every iteration;
    // Qt's own says so only when no posted event is left, which is "idle".
    qputenv("QT_NO_GLIB", "1");
    const qint64 beforeApp = sinceStart.elapsed();
    QApplication app(argc, argv);
    FirstFrame firstFrame(&sinceStart);
    TidewellApp tidewell;
    tidewell.desktop()->setRecorder([](const QString &, const QString &) {});
    MainWindow *window = tidewell.mainWindow();
    window->installEventFilter(&firstFrame);
    window->resize(1180, 760);
    tidewell.start();
    while (firstFrame.ms < 0 && sinceStart.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("%d servers x %d paths%s; start-up to the first frame: %lld ms (%lld ms of it writing the sample "
                "configuration)\n",
                servers, paths, allScheduled ? " (all scheduled)" : "", static_cast<long long>(firstFrame.ms),
                static_cast<long long>(beforeApp));
    // Responsive: a timer posted now fires within 20 ms, so the start's own
    // work (schedule states, counters) no longer holds the loop.
    {
        waitUntilResponsive(sinceStart, 60000);
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        std::printf("responsive after %lld ms; CPU so far %.2f s; settings lookups rebuilt "
                    "the index %lld time(s)\n",
                    static_cast<long long>(sinceStart.elapsed()),
                    double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
                        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
                    static_cast<long long>(tidewell.store()->settings().serverIndex().rebuilds()));
    }
    waitMs(1000);
    const double rssStarted = rssMiB();

    // Open the editor of a server in the middle, and Settings, before any change.
    window->select(tidewell.store()->settings().servers.at(servers / 2).id);
    tidewell.openSettings();
    waitMs(1000);
    auto *name = window->findChild<QLineEdit *>(QStringLiteral("nameField"));
    auto *stepper = tidewell.settingsWindow()->findChild<QSpinBox *>(QStringLiteral("freeSpaceStepper"));
    if (!name || !stepper) {
        std::fprintf(stderr, "no Name field or stepper\n");
        return 1;
    }
    const double rssBefore = rssMiB();

    BusyClock clock(&app);
    const QUuid edited = tidewell.store()->settings().servers.at(servers / 2).id;
    const QString original = name->text();
    bool typed = false;
    name->end(false);
    // Type ten letters, then take them back: 1,000 key presses.
    for (int i = 0; i < 1000; ++i) {
        if ((i / 10) % 2 == 0)
            clock.send(name, Qt::Key(Qt::Key_A + i % 10), QString(QChar(u'a' + i % 10)));
        else
            clock.send(name, Qt::Key_Backspace, QString());
        if (i == 9)
            typed = tidewell.store()->settings().server(edited)->name == original + QStringLiteral("abcdefghij");
    }
    if (!typed || tidewell.store()->settings().server(edited)->name != original) {
        std::fprintf(stderr, "the key presses did not reach the server's name\n");
        return 1;
    }
    clock.report("key presses in the Name field");
    for (int i = 0; i < 500; ++i)
        clock.send(stepper, i % 100 < 50 ? Qt::Key_Up : Qt::Key_Down, QString());
    clock.report("stepper steps in Settings");
    if (tidewell.store()->settings().minFreeSpaceGB != 0) {
        std::fprintf(stderr, "the stepper steps did not reach the settings\n");
        return 1;
    }

    waitMs(1000); // the debounced save
    const double rssAfter = rssMiB();
    waitMs(10000);
    const double rssLater = rssMiB();
    std::printf("RSS: started %.1f MiB, editor and Settings open %.1f MiB, after the changes %.1f MiB (%+.1f), 10 s "
                "later %.1f MiB (%+.1f)\n",
                rssStarted, rssBefore, rssAfter, rssAfter - rssBefore, rssLater, rssLater - rssBefore);

    // Finding: type a name part and take it back, a key at a time.
    tidewell.settingsWindow()->close();
    window->select(std::nullopt);
    auto *search = window->findChild<QLineEdit *>(QStringLiteral("serverSearch"));
    QListView *list = window->serverList();
    if (!search || !list) {
        std::fprintf(stderr, "no search field or list\n");
        return 1;
    }
    const QString part = QStringLiteral("server-12");
    for (int round = 0; round < 20; ++round) {
        for (const QChar ch : part)
            clock.send(search, Qt::Key_A, QString(ch));
        for (qsizetype i = 0; i < part.size(); ++i)
            clock.send(search, Qt::Key_Backspace, QString());
    }
    clock.report("filter keystrokes in the search field");

    // 800 selection changes at 67 a second, then how soon the window rests.
    window->select(tidewell.store()->settings().servers.first().id);
    list->setFocus();
    waitMs(500);
    const double rssBeforeMoves = rssMiB();
    const int editorsBefore = window->editorsBuilt();
    for (int i = 0; i < 800; ++i) {
        const Qt::Key key = (i / std::max(1, servers - 1)) % 2 == 0 ? Qt::Key_Down : Qt::Key_Up;
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
        QCoreApplication::postEvent(list, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
        waitMs(15);
    }
    QElapsedTimer settle;
    settle.start();
    for (;;) {
        const auto *editor = qobject_cast<ServerDetailView *>(window->detailWidget());
        if (editor && window->selection() && editor->serverID() == *window->selection())
            break;
        if (settle.elapsed() > 10000) {
            std::fprintf(stderr, "the editor never followed the selection\n");
            return 1;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    const qint64 rested = settle.elapsed();
    waitMs(2000);
    std::printf("800 selection changes at 67/s: editor for the last row %lld ms after the last key, %d editors "
                "built, RSS %+.1f MiB 2 s later\n",
                static_cast<long long>(rested), window->editorsBuilt() - editorsBefore, rssMiB() - rssBeforeMoves);

    // Import of 4,000 servers: until the window shows them and rests (their
    // schedules go on in the background).
    const QString fleetFile = home.path() + QStringLiteral("/fleet.json");
    QFile fleet(fleetFile);
    fleet.open(QIODevice::WriteOnly);
    fleet.write(sampleSettings(4000, paths, false).encode());
    fleet.close();
    QElapsedTimer importing;
    importing.start();
    const auto read = ConfigTransfer::readImport(fleetFile);
    if (!read) {
        std::fprintf(stderr, "import: %s\n", qPrintable(read.error().message));
        return 1;
    }
    tidewell.openSettings();
    tidewell.settingsWindow()->applyImport(*read);
    while (list->model()->rowCount() != 4000 && importing.elapsed() < 600000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    waitUntilResponsive(importing, 600000);
    std::printf("import of 4000 servers x %d paths: shown and responsive after %lld ms\n", paths,
                static_cast<long long>(importing.elapsed()));
    return 0;
}
