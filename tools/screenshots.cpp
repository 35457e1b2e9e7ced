// SPDX-License-Identifier: GPL-3.0-or-later
// Renders Tidewell's windows offscreen to PNG files for the README:
//   QT_QPA_PLATFORM=offscreen build/tools/screenshots docs/screenshots
// In another language, at the window's smallest size (and mirrored, with
// Qt's -reverse):
//   LANG=de_DE.UTF-8 QT_QPA_PLATFORM=offscreen build/tools/screenshots docs/screenshots/de --minimum
// Uses a throw-away HOME with sample servers; nothing is contacted. No session
// bus is reachable, so scheduled servers show what a missing systemd user
// manager looks like.

#include "core/engine/RsyncRunner.h"
#include "core/engine/RunPool.h"
#include "core/model/ReferenceDate.h"
#include "core/storage/ConfigStore.h"
#include "core/system/Translations.h"
#include "ui/TidewellApp.h"
#include "ui/editor/ServerDetailView.h"
#include "ui/main/DashboardView.h"
#include "ui/main/MainWindow.h"
#include "ui/run/BackupRunView.h"
#include "ui/settings/SettingsView.h"
#include "ui/widgets/Desktop.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void save(QWidget *widget, const QString &path)
{
    widget->grab().save(path);
}

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

