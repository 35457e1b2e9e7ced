// SPDX-License-Identifier: GPL-3.0-or-later
// Handing a mail to the local mail transfer agent.
#pragma once

#include <QByteArray>
#include <QString>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// A plain-text mail handed to `sendmail -t -oi` (the Debian convention for
// the local mail transfer agent; no SMTP of Tidewell's own).
namespace Sendmail {

inline const QString executable = QStringLiteral("/usr/sbin/sendmail");

// Why mail cannot go to `address`; empty when it can. One plain address:
// no line breaks, no "," (more recipients), not starting with "-".
QString addressProblem(const QString &address);
// The whole message: To, Subject (encoded when not ASCII), MIME headers, body.
QByteArray message(const QString &to, const QString &subject, const QString &body);
QCoro::Task<tl::expected<void, QString>> send(QString program, QString to, QString subject, QString body);

} // namespace Sendmail
