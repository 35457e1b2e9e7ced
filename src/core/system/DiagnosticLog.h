// SPDX-License-Identifier: GPL-3.0-or-later
// Diagnostics the user never sees in the window.
#pragma once

#include <QString>

// Diagnostics the user never sees in the window: one line on standard error.
namespace DiagnosticLog {

void write(const QString &line);

} // namespace DiagnosticLog
