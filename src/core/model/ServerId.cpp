// SPDX-License-Identifier: GPL-3.0-or-later
// Canonical UUID text, written to every file and read from the command line.
#include "core/model/ServerId.h"

#include <QRegularExpression>

namespace ServerId {

QString text(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

std::optional<QUuid> parse(const QString &text)
{
    static const QRegularExpression canonical(
        QStringLiteral("^[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}$"));
    if (!canonical.match(text).hasMatch())
        return std::nullopt;
    return QUuid::fromString(text);
}

} // namespace ServerId
