// SPDX-License-Identifier: GPL-3.0-or-later
// Refuses host and user names that ssh would read as options or split.
#include "core/ssh/TargetCheck.h"

#include "core/model/ServerCheck.h"

namespace TargetCheck {

static tl::expected<void, QString> check(const QString &problem)
{
    if (!problem.isEmpty())
        return tl::unexpected(problem);
    return {};
}

tl::expected<void, QString> host(const QString &host)
{
    return check(ServerCheck::hostProblem(host));
}

tl::expected<void, QString> user(const QString &username)
{
    return check(ServerCheck::userProblem(username));
}

tl::expected<void, QString> target(const QString &hostName, const QString &username)
{
    return host(hostName).and_then([&] { return user(username); });
}

} // namespace TargetCheck
