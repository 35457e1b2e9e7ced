// SPDX-License-Identifier: GPL-3.0-or-later
// What a server or path without a name is called.
#pragma once

#include <QString>

namespace DisplayName {

// The name as logs, JSON and scripts have it: "(untitled)" when there is none.
QString logged(const QString &name);
// The same in the user's language, for the window and notifications.
QString shown(const QString &name);

} // namespace DisplayName
