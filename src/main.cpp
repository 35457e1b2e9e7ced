// SPDX-License-Identifier: GPL-3.0-or-later
// The program entry: a headless run or the windowed application.
#include "core/cli/ChangeCommand.h"
#include "core/cli/CheckCommand.h"
#include "core/cli/ConfigCommand.h"
#include "core/cli/CopyCommand.h"
#include "core/cli/DriveCommand.h"
#include "core/cli/EncryptCommand.h"
#include "core/cli/EntryPoint.h"
#include "core/cli/FleetCommand.h"
#include "core/cli/HeadlessRunner.h"
#include "core/cli/PauseCommand.h"
#include "core/cli/RestoreCommand.h"
#include "core/cli/StatusReport.h"
#include "core/cli/VerifyCommand.h"
#include "core/model/ExitCode.h"
#include "core/ssh/AskpassServer.h"
#include "core/ssh/SSHTester.h"
#include "core/system/DiagnosticLog.h"
#include "core/system/EncryptedFolder.h"
#include "core/system/SignalWatcher.h"
#include "core/system/SingleInstance.h"
#include "core/system/Translations.h"
#include "ui/TidewellApp.h"
#include "ui/widgets/Icons.h"

#include <QApplication>
#include <QCoreApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

// Commands that read the copies: an encrypted destination's plaintext view
// is held while they run.
bool readsDestination(const EntryPoint::Options &options)
{
    return options.listBackups || options.verifyRemote || options.verify || options.copy || options.restore
           || options.metrics;
}

// The second copy a command reads instead of the destination, if it names one.
QString readsCopy(const EntryPoint::Options &options)
{
    if (options.restore)
        return options.restore->from;
    return options.listBackups ? options.from.value_or(QString()) : QString();
}

// Help, reports, restores and scheduled runs: no display needed, no window.
// They speak the user's language as the window does (logs do not).
int runHeadless(int argc, char *argv[], const QStringList &arguments)
{
    QCoreApplication app(argc, argv);
    Translations::install();
    const EntryPoint::Options options = EntryPoint::parse(arguments);
    if (!options.usageError.isEmpty() && !options.help && !options.version) {
        std::fputs(options.usageError.toLocal8Bit().constData(), stderr);
        return ExitCode::refused;
    }
    // What a killed process left open is closed first.
    for (const QString &line : PlainView::cleanStale())
        DiagnosticLog::write(line);
    if (options.reportFailure)
        return HeadlessRunner::reportFailure(*options.reportFailure);
    if (options.runBackup)
        return HeadlessRunner::exec(*options.runBackup);
    if (options.help || options.version) {
        std::fputs((options.help ? EntryPoint::helpText() : EntryPoint::versionText()).toLocal8Bit().constData(),
                   stdout);
        return ExitCode::success;
    }
    if (options.encryptDestination)
        return EncryptCommand::encryptDestination(*options.encryptDestination, options.encryptTarget);
    PlainView destination;
    if (readsDestination(options)) {
        const auto held = EncryptCommand::holdDestination(readsCopy(options));
        if (!held) {
            std::fputs((held.error() + u'\n').toLocal8Bit().constData(), stderr);
            return ExitCode::refused;
        }
        destination = *held;
    }
    if (options.listBackups)
        return RestoreCommand::listBackups(*options.listBackups, options.json, options.from.value_or(QString()));
    if (options.acceptChanges)
        return ChangeCommand::acceptChanges(*options.acceptChanges);
    if (options.verifyRemote)
        return RestoreCommand::verifyRemote(options.verifyRemote->server, options.verifyRemote->date);
    if (options.verify)
        return VerifyCommand::verify(*options.verify);
    if (options.copy)
        return CopyCommand::exec(options.copy->target, options.copy->server);
    if (options.restore)
        return RestoreCommand::restore(*options.restore);
    if (options.addServer)
        return ServerCommand::add(*options.addServer);
    if (options.overdueCheck)
        return CheckCommand::exec();
    if (options.runOverdue)
        return DriveCommand::runOverdue();
    if (options.pause)
        return PauseCommand::pause(*options.pause);
    if (options.metrics)
        return StatusReport::writeMetrics(*options.metrics);
    if (options.setServer && options.setServer->server.isEmpty())
        return ServerCommand::setSettings(options.setServer->assignments);
    if (options.setServer && options.setServer->path)
        return ServerCommand::setPath(options.setServer->server, *options.setServer->path,
                                      options.setServer->assignments);
    if (options.setServer)
        return ServerCommand::set(options.setServer->server, options.setServer->assignments);
    if (options.apply)
        return FleetCommand::apply(options.apply->file, options.apply->check, options.apply->prune);
    if (options.removeServer)
        return ConfigCommand::removeServer(*options.removeServer);
    if (options.exportFile)
        return ConfigCommand::exportTo(*options.exportFile);
    if (options.import)
        return ConfigCommand::importFrom(options.import->file, options.import->replace, options.import->dryRun);
    if (options.listServers)
        return StatusReport::exec(options.json ? StatusReport::Format::serversJson : StatusReport::Format::servers);
    // For monitoring: reads the configuration, prints, ends. No bus.
    return StatusReport::exec(options.nagios ? StatusReport::Format::nagios
                              : options.json ? StatusReport::Format::json
                                             : StatusReport::Format::text);
}

