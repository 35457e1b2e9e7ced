// SPDX-License-Identifier: GPL-3.0-or-later
// Lines of the configuration commands.
#include "core/cli/CommandOutput.h"

#include "core/storage/ConfigStore.h"

#include <QCoreApplication>

namespace CommandOutput {

void say(FILE *stream, const QString &line)
{
    std::fputs((line + u'\n').toLocal8Bit().constData(), stream);
}

bool usable(const ConfigStore &store)
{
    if (const QString problem = store.loadProblem(); !problem.isEmpty()) {
        say(stderr, QCoreApplication::translate("ConfigCommand", "tidewell: the configuration could not be read: %1")
                        .arg(problem));
        return false;
    }
    return true;
}

} // namespace CommandOutput
