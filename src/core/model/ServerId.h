// SPDX-License-Identifier: GPL-3.0-or-later
// The canonical text form of ids.
#pragma once

#include <QString>
#include <QUuid>

#include <optional>

// The canonical text of a server or path id: 36 characters, upper-case hex
// with hyphens. It names log files, schedule units and the command line.
namespace ServerId {

QString text(const QUuid &id);
// Accepts the canonical form in either case, without braces; nothing else.
std::optional<QUuid> parse(const QString &text);

} // namespace ServerId
