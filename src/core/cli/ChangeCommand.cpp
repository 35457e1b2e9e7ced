// SPDX-License-Identifier: GPL-3.0-or-later
// Confirming a mass change from the command line.
#include "core/cli/ChangeCommand.h"

#include "core/engine/MassChange.h"
#include "core/model/ExitCode.h"
#include "core/model/ServerReference.h"
#include "core/storage/ConfigStore.h"

#include <QCoreApplication>

#include <cstdio>

namespace ChangeCommand {

namespace {

void say(FILE *stream, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

} // namespace

int acceptChanges(const QString &reference)
{
    ConfigStore store;
    if (const QString problem = store.loadProblem(); !problem.isEmpty()) {
        say(stderr, QCoreApplication::translate("ChangeCommand", "tidewell: the configuration could not be read: %1")
                        .arg(problem));
        return ExitCode::refused;
    }
    const auto server = ServerReference::find(store.settings(), reference);
    if (!server) {
        say(stderr, server.error().message);
        return ExitCode::refused;
    }
    const auto accepted = MassChange::accept(store, server->id);
    if (!accepted) {
        say(stderr, QCoreApplication::translate("ChangeCommand", "tidewell: the old backups of “%1” stay held: %2")
                        .arg(server->shownName(), accepted.error().message));
        return ExitCode::failing;
    }
    say(stdout,
        *accepted
            ? QCoreApplication::translate("ChangeCommand", "Old backups of “%1” are pruned again from its next run.")
                  .arg(server->shownName())
            : QCoreApplication::translate("ChangeCommand", "No change of “%1” is held.").arg(server->shownName()));
    return ExitCode::success;
}

} // namespace ChangeCommand
