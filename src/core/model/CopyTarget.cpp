// SPDX-License-Identifier: GPL-3.0-or-later
// A copy target and its JSON form.
#include "core/model/CopyTarget.h"

#include "core/model/JsonReader.h"
#include "core/model/ServerId.h"

#include <QJsonArray>

namespace {

QString kindName(CopyTarget::Kind kind)
{
    return kind == CopyTarget::Kind::ssh ? QStringLiteral("ssh") : QStringLiteral("folder");
}

} // namespace

bool CopyTarget::takes(const QUuid &serverID) const
{
    return servers.isEmpty() || servers.contains(serverID);
}

QString CopyTarget::shownName() const
{
    return name.trimmed().isEmpty() ? ServerId::text(id) : name;
}

QString CopyTarget::where() const
{
    if (kind == Kind::folder)
        return path;
    return port == 22 ? host : host + u':' + QString::number(port);
}

Server CopyTarget::connection() const
{
    Server server;
    server.id = id;
    server.name = shownName();
    server.host = host;
    server.port = port;
    server.username = username;
    server.privateKeyPath = privateKeyPath;
    // No key named: ssh's own keys and agent, never "-i" with nothing.
    server.useSSHAgent = useSSHAgent || privateKeyPath.isEmpty();
    return server;
}

Server CopyTarget::retentionOf(const Server &server) const
{
    Server kept = server;
    kept.retentionCount = keepDaily.value_or(server.retentionCount);
    kept.keepWeekly = keepWeekly.value_or(server.keepWeekly);
    kept.keepMonthly = keepMonthly.value_or(server.keepMonthly);
    return kept;
}

QJsonObject CopyTarget::toJson() const
{
    QJsonArray serverArray;
    for (const QUuid &server : servers)
        serverArray.append(ServerId::text(server));
    QJsonObject object{
        {QStringLiteral("id"), ServerId::text(id)},
        {QStringLiteral("name"), name},
        {QStringLiteral("enabled"), enabled},
        {QStringLiteral("kind"), kindName(kind)},
        {QStringLiteral("path"), path},
        {QStringLiteral("servers"), serverArray},
    };
    if (kind == Kind::ssh) {
        object.insert(QStringLiteral("host"), host);
        object.insert(QStringLiteral("port"), port);
        object.insert(QStringLiteral("username"), username);
        object.insert(QStringLiteral("privateKeyPath"), privateKeyPath);
        object.insert(QStringLiteral("useSSHAgent"), useSSHAgent);
    }
    for (const auto &[key, value] :
         {std::pair{QStringLiteral("keepDaily"), keepDaily}, std::pair{QStringLiteral("keepWeekly"), keepWeekly},
          std::pair{QStringLiteral("keepMonthly"), keepMonthly}}) {
        if (value)
            object.insert(key, *value);
    }
    if (encrypted)
        object.insert(QStringLiteral("encrypted"), true);
    return object;
}

tl::expected<CopyTarget, DecodeError> CopyTarget::fromJson(const QJsonObject &object, const QString &context,
                                                           QStringList *warnings)
{
    CopyTarget target;
    JsonReader reader(object, context, warnings);
    reader.read("id", target.id);
    reader.read("name", target.name);
    reader.read("enabled", target.enabled);
    QString kind = kindName(target.kind);
    reader.read("kind", kind);
    if (kind == QStringLiteral("ssh"))
        target.kind = Kind::ssh;
    else if (kind != QStringLiteral("folder"))
        // Never taken for another kind: a host's folder name is not a folder here.
        reader.fail(
            Error{Error::Code::invalid, QStringLiteral("“%1.kind” must be “folder” or “ssh”.").arg(reader.context())});
    reader.read("path", target.path);
    reader.read("host", target.host);
    reader.read("port", target.port);
    reader.read("username", target.username);
    reader.read("privateKeyPath", target.privateKeyPath);
    reader.read("useSSHAgent", target.useSSHAgent);
    QStringList servers;
    reader.read("servers", servers);
    for (const QString &text : std::as_const(servers)) {
        if (const auto id = ServerId::parse(text))
            target.servers << *id;
        else
            reader.refuse("servers", "a list of server ids");
    }
    reader.read("keepDaily", target.keepDaily);
    reader.read("keepWeekly", target.keepWeekly);
    reader.read("keepMonthly", target.keepMonthly);
    reader.read("encrypted", target.encrypted);
    for (std::optional<qint64> *count : {&target.keepDaily, &target.keepWeekly, &target.keepMonthly}) {
        if (*count && **count < 0)
            count->reset();
    }
    return reader.result(target);
}
