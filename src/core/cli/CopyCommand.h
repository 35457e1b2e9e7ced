// SPDX-License-Identifier: GPL-3.0-or-later
// Second copies from the command line and after a scheduled run.
#pragma once

#include "core/model/AppSettings.h"

#include <QDBusPendingCall>
#include <QString>

#include <qcoro/qcorotask.h>

#include <optional>

class CopyRunner;
class RunReporter;

namespace CopyCommand {

// After a successful backup of the server: its new days go to every
// enabled target that takes it, one after another. Their lines go to the
// end of the server's run log; a copy that failed is notified (the
// notification is returned), one that found its target missing is not.
// What they did goes to `reporter` (see RunReporter::reportCopies()).
// The backup's own result is never changed by a copy.
QCoro::Task<std::optional<QDBusPendingCall>> afterRun(AppSettings settings, Server server, CopyRunner &runner,
                                                      RunReporter &reporter);

// tidewell --copy TARGET [--server SERVER]: every missing day of the
// servers the target takes (or of one), with the lines of each copy on
// standard output. Exit 0 when the target holds every day, 1 when a copy
// failed or the target was not there, 2 for a target or server that cannot
// be found, 20 when stopped.
int exec(const QString &target, const QString &server);

} // namespace CopyCommand
