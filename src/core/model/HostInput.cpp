// SPDX-License-Identifier: GPL-3.0-or-later
// Splitting "user@host:port" into its fields.
#include "core/model/HostInput.h"

#include <algorithm>

namespace HostInput {

namespace {

std::optional<qint64> portOf(const QString &text)
{
    bool ok = false;
    const qint64 port = text.toLongLong(&ok);
    const bool digitsOnly =
        !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return ok && digitsOnly && port >= 1 && port <= 65535 ? std::optional<qint64>(port) : std::nullopt;
}

} // namespace

std::optional<Parts> split(const QString &text)
{
    QString rest = text.trimmed();
    bool changed = false;
    static const QString scheme = QStringLiteral("ssh://");
    if (rest.startsWith(scheme, Qt::CaseInsensitive)) {
        rest = rest.mid(scheme.size());
        // A URL's path ("/", "/home") is no part of the host.
        if (const qsizetype slash = rest.indexOf(u'/'); slash >= 0)
            rest.truncate(slash);
        changed = true;
    }
    Parts parts;
    if (const qsizetype at = rest.lastIndexOf(u'@'); at >= 0) {
        parts.user = rest.left(at);
        rest = rest.mid(at + 1);
        if (parts.user.isEmpty())
            return std::nullopt;
        changed = true;
    }
    if (rest.startsWith(u'[')) {
        const qsizetype close = rest.indexOf(u']');
        if (close < 0)
            return std::nullopt;
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(u':') || !(parts.port = portOf(after.mid(1))))
                return std::nullopt;
        }
        rest = rest.mid(1, close - 1);
        changed = true;
    } else if (rest.count(u':') == 1) {
        const qsizetype colon = rest.indexOf(u':');
        if (!(parts.port = portOf(rest.mid(colon + 1))))
            return std::nullopt;
        rest.truncate(colon);
        changed = true;
    }
    if (!changed || rest.isEmpty())
        return std::nullopt;
    parts.host = rest;
    return parts;
}

} // namespace HostInput
