// SPDX-License-Identifier: GPL-3.0-or-later
// Counting what changed between two days, the threshold, the marker that
// holds old days, and the hold as the configuration and --status carry it.
#include "core/cli/StatusReport.h"
#include "core/engine/MassChange.h"
#include "core/storage/ConfigStore.h"
#include "fixtures/Files.h"
#include "fixtures/TempHome.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace TestHelpers;

class TestChangeCount : public QObject
{
    Q_OBJECT

    static void link(const QString &from, const QString &to)
    {
        QVERIFY(QDir().mkpath(QFileInfo(to).absolutePath()));
        QCOMPARE(::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()), 0);
    }

private Q_SLOTS:
    // Linked files are unchanged, and so are copies with the same size and
    // time (a history without links); changed and missing files count,
    // new ones do not; links are never followed.
    void whatCountsAsChanged()
    {
        QTemporaryDir dir;
        const QString before = dir.filePath(QStringLiteral("before"));
        const QString after = dir.filePath(QStringLiteral("after"));
        writeFile(before + QStringLiteral("/linked.txt"), "same");
        link(before + QStringLiteral("/linked.txt"), after + QStringLiteral("/linked.txt"));
        writeFile(before + QStringLiteral("/deep/er/copied.txt"), "copy");
        writeFile(after + QStringLiteral("/deep/er/copied.txt"), "copy");
        const QByteArray from = QFile::encodeName(before + QStringLiteral("/deep/er/copied.txt"));
        struct stat info;
        QCOMPARE(::stat(from.constData(), &info), 0);
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(after + QStringLiteral("/deep/er/copied.txt")).constData(),
                             times, 0),
                 0);
        writeFile(before + QStringLiteral("/edited.txt"), "old");
        writeFile(after + QStringLiteral("/edited.txt"), "new!");
        writeFile(before + QStringLiteral("/gone/a"), "a");
        writeFile(before + QStringLiteral("/gone/b"), "b");
        writeFile(before + QStringLiteral("/now a folder"), "file");
        QVERIFY(QDir().mkpath(after + QStringLiteral("/now a folder")));
        writeFile(after + QStringLiteral("/new.txt"), "new");
        // Non-UTF-8 names are compared byte for byte.
        const QByteArray odd = QFile::encodeName(before) + "/caf\xe9";
        QVERIFY(writeFile(QFile::decodeName(odd), "x"));
        link(QFile::decodeName(odd), QFile::decodeName(QFile::encodeName(after) + "/caf\xe9"));
        // A link in the earlier day is no file of it, and is not followed.
        QVERIFY(QFile::link(dir.path(), before + QStringLiteral("/loop")));
        QVERIFY(QFile::link(before + QStringLiteral("/edited.txt"), before + QStringLiteral("/to-edited")));

        const MassChange::Count count = MassChange::measure(before, after);
        QCOMPARE(count.before, 7);
        QCOMPARE(count.changed, 4); // edited, gone/a, gone/b, now a folder
        const MassChange::Count missing = MassChange::measure(before, dir.filePath(QStringLiteral("nowhere")));
        QCOMPARE(missing.changed, missing.before);
        QCOMPARE(MassChange::measure(dir.filePath(QStringLiteral("nowhere")), after).before, 0);
    }

    void threshold()
    {
        QVERIFY(!ChangeHold::exceeds(199, 199, 40)); // too few files to tell
        QVERIFY(ChangeHold::exceeds(200, 200, 40));
        QVERIFY(!ChangeHold::exceeds(80, 200, 40)); // exactly the share is not more
        QVERIFY(ChangeHold::exceeds(81, 200, 40));
        QVERIFY(!ChangeHold::exceeds(200, 200, 0)); // off
        QVERIFY(!ChangeHold::exceeds(200, 200, 100));
        ChangeHold hold{QStringLiteral("2026-12-07"), QStringLiteral("2026-12-06"), 41203, 47360};
        QCOMPARE(hold.logLine(), QStringLiteral("!! 87 % of the files changed since 2026-12-06 (41,203 of 47,360): old "
                                                "backups are kept until you confirm this change."));
        hold.changed = 47359;
        QCOMPARE(hold.percent(), 99); // never "100 %" while a file is left
    }

    // The marker holds whatever it says, even when it cannot be read.
    void theMarkerHolds()
    {
        QTemporaryDir dir;
        QVERIFY(!MassChange::held(dir.path()));
        const ChangeHold hold{QStringLiteral("2026-12-07"), QStringLiteral("2026-12-06"), 300, 310};
        QVERIFY(MassChange::hold(dir.path(), hold));
        QCOMPARE(MassChange::held(dir.path()), std::optional<ChangeHold>(hold));
        QCOMPARE(MassChange::release(dir.path()).value_or(false), true);
        QCOMPARE(MassChange::release(dir.path()).value_or(true), false);
        writeFile(dir.filePath(MassChange::heldMarker), "not json");
        QVERIFY(MassChange::held(dir.path()).has_value());
    }

    // A run records the hold as it records results: a window that still
    // holds the settings from before does not drop it when it saves, and
    // accepting clears both the marker and the record.
    void theHoldSurvivesAStaleWindow()
    {
        TempHome home;
        QTemporaryDir destination;
        Server server;
        server.name = QStringLiteral("web");
        ConfigStore window;
        window.update([&](AppSettings &s) {
            s.servers = {server};
            s.destinationPath = destination.path();
        });
        QVERIFY(window.save());
        const ChangeHold hold{QStringLiteral("2026-12-07"), QStringLiteral("2026-12-06"), 300, 310};
        {
            ConfigStore run;
            run.recordRunResult(server.id, 100, 0);
            run.recordHeldChange(server.id, hold);
        }
        window.update([](AppSettings &s) { s.compress = false; });
        QVERIFY(window.save());
        QCOMPARE(AppSettings::decode(readFile(window.url()))->servers[0].heldChange, std::optional<ChangeHold>(hold));
        QCOMPARE(window.settings().servers[0].heldChange, std::optional<ChangeHold>(hold));

        const QList<StatusReport::Entry> entries =
            StatusReport::entries(window.settings(), QDateTime::currentDateTime());
        QCOMPARE(entries.first().health, QStringLiteral("mass change"));
        QVERIFY(!StatusReport::allScheduledOk(entries));
        QCOMPARE(StatusReport::nagios(entries).exitCode, StatusReport::Nagios::warning);

        const QString folder = destination.filePath(QStringLiteral("web"));
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(MassChange::hold(folder, hold));
        QCOMPARE(MassChange::accept(window, server.id).value_or(false), true);
        QVERIFY(!QFile::exists(folder + u'/' + MassChange::heldMarker));
        QVERIFY(!AppSettings::decode(readFile(window.url()))->servers[0].heldChange);
        QCOMPARE(StatusReport::entries(window.settings(), QDateTime::currentDateTime()).first().health,
                 QStringLiteral("not scheduled"));
    }
};

QTEST_GUILESS_MAIN(TestChangeCount)
#include "tst_ChangeCount.moc"
