// SPDX-License-Identifier: GPL-3.0-or-later
// Handing a mail to the local mail transfer agent.
#pragma once

#include "core/model/Error.h"

#include <QByteArray>
#include <QString>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// A plain-text mail handed to `sendmail -t -oi` (the Debian convention for
// the local mail transfer agent; no SMTP of Tidewell's own).
namespace Sendmail {

inline const QString executable = QStringLiteral("/usr/sbin/sendmail");

// Whether mail can go to `address` (code invalid, and why not, when not).
// One plain address: no line breaks, no "," (more recipients), not starting
// with "-".
tl::expected<void, Error> checkAddress(const QString &address);
// The whole message: To, Subject (encoded when not ASCII), MIME headers, body.
QByteArray message(const QString &to, const QString &subject, const QString &body);
QCoro::Task<tl::expected<void, Error>> send(QString program, QString to, QString subject, QString body);

} // namespace Sendmail
