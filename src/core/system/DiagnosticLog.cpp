// SPDX-License-Identifier: GPL-3.0-or-later
// One diagnostic line on standard error.
#include "core/system/DiagnosticLog.h"

#include <cstdio>

namespace DiagnosticLog {

void write(const QString &line)
{
    const QByteArray bytes = (line + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace DiagnosticLog
