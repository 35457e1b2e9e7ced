// SPDX-License-Identifier: GPL-3.0-or-later
// Refuses host and user names that ssh would read as options or split.
#include "core/ssh/TargetCheck.h"

#include "core/model/ServerCheck.h"

namespace TargetCheck {

tl::expected<void, Error> host(const QString &host)
{
    return ServerCheck::checkHost(host);
}

tl::expected<void, Error> user(const QString &username)
{
    return ServerCheck::checkUser(username);
}

tl::expected<void, Error> target(const QString &hostName, const QString &username)
{
    return host(hostName).and_then([&] { return user(username); });
}

} // namespace TargetCheck