// Without X11, Wayland or a platform named for Qt, a window cannot open:
// one line instead of Qt's abort.
bool hasDisplay(const QStringList &arguments)
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    }
    return arguments.contains(QStringLiteral("-platform"));
}

int sayNoDisplay(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Translations::install();
    std::fputs(QCoreApplication::translate("main", "tidewell: no display: use --run-backup, --status or --help on a "
                                                   "machine without a desktop.\n")
                   .toLocal8Bit()
                   .constData(),
               stderr);
    return ExitCode::refused;
}

int runWindowed(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tidewell"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tidewell.Tidewell"));
    QApplication::setWindowIcon(Icons::application());
    Translations::install();
    // Qt has taken its own options (-platform, -style…) out by now.
    const QString warning =
        EntryPoint::unknownOptionsWarning(EntryPoint::parse(QCoreApplication::arguments()).unknownOptions);
    if (!warning.isEmpty())
        std::fputs(warning.toLocal8Bit().constData(), stderr);

    SingleInstance instance;
    switch (instance.claim()) {
    case SingleInstance::Claim::handedOver:
        return ExitCode::success;
    case SingleInstance::Claim::alone:
        if (!instance.problem().isEmpty() && instance.problem() != QStringLiteral("no session bus"))
            std::fprintf(stderr, "tidewell: %s; opening a window of its own\n",
                         instance.problem().toLocal8Bit().constData());
        break;
    case SingleInstance::Claim::first:
        break;
    }
    for (const QString &line : PlainView::cleanStale())
        DiagnosticLog::write(line);
    // Someone is there to see a new host key before ssh records it.
    SSHTester::setHostKeyPolicy(SSHTester::HostKeyPolicy::strict);
    TidewellApp tidewell;
    QObject::connect(&instance, &SingleInstance::showRequested, &tidewell, &TidewellApp::openMainWindow);
    SignalWatcher terminations({SIGTERM, SIGINT, SIGHUP, SIGUSR1});
    QObject::connect(&terminations, &SignalWatcher::received, &tidewell, [&tidewell](int number) {
        if (number == SIGUSR1)
            tidewell.pauseOnRequest();
        else
            tidewell.quitForSignal(number);
    });
    tidewell.start();
    return app.exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Started by ssh as its SSH_ASKPASS program (see AskpassServer): the
    // prompt is the one argument, the answer comes from the window.
    if (const char *socket = std::getenv(AskpassServer::environmentName); socket && *socket && argc == 2)
        return AskpassServer::answerPrompt(socket, argv[1]);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Parsed again once the translations are in, so that problems are said
    // in the user's language.
    const EntryPoint::Options options = EntryPoint::parse(arguments);
    if (!options.wantsWindow())
        return runHeadless(argc, argv, arguments);
    return hasDisplay(arguments) ? runWindowed(argc, argv) : sayNoDisplay(argc, argv);
}