Server sampleServer(const QString &name, const QString &host, std::optional<qint64> exitCode, double hoursAgo,
                    bool scheduled)
{
    Server server;
    server.name = name;
    server.host = host;
    server.username = QStringLiteral("deploy");
    server.port = host.startsWith(QLatin1String("db")) ? 2222 : 22;
    BackupPath site;
    site.name = QStringLiteral("Site");
    site.remotePath = QStringLiteral("/var/www/app");
    site.excludes = {QStringLiteral("node_modules/"), QStringLiteral("*.log")};
    BackupPath media;
    media.name = QStringLiteral("Media");
    media.remotePath = QStringLiteral("/var/www/app/media");
    media.enabled = !scheduled;
    BackupPath db;
    db.name = QStringLiteral("SQLite DB");
    db.remotePath = QStringLiteral("/srv/data/app.sqlite");
    db.isDirectory = false;
    db.preBackupCommand = QStringLiteral("sqlite3 /srv/data/app.sqlite '.backup /srv/data/app.sqlite.bak'");
    server.paths = {site, media, db};
    server.lastExitCode = exitCode;
    if (exitCode)
        server.lastRunAt = ReferenceDate::now() - hoursAgo * 3600;
    if (exitCode == 0)
        server.lastSuccessAt = server.lastRunAt;
    server.scheduleEnabled = scheduled;
    server.scheduleTime = QStringLiteral("02:30");
    server.retentionCount = scheduled ? 14 : 0;
    return server;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("DBUS_SESSION_BUS_ADDRESS",
            (QStringLiteral("unix:path=") + home.path() + QStringLiteral("/no-bus")).toUtf8());
    QApplication app(argc, argv);
    // The build's catalogues, beside the tools folder.
    Translations::install(QLocale(), {QCoreApplication::applicationDirPath() + QStringLiteral("/../translations")});
    const QStringList arguments = QCoreApplication::arguments();
    const bool smallest = arguments.contains(QStringLiteral("--minimum"));
    const QString out =
        arguments.size() > 1 && !arguments.at(1).startsWith(u'-') ? arguments.at(1) : QStringLiteral("screenshots");
    QDir().mkpath(out);

    TidewellApp tidewell;
    tidewell.desktop()->setRecorder([](const QString &, const QString &) {});
    tidewell.scheduler().setToolPath(QStringLiteral("/bin/true"));
    ConfigStore *store = tidewell.store();
    store->update([](AppSettings &s) {
        s.servers = {
            sampleServer(QStringLiteral("web-01"), QStringLiteral("web-01.example.com"), 0, 2, true),
            sampleServer(QStringLiteral("db-primary"), QStringLiteral("db"), 23, 26, true),
            sampleServer(QStringLiteral("media store"), QStringLiteral("media.example.com"), std::nullopt, 0, false),
            sampleServer(QStringLiteral("staging"), QStringLiteral("staging.example.com"), 0, 74, true),
            sampleServer(QStringLiteral("Rechenzentrum Köln — Produktionsdatenbank (primäre Replik, nicht abschalten)"),
                         QStringLiteral("db-koeln.example.com"), 0, 5, false)};
        s.destinationPath = QStringLiteral("~/Backups");
    });
    MainWindow *window = tidewell.mainWindow();
    window->show();
    // Larger than the offscreen screen: set once the window has fitted itself to it.
    wait(400);
    window->resize(smallest ? window->minimumSize() : QSize(1180, 760));
    wait(200);
    save(window, out + QStringLiteral("/main-dashboard.png"));

    // The tray menu, built as it is when it opens.
    QMenu *menu = tidewell.trayMenu();
    Q_EMIT menu->aboutToShow();
    menu->adjustSize();
    save(menu, out + QStringLiteral("/tray-menu.png"));

    // A run in progress, with a fake rsync that prints progress.
    const QString fake = home.path() + QStringLiteral("/rsync");
    QFile script(fake);
    script.open(QIODevice::WriteOnly);
    script.write("#!/bin/sh\nfor p in 5 17 29 41 53 64; do printf '     %s,301,221  %s%%   18.52MB/s    0:00:0%s "
                 "(xfr#%s, to-chk=120/480)\\r' "
                 "$((p*7)) $p $((p/10)) $p; sleep 0.1; done\n"
                 "echo 'rsync: [sender] send_files failed to open \"/var/www/app/cache/lock\": Permission denied (13)' "
                 ">&2\nsleep 30\n");
    script.close();
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    RsyncProbe probe;
    probe.executable = fake;
    probe.isModern = true;
    tidewell.runs()->setRsyncProbe(probe);
    Server running = store->settings().servers.at(2);
    running.useSSHAgent = true;
    store->updateServer(running.id, [](Server &s) { s.useSSHAgent = true; });
    window->runBackup(running);
    wait(1200);
    save(window, out + QStringLiteral("/main-running.png"));
    save(window->runSheet(running.id), out + QStringLiteral("/run-sheet.png"));
    Q_EMIT menu->aboutToShow();
    menu->adjustSize();
    save(menu, out + QStringLiteral("/tray-menu-running.png"));
    tidewell.runs()->cancelAll();
    wait(800);
    window->runSheet(running.id)->close();
    wait(100);

    // The editor, in each host key state.
    const Server web = store->settings().servers.at(0);
    window->select(web.id);
    wait(100);
    auto *editor = qobject_cast<ServerDetailView *>(window->detailWidget());
    const HostKeyChecker::Fingerprint live{QStringLiteral("ED25519"),
                                           QStringLiteral("SHA256:4kQ0bD0y2m0c1xS3Hn0tV9bqkq6m4x8fXo0kz7H1yJc")};
    const HostKeyChecker::Fingerprint other{QStringLiteral("RSA"),
                                            QStringLiteral("SHA256:Zr1mB7XH3uF0r0qY8s2pK5d9wT6cLz3eA4vN1oJxQ2k")};
    const QList<QPair<QString, HostKeyChecker::Status>> states = {
        {QStringLiteral("trusted"), {live, live, std::nullopt}},
        {QStringLiteral("unknown"), {live, std::nullopt, std::nullopt}},
        {QStringLiteral("mismatch"), {live, other, std::nullopt}},
        {QStringLiteral("unreachable"),
         {std::nullopt, std::nullopt, QStringLiteral("No response from web-01.example.com:22")}},
    };
    for (const auto &[name, status] : states) {
        editor->setHostStatus(status);
        wait(50);
        save(window, out + QStringLiteral("/editor-%1.png").arg(name));
    }

    // The schedule section, where a schedule that cannot run says why.
    if (auto *scroll = editor->findChild<QScrollArea *>()) {
        scroll->ensureWidgetVisible(editor->findChild<QWidget *>(QStringLiteral("scheduleStatus")), 50, 120);
        wait(50);
        save(window, out + QStringLiteral("/editor-schedule.png"));
    }

    // A long name is cut, and the editor's buttons stay in view.
    window->select(store->settings().servers.at(4).id);
    wait(100);
    save(window, out + QStringLiteral("/editor-long-name.png"));

    tidewell.openSettings();
    wait(100);
    save(tidewell.settingsWindow(), out + QStringLiteral("/settings.png"));
    return 0;
}
