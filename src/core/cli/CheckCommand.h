// SPDX-License-Identifier: GPL-3.0-or-later
// tidewell --check: what the open window watches for, without a window.
#pragma once

namespace CheckCommand {

// Looks at every scheduled server as the window does each hour: an overdue
// one gets its desktop notice (once a day, shared with the window) and is
// reported where runs are reported (health check, webhook, e-mail; once a
// day per server), one line each on standard output; then the metrics file
// is rewritten. What a daily user timer starts, so that a host without a
// desktop still hears of a backup that stopped. Exit 0, or 2 when the
// configuration cannot be read.
int exec();

} // namespace CheckCommand
