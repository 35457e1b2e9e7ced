// SPDX-License-Identifier: GPL-3.0-or-later
// What fingerprints cost, run by hand:
//
//   build/bench/bench_fingerprints [ROUNDS]
//
// 1. The 5,000-file / 200 MiB random tree copied with rsync into a day, then
//    its new files fingerprinted as a run does: the time of rsync alone and
//    of rsync plus the fingerprints, alternating, medians and their ratio;
//    the same for a day on which 1 % of the files changed (rsync with
//    --link-dest to the day before).
// 2. A check of 7 days (hard links, as the runs make them) of a 100,000-file
//    tree against reading each distinct file once with cat, both with cold
//    caches (as root: the page cache is dropped before each).
#include "core/engine/Fingerprints.h"
#include "core/restore/BackupCheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

const QString rsync = QStringLiteral("/usr/bin/rsync");

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished(-1);
    if (process.exitCode() != 0)
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
}

void dropCaches()
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    if (drop.open(QIODevice::WriteOnly))
        drop.write("3\n");
}

void makeTree(const QString &root, int files, qint64 totalBytes)
{
    const qint64 each = totalBytes / files;
    QByteArray bytes(each, '\0');
    for (int i = 0; i < files; ++i) {
        QRandomGenerator::global()->fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        const QString path = root + QStringLiteral("/d%1/f%2").arg(i % 50).arg(i);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
}

// rsync into `day` (linking to `previous` when given), then the prints when asked.
double copyDay(const QString &source, const QString &day, const QString &previous, bool prints,
               const QString &serverFolder)
{
    QDir(day).removeRecursively();
    QDir().mkpath(serverFolder);
    QFile::remove(serverFolder + u'/' + Fingerprints::manifestName);
    QStringList args{QStringLiteral("-a"), source + u'/', day};
    if (!previous.isEmpty())
        args.insert(1, QStringLiteral("--link-dest=") + previous);
    QElapsedTimer clock;
    clock.start();
    run(rsync, args);
    if (prints) {
        Fingerprints::Store store(serverFolder, true);
        Fingerprints::fingerprintNew(previous, day, store);
    }
    return clock.nsecsElapsed() / 1e9;
}

void transferCost(const QString &work, int rounds)
{
    const QString source = work + QStringLiteral("/server");
    const QString folder = work + QStringLiteral("/dest");
    makeTree(source, 5000, 200LL << 20);
    for (const bool changed : {false, true}) {
        QString previous;
        if (changed) {
            previous = folder + QStringLiteral("/day1");
            copyDay(source, previous, QString(), true, folder);
            for (int i = 0; i < 50; ++i) { // 1 %
                QFile file(source + QStringLiteral("/d%1/f%2").arg(i % 50).arg(i * 100));
                file.open(QIODevice::ReadWrite);
                file.write(QByteArray::number(QRandomGenerator::global()->generate64()));
            }
        }
        QList<double> bare, printed;
        // Alternating which goes first: the second of a pair finds more in the caches.
        for (int round = 0; round < rounds; ++round) {
            const QString day = folder + QStringLiteral("/day2");
            if (round % 2 == 0) {
                bare << copyDay(source, day, previous, false, folder);
                printed << copyDay(source, day, previous, true, folder);
            } else {
                printed << copyDay(source, day, previous, true, folder);
                bare << copyDay(source, day, previous, false, folder);
            }
        }
        std::printf("%-28s rsync %.3f s, with fingerprints %.3f s, ratio %.3f\n",
                    changed ? "1 % changed (50 files):" : "first copy (5,000 files):", median(bare), median(printed),
                    median(printed) / median(bare));
    }
}

void checkCost(const QString &work, int rounds)
{
    const QString folder = work + QStringLiteral("/check");
    const QString first = folder + QStringLiteral("/2026-12-01");
    makeTree(first, 100000, 400LL << 20);
    {
        Fingerprints::Store store(folder, true);
        Fingerprints::fingerprintNew(QString(), first, store);
    }
    QStringList days{QStringLiteral("2026-12-01")};
    for (int d = 2; d <= 7; ++d) {
        const QString name = QStringLiteral("2026-12-0%1").arg(d);
        run(QStringLiteral("/bin/cp"), {QStringLiteral("-al"), first, folder + u'/' + name});
        days << name;
    }
    QList<double> cat, check;
    for (int round = 0; round < rounds; ++round) {
        dropCaches();
        QElapsedTimer clock;
        clock.start();
        run(QStringLiteral("/usr/bin/find"),
            {first, QStringLiteral("-type"), QStringLiteral("f"), QStringLiteral("-exec"), QStringLiteral("/bin/cat"),
             QStringLiteral("{}"), QStringLiteral("+")});
        cat << clock.nsecsElapsed() / 1e9;
        dropCaches();
        clock.restart();
        BackupCheck::Options options;
        options.days = days;
        const auto result = BackupCheck::run(folder, true, options);
        check << clock.nsecsElapsed() / 1e9;
        if (!result || result->total != 100000 || !result->damaged.isEmpty())
            std::fprintf(stderr, "the check did not read 100,000 intact files\n");
    }
    std::printf("check of 7 days, 100,000 files: cat %.3f s, check %.3f s, ratio %.3f%s\n", median(cat), median(check),
                median(check) / median(cat), ::geteuid() == 0 ? "" : " (warm caches: not root)");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int rounds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/tidewell-bench-XXXXXX"));
    if (argc <= 2 || qstrcmp(argv[2], "check") != 0)
        transferCost(work.path(), rounds);
    checkCost(work.path(), rounds);
    return 0;
}
