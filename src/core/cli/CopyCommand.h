// SPDX-License-Identifier: GPL-3.0-or-later
// Second copies from the command line.
#pragma once

#include <QString>

namespace CopyCommand {

// tidewell --copy TARGET [--server SERVER]: every missing day of the
// servers the target takes (or of one), with the lines of each copy on
// standard output. Exit 0 when the target holds every day, 1 when a copy
// failed or the target was not there, 2 for a target or server that cannot
// be found, 20 when stopped.
int exec(const QString &target, const QString &server);

} // namespace CopyCommand
