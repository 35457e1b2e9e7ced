// SPDX-License-Identifier: GPL-3.0-or-later
// The restore window and the comparison at scale: two snapshots of N files
// (200 folders, hard-linked to each other like daily backups, 1 % changed).
// Reports the time from opening the restore window to its first rows (the
// server's paths and the first folder's contents), and the time to compare
// the two snapshots.
//
//   QT_QPA_PLATFORM=offscreen bench_restore [files]      (default 200000)
//
// Runs in a throw-away HOME; nothing is contacted.

#include "core/restore/SnapshotCompare.h"
#include "core/storage/ConfigStore.h"
#include "ui/restore/RestoreView.h"
#include "ui/widgets/AppContext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeView>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 200000;
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    const QString older = home.path() + QStringLiteral("/Backups/bench/2026-12-06/Site");
    const QString newer = home.path() + QStringLiteral("/Backups/bench/2026-12-07/Site");
    std::printf("Preparing two snapshots of %d files ...\n", files);
    const int folders = 200;
    for (int f = 0; f < folders; ++f) {
        const QString a = older + QStringLiteral("/dir%1").arg(f, 3, 10, QLatin1Char('0'));
        const QString b = newer + QStringLiteral("/dir%1").arg(f, 3, 10, QLatin1Char('0'));
        QDir().mkpath(a);
        QDir().mkpath(b);
        for (int i = f; i < files; i += folders) {
            const QString name = QStringLiteral("/file%1.txt").arg(i);
            QFile out(a + name);
            out.open(QIODevice::WriteOnly);
            out.write(QByteArray::number(i));
            out.close();
            if (i % 100 == 0) { // 1 % changed: a new file of another size
                QFile changed(b + name);
                changed.open(QIODevice::WriteOnly);
                changed.write(QByteArray::number(i) + "changed");
            } else {
                if (::link(QFile::encodeName(a + name).constData(), QFile::encodeName(b + name).constData()) != 0)
                    return 1;
            }
        }
    }
    Server server;
    server.name = QStringLiteral("bench");
    BackupPath path;
    path.name = QStringLiteral("Site");
    path.remotePath = QStringLiteral("/srv/site");
    server.paths = {path};
    AppSettings settings;
    settings.destinationPath = home.path() + QStringLiteral("/Backups");
    settings.servers = {server};
    ConfigStore store;
    store.setSettings(settings);
    AppContext context;
    context.store = &store;

    QElapsedTimer clock;
    clock.start();
    auto *view = new RestoreView(server.id, context);
    view->show();
    auto *tree = view->findChild<QTreeView *>(QStringLiteral("restoreTree"));
    const QModelIndex site = tree->model()->index(0, 0);
    tree->model()->fetchMore(site);
    QApplication::processEvents();
    const qint64 firstRows = clock.elapsed();
    std::printf("restore window to its first rows: %lld ms (%d top-level, %d in the first folder)\n",
                static_cast<long long>(firstRows), tree->model()->rowCount(), tree->model()->rowCount(site));

    clock.restart();
    const SnapshotCompare::Result result =
        SnapshotCompare::compare(server, home.path() + QStringLiteral("/Backups/bench/2026-12-06"),
                                 home.path() + QStringLiteral("/Backups/bench/2026-12-07"));
    std::printf("compare: %lld ms, %d files compared, %lld changed\n", static_cast<long long>(clock.elapsed()),
                result.filesCompared, static_cast<long long>(result.changes.size()));
    delete view;
    return 0;
}
