// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/model/DisplayName.h"

#include <QCoreApplication>

namespace DisplayName {

QString logged(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("(untitled)") : name;
}

QString shown(const QString &name)
{
    return name.isEmpty() ? QCoreApplication::translate("ServerRules", "(untitled)") : name;
}

} // namespace DisplayName
