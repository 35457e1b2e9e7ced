// SPDX-License-Identifier: GPL-3.0-or-later
// Whether this account's timers outlive its sessions (systemd-logind's lingering).
#pragma once

#include <QDBusConnection>
#include <QString>

#include <qcoro/qcorotask.h>

namespace Lingering {

// True when logind (on `systemBus`) says this account does not linger and
// has no graphical session: its user manager, and so its daily timers,
// stop when the last login ends, as on a backup host reached only over
// ssh. False when it lingers, sits at a desktop, or logind cannot be asked.
QCoro::Task<bool> timersNeedALogin(QDBusConnection systemBus);

// "Timers run only while you are logged in: run `loginctl enable-linger <user>`".
QString advice();

} // namespace Lingering
