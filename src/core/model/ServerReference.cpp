// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the server a command line names.
#include "core/model/ServerReference.h"

#include "core/model/ServerId.h"

#include <QCoreApplication>

namespace ServerReference {

namespace {

QString described(const Server &server)
{
    return server.logName() + QStringLiteral(" (") + ServerId::text(server.id) + u')';
}

} // namespace

tl::expected<Server, Error> find(const AppSettings &settings, const QString &reference)
{
    if (const auto id = ServerId::parse(reference)) {
        if (const Server *server = settings.server(*id))
            return *server;
        return tl::unexpected(
            Error{Error::Code::notFound,
                  QCoreApplication::translate("ServerReference", "tidewell: no server %1 in the configuration")
                      .arg(ServerId::text(*id))});
    }
    QStringList same;
    QStringList near;
    const Server *found = nullptr;
    for (const Server &server : settings.servers) {
        if (server.name == reference) {
            found = &server;
            same << described(server);
        } else if (!reference.isEmpty() && server.name.contains(reference, Qt::CaseInsensitive)) {
            near << described(server);
        }
    }
    if (same.size() == 1 && found)
        return *found;
    if (same.size() > 1)
        return tl::unexpected(Error{
            Error::Code::ambiguous,
            QCoreApplication::translate("ServerReference", "tidewell: “%1” names %2 servers: %3; give the one you "
                                                           "mean by its id")
                .arg(reference, QString::number(same.size()), same.join(QStringLiteral(", ")))});
    if (!near.isEmpty())
        return tl::unexpected(
            Error{Error::Code::notFound,
                  QCoreApplication::translate("ServerReference", "tidewell: no server is named “%1”; similar: %2")
                      .arg(reference, near.mid(0, 10).join(QStringLiteral(", ")))});
    return tl::unexpected(
        Error{Error::Code::notFound, QCoreApplication::translate("ServerReference", "tidewell: no server is named “%1” "
                                                                                    "(tidewell --status lists them)")
                                         .arg(reference)});
}

} // namespace ServerReference
