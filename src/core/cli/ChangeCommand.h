// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --accept-changes: the user confirms a mass change.
#pragma once

#include <QString>

namespace ChangeCommand {

// Lifts the hold on the server's old days (see ChangeHold): retention prunes
// again from the next run. Exit 0 (also when nothing was held), 2 for a
// server or configuration that cannot be found, 1 when the hold stays.
int acceptChanges(const QString &reference);

} // namespace ChangeCommand
