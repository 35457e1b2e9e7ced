// SPDX-License-Identifier: GPL-3.0-or-later
// Refuses host and user names that ssh would misread.
#pragma once

#include "core/model/Error.h"

#include <QString>

#include <tl/expected.hpp>

// Host and user names reach ssh, rsync's ssh and ssh-keyscan as arguments.
// One that begins with "-" would be taken as an option (-oProxyCommand=… runs
// a command here), and white space or control characters would split it.
namespace TargetCheck {

// Succeeds when the value is safe to pass on; the error says why not.
tl::expected<void, Error> host(const QString &host);
tl::expected<void, Error> user(const QString &username);
tl::expected<void, Error> target(const QString &host, const QString &username);

} // namespace TargetCheck
