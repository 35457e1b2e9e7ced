// SPDX-License-Identifier: GPL-3.0-or-later
// One folder of a server, listed over ssh for the remote folder browser.
#pragma once

#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <qcoro/qcorotask.h>

#include <tl/expected.hpp>

// Lists one folder of a server with a fixed remote command (cd, then GNU
// find printing each entry's type and name, NUL-separated), so names with
// spaces, line breaks or any other character come back exactly.
namespace RemoteListing {

struct Entry
{
    QString name;
    bool isFolder = false; // a folder, or a link to one
    friend bool operator==(const Entry &, const Entry &) = default;
};

struct Listing
{
    QString folder;       // absolute, as the server's shell resolved it
    QList<Entry> entries; // folders first, hidden ones last, then by name
};

// The remote command for `folder`: empty, "~" or "~/…" are the account's
// home and below it; anything else is quoted for the remote shell.
QString command(const QString &folder);
// A remote command that prints the absolute folder `folder` names ("~/www"
// is in the account's home), as the server's shell resolves it.
QString resolveCommand(const QString &folder);
// What the command printed: the folder, a NUL, then "<type>\t<name>\0" per entry.
tl::expected<Listing, Error> parse(const QByteArray &output);
QCoro::Task<tl::expected<Listing, Error>> list(Server server, QString folder);
// `name` inside `folder` ("/" stays single).
QString join(const QString &folder, const QString &name);

} // namespace RemoteListing
