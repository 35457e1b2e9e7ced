// SPDX-License-Identifier: GPL-3.0-or-later
// What users paste into a host field: "user@host:port" and its relatives.
#pragma once

#include <QString>

#include <optional>

// Splits what is typed or pasted into the Host field into its parts:
// "deploy@example.org", "example.org:2222", "deploy@example.org:2222",
// "ssh://deploy@example.org:2222/" and "[2001:db8::1]:2222". A bare IPv6
// address ("2001:db8::1") is a host of its own; a port that is not one
// (0, 70000, "ssh") leaves the text as it is, for the field's problem note.
namespace HostInput {

struct Parts
{
    QString user; // empty: not given
    QString host;
    std::optional<qint64> port;
    friend bool operator==(const Parts &, const Parts &) = default;
};

// The parts when there is more than a plain host name in `text`, else nothing.
std::optional<Parts> split(const QString &text);

} // namespace HostInput
