// SPDX-License-Identifier: GPL-3.0-or-later
// The run sheet while rsync floods the log: 100,000 lines per second for 10
// seconds. Reports how late a 10 ms timer fires (event-loop latency) and
// checks that the sheet shows exactly the runner's log, in order.
//
//   QT_QPA_PLATFORM=offscreen bench_runsheet [lines-per-second] [seconds]

#include "core/engine/RsyncRunner.h"
#include "ui/run/BackupRunView.h"
#include "ui/widgets/Desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const long rate = argc > 1 ? std::atol(argv[1]) : 100000;
    const long seconds = argc > 2 ? std::atol(argv[2]) : 10;
    RsyncRunner runner;
    Desktop desktop;
    BackupRunView sheet(&runner, &desktop);
    sheet.resize(900, 600);
    sheet.show();

    QList<qint64> lateness;
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (last > 0)
            lateness << std::max<qint64>(0, now - last - 10'000'000);
        last = now;
    });
    tick.start(10);

    int status = -1;
    QCoro::connect(
        runner.runProcess(QStringLiteral(FLOOD_WRITER), {QString::number(rate * seconds), QString::number(rate)}), &app,
        [&](int s) {
            status = s;
            // Let the sheet draw what the last update gathered.
            QTimer::singleShot(3 * BackupRunView::coalesceMs, &app, &QCoreApplication::quit);
        });
    app.exec();

    std::sort(lateness.begin(), lateness.end());
    const auto percentile = [&](double p) {
        return lateness.isEmpty() ? 0.0 : lateness[qsizetype(p * (lateness.size() - 1))] / 1e6;
    };
    const bool same = sheet.shownLog() == runner.logLines().join(u'\n');
    std::printf("status %d, %ld lines/s for %ld s in %.1f s\n", status, rate, seconds, clock.elapsed() / 1000.0);
    std::printf("10 ms timer lateness: p50 %.2f ms, p99 %.2f ms, max %.2f ms (%lld ticks)\n", percentile(0.5),
                percentile(0.99), percentile(1.0), static_cast<long long>(lateness.size()));
    std::printf("sheet shows the runner's %lld lines in order: %s\n", static_cast<long long>(runner.logLines().size()),
                same ? "yes" : "NO");
    return same ? 0 : 1;
}
