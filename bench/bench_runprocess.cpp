// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds runProcess a flood of progress lines and reports the CPU time spent
// per line by this process and by the writer, and this process's peak RSS.
//
//   bench_runprocess [lines]    (default 2,000,000)

#include "core/engine/RsyncRunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>

static double seconds(const timeval &t)
{
    return t.tv_sec + t.tv_usec / 1e6;
}

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString lines = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("2000000");
    RsyncRunner runner;
    QElapsedTimer wall;
    rusage before;
    getrusage(RUSAGE_SELF, &before);
    wall.start();
    int status = -1;
    QCoro::connect(runner.runProcess(QStringLiteral(FLOOD_WRITER), {lines}), &app, [&](int s) {
        status = s;
        QCoreApplication::quit();
    });
    app.exec();
    rusage self, children;
    getrusage(RUSAGE_SELF, &self);
    getrusage(RUSAGE_CHILDREN, &children);
    const double ours =
        seconds(self.ru_utime) + seconds(self.ru_stime) - seconds(before.ru_utime) - seconds(before.ru_stime);
    const double writer = seconds(children.ru_utime) + seconds(children.ru_stime);
    const double n = lines.toDouble();
    std::printf("status %d, %s lines in %.2f s wall\n", status, qPrintable(lines), wall.elapsed() / 1000.0);
    std::printf("tidewell CPU %.3f s (%.0f ns/line), writer CPU %.3f s (%.0f ns/line), ratio %.2f\n", ours,
                ours / n * 1e9, writer, writer / n * 1e9, ours / writer);
    std::printf("  (tidewell user %.3f s, system %.3f s)\n", seconds(self.ru_utime) - seconds(before.ru_utime),
                seconds(self.ru_stime) - seconds(before.ru_stime));
    std::printf("peak RSS %.1f MiB; log holds %lld lines, last \"%s\"\n", self.ru_maxrss / 1024.0,
                static_cast<long long>(runner.logLines().size()), qPrintable(runner.logLines().last()));
    return 0;
}
