// SPDX-License-Identifier: GPL-3.0-or-later
// The server's commands that dump a database, as the server's shell reads
// them: every part the user typed quoted, a half-written dump never under
// the name that is copied, and the settings a dump refuses.
#include "core/engine/DumpCommands.h"
#include "core/model/DatabaseDump.h"

#include <QTest>

Q_DECLARE_METATYPE(BackupPath)

class TestDatabaseDump : public QObject
{
    Q_OBJECT

    static BackupPath dumpPath(const QString &kind, const QString &database, const QString &folder,
                               const QString &account = QString())
    {
        BackupPath path;
        path.name = QStringLiteral("db");
        path.remotePath = folder;
        path.dumpKind = kind;
        path.dumpDatabase = database;
        path.dumpAccount = account;
        return path;
    }

private Q_SLOTS:
    void commandLines_data()
    {
        QTest::addColumn<BackupPath>("path");
        QTest::addColumn<QString>("dump");
        QTest::addColumn<QString>("removal");
        QTest::newRow("postgresql")
            << dumpPath(QStringLiteral("postgresql"), QStringLiteral("shop"), QStringLiteral("/var/backups/db/"),
                        QStringLiteral("backup"))
            << QStringLiteral("umask 077 && mkdir -p '/var/backups/db' && rm -f '/var/backups/db/shop.pgdump.tidewell-"
                              "partial' && pg_dump --format=custom --username='backup' --file "
                              "'/var/backups/db/shop.pgdump.tidewell-partial' 'shop' && mv -f "
                              "'/var/backups/db/shop.pgdump.tidewell-partial' '/var/backups/db/shop.pgdump'")
            << QStringLiteral("rm -f '/var/backups/db/shop.pgdump' '/var/backups/db/shop.pgdump.tidewell-partial'");
        QTest::newRow("mysql, a hostile name")
            << dumpPath(QStringLiteral("mysql"), QStringLiteral("x'; rm -rf / #"), QStringLiteral("~/dumps"))
            << QStringLiteral("umask 077 && mkdir -p 'dumps' && rm -f 'dumps/x___rm_-rf____.sql.tidewell-partial' && "
                              "mysqldump --single-transaction --routines --events --result-file "
                              "'dumps/x___rm_-rf____.sql.tidewell-partial' 'x'\\''; rm -rf / #' && mv -f "
                              "'dumps/x___rm_-rf____.sql.tidewell-partial' 'dumps/x___rm_-rf____.sql'")
            << QStringLiteral("rm -f 'dumps/x___rm_-rf____.sql' 'dumps/x___rm_-rf____.sql.tidewell-partial'");
        QTest::newRow("sqlite")
            << dumpPath(QStringLiteral("sqlite"), QStringLiteral("/srv/app/app data.db"), QStringLiteral("/srv/dumps"))
            << QStringLiteral(
                   "umask 077 && mkdir -p '/srv/dumps' && rm -f '/srv/dumps/app_data.sqlite.tidewell-partial' "
                   "&& sqlite3 -readonly -bail -cmd '.timeout 60000' '/srv/app/app data.db' 'VACUUM INTO "
                   "'\\''/srv/dumps/"
                   "app_data.sqlite.tidewell-partial'\\''' && mv -f "
                   "'/srv/dumps/app_data.sqlite.tidewell-partial' '/srv/dumps/app_data.sqlite'")
            << QStringLiteral("rm -f '/srv/dumps/app_data.sqlite' '/srv/dumps/app_data.sqlite.tidewell-partial'");
    }
    void commandLines()
    {
        QFETCH(BackupPath, path);
        QFETCH(QString, dump);
        QFETCH(QString, removal);
        QVERIFY(DatabaseDump::problem(path).isEmpty());
        QCOMPARE(DumpCommands::dump(path), dump);
        QCOMPARE(DumpCommands::removal(path), removal);
    }

    // What would reach a program as an option, or cannot be said safely,
    // is refused, and no command is built for it.
    void refusedSettings_data()
    {
        QTest::addColumn<BackupPath>("path");
        QTest::addColumn<QString>("said");
        QTest::newRow("unknown kind") << dumpPath(QStringLiteral("oracle"), QStringLiteral("x"), QStringLiteral("/d"))
                                      << QStringLiteral("a kind Tidewell does not know (“oracle”)");
        QTest::newRow("no database") << dumpPath(QStringLiteral("mysql"), QStringLiteral(" "), QStringLiteral("/d"))
                                     << QStringLiteral("names no database");
        QTest::newRow("an option") << dumpPath(QStringLiteral("postgresql"), QStringLiteral("--help"),
                                               QStringLiteral("/d"))
                                   << QStringLiteral("cannot start with “-”");
        QTest::newRow("line break") << dumpPath(QStringLiteral("mysql"), QStringLiteral("a\nb"), QStringLiteral("/d"))
                                    << QStringLiteral("hold a line break");
        QTest::newRow("account") << dumpPath(QStringLiteral("postgresql"), QStringLiteral("x"), QStringLiteral("/d"),
                                             QStringLiteral("-U root"))
                                 << QStringLiteral("the database account “-U root”");
        QTest::newRow("relative sqlite") << dumpPath(QStringLiteral("sqlite"), QStringLiteral("app.db"),
                                                     QStringLiteral("/d"))
                                         << QStringLiteral("must be a path on the server");
        QTest::newRow("quote in the folder")
            << dumpPath(QStringLiteral("sqlite"), QStringLiteral("/a.db"), QStringLiteral("/d'x"))
            << QStringLiteral("a quote or a line break");
        BackupPath file = dumpPath(QStringLiteral("mysql"), QStringLiteral("x"), QStringLiteral("/d"));
        file.isDirectory = false;
        QTest::newRow("a file") << file << QStringLiteral("not a file");
    }
    void refusedSettings()
    {
        QFETCH(BackupPath, path);
        QFETCH(QString, said);
        const Phrase problem = DatabaseDump::problem(path);
        QVERIFY2(problem.english.contains(said), qPrintable(problem.english));
        QVERIFY(DumpCommands::dump(path).isEmpty());
    }

    // A path that is no dump keeps its folder's name and builds nothing.
    void plainPathsAreNoDump()
    {
        BackupPath path;
        path.remotePath = QStringLiteral("/etc");
        QVERIFY(DatabaseDump::problem(path).isEmpty());
        QVERIFY(DumpCommands::dump(path).isEmpty());
        QVERIFY(DumpCommands::removal(path).isEmpty());
        QCOMPARE(BackupPath::fromJson(path.toJson(), QString())->toJson(), path.toJson());
        QVERIFY(!path.toJson().contains(QStringLiteral("dumpKind")));
        const BackupPath dump = dumpPath(QStringLiteral("mysql"), QStringLiteral("shop"), QStringLiteral("/d"));
        QCOMPARE(*BackupPath::fromJson(dump.toJson(), QString()), dump);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseDump)
#include "tst_DatabaseDump.moc"
