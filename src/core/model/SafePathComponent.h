// SPDX-License-Identifier: GPL-3.0-or-later
// Server and path names made into one safe folder name.
#pragma once

#include <QString>

// Turns a server or path name into one folder name: never empty, never a
// separator, never "." or "..".
QString safePathComponent(const QString &name);
