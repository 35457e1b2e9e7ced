// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the command line: a headless run or the window.
#include "core/EntryPoint.h"

#include "core/model/ServerId.h"

#include <QCommandLineParser>

namespace EntryPoint {

Options parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-reverse" is one unknown option, not the letters r, e, v…
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption runBackup(QStringLiteral("run-backup"), QString(), QStringLiteral("SERVER-ID"));
    const QCommandLineOption status(QStringLiteral("status"));
    const QCommandLineOption json(QStringLiteral("json"));
    parser.addOptions({help, version, runBackup, status, json});
    // Errors (an unknown option, "--run-backup" without a value) are not fatal
    // here: what was understood still counts, and the caller says the rest.
    (void)parser.parse(arguments);

    Options options;
    if (parser.isSet(runBackup)) {
        // The first one counts, as a scheduled unit writes it.
        const QStringList values = parser.values(runBackup);
        const QString value = values.isEmpty() ? QString() : values.constFirst();
        options.runBackup = ServerId::parse(value);
        if (!options.runBackup) {
            options.usageError =
                value.isEmpty() ? QStringLiteral("tidewell: --run-backup needs a server ID (see tidewell --help)\n")
                                : QStringLiteral("tidewell: --run-backup needs a server ID, not “") + value
                                      + QStringLiteral("” (see tidewell --help)\n");
        }
    } else if (arguments.contains(QStringLiteral("--run-backup"))) {
        options.usageError = QStringLiteral("tidewell: --run-backup needs a server ID (see tidewell --help)\n");
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    options.status = parser.isSet(status);
    options.json = parser.isSet(json);
    // Said as typed: "-reverse" and "--reverse" both reach the parser as "reverse".
    for (const QString &name : parser.unknownOptionNames()) {
        for (const QString &argument : arguments.mid(1)) {
            const QString option = argument.section(u'=', 0, 0);
            if (option == u'-' + name || option == QStringLiteral("--") + name) {
                if (!options.unknownOptions.contains(option))
                    options.unknownOptions << option;
                break;
            }
        }
    }
    return options;
}

QString helpText()
{
    return QStringLiteral("Usage: tidewell [--run-backup SERVER-ID | --status [--json]]\n"
                          "Keep local copies of the files on your servers, copied with rsync over SSH.\n"
                          "\n"
                          "Without options, the window opens (or the open one is shown).\n"
                          "\n"
                          "Options:\n"
                          "  --run-backup SERVER-ID  back up this server without a window and exit with\n"
                          "                          the run's status (how daily schedules start Tidewell)\n"
                          "  --status                print each server's health, last run, last success and\n"
                          "                          next run; exit 0 when every scheduled server is ok\n"
                          "  --json                  with --status: the same as JSON\n"
                          "  -h, --help              print this help and exit\n"
                          "  -v, --version           print the version and exit\n"
                          "\n"
                          "See man tidewell for exit statuses and files.\n");
}

QString versionText()
{
    return QStringLiteral("Tidewell " TIDEWELL_VERSION "\n");
}

QString unknownOptionsWarning(const QStringList &unknownOptions)
{
    if (unknownOptions.isEmpty())
        return {};
    return (unknownOptions.size() == 1 ? QStringLiteral("tidewell: unknown option ")
                                       : QStringLiteral("tidewell: unknown options "))
           + unknownOptions.join(QStringLiteral(", ")) + QStringLiteral(" ignored (see tidewell --help)\n");
}

} // namespace EntryPoint
