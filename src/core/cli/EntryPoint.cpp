// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the command line: a headless run or the window.
#include "core/cli/EntryPoint.h"

#include "core/engine/Snapshots.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace EntryPoint {

namespace {

// Every option Tidewell knows, added to one parser.
struct Switches
{
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")}};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")}};
    QCommandLineOption runBackup{QStringLiteral("run-backup"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption status{QStringLiteral("status")};
    QCommandLineOption json{QStringLiteral("json")};
    QCommandLineOption nagios{QStringLiteral("nagios")};
    QCommandLineOption servers{QStringLiteral("servers")};
    QCommandLineOption exportFile{QStringLiteral("export"), QString(), QStringLiteral("FILE")};
    QCommandLineOption importFile{QStringLiteral("import"), QString(), QStringLiteral("FILE")};
    QCommandLineOption replace{QStringLiteral("replace")};
    QCommandLineOption removeServer{QStringLiteral("remove-server"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption reportFailure{QStringLiteral("report-failure"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption listBackups{QStringLiteral("list-backups"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption restore{QStringLiteral("restore"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption date{QStringLiteral("date"), QString(), QStringLiteral("DATE")};
    QCommandLineOption item{QStringLiteral("item"), QString(), QStringLiteral("PATH")};
    QCommandLineOption to{QStringLiteral("to"), QString(), QStringLiteral("FOLDER")};
    QCommandLineOption toServer{QStringLiteral("to-server")};
    QCommandLineOption dryRun{QStringLiteral("dry-run")};
    QCommandLineOption allowIncomplete{QStringLiteral("allow-incomplete")};
    QCommandLineOption keepSpecial{QStringLiteral("keep-special")};
    QCommandLineOption verifyRemote{QStringLiteral("verify-remote"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption acceptChanges{QStringLiteral("accept-changes"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption verify{QStringLiteral("verify"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption all{QStringLiteral("all")};
    QCommandLineOption sample{QStringLiteral("sample"), QString(), QStringLiteral("PERCENT")};
    QCommandLineOption addServer{QStringLiteral("add-server"), QString(), QStringLiteral("NAME")};
    QCommandLineOption host{QStringLiteral("host"), QString(), QStringLiteral("HOST")};
    QCommandLineOption port{QStringLiteral("port"), QString(), QStringLiteral("N")};
    QCommandLineOption user{QStringLiteral("user"), QString(), QStringLiteral("USER")};
    QCommandLineOption key{QStringLiteral("key"), QString(), QStringLiteral("PATH")};
    QCommandLineOption agent{QStringLiteral("agent")};
    QCommandLineOption path{QStringLiteral("path"), QString(), QStringLiteral("REMOTE")};
    QCommandLineOption exclude{QStringLiteral("exclude"), QString(), QStringLiteral("PATTERN")};
    QCommandLineOption daily{QStringLiteral("daily"), QString(), QStringLiteral("TIME")};
    QCommandLineOption keep{QStringLiteral("keep"), QString(), QStringLiteral("N")};
    QCommandLineOption keepWeekly{QStringLiteral("keep-weekly"), QString(), QStringLiteral("N")};
    QCommandLineOption keepMonthly{QStringLiteral("keep-monthly"), QString(), QStringLiteral("N")};
    QCommandLineOption set{QStringLiteral("set"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption setPath{QStringLiteral("set-path"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption apply{QStringLiteral("apply"), QString(), QStringLiteral("FILE")};
    QCommandLineOption check{QStringLiteral("check")};
    QCommandLineOption runOverdue{QStringLiteral("run-overdue")};
    QCommandLineOption pause{QStringLiteral("pause"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption prune{QStringLiteral("prune")};
    QCommandLineOption metrics{QStringLiteral("metrics"), QString(), QStringLiteral("FILE")};
    QCommandLineOption copy{QStringLiteral("copy"), QString(), QStringLiteral("TARGET")};
    QCommandLineOption server{QStringLiteral("server"), QString(), QStringLiteral("SERVER")};
    QCommandLineOption from{QStringLiteral("from"), QString(), QStringLiteral("TARGET")};
    QCommandLineOption encryptDestination{QStringLiteral("encrypt-destination")};
    QCommandLineOption passphraseFile{QStringLiteral("passphrase-file"), QString(), QStringLiteral("FILE")};
    QCommandLineOption target{QStringLiteral("target"), QString(), QStringLiteral("TARGET")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addOptions({help,
                           version,
                           runBackup,
                           status,
                           json,
                           nagios,
                           reportFailure,
                           listBackups,
                           restore,
                           date,
                           item,
                           to,
                           toServer,
                           dryRun,
                           allowIncomplete,
                           keepSpecial,
                           acceptChanges,
                           verifyRemote,
                           verify,
                           all,
                           sample,
                           servers,
                           exportFile,
                           importFile,
                           replace,
                           removeServer,
                           addServer,
                           host,
                           port,
                           user,
                           key,
                           agent,
                           path,
                           exclude,
                           daily,
                           keep,
                           keepWeekly,
                           keepMonthly,
                           set,
                           setPath,
                           apply,
                           check,
                           prune,
                           metrics,
                           copy,
                           server,
                           from,
                           runOverdue,
                           pause,
                           encryptDestination,
                           passphraseFile,
                           target});
    }
};

// "--to-server" takes a folder only when one follows it (or "=FOLDER"): the
// folder is taken out of the arguments before they are parsed.
std::optional<QString> takeServerFolder(QStringList &given)
{
    std::optional<QString> serverFolder;
    for (qsizetype i = 1; i < given.size(); ++i) {
        if (given.at(i).startsWith(QStringLiteral("--to-server="))) {
            serverFolder = given.at(i).section(u'=', 1);
            given[i] = QStringLiteral("--to-server");
        } else if (given.at(i) == QStringLiteral("--to-server") && i + 1 < given.size()
                   && !given.at(i + 1).startsWith(u'-')) {
            serverFolder = given.takeAt(i + 1);
        }
    }
    return serverFolder;
}

QString firstValue(const QCommandLineParser &parser, const QCommandLineOption &option)
{
    const QStringList values = parser.values(option);
    return values.isEmpty() ? QString() : values.constFirst();
}

// The first usage problem found is the one said.
void sayUsage(Options &options, const QString &text)
{
    if (options.usageError.isEmpty())
        options.usageError =
            QCoreApplication::translate("EntryPoint", "tidewell: %1 (see tidewell --help)").arg(text) + u'\n';
}

void checkRestore(const Options::Restore &request, Options &options)
{
    if (request.server.isEmpty())
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--restore needs a server ID or name"));
    else if (!Snapshots::isSnapshotName(request.date))
        sayUsage(options,
                 QCoreApplication::translate(
                     "EntryPoint", "--restore needs --date yyyy-MM-dd, the day of the backup to restore from"));
    else if (request.items.isEmpty())
        sayUsage(options, QCoreApplication::translate(
                              "EntryPoint", "--restore needs at least one --item, a remote path as the server has it"));
    else if (request.toLocal.has_value() == request.toServer)
        sayUsage(options,
                 QCoreApplication::translate(
                     "EntryPoint", "--restore needs either --to FOLDER (this computer) or --to-server [FOLDER]"));
    else if (request.toLocal && request.toLocal->isEmpty())
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--to needs a folder"));
    else if (request.keepSpecial && !request.toLocal)
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--keep-special is for --to"));
}

Options::Restore readRestore(const QCommandLineParser &parser, const Switches &switches,
                             const std::optional<QString> &serverFolder)
{
    Options::Restore request;
    request.server = firstValue(parser, switches.restore);
    request.date = firstValue(parser, switches.date);
    request.items = parser.values(switches.item);
    if (parser.isSet(switches.to))
        request.toLocal = firstValue(parser, switches.to);
    request.toServer = parser.isSet(switches.toServer);
    request.serverFolder = serverFolder;
    request.dryRun = parser.isSet(switches.dryRun);
    request.allowIncomplete = parser.isSet(switches.allowIncomplete);
    request.keepSpecial = parser.isSet(switches.keepSpecial);
    request.from = firstValue(parser, switches.from);
    return request;
}

Options::VerifyRemote readVerifyRemote(const QCommandLineParser &parser, const Switches &switches, Options &options)
{
    Options::VerifyRemote request;
    request.server = firstValue(parser, switches.verifyRemote);
    if (parser.isSet(switches.date))
        request.date = firstValue(parser, switches.date);
    if (request.server.isEmpty())
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--verify-remote needs a server ID or name"));
    else if (request.date && !Snapshots::isSnapshotName(*request.date))
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--date needs a day as yyyy-MM-dd"));
    return request;
}

// "--sample 10%" or "--sample 10": 1 to 100; 0 for anything else.
int readPercent(const QString &text)
{
    bool ok = false;
    const int percent = (text.endsWith(u'%') ? text.chopped(1) : text).trimmed().toInt(&ok);
    return ok && percent >= 1 && percent <= 100 ? percent : 0;
}

Options::Verify readVerify(const QCommandLineParser &parser, const Switches &switches, Options &options)
{
    Options::Verify request;
    request.server = firstValue(parser, switches.verify);
    if (parser.isSet(switches.date))
        request.date = firstValue(parser, switches.date);
    request.all = parser.isSet(switches.all);
    if (parser.isSet(switches.sample))
        request.samplePercent = readPercent(firstValue(parser, switches.sample));
    if (request.server.isEmpty())
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--verify needs a server ID or name"));
    else if (request.date && !Snapshots::isSnapshotName(*request.date))
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--date needs a day as yyyy-MM-dd"));
    else if (request.date && request.all)
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--verify takes --date or --all, not both"));
    else if (request.samplePercent == 0)
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--sample needs a share from 1% to 100%"));
    return request;
}

void readRunOrReport(const QCommandLineParser &parser, const Switches &switches, const QStringList &arguments,
                     Options &options)
{
    const QString needsServer =
        QCoreApplication::translate("EntryPoint", "tidewell: %1 needs a server ID or name (see tidewell --help)");
    if (parser.isSet(switches.runBackup)) {
        // The first one counts, as a scheduled unit writes it.
        const QString value = firstValue(parser, switches.runBackup);
        if (!value.isEmpty())
            options.runBackup = value;
        else
            options.usageError = needsServer.arg(QStringLiteral("--run-backup")) + u'\n';
    } else if (parser.isSet(switches.reportFailure)) {
        if (!parser.value(switches.reportFailure).isEmpty())
            options.reportFailure = parser.value(switches.reportFailure);
        else
            options.usageError = needsServer.arg(QStringLiteral("--report-failure")) + u'\n';
    } else if (arguments.contains(QStringLiteral("--run-backup"))) {
        options.usageError = needsServer.arg(QStringLiteral("--run-backup")) + u'\n';
    } else if (parser.isSet(switches.acceptChanges) || arguments.contains(QStringLiteral("--accept-changes"))) {
        options.acceptChanges = firstValue(parser, switches.acceptChanges);
        if (options.acceptChanges->isEmpty())
            options.usageError = needsServer.arg(QStringLiteral("--accept-changes")) + u'\n';
    }
}

void readTransfer(const QCommandLineParser &parser, const Switches &switches, const QStringList &given,
                  Options &options)
{
    if (parser.isSet(switches.exportFile) || given.contains(QStringLiteral("--export"))) {
        options.exportFile = firstValue(parser, switches.exportFile);
        if (options.exportFile->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--export needs a file name"));
    }
    if (parser.isSet(switches.importFile) || given.contains(QStringLiteral("--import"))) {
        options.import = Options::Import{firstValue(parser, switches.importFile), parser.isSet(switches.replace),
                                         parser.isSet(switches.dryRun)};
        if (options.import->file.isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--import needs a file name"));
    }
    if (parser.isSet(switches.removeServer) || given.contains(QStringLiteral("--remove-server"))) {
        options.removeServer = firstValue(parser, switches.removeServer);
        if (options.removeServer->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--remove-server needs a server ID or name"));
    }
}

// The server's members that --add-server's own options set, as KEY=VALUE.
QStringList addedMembers(const QCommandLineParser &parser, const Switches &switches)
{
    const std::pair<const QCommandLineOption *, const char *> members[] = {
        {&switches.host, "host"},
        {&switches.port, "port"},
        {&switches.user, "username"},
        {&switches.key, "privateKeyPath"},
        {&switches.daily, "scheduleTime"},
        {&switches.keep, "retentionCount"},
        {&switches.keepWeekly, "keepWeekly"},
        {&switches.keepMonthly, "keepMonthly"},
    };
    QStringList assignments;
    for (const auto &[option, key] : members) {
        if (parser.isSet(*option))
            assignments << QLatin1String(key) + u'=' + firstValue(parser, *option);
    }
    if (parser.isSet(switches.agent))
        assignments << QStringLiteral("useSSHAgent=true");
    if (parser.isSet(switches.daily))
        assignments << QStringLiteral("scheduleEnabled=true");
    return assignments;
}

void readServerChanges(const QCommandLineParser &parser, const Switches &switches, const QStringList &given,
                       Options &options)
{
    if (parser.isSet(switches.addServer) || given.contains(QStringLiteral("--add-server"))) {
        options.addServer =
            ServerCommand::NewServer{firstValue(parser, switches.addServer), addedMembers(parser, switches),
                                     parser.values(switches.path), parser.values(switches.exclude)};
        if (options.addServer->name.trimmed().isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--add-server needs a name"));
        else if (!parser.isSet(switches.host))
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--add-server needs --host HOST"));
        else if (parser.isSet(switches.key) && parser.isSet(switches.agent))
            sayUsage(options,
                     QCoreApplication::translate("EntryPoint", "--add-server takes --key or --agent, not both"));
    }
    const bool pathToo = parser.isSet(switches.setPath) || given.contains(QStringLiteral("--set-path"));
    if (pathToo || parser.isSet(switches.set) || given.contains(QStringLiteral("--set"))) {
        Options::SetServer request{firstValue(parser, pathToo ? switches.setPath : switches.set), std::nullopt,
                                   parser.positionalArguments()};
        const QString option = pathToo ? QStringLiteral("--set-path") : QStringLiteral("--set");
        if (pathToo && !request.assignments.isEmpty())
            request.path = request.assignments.takeFirst();
        // "--set metricsFile=FILE": a setting, not a server.
        const bool setting = !pathToo && request.server.contains(u'=');
        if (setting) {
            request.assignments.prepend(request.server);
            request.server.clear();
        } else if (request.server.isEmpty()) {
            sayUsage(options, QCoreApplication::translate("EntryPoint", "%1 needs a server ID or name").arg(option));
        } else if (pathToo && (!request.path || request.path->isEmpty())) {
            sayUsage(options,
                     QCoreApplication::translate("EntryPoint", "--set-path needs a path's name after the server"));
        } else if (request.assignments.isEmpty()) {
            sayUsage(options, QCoreApplication::translate("EntryPoint", "%1 needs at least one KEY=VALUE").arg(option));
        }
        options.setServer = request;
    }
    if (parser.isSet(switches.metrics) || given.contains(QStringLiteral("--metrics"))) {
        options.metrics = firstValue(parser, switches.metrics);
        if (options.metrics->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--metrics needs a file name"));
    }
    if (parser.isSet(switches.apply) || given.contains(QStringLiteral("--apply"))) {
        options.apply = Options::Apply{firstValue(parser, switches.apply), parser.isSet(switches.check),
                                       parser.isSet(switches.prune)};
        if (options.apply->file.isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--apply needs a file name"));
    }
    options.overdueCheck = parser.isSet(switches.check) && !options.apply;
    options.runOverdue = parser.isSet(switches.runOverdue);
    if (parser.isSet(switches.pause) || given.contains(QStringLiteral("--pause"))) {
        options.pause = firstValue(parser, switches.pause);
        if (options.pause->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--pause needs a server ID or name"));
    }
    if (parser.isSet(switches.copy) || given.contains(QStringLiteral("--copy"))) {
        options.copy = Options::Copy{firstValue(parser, switches.copy), firstValue(parser, switches.server)};
        if (options.copy->target.isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--copy needs the name of a second copy"));
    } else if (parser.isSet(switches.server)) {
        sayUsage(options, QCoreApplication::translate("EntryPoint", "--server is for --copy"));
    }
}

void readEncryption(const QCommandLineParser &parser, const Switches &switches, Options &options)
{
    if (parser.isSet(switches.encryptDestination)) {
        options.encryptDestination = firstValue(parser, switches.passphraseFile);
        options.encryptTarget = firstValue(parser, switches.target);
        if (parser.isSet(switches.target) && options.encryptTarget.isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--target needs the name of a second copy"));
    } else if (parser.isSet(switches.passphraseFile) || parser.isSet(switches.target)) {
        sayUsage(options, QCoreApplication::translate("EntryPoint",
                                                      "--passphrase-file and --target are for --encrypt-destination"));
    }
}

// Said as typed: "-reverse" and "--reverse" both reach the parser as "reverse".
QStringList unknownAsTyped(const QCommandLineParser &parser, const QStringList &arguments)
{
    QStringList unknown;
    for (const QString &name : parser.unknownOptionNames()) {
        for (const QString &argument : arguments.mid(1)) {
            const QString option = argument.section(u'=', 0, 0);
            if (option == u'-' + name || option == QStringLiteral("--") + name) {
                if (!unknown.contains(option))
                    unknown << option;
                break;
            }
        }
    }
    return unknown;
}

} // namespace

Options parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-reverse" is one unknown option, not the letters r, e, v…
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const Switches switches;
    switches.addTo(parser);
    QStringList given = arguments;
    const std::optional<QString> serverFolder = takeServerFolder(given);
    // Errors (an unknown option, "--run-backup" without a value) are not fatal
    // here: what was understood still counts, and the caller says the rest.
    (void)parser.parse(given);

    Options options;
    if (parser.isSet(switches.listBackups) || given.contains(QStringLiteral("--list-backups"))) {
        options.listBackups = firstValue(parser, switches.listBackups);
        if (options.listBackups->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--list-backups needs a server ID or name"));
    }
    if (parser.isSet(switches.verifyRemote) || given.contains(QStringLiteral("--verify-remote")))
        options.verifyRemote = readVerifyRemote(parser, switches, options);
    if (parser.isSet(switches.verify) || given.contains(QStringLiteral("--verify")))
        options.verify = readVerify(parser, switches, options);
    if (parser.isSet(switches.restore) || given.contains(QStringLiteral("--restore"))) {
        options.restore = readRestore(parser, switches, serverFolder);
        checkRestore(*options.restore, options);
    }
    if (parser.isSet(switches.from)) {
        options.from = firstValue(parser, switches.from);
        if (options.from->isEmpty())
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--from needs the name of a second copy"));
        else if (!options.listBackups && !options.restore)
            sayUsage(options, QCoreApplication::translate("EntryPoint", "--from is for --list-backups and --restore"));
    }
    readTransfer(parser, switches, given, options);
    readServerChanges(parser, switches, given, options);
    readRunOrReport(parser, switches, arguments, options);
    readEncryption(parser, switches, options);
    options.help = parser.isSet(switches.help);
    options.version = parser.isSet(switches.version);
    options.status = parser.isSet(switches.status);
    options.json = parser.isSet(switches.json);
    options.nagios = parser.isSet(switches.nagios);
    options.listServers = parser.isSet(switches.servers);
    options.unknownOptions = unknownAsTyped(parser, arguments);
    return options;
}

bool Options::wantsWindow() const
{
    return usageError.isEmpty() && !reportFailure && !runBackup && !help && !version && !listBackups && !restore
           && !status && !acceptChanges && !verifyRemote && !verify && !listServers && !exportFile && !import
           && !removeServer && !addServer && !setServer && !apply && !metrics && !overdueCheck && !copy && !runOverdue
           && !pause && !encryptDestination;
}

namespace {

QString usageText()
{
    return QCoreApplication::translate(
        "EntryPoint", "Usage: tidewell\n"
                      "       tidewell --run-backup SERVER\n"
                      "       tidewell --status [--json | --nagios]\n"
                      "       tidewell --servers [--json]\n"
                      "       tidewell --export FILE\n"
                      "       tidewell --import FILE [--replace | --dry-run]\n"
                      "       tidewell --add-server NAME --host HOST [--port N] [--user USER]\n"
                      "                [--key PATH | --agent] [--path REMOTE[=NAME]]...\n"
                      "                [--exclude PATTERN]... [--daily HH:MM] [--keep N]\n"
                      "                [--keep-weekly N] [--keep-monthly N]\n"
                      "       tidewell --set SERVER KEY=VALUE... | --set KEY=VALUE...\n"
                      "       tidewell --set-path SERVER PATH KEY=VALUE...\n"
                      "       tidewell --apply FILE [--check] [--prune]\n"
                      "       tidewell --remove-server SERVER\n"
                      "       tidewell --check\n"
                      "       tidewell --run-overdue\n"
                      "       tidewell --pause SERVER\n"
                      "       tidewell --metrics FILE\n"
                      "       tidewell --encrypt-destination [--target TARGET] --passphrase-file FILE\n"
                      "       tidewell --report-failure SERVER\n"
                      "       tidewell --list-backups SERVER [--json]\n"
                      "       tidewell --verify SERVER [--date DATE | --all] [--sample PERCENT]\n"
                      "       tidewell --verify-remote SERVER [--date DATE]\n"
                      "       tidewell --accept-changes SERVER\n"
                      "       tidewell --restore SERVER --date DATE --item PATH [--item PATH...]\n"
                      "                (--to FOLDER [--keep-special] | --to-server [FOLDER])\n"
                      "                [--dry-run] [--allow-incomplete]\n"
                      "       tidewell --help | --version\n"
                      "Keep local copies of the files on your servers, copied with rsync over SSH.\n"
                      "\n"
                      "Without options, the window opens (or the open one is shown). SERVER is a\n"
                      "server's ID, or its name when no other server has that name.\n"
                      "\n");
}

QString optionsText()
{
    return QCoreApplication::translate(
        "EntryPoint", "Options:\n"
                      "  --run-backup SERVER     back up this server without a window and exit with\n"
                      "                          the run's status (how daily schedules start Tidewell)\n"
                      "  --status                print each server's health, last run, last success and\n"
                      "                          next run; exit 0 when every scheduled server is ok\n"
                      "                          (pending: scheduled less than 26 hours ago, not run yet)\n"
                      "  --servers               list the servers, one per line: id, name,\n"
                      "                          user@host:port, schedule and health, apart by tabs\n"
                      "  --json                  with --status, --servers or --list-backups: the same\n"
                      "                          as JSON\n"
                      "  --export FILE           write every server and setting to FILE as JSON (key\n"
                      "                          paths, last runs and report addresses left out)\n"
                      "  --import FILE           say what FILE holds; with --replace, make it the\n"
                      "                          configuration and install the schedules it has\n"
                      "  --add-server NAME       add a server (its paths named after their last part\n"
                      "                          unless =NAME follows; --daily schedules it); prints\n"
                      "                          its id\n"
                      "  --set SERVER KEY=VALUE  change members of the server as its JSON form names\n"
                      "                          them (port=2222, scheduleEnabled=true); without\n"
                      "                          SERVER, settings of all (metricsFile=FILE)\n"
                      "  --set-path SERVER PATH KEY=VALUE\n"
                      "                          change a path (remotePath=, enabled=, excludes=[...]);\n"
                      "                          a new PATH is added when remotePath= is given\n"
                      "  --apply FILE            make the configuration match FILE (the export's form;\n"
                      "                          servers matched by id, else by name; with --prune,\n"
                      "                          servers it lacks are removed); one line per change;\n"
                      "                          --check changes nothing and exits 1 if it would\n"
                      "  --remove-server SERVER  remove the server and its schedule (its backups stay)\n"
                      "  --check                 report overdue servers (desktop notice, health check,\n"
                      "                          webhook, e-mail, ntfy) as the window does; what the\n"
                      "                          hourly org.tidewell.check.timer starts\n"
                      "  --run-overdue           start the scheduled backup of every server without a\n"
                      "                          good backup for its period; what the backup drive's\n"
                      "                          org.tidewell.drive.service starts when it is mounted\n"
                      "  --pause SERVER          pause the server's running backup: what it copied is\n"
                      "                          kept, and its next run goes on from there\n"
                      "  --metrics FILE          write each server's figures to FILE for Prometheus\n"
                      "                          (node_exporter's textfile collector)\n"
                      "  --nagios                with --status: one line for a monitoring plugin, exit\n"
                      "                          0 OK, 1 WARNING (overdue), 2 CRITICAL (failing), 3 UNKNOWN\n"
                      "  --report-failure SERVER report a scheduled run of the server that ended without\n"
                      "                          reporting (systemd's OnFailure= starts it); else nothing\n"
                      "  --list-backups SERVER   list the server's backups: day, complete or not\n"
                      "  --verify SERVER         read the copies of the newest complete backup (of\n"
                      "                          DATE, or of every day with --all) against their\n"
                      "                          fingerprints, each file once; --sample 10% reads a\n"
                      "                          tenth of them; exit 1 for damaged files, 20 when\n"
                      "                          stopped (the same command continues the check)\n"
                      "  --verify-remote SERVER  read the newest complete backup (or that of DATE)\n"
                      "                          against the server, every file on both sides; exit 1\n"
                      "                          when a file differs though its size and time agree\n"
                      "  --accept-changes SERVER confirm that most of the server's files changed on\n"
                      "                          purpose: its old backups, kept since, are pruned again\n"
                      "  --restore SERVER        restore remote paths as the backup of DATE\n"
                      "                          (yyyy-MM-dd) holds them: to a folder of this\n"
                      "                          computer (a file already there is kept, the restored\n"
                      "                          one gets \"(restored DATE)\" in its name; devices,\n"
                      "                          FIFOs and setuid bits only with --keep-special, as\n"
                      "                          root), or back to the server, where they came from or\n"
                      "                          into FOLDER, made when missing (files it replaces are\n"
                      "                          kept in a .tidewell-replaced-* folder there);\n"
                      "                          --dry-run only says what it would write\n"
                      "  -h, --help              print this help and exit\n"
                      "  -v, --version           print the version and exit\n"
                      "\n"
                      "Exit statuses: rsync's; 2 for a command line that cannot be followed, 20 for\n"
                      "a cancelled run or restore, 75 while a backup of the server runs. See man\n"
                      "tidewell for more, and files.\n");
}

QString copiesText()
{
    return QCoreApplication::translate(
        "EntryPoint", "\n"
                      "Second copies (copyTargets in the configuration):\n"
                      "  --copy TARGET [--server SERVER]\n"
                      "                          copy every day the second copy TARGET (its name or id)\n"
                      "                          lacks, of every server it takes or of SERVER; exit 1\n"
                      "                          when a copy failed or TARGET was not there\n"
                      "  --from TARGET           with --list-backups and --restore: read the backups\n"
                      "                          from the second copy TARGET (a folder of this computer,\n"
                      "                          or a host over ssh)\n");
}

QString encryptionText()
{
    return QCoreApplication::translate(
        "EntryPoint", "\n"
                      "Encrypted backups (gocryptfs):\n"
                      "  --encrypt-destination [--target TARGET] --passphrase-file FILE\n"
                      "                          make the empty destination (or the folder of the second\n"
                      "                          copy TARGET) an encrypted folder whose passphrase is the\n"
                      "                          first line of FILE (readable by you alone); prints the\n"
                      "                          recovery key once\n");
}

} // namespace

QString helpText()
{
    return usageText() + optionsText() + copiesText() + encryptionText();
}

QString versionText()
{
    return QStringLiteral("Tidewell " TIDEWELL_VERSION "\n");
}

QString unknownOptionsWarning(const QStringList &unknownOptions)
{
    if (unknownOptions.isEmpty())
        return {};
    return QCoreApplication::translate("EntryPoint", "tidewell: unknown option(s) %1 ignored (see tidewell --help)",
                                       nullptr, int(unknownOptions.size()))
               .arg(unknownOptions.join(QStringLiteral(", ")))
           + u'\n';
}

} // namespace EntryPoint
