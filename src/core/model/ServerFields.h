// SPDX-License-Identifier: GPL-3.0-or-later
// A server's settings changed by name, as scripts and fleet files name them.
#pragma once

#include "core/model/AppSettings.h"
#include "core/model/Error.h"
#include "core/model/Server.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <tl/expected.hpp>

// Members of a server's (or a path's) JSON form set from "KEY=VALUE" text,
// typed as the JSON form types them: true or false, a whole number, a text,
// or for a list a JSON array of texts (any other text is a list of one).
// Only what a user configures can be set: ids, the list of paths and what
// runs record (last run, checks, a held change) cannot.
namespace ServerFields {

// Sets one member; the server is unchanged when the key is not one that can
// be set, or the value is not of its type or range (code invalid, the
// message one line in the user's language).
tl::expected<void, Error> set(Server &server, const QString &assignment);
tl::expected<void, Error> set(BackupPath &path, const QString &assignment);
// The same for a setting of all servers (Settings' keys but the servers).
tl::expected<void, Error> set(AppSettings &settings, const QString &assignment);

// The members that differ between two JSON forms of the same server, one
// line each as "port 22 → 2222"; paths are matched by id, else by name
// ("path “www” added", "path “www”: remotePath /var/www → /srv/www"). What
// runs record is left out.
QStringList differences(const QJsonObject &before, const QJsonObject &after);
// The same for the settings of all servers.
QStringList differences(const AppSettings &before, const AppSettings &after);
// One member's line of those: "port 22 → 2222"; for an address that may
// hold a token (a URL, an e-mail address) only "webhookURL changed".
QString difference(const QString &key, const QJsonValue &before, const QJsonValue &after);

} // namespace ServerFields
