// SPDX-License-Identifier: GPL-3.0-or-later
// Refuses host and user names that ssh would read as options or split.
#include "core/ssh/TargetCheck.h"

namespace TargetCheck {

static tl::expected<void, QString> check(const QString &value, const QString &what)
{
    const QString quoted = QStringLiteral("Refusing ") + what + QStringLiteral(" “") + value + QStringLiteral("”: ");
    if (value.startsWith(u'-'))
        return tl::unexpected(quoted + QStringLiteral("it begins with “-” and would be read as an ssh option."));
    for (const QChar c : value) {
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return tl::unexpected(quoted + QStringLiteral("it contains white space or control characters."));
    }
    return {};
}

tl::expected<void, QString> host(const QString &host)
{
    return check(host, QStringLiteral("host name"));
}

tl::expected<void, QString> user(const QString &username)
{
    return check(username, QStringLiteral("user name"));
}

tl::expected<void, QString> target(const QString &hostName, const QString &username)
{
    return host(hostName).and_then([&] { return user(username); });
}

} // namespace TargetCheck
