// SPDX-License-Identifier: GPL-3.0-or-later
// Pausing a backup that runs in another process of this user.
#include "core/cli/PauseCommand.h"

#include "core/cli/CommandOutput.h"
#include "core/engine/OutputDecoder.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerReference.h"
#include "core/storage/ConfigStore.h"
#include "core/system/AppPaths.h"
#include "core/system/FileLock.h"
#include "core/system/FileUtil.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>

namespace PauseCommand {

namespace {

// How long the process that holds the lock may take to answer, and its run
// to stop its rsync and write its log.
constexpr int takeUpWaitMs = 5000;
constexpr int stopWaitMs = 60000;

} // namespace

int pause(const QString &reference)
{
    ConfigStore store;
    if (!CommandOutput::usable(store))
        return ExitCode::refused;
    const auto server = ServerReference::find(store.settings(), reference);
    if (!server) {
        CommandOutput::say(stderr, server.error().message);
        return ExitCode::refused;
    }
    const QString name = OutputDecoder::visible(server->logName());
    const QString lock = AppPaths::runLockFile(server->id);
    const std::optional<qint64> holder = FileLock::holderOf(lock);
    if (!holder) {
        CommandOutput::say(stderr, QStringLiteral("tidewell: no backup of “") + name + QStringLiteral("” is running"));
        return ExitCode::failing;
    }
    const QString request = AppPaths::pauseRequestFile(server->id);
    if (const auto written = FileUtil::writeAtomically(request, QByteArray()); !written) {
        CommandOutput::say(stderr, QStringLiteral("tidewell: ") + request + QStringLiteral(" could not be written: ")
                                       + written.error().message);
        return ExitCode::failing;
    }
    if (::kill(pid_t(*holder), SIGUSR1) != 0) {
        const int error = errno;
        QFile::remove(request);
        CommandOutput::say(stderr, QStringLiteral("tidewell: the backup of “") + name
                                       + QStringLiteral("” could not be asked to pause: ")
                                       + QString::fromLocal8Bit(std::strerror(error)));
        return ExitCode::failing;
    }
    // A run takes the request up at once; a second copy or a restore that
    // holds the lock now leaves it.
    const QDeadlineTimer takenUp(takeUpWaitMs);
    while (QFileInfo::exists(request) && FileLock::isHeld(lock) && !takenUp.hasExpired())
        QThread::msleep(50);
    if (QFile::remove(request)) {
        if (FileLock::isHeld(lock))
            CommandOutput::say(stderr, QStringLiteral("tidewell: “") + name
                                           + QStringLiteral("” is busy with what cannot pause (a second copy, a "
                                                            "restore or a check), not with a backup"));
        else
            CommandOutput::say(stderr, QStringLiteral("tidewell: the backup of “") + name
                                           + QStringLiteral("” ended before it could pause"));
        return ExitCode::failing;
    }
    const QDeadlineTimer deadline(stopWaitMs);
    while (FileLock::isHeld(lock) && !deadline.hasExpired())
        QThread::msleep(100);
    if (FileLock::isHeld(lock)) {
        CommandOutput::say(stdout, QStringLiteral("Asked the backup of “") + name
                                       + QStringLiteral("” to pause; it has not stopped yet."));
        return ExitCode::success;
    }
    CommandOutput::say(stdout, QStringLiteral("Paused the backup of “") + name
                                   + QStringLiteral("”; its next run goes on from where it stopped."));
    return ExitCode::success;
}

} // namespace PauseCommand
